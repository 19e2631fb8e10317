# Pasting on a display where no program has ever owned the clipboard or the primary selection, and
# then from an owner that never answers: the program lives, the tag box keeps its tag, Paste Color
# says that there is no colour, and neither holds up the window. Then a large paste and a middle click.
APP=$1
source "$E2E_LIB"
start_display
start_app
default='<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">'

# Paste Color (Ctrl+Shift+V) shows its message; Return closes it.
paste_colour_says_no() {
    local message
    xdotool key ctrl+shift+v
    message=$(wait_window '^Hueloom$')
    [ -n "$message" ] || fail "Paste Color $1 showed no message"
    xdotool windowfocus --sync "$message" key Return
    for _ in $(seq 1 50); do
        xdotool search --name '^Hueloom$' >/dev/null 2>&1 || break
        sleep 0.1
    done
    xdotool windowfocus --sync "$WIN"
}

alive() {
    sleep 0.5
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended after $1"
}

paste_colour_says_no "with no clipboard owner"
alive "Paste Color"

# A left click in the tag box (the "Tag" frame at 8,152, the box 8,16 inside it) gives it the focus
# and opens the Edit menu, which Escape closes again.
click_client 100 180
sleep 0.3
xdotool key Escape
xdotool key ctrl+v
alive "Ctrl+V"
xdotool key shift+Insert
alive "Shift+Insert"
click_client 100 180 2
alive "a middle click"

# An owner that never answers: xclip, stopped once it holds the clipboard.
stopped_owner() {
    echo -n "#123456" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
    XCLIP_PID=$!
    sleep 0.5
    kill -STOP "$XCLIP_PID"
}
release_owner() {
    kill -CONT "$XCLIP_PID"
    kill "$XCLIP_PID" 2>/dev/null || true
}

# While Paste Color waits for it, the window goes on answering: Copy Tag reaches the clipboard before
# Paste Color gives up and says there is no colour.
stopped_owner
xdotool key ctrl+shift+v
sleep 0.3
tag_is "$default"
[ -z "$(xdotool search --name '^Hueloom$' 2>/dev/null || true)" ] || fail "Paste Color did not wait for the owner"
message=$(wait_window '^Hueloom$')
[ -n "$message" ] || fail "Paste Color with a stopped owner showed no message"
xdotool windowfocus --sync "$message" key Return
release_owner

# The program's own clipboard is read the same way: Copy takes "#0055AA" from the tag box, and Paste
# Color gives it to the background.
xdotool windowfocus --sync "$WIN"
xdotool key ctrl+Home
for _ in $(seq 1 30); do xdotool key Right; done
for _ in $(seq 1 7); do xdotool key shift+Right; done
xdotool key ctrl+c
expect_clipboard "#0055AA"
xdotool key ctrl+shift+v
tag_is "${default/CECEFF/0055AA}"

# Ctrl+V in the tag box does not wait for a stopped owner either.
stopped_owner
xdotool key ctrl+v
sleep 0.3
tag_is "${default/CECEFF/0055AA}"
release_owner

# Copy Tag (which leaves the primary selection alone) until the tag box holds the page; $1 says what
# failed otherwise.
box_becomes_page() {
    for _ in $(seq 1 100); do
        xdotool key ctrl+t
        sleep 0.1
        clipboard >"$E2E_TMP/copied.html"
        cmp -s "$E2E_TMP/page.html" "$E2E_TMP/copied.html" && return 0
    done
    fail "$1"
}

# A 3.5 MB page comes in pieces (INCR) and arrives whole: by a middle click from another program's
# primary selection, by Ctrl+V from the program's own clipboard (Copy Tag put it there), and from
# another program again after that.
seq 1 40000 | sed 's|.*|<p>Paragraph & of a long page, <a href="https://example.org/&">a link</a>.</p>|' \
    >"$E2E_TMP/page.html"
for way in "a middle click" "Ctrl+V from the program itself" "a middle click after that"; do
    # Selecting all takes the primary selection, so the other program takes it back afterwards.
    xdotool key ctrl+a BackSpace
    if [ "$way" = "Ctrl+V from the program itself" ]; then
        xdotool key ctrl+v
    else
        xclip -selection primary <"$E2E_TMP/page.html"
        click_client 100 180 2
    fi
    box_becomes_page "the page did not arrive whole by $way"
done
echo "e2e emptyclipboard: ok"
