# What a screen reader is told: the real program on a private D-Bus session with the AT-SPI bus,
# its accessibility tree walked by atspi_tree.py.
APP=$1
source "$E2E_LIB"

start_display
start_accessibility_bus
start_app
timeout 90 /usr/bin/python3 "$(dirname "$E2E_LIB")/atspi_tree.py" || fail "the accessibility tree is wrong"
echo "e2e atspi: ok"
