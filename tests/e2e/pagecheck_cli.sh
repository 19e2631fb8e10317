# --check on a page judges every text on it: a failing text is told on a line of its own, compiler-style,
# in --json as an element and in --sarif as a result that a code-scanning tool places on the page's
# line; a page whose style sheet cannot be read, a binary file, an empty page and words that are no page
# are never reported as a success. Needs no display.
#
# The SARIF log is checked against the SARIF 2.1.0 schema (sarif/sarif-schema-2.1.0.json) with Python's
# jsonschema, and with `sarif-multitool validate` too where it is installed ($HUELOOM_SARIF_MULTITOOL, or
# npm's @microsoft/sarif-multitool under ~/.cache/hueloom-sarif). Without jsonschema the rest is still
# checked and the test then ends with 77, skipped.
APP=$1
source "$E2E_LIB"
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

run() { # run EXPECTED-STATUS ARGS...: from $E2E_TMP, output in $E2E_TMP/out and err
    local expected=$1 status=0
    shift
    (cd "$E2E_TMP" && env -u DISPLAY -u WAYLAND_DISPLAY "$APP" "$@") >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    [ "$status" -eq "$expected" ] ||
        fail "$* ended with $status, not $expected: $(cat "$E2E_TMP/out" "$E2E_TMP/err")"
}
line_of() { # line_of TEXT FILE: the number of the first line holding TEXT
    grep -nF -- "$1" "$2" | head -1 | cut -d: -f1
}

