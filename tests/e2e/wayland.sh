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
# Sent as soon as the program catches it (before that, SIGTERM simply ends a process), and a little later.
catches_term() {
    local caught
    caught=$(awk '/^SigCgt:/ { print $2 }' "/proc/$APP_PID/status" 2>/dev/null) || return 1
    [ -n "$caught" ] && (((16#$caught >> 14) & 1))
}
for delay in 0 0.05 0.2; do
    QT_QPA_PLATFORM=wayland "$APP" >/dev/null 2>&1 &
    APP_PID=$!
    for _ in $(seq 1 100); do
        catches_term && break
        sleep 0.02
    done
    catches_term || fail "the program never caught SIGTERM"
    sleep "$delay"
    kill -TERM "$APP_PID"
    wait_exit 5 || fail "the program did not end with status 0 on a SIGTERM $delay s after it caught it"
done
echo "e2e wayland: ok"
