# Colours in and back out through the real menus and keys: undo and redo, Paste Color, Apply Tag,
# a recent scheme, and the question Exit asks about a changed scheme.
APP=$1
source "$E2E_LIB"
start_display
start_app

default='<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">'

# The red bar's right arrow, then Ctrl+Z and Ctrl+Shift+Z, then the Edit menu's Undo by its letters.
click_client 388 40
tag_is "${default/CECEFF/CFCEFF}"
xdotool key ctrl+z
tag_is "$default"
xdotool key ctrl+shift+z
tag_is "${default/CECEFF/CFCEFF}"
xdotool key alt+e
sleep 0.3
xdotool key u
tag_is "$default"

# Paste Color gives the selected slot (the background) the colour on the clipboard.
echo -n " rgb(18, 52, 86) " | xclip -selection clipboard
xdotool key ctrl+shift+v
tag_is "${default/CECEFF/123456}"

# Apply Tag reads what was typed into the tag box: a left click there opens the Edit menu and gives
# the box the focus; Escape closes the menu.
click_client 100 185
sleep 1
xdotool key Escape
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 5 '<body text=red link="#00ff00">'
xdotool key ctrl+Return
applied='<BODY BGCOLOR="#123456" TEXT="#FF0000" LINK="#00FF00" VLINK="#003C00" ALINK="#00B500">'
tag_is "$applied"

# Save it, change it, and take it back from File > Recent Schemes.
saved="$E2E_TMP/recent.hlm"
save_as "$saved"
xdotool windowfocus --sync "$WIN"
echo -n "white" | xclip -selection clipboard
xdotool key ctrl+shift+v
tag_is "${applied/123456/FFFFFF}"
xdotool key alt+f
sleep 0.3
xdotool key r
sleep 0.3
xdotool key 1
tag_is "$applied"

# Exit with nothing changed since the file was opened asks nothing; after a change it asks, and
# Escape (Cancel) keeps the program running.
click_client 388 40
xdotool key ctrl+x
question=$(wait_window '^Hueloom$')
[ -n "$question" ] || fail "Exit did not ask about the changed scheme"
xdotool windowfocus --sync "$question"
xdotool key Escape
sleep 0.5
kill -0 "$APP_PID" || fail "Cancel ended the program"
# Undoing back to the saved scheme means Exit asks nothing.
xdotool windowfocus --sync "$WIN"
xdotool key ctrl+z ctrl+x
wait_exit 5 || fail "the program did not end cleanly"
cmp -s <(printf '18,52,86,255,0,0,0,255,0,0,60,0,0,181,0\r\n') "$saved" || fail "saved file differs"
echo "e2e colours: ok"
