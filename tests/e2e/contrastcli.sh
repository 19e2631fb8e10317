# --check and --fix from the command line, with no display: every exit status, bad input, several
# schemes at once, and an HTML page read as Apply Tag reads it.
APP=$1
source "$E2E_LIB"

run() { # run EXPECTED-STATUS ARGS...: output in $E2E_TMP/out and err; the status may be "0|1"
    local expected=$1 status=0
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY "$APP" "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    [[ $status =~ ^($expected)$ ]] ||
        fail "$* ended with $status, not $expected: $(cat "$E2E_TMP/out" "$E2E_TMP/err")"
}

defaults='#CECEFF,#0055AA,#007C00,#003C00,#00B500'
# The default scheme: text passes AA at 4.82, the new link fails at 3.57.
run 1 --check "$defaults"
grep -qx '  text: 4.82:1, Lc 58.4, pass' "$E2E_TMP/out" || fail "text line: $(cat "$E2E_TMP/out")"
grep -qx '  link: 3.57:1, Lc 50.0, fail' "$E2E_TMP/out" || fail "link line: $(cat "$E2E_TMP/out")"
grep -q 'from text' "$E2E_TMP/out" || fail "links not underlined but no 3:1 lines"
run 1 --check --underlined "$defaults"
grep -q 'from text' "$E2E_TMP/out" && fail "underlined links still held 3:1 from the text"

# Black on white passes everything, in an .hlm file and as colours; two schemes, two blocks.
printf '255,255,255,0,0,0,0,0,0,0,0,0,0,0,0\r\n' >"$E2E_TMP/plain.hlm"
run 0 --check --target=aaa --underlined "$E2E_TMP/plain.hlm" '#FFFFFF,#000000,#000000,#000000,#000000'
[ "$(grep -c '(AAA)$' "$E2E_TMP/out")" -eq 2 ] || fail "two schemes: $(cat "$E2E_TMP/out")"
# One failing among several fails the run.
run 1 --check --underlined "$E2E_TMP/plain.hlm" "$defaults"

