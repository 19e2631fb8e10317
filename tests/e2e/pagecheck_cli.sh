# --check on a page judges every text on it: a failing text is told on a line of its own, compiler-style,
# in --json as an element and in --sarif as a result that a code-scanning tool places on the page's
# line; a page whose style sheet cannot be read, a binary file, an empty page and words that are no page
# are never reported as a success. The runs and what each must show are in data/pagecheck_cli.tsv, on
# the pages of data/pagecheck. Needs no display.
#
# The SARIF log is checked against the SARIF 2.1.0 schema (sarif/sarif-schema-2.1.0.json) with Python's
# jsonschema, and with `sarif-multitool validate` too where it is installed ($HUELOOM_SARIF_MULTITOOL, or
# npm's @microsoft/sarif-multitool under ~/.cache/hueloom-sarif). Without jsonschema the rest is still
# checked and the test then ends with 77, skipped.
APP=$1
source "$E2E_LIB"
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

run() { # run EXPECTED-STATUS ARGS...: from $E2E_TMP (or its folder $FROM), output in $E2E_TMP/out and err
    local expected=$1 status=0
    shift
    (cd "$E2E_TMP/${FROM:-}" && env -u DISPLAY -u WAYLAND_DISPLAY "$APP" "$@") </dev/null >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    [ "$status" -eq "$expected" ] ||
        fail "$* ended with $status, not $expected: $(cat "$E2E_TMP/out" "$E2E_TMP/err")"
}

cp "$HERE"/data/pagecheck/* "$E2E_TMP"
head -c 3000 /dev/urandom >"$E2E_TMP/noise.html"
last=""
while IFS=$'\t' read -r status arguments stream pattern; do
    [[ -z $status || $status == \#* ]] && continue
    if [ "$status $arguments" != "$last" ]; then
        read -ra words <<<"$arguments"
        run "$status" "${words[@]}"
        last="$status $arguments"
    fi
    [ "$stream" = first ] && text=$(head -1 "$E2E_TMP/out") || text=$(cat "$E2E_TMP/$stream")
    if [[ $pattern == !* ]]; then
        grep -Eq -- "${pattern#!}" <<<"$text" && fail "$arguments: $stream holds ${pattern#!}: $text"
    else
        grep -Eq -- "$pattern" <<<"$text" || fail "$arguments: $stream lacks $pattern: $text"
    fi
done <"$HERE/data/pagecheck_cli.tsv"

# SARIF: from the page's folder, relative URIs; from a folder the page is not in, file: URIs.
run 1 --check --sarif page.html
cp "$E2E_TMP/out" "$E2E_TMP/page.sarif"
mkdir "$E2E_TMP/elsewhere"
FROM=elsewhere run 1 --check --sarif ../page.html
cp "$E2E_TMP/out" "$E2E_TMP/far.sarif"
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
    run = log["runs"][0]
    assert not errors and run["tool"]["driver"]["name"] == "Hueloom" and run["tool"]["driver"]["version"], name
    invocation = run["invocations"][0]
    assert invocation["executionSuccessful"] == (name != "bad.sarif"), name
    assert name != "bad.sarif" or any("nul.html" in n["message"]["text"] for n in invocation["toolExecutionNotifications"])
with open(f"{folder}/page.sarif") as f:
    results = json.load(f)["runs"][0]["results"]
with open(f"{folder}/page.html") as f:
    lines = f.read().split("\n")
for result in results:
    location = result["locations"][0]["physicalLocation"]
    assert result["level"] in ("error", "note") and location["artifactLocation"]["uri"] == "page.html", result
    if "region" in location:
        quoted = re.search(r'"([^"]*)"', result["message"]["text"]).group(1)
        assert quoted.split()[0] in lines[location["region"]["startLine"] - 1], result
    else:
        assert result["ruleId"] == "scheme-pair", result
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
sys.exit(any(r.get("level") == "error" for run in json.load(open(sys.argv[1]))["runs"] for r in run.get("results", [])))' \
            "$E2E_TMP/$name.validation.sarif" || fail "sarif-multitool finds errors in $name.sarif"
    done
fi
if [[ $validator != jsonschema* ]]; then
    echo "skipped: no SARIF schema validator (python3 jsonschema); all else passed"
    exit 77
fi
echo "ok (validated with: $validator)"
