# A pasted page of 131,065 links, none of which pasted text can follow: after Apply Tag the window
# answers within half a second while the page is read, then shows a message of a few lines (not one
# line per link, which froze the window painting it) that answers as well; and closing the window
# while the page is read ends the program within half a second.
APP=$1
source "$E2E_LIB"
start_display

# Distinct addresses, so that no two notes are the same, in lines of a kilobyte or so (the box lays a
# single 4 MB line out slowly, which is the box's time and not the reader's); under the box's 4 Mi.
python3 - "$E2E_TMP/links.html" <<'PY'
import sys
links = ["<link rel=stylesheet href=%x>" % i for i in range(131065)]
text = "".join("".join(links[i:i + 32]) + "\n" for i in range(0, len(links), 32))
assert len(text) <= 4 * 1024 * 1024, len(text)
open(sys.argv[1], "w").write(text)
PY
BOUND_MS=$((500 * ${HUELOOM_E2E_SLOWER:-1}))

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

# The id of the shown message window, if any: a dialog captioned "Hueloom".
message_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Hueloom$' 2>/dev/null); do
        if xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG; then
            echo "$id"
            return 0
        fi
    done
}

elapsed_ms() { echo $((($(date +%s%N) - $1) / 1000000)); }

# Asks the window $1 whether it answers, as a window manager does (_NET_WM_PING), and prints in how many
# milliseconds its event loop answered; returns 1 after $2 ms without an answer.
ping_window() {
    python3 - "$1" "$2" <<'PY2'
import ctypes, select, sys, time
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XPending.argtypes = [ctypes.c_void_p]
x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x.XConnectionNumber.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

display = x.XOpenDisplay(None)
window, bound = int(sys.argv[1]), int(sys.argv[2]) / 1000
root = x.XDefaultRootWindow(display)
protocols = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
ping = x.XInternAtom(display, b"_NET_WM_PING", 0)
x.XSelectInput(display, root, (1 << 17) | (1 << 19))  # Structure and SubstructureNotify: the answer goes there
event = ClientMessage(type=33, window=window, message_type=protocols, format=32)
event.data[0], event.data[1], event.data[2] = ping, 4242, window
start = time.monotonic()
x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x.XFlush(display)
while time.monotonic() - start < bound:
    while x.XPending(display):
        answer = ClientMessage()
        x.XNextEvent(display, ctypes.byref(answer))
        if answer.type == 33 and answer.data[0] == ping and answer.data[1] == 4242:
            print(int((time.monotonic() - start) * 1000))
            sys.exit(0)
    select.select([x.XConnectionNumber(display)], [], [], 0.01)
sys.exit(1)
PY2
}

# Apply Tag: while the page is read the window answers within the bound, then the message comes, and
# it answers too: Escape closes it at once.
start_app
paste_page "$E2E_TMP/links.html"
sleep 2
xdotool key ctrl+Return
start=$(date +%s%N)
answered=$(ping_window "$WIN" "$BOUND_MS") || fail "Apply Tag on 131,065 links: no answer within $BOUND_MS ms"
echo "e2e pastedlinks: after Apply Tag the window answered in $answered ms"
message=""
while [ -z "$message" ] && [ "$(elapsed_ms "$start")" -le 30000 ]; do
    message=$(message_window)
    sleep 0.01
done
[ -n "$message" ] || fail "Apply Tag on 131,065 links: no message within 30 s"
echo "e2e pastedlinks: the message came $(elapsed_ms "$start") ms after Apply Tag"
xdotool windowfocus --sync "$message"
sleep 0.2
xdotool key Escape
start=$(date +%s%N)
while [ -n "$(message_window)" ]; do
    [ "$(elapsed_ms "$start")" -le "$BOUND_MS" ] || fail "the message did not answer Escape within $BOUND_MS ms"
    sleep 0.01
done
kill -TERM "$APP_PID"
wait_exit 5 || true

# Closing the window while the page is read ends the program within the bound.
start_app
paste_page "$E2E_TMP/links.html"
sleep 2
xdotool key ctrl+Return
close_window "$WIN"
start=$(date +%s%N)
while kill -0 "$APP_PID" 2>/dev/null; do
    [ "$(elapsed_ms "$start")" -le "$BOUND_MS" ] || fail "closing the window during the read: still running"
    sleep 0.01
done
wait "$APP_PID" || true
APP_PID=""
echo "e2e pastedlinks: closing the window during the read ended the program in $(elapsed_ms "$start") ms"
echo "e2e pastedlinks: ok"
