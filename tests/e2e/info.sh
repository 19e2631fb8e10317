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
echo "e2e info: ok"