# An HTML page: its body and link colours, as Apply Tag reads them and a browser shows them: the
# style sheet's a:link beats the alink attribute for an active link that was not visited yet. Its faint
# paragraph fails, as its visited link's pair does.
cat >"$E2E_TMP/page.html" <<'HTML'
<!DOCTYPE html><html><head><style>a:link { color: #767676 }</style></head>
<body bgcolor="white" text="black" link="#0000EE" vlink="#551A8B" alink="#EE0000"><p>Hi</p>
<p style="color: #999999">Faint</p></body></html>
HTML
run 1 --check --json "$E2E_TMP/page.html"
json=$(cat "$E2E_TMP/out")
for part in '"target":"aa"' '"underlined":false}$' '^{"pass":false,' \
    '"colours":\["#FFFFFF","#000000","#767676","#551A8B","#767676"\]' \
    '"pair":"link","pass":true,"ratio":4\.54' '"pair":"link from text","pass":true' \
    '"pair":"visited from text","pass":false'; do
    echo "$json" | grep -Eq "$part" || fail "JSON lacks $part: $json"
done

# Bad input: status 2, a message naming the file and the problem; the good schemes still reported.
printf 'not,a,scheme\n' >"$E2E_TMP/bad.hlm"
run 2 --check "$E2E_TMP/bad.hlm" "$E2E_TMP/plain.hlm"
grep -q "bad.hlm: not a scheme file" "$E2E_TMP/err" || fail "bad file: $(cat "$E2E_TMP/err")"
grep -q "plain.hlm" "$E2E_TMP/out" || fail "the good scheme was not reported"
run 2 --check "$E2E_TMP/missing.html"
grep -q "missing.html: no such file" "$E2E_TMP/err" || fail "missing file: $(cat "$E2E_TMP/err")"
# A page that sets no colours shows the browser's own, as a browser shows it: its black text on white
# passes, the default active link's pair (#FF0000 on white) does not.
printf '<p>no colours here</p>\n' >"$E2E_TMP/empty.html"
run "0|1" --check --json "$E2E_TMP/empty.html"
grep -q '"colours":\["#FFFFFF","#000000","#0000EE","#551A8B","#FF0000"\]' "$E2E_TMP/out" ||
    fail "page without colours: $(cat "$E2E_TMP/out")"
run 2 --check --target=aaaa "$defaults"
run 2 --check
run 2 --fix "$defaults" "$defaults"

# --fix: five colours on the first line, which --check then passes.
run 0 --fix "$defaults"
line=$(head -1 "$E2E_TMP/out")
echo "$line" | grep -Eqx '(#[0-9A-F]{6} ){4}#[0-9A-F]{6}' || fail "--fix printed '$line'"
run 0 --check "${line// /,}"
run 0 --fix --target=apca75 --underlined "$defaults"
run 0 --check --target=apca75 --underlined "$(head -1 "$E2E_TMP/out" | tr ' ' ',')"
# A background that must move says so on standard error.
run 0 --fix '#808080,#000000,#000000,#000000,#000000'
grep -q 'background moved, from #808080' "$E2E_TMP/err" || fail "no note of the moved background"
# AAA with links told apart by colour: no colours can; the proposal meets the page rules only.
run 1 --fix --target=aaa "$defaults"
grep -q 'no colours can meet AAA' "$E2E_TMP/err" || fail "no note of the impossible rules"
[ "$(wc -l <"$E2E_TMP/out")" -eq 1 ] || fail "--fix printed more than its line"
run 1 --fix --json --target=aaa "$defaults"
grep -q '"solved":false' "$E2E_TMP/out" && grep -Eq '"colours":\["#[0-9A-F]{6}"(,"#[0-9A-F]{6}"){4}\]' "$E2E_TMP/out" ||
    fail "--fix --json: $(cat "$E2E_TMP/out")"

# --dark: the dark companion, which --check passes, on a dark background of the same hue.
run 0 --fix --dark "$defaults"
dark=$(head -1 "$E2E_TMP/out")
run 0 --check "${dark// /,}"
bg=${dark%% *}
r=$((16#${bg:1:2})) g=$((16#${bg:3:2})) b=$((16#${bg:5:2}))
[ "$r" -lt 80 ] && [ "$g" -lt 80 ] && [ "$b" -lt 80 ] && [ "$b" -ge "$r" ] && [ "$b" -ge "$g" ] ||
    fail "dark companion '$dark' is not a dark blue page"
run 2 --check --dark "$defaults"

# The shapes of Copy Scheme As read as Apply Tag reads them: custom properties alone give every colour.
printf ':root{--page-background:#000;--page-text:#fff;--link:#ff0;--link-visited:#0ff;--link-active:#f0f}' \
    >"$E2E_TMP/properties.css"
run 0 --check --json --underlined "$E2E_TMP/properties.css"
grep -q '"colours":\["#000000","#FFFFFF","#FFFF00","#00FFFF","#FF00FF"\]' "$E2E_TMP/out" ||
    fail "custom properties misread: $(cat "$E2E_TMP/out")"
# A page larger than the tag box holds is refused, not read in part.
head -c 4194400 /dev/zero | tr '\0' ' ' >"$E2E_TMP/large.html"
echo '<body bgcolor=red>' >>"$E2E_TMP/large.html"
run 2 --check "$E2E_TMP/large.html"

# A FIFO with no writer is refused at once, not waited on for ever.
mkfifo "$E2E_TMP/page.fifo.html"
status=0
timeout 10 env -u DISPLAY "$APP" --check "$E2E_TMP/page.fifo.html" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" -eq 2 ] || fail "a FIFO as argument ended with $status: $(cat "$E2E_TMP/err")"

# A name holding a report line of its own is printed on one line, its line ends escaped.
forged="$E2E_TMP/x"$'\n''  text: 21.00:1, Lc 106.0, pass'$'\n''y.hlm'
printf '0,0,0,255,255,255,0,0,0,0,0,0,0,0,0\r\n' >"$forged"
run 1 --check "$forged"
grep -qx '  text: 21.00:1, Lc 106.0, pass' "$E2E_TMP/out" && fail "the name printed a report line: $(cat "$E2E_TMP/out")"
grep -qF 'x\n  text: 21.00:1, Lc 106.0, pass\ny.hlm (AA)' "$E2E_TMP/out" || fail "name not escaped: $(cat "$E2E_TMP/out")"

# A scheme that cannot be read says the system's reason, not that it is no scheme file.
printf '206,206,255,0,85,170,0,124,0,0,60,0,0,181,0\r\n' >"$E2E_TMP/closed.hlm"
chmod 000 "$E2E_TMP/closed.hlm"
if [ "$(id -u)" -eq 0 ]; then
    chmod 755 "$E2E_TMP"
    # A copy nobody can reach: the build may sit in a folder closed to others (a clone in mktemp -d).
    cp "$APP" "$E2E_TMP/hueloom"
    chmod 755 "$E2E_TMP/hueloom"
    status=0
    setpriv --reuid=nobody --regid=nogroup --clear-groups env -u DISPLAY "$E2E_TMP/hueloom" --check "$E2E_TMP/closed.hlm" \
        >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    [ "$status" -eq 2 ] || fail "an unreadable scheme ended with $status"
else
    run 2 --check "$E2E_TMP/closed.hlm"
fi
grep -q 'closed.hlm: cannot read: Permission denied' "$E2E_TMP/err" || fail "no reason given: $(cat "$E2E_TMP/err")"

# File names are bytes, as the window takes them: a Latin-1 name with a byte 0xFF, in a folder named
# the same way, and a page there that links a style sheet beside it.
odd="$E2E_TMP/$(printf 'caf\351\377')"
mkdir "$odd"
printf '255,255,255,0,0,0,0,0,0,0,0,0,0,0,0\r\n' >"$odd/$(printf 'sch\351me.hlm')"
run 0 --check --underlined "$odd/$(printf 'sch\351me.hlm')"
grep -q 'me.hlm (AA)$' "$E2E_TMP/out" || fail "non-UTF-8 scheme name: $(cat "$E2E_TMP/out" "$E2E_TMP/err")"
printf 'body{background:#000;color:#fff}a{color:#ff0}' >"$odd/site.css"
printf '<link rel=stylesheet href="site.css"><body><p><a href=x>x</a>' >"$odd/$(printf 'p\377.html')"
run 0 --check --json --underlined "$odd/$(printf 'p\377.html')"
grep -q '"colours":\["#000000","#FFFFFF","#FFFF00","#FFFF00","#FFFF00"\]' "$E2E_TMP/out" ||
    fail "non-UTF-8 page and its style sheet: $(cat "$E2E_TMP/out" "$E2E_TMP/err")"

# "-" reads standard input as pasted text is read: a style sheet here, whose import cannot be followed.
stdin_check() { # stdin_check EXPECTED-STATUS TEXT ARGS...
    local expected=$1 text=$2 status=0
    shift 2
    printf '%s' "$text" | env -u DISPLAY -u WAYLAND_DISPLAY "$APP" "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    [ "$status" -eq "$expected" ] || fail "- ended with $status, not $expected: $(cat "$E2E_TMP/out" "$E2E_TMP/err")"
}
# Its colours are given, but not judged: the import not followed may have changed them.
stdin_check 2 '@import "theme.css"; body{background:#000;color:#fff} a{color:#ff0}' --check --json --underlined -
grep -q '"colours":\["#000000","#FFFFFF","#FFFF00","#FFFF00","#FFFF00"\]' "$E2E_TMP/out" ||
    fail "style sheet on standard input: $(cat "$E2E_TMP/out")"
grep -q 'theme.css was not read: standard input has no folder' "$E2E_TMP/err" ||
    fail "no note of the import not followed: $(cat "$E2E_TMP/err")"
# A page is told from a style sheet by its markup, as a paste is.
stdin_check 1 '<body bgcolor="#CECEFF" text="#0055AA" link="#007C00" vlink="#003C00" alink="#00B500">' --check -
grep -q '^-, light (AA)$' "$E2E_TMP/out" || fail "page on standard input: $(cat "$E2E_TMP/out")"
# What sets no colour is checked as a browser shows it, as the same file would be.
stdin_check 1 'h1{}' --check --json -
grep -q '"colours":\["#FFFFFF","#000000","#0000EE","#551A8B","#FF0000"\]' "$E2E_TMP/out" ||
    fail "style sheet without colours on standard input: $(cat "$E2E_TMP/out" "$E2E_TMP/err")"

# A value goes after its option or is joined to it with "=" (tst_commandline reads both forms of every
# option alike); the program does what either asks: here the dark scheme, spaced, and the target, joined.
printf 'body{background:#fff;color:#333} @media (prefers-color-scheme: dark){body{background:#111;color:#eee}}' \
    >"$E2E_TMP/both.css"
run "0|1" --check --json --color-scheme dark --target=apca60 "$E2E_TMP/both.css"
grep -q '"colours":\["#111111","#EEEEEE",' "$E2E_TMP/out" && grep -q '"target":"apca60"' "$E2E_TMP/out" ||
    fail "--color-scheme dark --target=apca60: $(cat "$E2E_TMP/out")"

# --json has an entry for every argument, and names the error of each it could not read; the good
# ones are still judged. --fix --json says its error too.
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' >"$E2E_TMP/picture.html"
: >"$E2E_TMP/nothing.css"
run 2 --check --json "$E2E_TMP/missing.html" "$E2E_TMP/plain.hlm" "$E2E_TMP/picture.html" "$E2E_TMP/nothing.css" \
    "$E2E_TMP" "$E2E_TMP/bad.hlm"
python3 - "$E2E_TMP/out" "$E2E_TMP" <<'PYTHON' || fail "--json for unreadable arguments: $(cat "$E2E_TMP/out")"
import json, sys
report = json.load(open(sys.argv[1]))
entries = [(e["scheme"].removeprefix(sys.argv[2]).lstrip("/"), e["verdict"], e.get("error")) for e in report["schemes"]]
assert entries == [("missing.html", "error", "missing"), ("plain.hlm", "fail", None),
                   ("picture.html", "error", "binary"), ("nothing.css", "error", "empty"),
                   ("", "error", "not-a-file"), ("bad.hlm", "error", "not-a-scheme")], entries
assert report["pass"] is False
assert all(e["message"] and e["pass"] is False for e in report["schemes"] if e["verdict"] == "error")
PYTHON
# A wrong command line too: its error is "usage".
for case in "missing --fix --json $E2E_TMP/missing.html" "binary --fix --json $E2E_TMP/picture.html" \
    "empty --fix --json $E2E_TMP/nothing.css" "usage --fix --json --target=aaaa $defaults" \
    "usage --check --json --target $defaults" "usage --json --fix --nosuch $defaults"; do
    # shellcheck disable=SC2086 # the words of the command line
    run 2 ${case#* }
    python3 -c 'import json, sys; o = json.load(sys.stdin); assert o["error"] == sys.argv[1] and o["message"], o
assert o["error"] == "usage" or o["solved"] is False, o' "${case%% *}" <"$E2E_TMP/out" || fail "$case printed: $(cat "$E2E_TMP/out")"
    [ -s "$E2E_TMP/err" ] || fail "$case said nothing on standard error"
done

# An option out of place is named, and only that one.
run 2 --dark "$E2E_TMP/plain.hlm"
grep -q -- '--dark goes with --fix' "$E2E_TMP/err" && ! grep -q -- '--target' "$E2E_TMP/err" ||
    fail "--dark alone: $(cat "$E2E_TMP/err")"
echo ok
