# Ctrl+S, a typed path and Enter save the default scheme: the 45-byte file.
APP=$1
source "$E2E_LIB"
start_display
start_app

target="$E2E_TMP/typed-by-hand.HLM"
xdotool key ctrl+s
dialog=$(wait_window '^Hueloom Save File Dialog$')
[ -n "$dialog" ] || fail "Ctrl+S did not open the save dialog"
xdotool windowfocus --sync "$dialog"
sleep 0.3
# The name box has the focus; replace whatever it offers.
xdotool key ctrl+a
xdotool type --delay 5 "$target"
xdotool key Return
for _ in $(seq 1 50); do
    [ -s "$target" ] && break
    sleep 0.1
done
[ -f "$target" ] || fail "no file was written"
size=$(stat -c %s "$target")
[ "$size" = 45 ] || fail "file is $size bytes"
printf '206,206,255,0,85,170,0,124,0,0,60,0,0,181,0\r\n' | cmp -s - "$target" || fail "file content differs"
kill -0 "$APP_PID" || fail "the program ended"
echo "e2e savescheme: ok"
