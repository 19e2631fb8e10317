# A paste that replaces one still waiting for its owner: the new paste asks again and gets the new
# text, and the owner of the old one, once it answers, is not broken by a window that has gone (xclip
# used to end with BadWindow). Then the same stalled owner asked twice: its answer to the second paste
# arrives, once.
APP=$1
source "$E2E_LIB"
start_display
start_app

# An owner of the clipboard holding $1, stopped once it holds it; its pid in OWNER_PID.
stopped_owner() {
    printf '%s' "$1" | xclip -quiet -selection clipboard >"$E2E_TMP/owner.log" 2>&1 &
    OWNER_PID=$!
    sleep 0.5
    kill -STOP "$OWNER_PID"
}

# The tag box with the focus and nothing in it (a click opens the Edit menu, which Escape closes).
empty_box() {
    click_client 100 180
    sleep 0.3
    xdotool key Escape ctrl+a BackSpace
}

# A stalled owner, then a new one: the second Ctrl+V gets the new owner's text.
empty_box
stopped_owner "old text"
xdotool key ctrl+v
sleep 0.3
printf '%s' "new text" | xclip -quiet -selection clipboard >"$E2E_TMP/new-owner.log" 2>&1 &
NEW_OWNER_PID=$!
sleep 0.5
xdotool key ctrl+v
sleep 0.5
# The old owner answers the first request late, to a window that is still there, and ends as an owner
# that lost the clipboard does.
kill -CONT "$OWNER_PID"
status=0
wait "$OWNER_PID" || status=$?
grep -q BadWindow "$E2E_TMP/owner.log" && fail "the old owner ended with BadWindow: $(cat "$E2E_TMP/owner.log")"
[ "$status" -eq 0 ] || fail "the old owner ended with status $status: $(cat "$E2E_TMP/owner.log")"
box_holds "new text" "a paste replacing a stalled one"
kill "$NEW_OWNER_PID" 2>/dev/null || true

# The same stalled owner asked twice: once it goes on, the second paste gets its text, and only once.
empty_box
stopped_owner "same owner"
xdotool key ctrl+v
sleep 0.3
xdotool key ctrl+v
sleep 0.3
kill -CONT "$OWNER_PID"
box_holds "same owner" "a second paste to a stalled owner"
kill "$OWNER_PID" 2>/dev/null || true
grep -q BadWindow "$E2E_TMP/owner.log" && fail "the stalled owner ended with BadWindow"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
echo "e2e replacingpaste: ok"
