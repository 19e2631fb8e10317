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

for page in style nested; do
    for way in SIGTERM Exit; do
        start_app
        apply_pasted_page "$E2E_TMP/$page.html"
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
        gone_within 1000 "$way during a read ($page page)" "$start"
    done
done
echo "e2e quitwhilereading: ok"
