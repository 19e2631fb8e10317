# Ctrl+S, a typed path and Enter save the default scheme: the 45-byte file, and a note says where.
APP=$1
source "$E2E_LIB"
start_display
start_app

target="$E2E_TMP/typed-by-hand.HLM"
save_as "$target"
size=$(stat -c %s "$target")
[ "$size" = 45 ] || fail "file is $size bytes"
printf '206,206,255,0,85,170,0,124,0,0,60,0,0,181,0\r\n' | cmp -s - "$target" || fail "file content differs"
# A note names the file, beside the tag box (16,168 to 481,201 in the client area), right of it.
note=$(wait_window "^Saved to $target\$")
[ -n "$note" ] || fail "no note named the saved file"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
left=$X
eval "$(xdotool getwindowgeometry --shell "$note")"
[ "$X" -gt $((left + 481)) ] || fail "the note stands at x $X, not right of the tag box"
kill -0 "$APP_PID" || fail "the program ended"
echo "e2e savescheme: ok"
