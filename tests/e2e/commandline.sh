# The command line: --version and --help need no display; a bad scheme file named on the command
# line gets the same message as Open Scheme gives.
APP=$1
source "$E2E_LIB"

version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$APP" --version) || fail "--version did not exit 0"
echo "$version" | grep -q '^hueloom [0-9]' || fail "--version printed '$version'"
env -u DISPLAY -u WAYLAND_DISPLAY "$APP" --help | grep -q 'Usage: hueloom' || fail "--help"
if env -u DISPLAY "$APP" one.hlm two.hlm 2>/dev/null; then fail "two files were accepted"; fi

start_display
printf 'not,a,scheme\n' >"$E2E_TMP/bad.hlm"
start_app "$E2E_TMP/bad.hlm"
box=$(wait_window '^Hueloom$')
[ -n "$box" ] || fail "no message for a bad scheme file"
xdotool windowfocus --sync "$box"
xdotool key Return
kill -0 "$APP_PID" || fail "the program ended"

# Docks and task bars match the window to its launcher by the window's class.
desktop_entry=$(dirname "$E2E_LIB")/../../data/org.hueloom.Hueloom.desktop
wm_class=$(xprop -id "$WIN" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p')
[ -n "$wm_class" ] && grep -qxF "StartupWMClass=$wm_class" "$desktop_entry" ||
    fail "the window's class '$wm_class' is not the desktop entry's StartupWMClass"

# A good one opens as Open Scheme would: the tag carries its colours.
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
printf '1,2,3,40,50,60,7,8,9,100,110,120,13,14,15\r\n' >"$E2E_TMP/good.hlm"
start_app "$E2E_TMP/good.hlm"
sleep 0.5
xdotool key ctrl+t
expect_clipboard '<BODY BGCOLOR="#010203" TEXT="#28323C" LINK="#070809" VLINK="#646E78" ALINK="#0D0E0F">'
echo "e2e commandline: ok"
