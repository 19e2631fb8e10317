# Special files never freeze the window: a FIFO with no writer named on the command line gets the
# opening message at once, and the window goes on working.
APP=$1
source "$E2E_LIB"

start_display
mkfifo "$E2E_TMP/fifo.hlm"
start_app "$E2E_TMP/fifo.hlm"
box=""
for _ in $(seq 1 20); do
    # Viewable, not merely named: focusing a window not yet mapped fails (BadMatch).
    box=$(xdotool search --onlyvisible --name '^Hueloom$' 2>/dev/null | head -1 || true)
    [ -n "$box" ] && break
    sleep 0.1
done
[ -n "$box" ] || fail "no message for a FIFO within two seconds"
xdotool windowfocus --sync "$box"
xdotool key Return
xdotool windowfocus --sync "$WIN"
box_holds '<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">' \
    "after the FIFO's message"
echo "e2e specialfiles: ok"
