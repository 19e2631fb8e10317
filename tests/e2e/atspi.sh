# What a screen reader is told: the real program on a private D-Bus session with the AT-SPI bus,
# its accessibility tree walked by atspi_tree.py.
APP=$1
source "$E2E_LIB"

DBUS_PID=""
ATSPI_PID=""
atspi_cleanup() {
    # The bus launcher leads a process group of its own: the accessibility bus and the registry.
    [ -n "$ATSPI_PID" ] && kill -- "-$ATSPI_PID" 2>/dev/null || true
    [ -n "$DBUS_PID" ] && kill "$DBUS_PID" 2>/dev/null || true
    e2e_cleanup
}
trap atspi_cleanup EXIT

start_display
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
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
start_app
timeout 90 /usr/bin/python3 "$(dirname "$E2E_LIB")/atspi_tree.py" || fail "the accessibility tree is wrong"
echo "e2e atspi: ok"
