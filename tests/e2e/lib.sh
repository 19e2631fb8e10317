# Shared helpers for end-to-end tests: a private Xvfb display, the program started on it, and
# xdotool/xclip to act and read as a person would.
set -euo pipefail

E2E_TMP=$(mktemp -d)
export XDG_CONFIG_HOME="$E2E_TMP/config"
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
XVFB_PID=""
WESTON_PID=""
APP_PID=""
DBUS_PID=""
ATSPI_PID=""

e2e_cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    # The bus launcher leads a process group of its own: the accessibility bus and the registry.
    [ -n "$ATSPI_PID" ] && kill -- "-$ATSPI_PID" 2>/dev/null || true
    [ -n "$DBUS_PID" ] && kill "$DBUS_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    [ -n "$WESTON_PID" ] && kill "$WESTON_PID" 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts Xvfb on the first free display. -noreset keeps the server up between clients.
start_display() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -noreset -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 1 50); do
            xdpyinfo >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
    done
    fail "no display could be started"
}

# Starts a private D-Bus session with the AT-SPI bus on it, and has Qt speak to it: what a screen reader
# is told can then be read.
start_accessibility_bus() {
    unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
    local bus
    bus=$(timeout 10 dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "no session bus"
    DBUS_PID=$(sed -n 2p <<<"$bus")
    export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
    setsid /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/atspi.log" 2>&1 &
    ATSPI_PID=$!
    for _ in $(seq 1 50); do
        timeout 2 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
            >/dev/null 2>&1 && break
        sleep 0.1
    done
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# Starts a headless Wayland compositor with its socket in the private runtime folder.
start_wayland() {
    export WAYLAND_DISPLAY=hueloom-e2e
    weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 \
        --log="$E2E_TMP/weston.log" >"$E2E_TMP/weston.out" 2>&1 &
    WESTON_PID=$!
    for _ in $(seq 1 100); do
        [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && return 0
        kill -0 "$WESTON_PID" 2>/dev/null || break
        sleep 0.1
    done
    cat "$E2E_TMP/weston.out" "$E2E_TMP/weston.log" >&2 2>/dev/null || true
    fail "weston did not start"
}

# Prints the id of the shown window whose caption matches the pattern $1, waiting up to 10 s for it;
# prints nothing when none appears.
wait_window() {
    local id=""
    for _ in $(seq 1 100); do
        # Only once it is viewable: a window found by name can still be unmapped, and focusing it then
        # fails (BadMatch), as it did under a slow sanitizer build.
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && break
        sleep 0.1
    done
    echo "$id"
}

# Opens the window whose caption matches $3 with the menu item of access letter $2 in the menu of
# access letter $1, from the main window; prints the window's id, nothing when it never opened. A busy
# machine can be slow to open the menu or to hand the focus back from a window just opened, so the
# keys are tried again.
open_from_menu() {
    local id=""
    for _ in 1 2 3; do
        xdotool windowfocus --sync "$WIN"
        xdotool key "alt+$1"
        sleep 0.5
        xdotool key "$2"
        for _ in $(seq 1 50); do
            id=$(xdotool search --name "$3" 2>/dev/null | head -1 || true)
            [ -n "$id" ] && break 2
            sleep 0.1
        done
    done
    echo "$id"
}

# Starts the program and waits for its main window; sets WIN to the window id.
start_app() {
    "$APP" "$@" >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    WIN=$(wait_window '^  Hueloom$')
    [ -n "$WIN" ] || fail "main window did not appear"
    xdotool windowfocus --sync "$WIN"
    # The client area is the 448 pixels under the menu bar.
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    MENU_HEIGHT=$((HEIGHT - 448))
}

# The text on the clipboard.
clipboard() {
    xclip -o -selection clipboard 2>/dev/null || true
}

# Fails unless the tag box holds exactly $1 within 5 s: Copy Tag (Ctrl+T) puts it on the clipboard.
# $2 says when, for the failure's message.
box_holds() {
    local got=""
    for _ in $(seq 1 25); do
        xdotool key ctrl+t
        sleep 0.2
        got=$(clipboard)
        [ "$got" = "$1" ] && return 0
    done
    fail "$2: the tag box holds '$got', expected '$1'"
}

# Waits up to 5 s for the clipboard to hold $1.
expect_clipboard() {
    local got=""
    for _ in $(seq 1 50); do
        got=$(clipboard)
        [ "$got" = "$1" ] && return 0
        sleep 0.1
    done
    fail "clipboard holds '$got', expected '$1'"
}

# Waits up to $1 seconds for the program to end; returns its exit status.
wait_exit() {
    local i
    for i in $(seq 1 $(($1 * 10))); do
        if ! kill -0 "$APP_PID" 2>/dev/null; then
            local status=0
            wait "$APP_PID" || status=$?
            APP_PID=""
            return "$status"
        fi
        sleep 0.1
    done
    fail "program still running after $1 s"
}

# Puts the page $1 into the tag box through the clipboard and Ctrl+V, waits until it is all there (the box
# then lays it out and hands it to xclip for a while), and applies it with Apply Tag (Ctrl+Return).
apply_pasted_page() {
    xclip -selection clipboard <"$1"
    click_client 100 180
    sleep 0.3
    xdotool key Escape ctrl+a ctrl+v
    for _ in $(seq 1 100); do
        xdotool key ctrl+t
        sleep 0.2
        clipboard >"$E2E_TMP/copied.html"
        cmp -s "$1" "$E2E_TMP/copied.html" && break
    done
    cmp -s "$1" "$E2E_TMP/copied.html" || fail "the page $1 did not arrive in the tag box"
    sleep 2
    xdotool key ctrl+Return
}

# Fails unless the program ends within $1 ms of the time $3 (date +%s%N), after $2; says how soon it did.
gone_within() {
    while kill -0 "$APP_PID" 2>/dev/null; do
        [ "$(elapsed_ms "$3")" -le "$1" ] || fail "$2: the program still runs $1 ms later"
        sleep 0.01
    done
    wait "$APP_PID" || true
    APP_PID=""
    echo "e2e: $2 ended the program in $(elapsed_ms "$3") ms"
}

# Clicks at a point of the main window's client area (below the menu bar).
click_client() {
    xdotool mousemove --window "$WIN" "$1" $(($2 + MENU_HEIGHT)) click "${3:-1}"
}

# Saves the window $1 as the picture $2 (PNG), once two captures in a row agree, so that the program
# has finished painting; fails when it never settles.
snapshot() {
    local previous="$E2E_TMP/snapshot-previous.png"
    rm -f "$previous"
    for _ in $(seq 1 30); do
        import -window "$1" "$2" 2>/dev/null || true
        if [ -s "$2" ] && [ -s "$previous" ] && compare -metric AE "$2" "$previous" null: >/dev/null 2>&1; then
            rm -f "$previous"
            return 0
        fi
        [ -s "$2" ] && cp "$2" "$previous"
        sleep 0.2
    done
    fail "window $1 never settled for a snapshot"
}

# Opens Help with F1, saves it as $E2E_TMP/$1-help.png and gives the focus back to the main window.
snapshot_help() {
    xdotool key F1
    local help
    help=$(wait_window '^Help for Hueloom 2\.0$')
    [ -n "$help" ] || fail "$1: F1 did not open the Help window"
    xdotool windowfocus --sync "$help"
    snapshot "$help" "$E2E_TMP/$1-help.png"
    xdotool windowfocus --sync "$WIN"
}

# Fails unless the pictures $1 and $2 are identical pixel for pixel; $3 says what is compared.
same_picture() {
    local differ
    differ=$(compare -metric AE "$1" "$2" null: 2>&1) || fail "$3: $differ pixels differ"
}

# Fails unless Copy Tag (Ctrl+T) puts exactly $1 on the clipboard.
tag_is() {
    echo -n "placeholder" | xclip -selection clipboard
    xdotool key ctrl+t
    expect_clipboard "$1"
}

# Types the path $3 into the file dialog captioned $1, which the keys just pressed opened ($2 says
# which, for the failure), and takes it.
name_in_dialog() {
    local dialog
    dialog=$(wait_window "^$1\$")
    [ -n "$dialog" ] || fail "$2 did not open the dialog $1"
    xdotool windowfocus --sync "$dialog"
    sleep 0.3
    # The name box has the focus; replace whatever it offers.
    xdotool key ctrl+a
    xdotool type --delay 5 "$3"
    xdotool key Return
}

# Saves the scheme with Ctrl+S, typing the path $1 into the save dialog, and waits for the file.
save_as() {
    xdotool key ctrl+s
    name_in_dialog 'Hueloom Save File Dialog' Ctrl+S "$1"
    for _ in $(seq 1 50); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    fail "no file was written at $1"
}

# Sends the window $2 a WM_PROTOCOLS message as a window manager does, which xdotool of this age cannot:
# "close" asks it to close as a close box does (WM_DELETE_WINDOW; xdotool's windowkill ends the client
# at once); "ping" asks whether it answers (_NET_WM_PING) and prints in how many milliseconds its event
# loop answered, returning 1 after $3 ms without an answer.
wm_message() {
    python3 - "$@" <<'PY'
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
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

display = x.XOpenDisplay(None)
if not display:
    sys.exit("no display")
kind, window = sys.argv[1], int(sys.argv[2])
atom = lambda name: x.XInternAtom(display, name, 0)
event = ClientMessage(type=33, window=window, message_type=atom(b"WM_PROTOCOLS"), format=32)  # ClientMessage
if kind == "close":
    event.data[0], event.data[1] = atom(b"WM_DELETE_WINDOW"), 0  # CurrentTime
    x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x.XFlush(display)
    x.XCloseDisplay(display)
    sys.exit(0)
ping, bound = atom(b"_NET_WM_PING"), int(sys.argv[3]) / 1000
# Structure and SubstructureNotify on the root: the answer goes there.
x.XSelectInput(display, x.XDefaultRootWindow(display), (1 << 17) | (1 << 19))
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
PY
}

close_window() { wm_message close "$1"; }

# Milliseconds since the time $1 (date +%s%N).
elapsed_ms() { echo $((($(date +%s%N) - $1) / 1000000)); }
