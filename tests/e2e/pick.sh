# Tools > Pick from Screen on plain X11, with no desktop portal: the screen is grabbed under a
# crosshair, a click on a pixel of known colour gives it to the selected slot, and Escape cancels.
APP=$1
source "$E2E_LIB"
# A session bus that is not there: no portal can answer.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/no-bus"
start_display
start_app

default='<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">'

# Text Color selected, then a pick on the sample page, which is painted flat in the background colour.
click_client 40 56
xdotool key ctrl+shift+p
grab=$(wait_window '^Pick from Screen$')
[ -n "$grab" ] || fail "Pick from Screen showed no grab"
sleep 0.3
xdotool mousemove --window "$WIN" 40 $((302 + MENU_HEIGHT)) click 1
xdotool windowfocus --sync "$WIN"
tag_is "${default/0055AA/CECEFF}"

# Escape cancels: nothing changes.
xdotool key ctrl+shift+p
grab=$(wait_window '^Pick from Screen$')
[ -n "$grab" ] || fail "Pick from Screen showed no grab the second time"
sleep 0.3
xdotool key Escape
sleep 0.3
[ -z "$(xdotool search --onlyvisible --name '^Pick from Screen$' 2>/dev/null || true)" ] || fail "Escape left the grab"
xdotool windowfocus --sync "$WIN"
tag_is "${default/0055AA/CECEFF}"

# The pick was one undo step.
xdotool key ctrl+z
tag_is "$default"
echo "pick: ok"
