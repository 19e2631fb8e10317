# Quitting while Apply Tag reads the longest page the tag box takes: SIGTERM, and Exit (Ctrl+X), end
# the program at once instead of when the page has been read (seconds later); the reader is told to
# stop and stops at its next tag or rule.
APP=$1
source "$E2E_LIB"
start_display

# Pages of 4 Mi characters that take the reader longest: one long style sheet (the cascade), and
# elements nested as deep as the reader lets them, then closed and opened again (the HTML parser).
# Both in lines of a kilobyte or so: the tag box itself lays out a single 4 MB line, or 300,000 short
# ones, in a second or more, which is the box's time and not the reader's.
python3 - "$E2E_TMP" <<'PY'
import sys
size = 4 * 1024 * 1024
def page(head, unit, tail=''):
    line = unit * 100 + '\n'
    body = line * ((size - len(head) - len(tail)) // len(line))
    return head + body + unit * ((size - len(head) - len(body) - len(tail)) // len(unit)) + tail
open(sys.argv[1] + '/style.html', 'w').write(page('<body bgcolor=red><style>\n', 'a { color: red } ', '</style>'))
open(sys.argv[1] + '/nested.html', 'w').write(page('<body bgcolor=red>\n' + '<div>' * 600 + '\n', '<div></div>'))
PY

# Puts page $1 into the tag box through the clipboard and Ctrl+V, and waits until it is all there.
paste_page() {
    xclip -selection clipboard <"$1"
    click_client 100 180
    sleep 0.3
    xdotool key Escape ctrl+a ctrl+v
    for _ in $(seq 1 100); do
        xdotool key ctrl+t
        sleep 0.2
        clipboard >"$E2E_TMP/copied.html"
        cmp -s "$1" "$E2E_TMP/copied.html" && return 0
    done
    fail "the page $1 did not arrive in the tag box"
}

# Waits up to 1 s from $2 (date +%s%N) for the program to end after $1; prints how long it took.
gone_within_a_second() {
    local elapsed=0
    while [ "$elapsed" -le 1000 ]; do
        if ! kill -0 "$APP_PID" 2>/dev/null; then
            wait "$APP_PID" || true
            APP_PID=""
            echo "e2e quitwhilereading: $1 during a read ended the program in $elapsed ms"
            return 0
        fi
        sleep 0.01
        elapsed=$((($(date +%s%N) - $2) / 1000000))
    done
    fail "$1 during a read: the program still runs 1 s later"
}

for page in style nested; do
    for way in SIGTERM Exit; do
        start_app
        paste_page "$E2E_TMP/$page.html"
        # The box lays the page out and hands it to xclip for a while after it arrives.
        sleep 2
        xdotool key ctrl+Return
        # Soon after, while the reader is still at it: it now takes either page in well under a second
        # (it reads a page's first 150,000 elements and a sheet's first 25,000 rules), and once it has
        # applied the colours Exit rightly asks whether to save them first.
        sleep 0.05
        start=$(date +%s%N)
        if [ "$way" = SIGTERM ]; then
            kill -TERM "$APP_PID"
        else
            xdotool key ctrl+x
        fi
        gone_within_a_second "$way ($page page)" "$start"
    done
done
echo "e2e quitwhilereading: ok"
