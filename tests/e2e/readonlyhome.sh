# A settings folder that cannot be written (a read-only home): the program says so in its note line, and
# the first click after start, and every key after it, reach the window, with no box in the way.
APP=$1
source "$E2E_LIB"
start_display

# The menu bar's height, measured on a start with a writable folder: on a read-only one the note line
# makes the window taller at once.
start_app
menu_height=$MENU_HEIGHT
kill "$APP_PID"
wait_exit 5 || true
rm -rf "${XDG_CONFIG_HOME:?}"/*

# Read-only as a read-only disk is, for root too: a bind mount of the folder of its own, in a mount
# namespace of the program's own. Without root, the folder's write bits are taken away.
real_app=$APP
if [ "$(id -u)" = 0 ]; then
    unshare -m true 2>/dev/null || { echo "SKIP: no mount namespace here"; exit 0; }
    APP="$E2E_TMP/readonly-home"
    cat >"$APP" <<WRAPPER
#!/bin/sh
exec unshare -m sh -c 'mount --bind "\$0" "\$0" && mount -o remount,bind,ro "\$0" && exec "\$@"' \
    "$XDG_CONFIG_HOME" "$real_app" "\$@"
WRAPPER
    chmod +x "$APP"
else
    chmod a-w "$XDG_CONFIG_HOME"
    trap 'chmod u+w "$XDG_CONFIG_HOME"; e2e_cleanup' EXIT
fi

start_app
MENU_HEIGHT=$menu_height
# At once: the right arrow of the red bar, then "Use Left Margin".
click_client 388 40
click_client 345 240
tag_is '<BODY BGCOLOR="#CFCEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500" LEFTMARGIN="10">'

# No message box came up over the window, at start or after it, and the keys still go to the window.
sleep 1
boxes=$(xdotool search --onlyvisible --name '^Hueloom$' 2>/dev/null || true)
[ -z "$boxes" ] || fail "a message box came up: $(for b in $boxes; do xdotool getwindowname "$b"; done)"
click_client 388 40
tag_is '<BODY BGCOLOR="#D0CEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500" LEFTMARGIN="10">'

# The note is there: the window is one line taller than on a writable folder.
eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ "$HEIGHT" -gt $((448 + menu_height)) ] || fail "no note line: the window is $HEIGHT pixels high"
[ -z "$(ls -A "$XDG_CONFIG_HOME")" ] || fail "something was written to the read-only folder: $(ls -A "$XDG_CONFIG_HOME")"

kill -0 "$APP_PID" || fail "the program ended"
echo "e2e read-only home: ok"
