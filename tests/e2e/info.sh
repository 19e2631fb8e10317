# F1 opens the Help window; Alt+O (its "&OK") closes it and the main window comes back.
APP=$1
source "$E2E_LIB"
start_display
start_app

xdotool key F1
help=$(wait_window '^Help for Hueloom 2\.0$')
[ -n "$help" ] || fail "F1 did not open the Help window"
xdotool windowfocus --sync "$help"
xdotool key alt+o
for _ in $(seq 1 50); do
    xdotool search --name '^Help for Hueloom 2\.0$' >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool search --name '^Help for Hueloom 2\.0$' >/dev/null 2>&1 && fail "Alt+O did not close the Help window"
kill -0 "$APP_PID" || fail "the program ended"

# With Help, Trouble Shooting and About all open, Exit ends the program and takes them along.
xdotool windowfocus --sync "$WIN"
xdotool key F1
[ -n "$(wait_window '^Help for Hueloom 2\.0$')" ] || fail "Help did not open again"
[ -n "$(open_from_menu h t '^Trouble Shooting Guide for Hueloom 2\.0$')" ] || fail "Trouble Shooting did not open"
[ -n "$(open_from_menu h a '^About Hueloom version 2\.2$')" ] || fail "About did not open"
xdotool windowfocus --sync "$WIN"
xdotool key ctrl+x
wait_exit 5 || fail "the program did not end cleanly"
echo "e2e info: ok"
