# The tag reaches the clipboard as a person would take it: shortcuts, clicks, and the pop-up menu.
APP=$1
source "$E2E_LIB"
start_display
start_app

default='<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">'
xdotool key ctrl+t
expect_clipboard "$default"

# The right arrow of the red bar (the bar at 168,32 in the "Color Chooser" frame at 8,0), then
# "Use Left Margin" (328,16 in the "Margin Selector" frame at 8,216).
click_client 388 40
click_client 345 240
sleep 0.3
echo -n "placeholder" | xclip -selection clipboard
xdotool key ctrl+t
expect_clipboard '<BODY BGCOLOR="#CFCEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500" LEFTMARGIN="10">'

# A right press on the sample page opens the Edit menu; "t" is Copy Tag's access letter.
echo -n "placeholder" | xclip -selection clipboard
click_client 330 340 3
sleep 0.5
xdotool key t
expect_clipboard '<BODY BGCOLOR="#CFCEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500" LEFTMARGIN="10">'

kill -0 "$APP_PID" || fail "the program ended"
echo "e2e clipboard: ok"
