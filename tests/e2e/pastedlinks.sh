# A pasted page of 131,065 links, none of which pasted text can follow: after Apply Tag the window
# answers within half a second while the page is read, then shows a message of a few lines (not one
# line per link, which froze the window painting it) that answers as well; and closing the window
# while the page is read ends the program within half a second.
APP=$1
source "$E2E_LIB"
start_display

# Distinct addresses, so that no two notes are the same, in lines of a kilobyte or so (the box lays a
# single 4 MB line out slowly, which is the box's time and not the reader's); under the box's 4 Mi.
seq 0 131064 | awk '{ printf "<link rel=stylesheet href=%x>", $1 } NR % 32 == 0 || NR == 131065 { print "" }' \
    >"$E2E_TMP/links.html"
[ "$(stat -c %s "$E2E_TMP/links.html")" -le $((4 * 1024 * 1024)) ] || fail "the page is over the box's 4 Mi"
BOUND_MS=$((500 * ${HUELOOM_E2E_SLOWER:-1}))

# Starts the program and applies the page pasted into the tag box.
apply_page() {
    start_app
    apply_pasted_page "$E2E_TMP/links.html"
    start=$(date +%s%N)
}

# The id of the shown message window, if any: a dialog captioned "Hueloom".
message_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Hueloom$' 2>/dev/null); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG && echo "$id" && return 0
    done
}

# While the page is read the window answers within the bound, then the message comes, and it answers
# too: Escape closes it at once.
apply_page
answered=$(wm_message ping "$WIN" "$BOUND_MS") || fail "Apply Tag on 131,065 links: no answer within $BOUND_MS ms"
echo "e2e pastedlinks: after Apply Tag the window answered in $answered ms"
message=""
while [ -z "$message" ] && [ "$(elapsed_ms "$start")" -le 30000 ]; do message=$(message_window); done
[ -n "$message" ] || fail "Apply Tag on 131,065 links: no message within 30 s"
xdotool windowfocus --sync "$message"
sleep 0.2
xdotool key Escape
start=$(date +%s%N)
while [ -n "$(message_window)" ]; do
    [ "$(elapsed_ms "$start")" -le "$BOUND_MS" ] || fail "the message did not answer Escape within $BOUND_MS ms"
done
kill -TERM "$APP_PID"
wait_exit 5 || true

# Closing the window while the page is read ends the program within the bound.
apply_page
close_window "$WIN"
gone_within "$BOUND_MS" "closing the window during the read" "$(date +%s%N)"
echo "e2e pastedlinks: ok"
