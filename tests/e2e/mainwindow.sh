# The real program under Xvfb: its window, its place on the screen, and Exit from the tag line.
APP=$1
source "$E2E_LIB"
start_display
start_app

# The window system's view of it: caption, size and centre.
eval "$(xdotool getwindowgeometry --shell "$WIN")"
name=$(xdotool getwindowname "$WIN")
[ "$name" = "  Hueloom" ] || fail "caption is '$name'"
[ "$WIDTH" = 669 ] || fail "window is $WIDTH wide"
[ "$MENU_HEIGHT" -ge 15 ] && [ "$MENU_HEIGHT" -le 40 ] || fail "client area is not 448 high below a menu bar ($HEIGHT)"
screen_w=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
screen_h=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[2]}')
[ "$X" = $(((screen_w - WIDTH) / 2)) ] || fail "window is not centred across ($X)"
[ "$Y" = $(((screen_h - HEIGHT) / 2)) ] || fail "window is not centred down ($Y)"

# A click in the tag line (inside "Tag" at 8,152; the box at 8,16 in it) opens the Edit menu and
# gives the box the focus; Escape closes the menu, and Ctrl+X there ends the program.
click_client 100 175
sleep 0.3
xdotool key Escape
sleep 0.2
xdotool key ctrl+x
wait_exit 5 || fail "program did not exit cleanly"
echo "e2e mainwindow: ok"
