# What a page links and imports is read within the page's limits, end to end with --check: 10,000
# links to one 4 MB style sheet, and sheets that import the next ones three and four times over (43
# million and 4 billion imports in all), each end in under a second of processor time, with a note
# and status 2; a page linking Bulma five times over in one sheet is read in full, or said to be read
# in part (status 2 and the reason), never judged on the browser's defaults.
APP=$1
source "$E2E_LIB"

# timed STATUSES ARGS...: runs the program, with no display, its output in $E2E_TMP/out and err, failing
# unless it ends with one of STATUSES (as "0|1") or when it takes more than a second of processor time
# (a sanitizer build runs several times slower, and its bound is as many times longer). A hang is a
# failure, not a wait: far past the bound, the run is ended.
timed() {
    local TIMEFORMAT='%U %S' status=0 bound=${HUELOOM_E2E_SLOWER:-1}
    { time timeout 120 env -u DISPLAY -u WAYLAND_DISPLAY "$APP" "${@:2}" >"$E2E_TMP/out" 2>"$E2E_TMP/err" ||
        status=$?; } 2>"$E2E_TMP/cpu"
    echo "$status" >"$E2E_TMP/status"
    echo "e2e readinglimits: ${*:2}: status $status, $(awk '{ print $1 + $2 }' "$E2E_TMP/cpu") s of processor time"
    [[ "|$1|" == *"|$status|"* ]] || fail "${*:2} ended with $status: $(head -c 2000 "$E2E_TMP/err")"
    awk -v bound="$bound" '{ exit $1 + $2 > bound }' "$E2E_TMP/cpu" || fail "${*:2}: more than $bound s"
}

# Standard error says why in a handful of lines, whatever the page holds.
few_notes() { # few_notes WHAT
    grep -q "more style sheets than Hueloom reads" "$E2E_TMP/err" || fail "$1: no note: $(head -c 2000 "$E2E_TMP/err")"
    [ "$(wc -l <"$E2E_TMP/err")" -le 10 ] || fail "$1: $(wc -l <"$E2E_TMP/err") lines of notes"
}

python3 - "$E2E_TMP" <<'PY'
import os, sys
root = sys.argv[1]
# 10,000 links to one 4 MB style sheet of real rules, its last rule the body's.
rules, size, i = [], 0, 0
while size < 4_000_000:
    rule = ".c%d { color: #%06x; background: #fff }\n" % (i, (i * 2654435761) & 0xFFFFFF)
    rules.append(rule)
    size += len(rule)
    i += 1
os.makedirs(root + "/links")
open(root + "/links/s.css", "w").write("".join(rules) + "body { color: #222; background: #fafafa }\n")
open(root + "/links/index.html", "w").write(
    "<!doctype html><title>Links</title>\n" + "<link rel=stylesheet href=s.css>\n" * 10000 + "<a href=x>x</a>\n")
# Seventeen sheets, each importing the next K times; the last is empty.
for k in (3, 4):
    folder = "%s/fan%d" % (root, k)
    os.makedirs(folder)
    for level in range(16):
        open("%s/L%d.css" % (folder, level), "w").write(('@import "L%d.css";\n' % (level + 1)) * k)
    open(folder + "/L16.css", "w").write("")
    open(folder + "/index.html", "w").write("<link rel=stylesheet href=L0.css><a href=x>x</a>\n")
# Bulma's stand-in, used without the real one: a sheet as large, of its shape (custom properties on
# :root, thousands of rules, the body's colours through var()).
parts = [":root {\n" + "".join("  --x-%d: hsl(%d, 50%%, 50%%);\n" % (i, i % 360) for i in range(2000)) +
         "  --body-color: hsl(221, 14%, 29%);\n  --body-background: hsl(0, 0%, 100%);\n  --link: hsl(229, 53%, 53%);\n}\n"]
i = 0
while sum(map(len, parts)) < 760_000:
    parts.append(".block-%d .item:not(.is-active) > a:hover, .block-%d.is-%d { color: var(--x-%d); "
                 "background-color: var(--x-%d, #fff); border-color: #dbdbdb }\n" % (i, i, i % 7, i % 2000, (i + 1) % 2000))
    i += 1
parts.append("body { color: var(--body-color); background-color: var(--body-background) }\na { color: var(--link) }\n")
os.makedirs(root + "/bulma")
open(root + "/bulma/b1.css", "w").write("".join(parts))
for name, sheet in (("once", "b1"), ("b5", "b5")):
    open("%s/bulma/%s.html" % (root, name), "w").write('<link rel="stylesheet" href="%s.css"><a href="x">x</a>' % sheet)
PY

timed 2 --check "$E2E_TMP/links/index.html"
few_notes "10,000 links"
grep -q "read in part, so not judged" "$E2E_TMP/out" || fail "10,000 links: verdict $(cat "$E2E_TMP/out")"
grep -Eq ', (pass|fail)$' "$E2E_TMP/out" && fail "10,000 links: judged all the same: $(cat "$E2E_TMP/out")"

for k in 3 4; do
    timed 2 --check --json "$E2E_TMP/fan$k/index.html"
    few_notes "imports $k times over"
    grep -q '"complete":false' "$E2E_TMP/out" && grep -q '"reasons":\["sheets-left-out"\]' "$E2E_TMP/out" ||
        fail "imports $k times over: JSON $(cat "$E2E_TMP/out")"
done

# Bulma five times over in one 3.8 MB sheet, linked from a page. Bulma comes from the real-world cache
# when it is there (tests/realworld/fetch.sh fills it); without it, its stand-in.
for cache in "${HUELOOM_REALWORLD_CACHE:-}" "$(dirname "$APP")/../tests/realworld-cache"; do
    bulma="$cache/bulma@1.0.4/css/bulma.css"
    [ -n "$cache" ] && [ -f "$bulma" ] && echo "e2e readinglimits: Bulma from $bulma" && cp "$bulma" "$E2E_TMP/bulma/b1.css" && break
done
for _ in 1 2 3 4 5; do cat "$E2E_TMP/bulma/b1.css"; done >"$E2E_TMP/bulma/b5.css"
# No bound on the time of these two (a value of 1e9 seconds).
HUELOOM_E2E_SLOWER=1e9 timed "0|1" --check --json --color-scheme=light "$E2E_TMP/bulma/once.html"
once=$(grep -o '"colours":\[[^]]*\]' "$E2E_TMP/out")
HUELOOM_E2E_SLOWER=1e9 timed "0|1|2" --check --json --color-scheme=light "$E2E_TMP/bulma/b5.html"
# Read in full: the sheet's colours, which five copies of it do not change; in part: the reason.
if [ "$(cat "$E2E_TMP/status")" = 2 ]; then
    grep -q '"complete":false' "$E2E_TMP/out" && grep -q '"reasons":\["' "$E2E_TMP/out"
else
    grep -qF "$once" "$E2E_TMP/out"
fi || fail "five times over: $(cat "$E2E_TMP/out"), once over: $once"
echo "e2e readinglimits: ok"
