# The accessibility checks through the real menus: Tools > Simulate Color Vision recolours only the
# sample, and Tools > Fix Contrast applies its proposal as one undo step.
APP=$1
source "$E2E_LIB"
start_display
start_app

# The colour of one pixel of the client area, as "#RRGGBB".
pixel() {
    import -window "$WIN" -crop "1x1+$1+$(($2 + MENU_HEIGHT))" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1
}
default='<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">'

# A point of the sample page above its title.
[ "$(pixel 40 302)" = "#CECEFF" ] || fail "the sample page is $(pixel 40 302), not #CECEFF"
xdotool key alt+t
sleep 0.3
xdotool key v
sleep 0.3
xdotool key p
sleep 0.5
seen=$(pixel 40 302)
[ "$seen" != "#CECEFF" ] || fail "Protanopia left the sample unchanged"
tag_is "$default"
xdotool key alt+t
sleep 0.3
xdotool key v
sleep 0.3
xdotool key n
sleep 0.5
[ "$(pixel 40 302)" = "#CECEFF" ] || fail "Normal Vision did not bring the true colours back"

# Fix Contrast on the default scheme (AA, links not underlined), applied with its access key.
xdotool key ctrl+shift+k
fix=$(wait_window '^Fix Contrast$')
[ -n "$fix" ] || fail "Ctrl+Shift+K did not open Fix Contrast"
xdotool windowfocus --sync "$fix"
sleep 0.3
xdotool key alt+a
sleep 0.5
xdotool windowfocus --sync "$WIN"
tag_is '<BODY BGCOLOR="#CECEFF" TEXT="#075AAE" LINK="#000600" VLINK="#000500" ALINK="#000300">'
xdotool key ctrl+z
tag_is "$default"
kill -0 "$APP_PID" || fail "the program ended"
echo "e2e checks: ok"
