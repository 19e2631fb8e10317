# --check on a page that links its style sheets: local sheets and their @import are read in document
# order with their media; a missing and a remote sheet each get a note and the reading goes on, but a
# page read in part is not judged (status 2, and why); the light and the dark colour scheme each get
# an entry, and the exit status covers both.
APP=$1
source "$E2E_LIB"

run() { # run EXPECTED-STATUS ARGS...: output in $E2E_TMP/out and err
    local expected=$1 status=0
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY "$APP" "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    [ "$status" -eq "$expected" ] ||
        fail "$* ended with $status, not $expected: $(cat "$E2E_TMP/out" "$E2E_TMP/err")"
}

mkdir -p "$E2E_TMP/site/css/parts"
cat >"$E2E_TMP/site/index.html" <<'HTML'
<!doctype html><html><head>
<link rel="stylesheet" href="css/base.css">
<link rel="stylesheet" href="css/missing.css">
<link rel="stylesheet" href="https://cdn.example.com/theme.css">
<link rel="stylesheet" href="css/print.css" media="print">
</head><body><p>Hello <a href="/x">there</a></p></body></html>
HTML
# base.css imports the colours, which an @import in the imported sheet layers; print.css never applies.
printf '@import url("parts/colours.css") layer(theme);\nbody { color: #111111 }\n' >"$E2E_TMP/site/css/base.css"
cat >"$E2E_TMP/site/css/parts/colours.css" <<'CSS'
@import "dark.css" (prefers-color-scheme: dark);
@import "colours.css";
body { background: #FFFFF0; color: #FF0000 }
a { color: #0000AA } a:visited { color: #550088 } a:active { color: #AA0000 }
CSS
printf 'html body { background: #101010 } body a { color: #EEEE00 }\n' >"$E2E_TMP/site/css/parts/dark.css"
printf 'body { background: #FF00FF }\n' >"$E2E_TMP/site/css/print.css"

# Both schemes, each entry naming its scheme, read in part: the sheets it could read give the colours,
# and the sheets it could not make the run say so.
run 2 --check --json "$E2E_TMP/site/index.html"
json=$(cat "$E2E_TMP/out")
for part in '"colorScheme":"light","colours":\["#FFFFF0","#111111","#0000AA","#550088","#AA0000"\]' \
    '"colorScheme":"dark","colours":\["#101010","#111111","#EEEE00","#550088","#AA0000"\]' \
    '"reasons":\["sheet-not-read"\]'; do
    echo "$json" | grep -Eq "$part" || fail "JSON lacks $part: $json"
done
grep -q "missing.css" "$E2E_TMP/err" || fail "no note of the missing sheet: $(cat "$E2E_TMP/err")"
grep -q "cdn.example.com/theme.css.*not on this computer" "$E2E_TMP/err" ||
    fail "no note of the remote sheet: $(cat "$E2E_TMP/err")"
# The page without the two it cannot read is read in full: light passes AA, dark has a failing link.
grep -v -e missing.css -e cdn.example.com "$E2E_TMP/site/index.html" >"$E2E_TMP/site/whole.html"
run 1 --check --json "$E2E_TMP/site/whole.html"
grep -q '"complete"' "$E2E_TMP/out" && fail "read in full, but said not to be: $(cat "$E2E_TMP/out")"
[ -s "$E2E_TMP/err" ] && fail "read in full, but with notes: $(cat "$E2E_TMP/err")"
# One scheme asked for: one entry, its word in the text output; the light one passes on its own.
run 0 --check --underlined --color-scheme=light "$E2E_TMP/site/whole.html"
grep -q "whole.html, light (AA)" "$E2E_TMP/out" || fail "light entry: $(cat "$E2E_TMP/out")"
grep -q "dark" "$E2E_TMP/out" && fail "a dark entry was not asked for: $(cat "$E2E_TMP/out")"
# The dark one fails with underlined links too (#EEEE00 on #101010 passes, #550088 does not).
run 1 --check --underlined --color-scheme=dark "$E2E_TMP/site/whole.html"
grep -q "whole.html, dark (AA)" "$E2E_TMP/out" || fail "dark entry: $(cat "$E2E_TMP/out")"
# Read in part, the light one is not judged: its pairs say so, and a last line says why.
run 2 --check --underlined --color-scheme=light "$E2E_TMP/site/index.html"
grep -q "pass$" "$E2E_TMP/out" && fail "judged though read in part: $(cat "$E2E_TMP/out")"
grep -qx '  read in part, so not judged: a style sheet it links could not be read' "$E2E_TMP/out" ||
    fail "no verdict of a reading in part: $(cat "$E2E_TMP/out")"
run 2 --check --color-scheme=sepia "$E2E_TMP/site/index.html"
# A page whose colours do not change in the dark gets one entry; its faint text fails, as its links'
# pairs do.
printf '<style>body{background:#fff;color:#000}</style><a href=x>x</a><p style="color:#AAAAAA">faint</p>' \
    >"$E2E_TMP/same.html"
run 1 --check --json "$E2E_TMP/same.html"
[ "$(grep -o '"colorScheme"' "$E2E_TMP/out" | wc -l)" -eq 1 ] || fail "one scheme expected: $(cat "$E2E_TMP/out")"
# A sheet that only the dark scheme links, missing: the dark reading's colours are the light ones, but
# it was read in part, so the page is not judged.
printf '<style>a:link,a:visited,a:active{color:#000}</style><link rel=stylesheet href=nope.css media="(prefers-color-scheme: dark)"><body>' \
    >"$E2E_TMP/darkonly.html"
run 2 --check --json --underlined "$E2E_TMP/darkonly.html"
grep -qE '"colorScheme":"dark","colours":\[[^]]*\],"complete":false' "$E2E_TMP/out" ||
    fail "dark reading in part passed over: $(cat "$E2E_TMP/out")"
grep -q 'nope.css' "$E2E_TMP/err" || fail "no note of the dark scheme's sheet: $(cat "$E2E_TMP/err")"
# A bare style sheet dropped as a file: .css is read as a style sheet, even with markup in a data URL.
printf 'body { background: url("data:image/svg+xml;utf8,<svg xmlns=%%27http://www.w3.org/2000/svg%%27/>") #EEEEEE }\n' \
    >"$E2E_TMP/sheet.css"
run 1 --check --json --color-scheme=light "$E2E_TMP/sheet.css"
grep -q '"colours":\["#EEEEEE"' "$E2E_TMP/out" || fail "style sheet misread: $(cat "$E2E_TMP/out")"
echo ok
