# Ctrl+S, a typed path and Enter save the default scheme: the 45-byte file.
APP=$1
source "$E2E_LIB"
start_display
start_app

target="$E2E_TMP/typed-by-hand.HLM"
save_as "$target"
size=$(stat -c %s "$target")
[ "$size" = 45 ] || fail "file is $size bytes"
printf '206,206,255,0,85,170,0,124,0,0,60,0,0,181,0\r\n' | cmp -s - "$target" || fail "file content differs"
kill -0 "$APP_PID" || fail "the program ended"
echo "e2e savescheme: ok"