# A page whose muted paragraph fails AA (#999999 on white, 2.85:1) and whose link, not underlined, stands
# too close to its text (#222222 beside #000000); its other texts pass.
cat >"$E2E_TMP/theme.css" <<'CSS'
body { background: #FFFFFF; color: #000000 }
.muted { color: #999999 }
a { color: #222222; text-decoration: none }
CSS
cat >"$E2E_TMP/page.html" <<'HTML'
<!DOCTYPE html>
<html><head><title>Page check</title>
<link rel="stylesheet" href="theme.css">
</head><body>
<p>Plain text that passes.</p>
<p class="muted">Read more</p>
<p>See <a href="x.html">this link</a> in a sentence.</p>
</body></html>
HTML
muted_line=$(line_of 'class="muted"' "$E2E_TMP/page.html")
link_line=$(line_of 'this link' "$E2E_TMP/page.html")
muted_css=$(line_of '.muted' "$E2E_TMP/theme.css")

run 1 --check --json page.html
json=$(cat "$E2E_TMP/out")
for part in '"elements":\[' '"counts":\{"fail":[0-9]+,"pass":[0-9]+,"review":[0-9]+\}' '"verdict":"fail"' \
    '"pairs":\[\{"lc":[-0-9.]+,"pair":"text","pass":true'; do
    grep -Eq "$part" <<<"$json" || fail "JSON lacks $part: $json"
done
grep -q '"elements":\[\]' <<<"$json" && fail "no text of the page was judged: $json"
# The failing text and the link, with their places and where their colours came from.
cp "$E2E_TMP/out" "$E2E_TMP/page.json"
python3 - "$E2E_TMP/page.json" "$muted_line" "$muted_css" "$link_line" <<'PY' || fail "elements: $json"
import json, sys
muted_line, muted_css, link_line = map(int, sys.argv[2:5])
with open(sys.argv[1]) as f:
    elements = json.load(f)["schemes"][0]["elements"]
muted = [e for e in elements if e["text"] == "Read more"]
assert len(muted) == 1, elements
e = muted[0]
assert (e["check"], e["file"], e["line"], e["column"], e["tag"]) == ("contrast", "page.html", muted_line, 1, "p"), e
assert (e["foreground"], e["background"], e["verdict"]) == ("#999999", "#FFFFFF", "fail"), e
assert e["from"]["foreground"] == f"theme.css:{muted_css} .muted", e
links = [e for e in elements if e["check"] == "link-in-text"]
assert [(e["line"], e["verdict"], e["foreground"], e["background"]) for e in links] == [
    (link_line, "fail", "#222222", "#000000")], links
PY
run 1 --check page.html
grep -Eq "^page\.html:$muted_line:1: 2\.84:1 \(needs 4\.5:1\) \"Read more\" #999999 on #FFFFFF \(color from theme\.css:$muted_css \.muted" \
    "$E2E_TMP/out" || fail "no line for the muted text: $(cat "$E2E_TMP/out")"
grep -Eq "^page\.html:$link_line:[0-9]+: [0-9.]+:1 \(needs 3:1 from its text\) link \"this link\" #222222 beside text #000000" \
    "$E2E_TMP/out" || fail "no line for the link in text: $(cat "$E2E_TMP/out")"
# Failures first, then the summary of the scheme, then its pairs.
first=$(head -1 "$E2E_TMP/out")
[[ $first == page.html:* ]] || fail "the report does not start with a failure: $(cat "$E2E_TMP/out")"
grep -Eqx 'page\.html, light \(AA\): [0-9]+ pass, 2 fail, 0 review' "$E2E_TMP/out" ||
    fail "no summary: $(cat "$E2E_TMP/out")"

# The target in two words, as in one.
run 0 --check --target aaa --underlined '#FFFFFF,#000000,#000000,#000000,#000000'
grep -q '(AAA)$' "$E2E_TMP/out" || fail "--target aaa: $(cat "$E2E_TMP/out")"
run 2 --check --target
run 2 --check --json --sarif page.html
run 2 --fix --sarif '#FFFFFF,#000000,#000000,#000000,#000000'
grep -q -- '--sarif goes with --check' "$E2E_TMP/err" || fail "--sarif with --fix: $(cat "$E2E_TMP/err")"

# A linked style sheet that cannot be read: not judged, status 2, the sheet named; judged without it
# when that is allowed, the note still given.
cat >"$E2E_TMP/missing.html" <<'HTML'
<!DOCTYPE html><html><head><link rel="stylesheet" href="gone.css">
<style>body { background: #FFFFFF; color: #000000 } a:link, a:visited, a:active { color: #0000AA }</style>
</head><body><p>Text and <a href="x">a link</a>.</p></body></html>
HTML
run 2 --check --underlined missing.html
grep -q 'gone.css' "$E2E_TMP/err" || fail "the sheet not read is not named: $(cat "$E2E_TMP/err")"
grep -qx 'missing.html, light (AA): error' "$E2E_TMP/out" || fail "no error verdict: $(cat "$E2E_TMP/out")"
run 2 --check --json --underlined missing.html
grep -q '"verdict":"error"' "$E2E_TMP/out" && grep -q '"pass":false' "$E2E_TMP/out" ||
    fail "JSON of a page not read whole: $(cat "$E2E_TMP/out")"
run 0 --check --underlined --allow-missing missing.html
grep -q 'gone.css' "$E2E_TMP/err" || fail "--allow-missing dropped the note: $(cat "$E2E_TMP/err")"
grep -Eqx 'missing\.html, light \(AA\): [0-9]+ pass, 0 fail, 0 review' "$E2E_TMP/out" ||
    fail "--allow-missing did not judge: $(cat "$E2E_TMP/out")"
grep -q 'not judged' "$E2E_TMP/out" && fail "--allow-missing still not judged: $(cat "$E2E_TMP/out")"
# A SARIF log of a run that ended with 2 says the run did not succeed.
run 2 --check --sarif missing.html
grep -q '"executionSuccessful": false' "$E2E_TMP/out" || fail "SARIF of a run that failed: $(cat "$E2E_TMP/out")"

# What is no page: a binary file, an empty file, white space alone, words with no markup and no rule.
head -c 3000 /dev/urandom >"$E2E_TMP/noise.html"
printf '<p>\0</p>' >"$E2E_TMP/nul.html"
: >"$E2E_TMP/empty.html"
printf ' \n\t\n  \r\n' >"$E2E_TMP/blank.css"
printf 'This is just a sentence about colours.\n' >"$E2E_TMP/prose.txt"
for file in noise.html nul.html:binary empty.html:empty blank.css:empty prose.txt:'not a page or style sheet'; do
    name=${file%%:*} words=${file#*:}
    [ "$words" = "$file" ] && words=binary
    run 2 --check "$name"
    grep -q "^hueloom: $name: .*$words" "$E2E_TMP/err" || fail "$name: $(cat "$E2E_TMP/err")"
    [ -s "$E2E_TMP/out" ] && fail "$name was reported: $(cat "$E2E_TMP/out")"
done
printf '' | (cd "$E2E_TMP" && env -u DISPLAY "$APP" --check -) >/dev/null 2>"$E2E_TMP/err" && fail "empty standard input passed"
grep -q '^hueloom: -: empty' "$E2E_TMP/err" || fail "empty standard input: $(cat "$E2E_TMP/err")"
# One bad argument among good ones still ends the run with 2, the good ones reported.
run 2 --check page.html empty.html
grep -q '^page.html, light (AA)' "$E2E_TMP/out" || fail "the good page was not reported: $(cat "$E2E_TMP/out")"

# A text for review (over a picture whose colours are not known) passes, unless --strict.
cat >"$E2E_TMP/review.html" <<'HTML'
<!DOCTYPE html><html><head><style>
body { background: #FFFFFF; color: #000000 } a:link, a:visited, a:active { color: #0000AA }
.hero { background: #000000 url(hero.png); color: #FFFFFF }
.badge { position: relative } .badge::before { content: ""; position: absolute; inset: 0; background: #000 }
.star::after { content: "*" } body::before { content: ""; position: fixed; inset: 0; background: #EEE }
@scope (.card) { em::before { content: ""; position: absolute; inset: 0; background: #000 } }
</style></head><body>
<div class="card"><em>Boxed in its scope</em></div><p><em>Out of scope</em></p>
<div class="hero">Over a picture</div>
<section class="badge"><p>Over a generated box</p></section>
<p class="star">Plain text.</p>
</body></html>
HTML
run 0 --check --underlined review.html
# The text over a picture is for review, which only --strict fails.
hero_line=$(line_of 'class="hero"' "$E2E_TMP/review.html")
grep -Eq "^review\.html:$hero_line:1: review: " "$E2E_TMP/out" || fail "no review line: $(cat "$E2E_TMP/out")"
# A ::before box with a background, in the text's own box or one around it, is for review too; one
# without a background, or the body's backdrop, is not.
grep -q '^review\.html:.*: review: a ::before or ::after box with a background .*"Over a generated box"' \
    "$E2E_TMP/out" || fail "no review for a generated box: $(cat "$E2E_TMP/out")"
grep -q 'review: .*"Plain text\."' "$E2E_TMP/out" && fail "a plain text was sent for review: $(cat "$E2E_TMP/out")"
# In @scope, only inside the scope's root.
grep -q 'review: a ::before .*"Boxed in its scope"' "$E2E_TMP/out" || fail "no review in scope: $(cat "$E2E_TMP/out")"
grep -q 'review: .*"Out of scope"' "$E2E_TMP/out" && fail "a text out of scope was sent for review: $(cat "$E2E_TMP/out")"
run 1 --check --underlined --strict review.html

# SARIF: from the page's folder, relative URIs; from a folder the page is not in, file: URIs.
run 1 --check --sarif page.html
cp "$E2E_TMP/out" "$E2E_TMP/page.sarif"
status=0
mkdir "$E2E_TMP/elsewhere"
(cd "$E2E_TMP/elsewhere" && env -u DISPLAY "$APP" --check --sarif ../page.html) >"$E2E_TMP/far.sarif" 2>/dev/null || status=$?
[ "$status" -eq 1 ] || fail "--sarif from another folder ended with $status"
grep -q "\"uri\": \"file://$E2E_TMP/page.html\"" "$E2E_TMP/far.sarif" || fail "no file URI: $(cat "$E2E_TMP/far.sarif")"
run 2 --check --sarif page.html nul.html
cp "$E2E_TMP/out" "$E2E_TMP/bad.sarif"

# Each log against the schema; each result's place a line of the page holding its text.
validator=missing
if python3 -c 'import jsonschema' 2>/dev/null; then
    validator=jsonschema
    python3 - "$HERE/sarif/sarif-schema-2.1.0.json" "$E2E_TMP" <<'PY' || fail "the SARIF logs are not valid"
import json, re, sys
import jsonschema

schema_path, folder = sys.argv[1:3]
with open(schema_path) as f:
    validator = jsonschema.Draft4Validator(json.load(f))
for name in ("page.sarif", "far.sarif", "bad.sarif"):
    with open(f"{folder}/{name}") as f:
        log = json.load(f)
    errors = sorted(validator.iter_errors(log), key=str)
    for error in errors:
        print(f"{name}: {'/'.join(map(str, error.absolute_path))}: {error.message}", file=sys.stderr)
    if errors:
        sys.exit(1)
    run = log["runs"][0]
    assert run["tool"]["driver"]["name"] == "Hueloom", name
    assert run["tool"]["driver"]["version"], name
    assert run["invocations"][0]["executionSuccessful"] == (name != "bad.sarif"), name
    if name == "bad.sarif":
        notes = run["invocations"][0]["toolExecutionNotifications"]
        assert any("nul.html" in n["message"]["text"] for n in notes), notes
with open(f"{folder}/page.sarif") as f:
    results = json.load(f)["runs"][0]["results"]
with open(f"{folder}/page.html") as f:
    lines = f.read().split("\n")
levels = {"error", "note"}
for result in results:
    assert result["level"] in levels, result
    location = result["locations"][0]["physicalLocation"]
    assert location["artifactLocation"]["uri"] == "page.html", location
    region = location.get("region")
    if region is None:
        assert result["ruleId"] == "scheme-pair", result
        continue
    quoted = re.search(r'"([^"]*)"', result["message"]["text"]).group(1)
    assert quoted.split()[0] in lines[region["startLine"] - 1], (result, lines[region["startLine"] - 1])
# The two failures of the page, at their lines.
assert sorted(r["ruleId"] for r in results if r["level"] == "error") == ["contrast", "link-in-text"], results
PY
fi
multitool=${HUELOOM_SARIF_MULTITOOL:-$HOME/.cache/hueloom-sarif/node_modules/.bin/sarif-multitool}
if [ -x "$multitool" ]; then
    validator="$validator multitool"
    for name in page far bad; do
        "$multitool" validate "$E2E_TMP/$name.sarif" -o "$E2E_TMP/$name.validation.sarif" >"$E2E_TMP/multitool.log" 2>&1 ||
            fail "sarif-multitool validate $name.sarif: $(cat "$E2E_TMP/multitool.log")"
        python3 -c 'import json, sys
errors = [r for run in json.load(open(sys.argv[1]))["runs"] for r in run.get("results", []) if r.get("level") == "error"]
sys.exit(1 if errors else 0)' "$E2E_TMP/$name.validation.sarif" || fail "sarif-multitool finds errors in $name.sarif"
    done
fi
if [[ $validator != jsonschema* ]]; then
    echo "skipped: no SARIF schema validator (python3 jsonschema); all else passed"
    exit 77
fi
echo "ok (validated with: $validator)"
