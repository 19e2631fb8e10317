# What a page links and imports is read within the page's limits, end to end with --check: 10,000
# links to one 4 MB style sheet, and sheets that import the next ones three and four times over (43
# million and 4 billion imports in all), each end in under a second of processor time, with a note
# and status 2; a page linking Bulma five times over in one sheet is read in full, or said to be read
# in part (status 2 and the reason), never judged on the browser's defaults.
APP=$1
source "$E2E_LIB"

# The processor time a hang-free --check takes, in seconds (its bound is the issue's own: one second).
# A sanitizer build runs several times slower, and its bound is as many times longer.
BOUND=$(python3 -c "print(1.0 * ${HUELOOM_E2E_SLOWER:-1})")

# timed EXPECTED-STATUS ARGS...: --check with its output in $E2E_TMP/out and err, its time in $E2E_TMP/cpu.
timed() {
    local expected=$1
    shift
    python3 - "$E2E_TMP" "$expected" "$APP" "$@" <<'PY' || exit 1
import os, resource, subprocess, sys
scratch, expected, command = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
before = resource.getrusage(resource.RUSAGE_CHILDREN)
with open(scratch + "/out", "wb") as out, open(scratch + "/err", "wb") as err:
    # A hang is a failure, not a wait: far past the bound, the run is ended.
    status = subprocess.run(command, stdout=out, stderr=err, env=env, timeout=120).returncode
after = resource.getrusage(resource.RUSAGE_CHILDREN)
cpu = after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime
open(scratch + "/cpu", "w").write("%.3f" % cpu)
if status != expected:
    sys.exit("FAIL: %s ended with %d, not %d: %s" % (" ".join(command[1:]), status, expected,
                                                     open(scratch + "/err").read()[:2000]))
PY
}

within_bound() { # within_bound WHAT
    echo "e2e readinglimits: $1: $(cat "$E2E_TMP/cpu") s of processor time"
    python3 -c "import sys; sys.exit(float(open('$E2E_TMP/cpu').read()) > $BOUND)" ||
        fail "$1 took $(cat "$E2E_TMP/cpu") s of processor time, more than $BOUND s"
}

# Standard error says why in a handful of lines, whatever the page holds.
few_notes() { # few_notes WHAT PATTERN
    grep -q "$2" "$E2E_TMP/err" || fail "$1: no note matching '$2': $(head -c 2000 "$E2E_TMP/err")"
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
PY

timed 2 --check "$E2E_TMP/links/index.html"
within_bound "10,000 links to one 4 MB sheet"
few_notes "10,000 links" "more style sheets than Hueloom reads"
grep -q "read in part, so not judged" "$E2E_TMP/out" || fail "10,000 links: verdict $(cat "$E2E_TMP/out")"
grep -Eq ', (pass|fail)$' "$E2E_TMP/out" && fail "10,000 links: judged all the same: $(cat "$E2E_TMP/out")"

for k in 3 4; do
    timed 2 --check --json "$E2E_TMP/fan$k/index.html"
    within_bound "imports $k times over"
    few_notes "imports $k times over" "more style sheets than Hueloom reads"
    grep -q '"complete":false' "$E2E_TMP/out" && grep -q '"reasons":\["sheets-left-out"\]' "$E2E_TMP/out" ||
        fail "imports $k times over: JSON $(cat "$E2E_TMP/out")"
done

# Bulma five times over in one 3.8 MB sheet, linked from a page. Bulma comes from the real-world cache
# when it is there (tests/realworld/fetch.sh fills it); without it, a sheet as large, of Bulma's
# shape (custom properties on :root, thousands of rules, the body's colours through var()), is made.
mkdir -p "$E2E_TMP/bulma"
bulma=""
for cache in "${HUELOOM_REALWORLD_CACHE:-}" "$(dirname "$APP")/../tests/realworld-cache"; do
    [ -n "$cache" ] && [ -f "$cache/bulma@1.0.4/css/bulma.css" ] && bulma="$cache/bulma@1.0.4/css/bulma.css" && break
done
if [ -n "$bulma" ]; then
    echo "e2e readinglimits: Bulma from $bulma"
    cp "$bulma" "$E2E_TMP/bulma/b1.css"
else
    echo "e2e readinglimits: no Bulma in the real-world cache; a sheet of its shape stands in for it"
    python3 - "$E2E_TMP/bulma/b1.css" <<'PY'
import sys
parts = [":root {\n" + "".join("  --x-%d: hsl(%d, 50%%, 50%%);\n" % (i, i % 360) for i in range(2000)) +
         "  --body-color: hsl(221, 14%, 29%);\n  --body-background: hsl(0, 0%, 100%);\n  --link: hsl(229, 53%, 53%);\n}\n"]
i = 0
while sum(map(len, parts)) < 760_000:
    parts.append(".block-%d .item:not(.is-active) > a:hover, .block-%d.is-%d { color: var(--x-%d); "
                 "background-color: var(--x-%d, #fff); border-color: #dbdbdb }\n" % (i, i, i % 7, i % 2000, (i + 1) % 2000))
    i += 1
parts.append("body { color: var(--body-color); background-color: var(--body-background) }\n"
             "a { color: var(--link) }\n")
open(sys.argv[1], "w").write("".join(parts))
PY
fi
for _ in 1 2 3 4 5; do cat "$E2E_TMP/bulma/b1.css"; done >"$E2E_TMP/bulma/b5.css"
printf '<link rel="stylesheet" href="b1.css"><a href="x">x</a>' >"$E2E_TMP/bulma/once.html"
printf '<link rel="stylesheet" href="b5.css"><a href="x">x</a>' >"$E2E_TMP/bulma/b5.html"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$APP" --check --json --color-scheme=light "$E2E_TMP/bulma/once.html" \
    >"$E2E_TMP/once" 2>"$E2E_TMP/err" || status=$?
[ "$status" -le 1 ] || fail "the sheet once over: status $status: $(cat "$E2E_TMP/err")"
once=$(grep -o '"colours":\[[^]]*\]' "$E2E_TMP/once")
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$APP" --check --json --color-scheme=light "$E2E_TMP/bulma/b5.html" \
    >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
case $status in
0 | 1)
    # Read in full: the sheet's colours, which five copies of it do not change.
    grep -qF "$once" "$E2E_TMP/out" || fail "five times over: $(cat "$E2E_TMP/out"), once over: $once"
    echo "e2e readinglimits: five times over, read in full: $once"
    ;;
2)
    grep -q '"complete":false' "$E2E_TMP/out" && grep -q '"reasons":\[' "$E2E_TMP/out" ||
        fail "five times over, read in part: $(cat "$E2E_TMP/out")"
    echo "e2e readinglimits: five times over, read in part: $(grep -o '"reasons":\[[^]]*\]' "$E2E_TMP/out")"
    ;;
*) fail "five times over: status $status: $(cat "$E2E_TMP/err")" ;;
esac
echo "e2e readinglimits: ok"
