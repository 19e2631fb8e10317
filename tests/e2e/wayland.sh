# The real program on Wayland, under a headless weston: it maps its window, stays up, ends with
# status 0 when asked to (SIGTERM, as a session ending does), and says nothing on the way.
APP=$1
source "$E2E_LIB"
start_wayland

# WAYLAND_DEBUG traces the program's side of the protocol on stderr, one "[time] message" a line.
WAYLAND_DEBUG=client QT_QPA_PLATFORM=wayland "$APP" >"$E2E_TMP/app.out" 2>"$E2E_TMP/app.err" &
APP_PID=$!

# Mapped: a toplevel with the program's caption, whose first configure was acknowledged and which
# then committed a buffer.
mapped() {
    awk '/xdg_toplevel@[0-9]+\.set_title\("  Hueloom"\)/ { titled = 1 }
         titled && /-> xdg_surface@[0-9]+\.ack_configure/ { acked = 1 }
         acked && /-> wl_surface@[0-9]+\.attach\(wl_buffer@/ { attached = 1 }
         attached && /-> wl_surface@[0-9]+\.commit\(\)/ { found = 1 }
         END { exit !found }' "$E2E_TMP/app.err"
}
for _ in $(seq 1 100); do
    mapped && break
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended: $(grep -v '^\[' "$E2E_TMP/app.err" | head -5)"
    sleep 0.1
done
mapped || fail "the program mapped no window"

sleep 2
kill -0 "$APP_PID" 2>/dev/null || fail "the program did not stay up"

kill -TERM "$APP_PID"
wait_exit 5 || fail "the program did not end with status 0 on SIGTERM"

# Nothing on stderr but the protocol trace.
said=$(grep -v -E '^\[ *[0-9]+\.[0-9]+\] ' "$E2E_TMP/app.err" || true)
[ -z "$said" ] || fail "the program printed: $said"
[ ! -s "$E2E_TMP/app.out" ] || fail "the program printed: $(head -5 "$E2E_TMP/app.out")"
# A SIGTERM while the program is still starting ends it too: Qt's Wayland teardown could hang there.
for delay in 0.05 0.1 0.2; do
    QT_QPA_PLATFORM=wayland "$APP" >/dev/null 2>&1 &
    APP_PID=$!
    sleep "$delay"
    kill -TERM "$APP_PID"
    wait_exit 5 || fail "the program did not end with status 0 on a SIGTERM after $delay s"
done
echo "e2e wayland: ok"
