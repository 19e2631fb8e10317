# A click right after a copy reaches the control under the pointer: the "Copied" note stands beside the
# tag box (or the button that copied), never under the pointer, and lets every click through. The pointer
# rests just above "Use Left Margin" (336,232 to 465,248 in the client area), Ctrl+Shift+C copies the CSS rules, and
# the box is clicked at once, or once the note is surely up; each click must tick or untick the box.
APP=$1
source "$E2E_LIB"
start_display
start_app

# The tag with the box unticked, then ticked.
tags=('<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">'
    '<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500" LEFTMARGIN="10">')

seen=0
for round in 1 2 3 4 5 6; do
    xdotool mousemove --window "$WIN" 370 $((227 + MENU_HEIGHT))
    sleep 0.3
    xdotool key ctrl+shift+c
    # At once in odd rounds; in even ones, after the note has surely come.
    if [ $((round % 2)) -eq 0 ]; then
        sleep 0.3
        # The notes: mapped windows that take no input.
        for id in $(xdotool search --onlyvisible --classname hueloom 2>/dev/null || true); do
            xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && seen=$((seen + 1))
        done
    fi
    click_client 385 246
    sleep 0.2
    tag_is "${tags[round % 2]}"
    # Let the notes go before the next round.
    sleep 1.7
done
[ "$seen" -gt 0 ] || fail "no Copied note was seen"

kill -0 "$APP_PID" || fail "the program ended"
echo "e2e copiednote: ok"
