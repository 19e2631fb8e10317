# Text in the tag box is work: a page pasted there and not applied is not lost to Exit (Ctrl+X, which
# stays Exit in the box) or to the window's close box without a question, and answering it with Cancel
# keeps the window and the text. Right after Apply Tag (Ctrl+Return) the undo keys act on the scheme,
# from the box itself.
APP=$1
source "$E2E_LIB"
start_display
start_app

PAGE='<html><head><title>Page</title></head><body bgcolor="#102030" text="#F0E0D0">Hello</body></html>'

# The id of the shown question window, if any: a dialog captioned "Hueloom" (tool tips and menus,
# which have no caption of their own, are given the program's name too).
question_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Hueloom$' 2>/dev/null); do
        if xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG; then
            echo "$id"
            return 0
        fi
    done
}

# Waits up to 5 s for the question on leaving; fails when it never comes. Prints its window id.
question() {
    local id=""
    for _ in $(seq 1 50); do
        id=$(question_window)
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || fail "$1: no question before the program ends"
    echo "$id"
}

# Answers the question $1 with Cancel (Escape) and checks that the window and the text stay.
cancel_keeps() {
    xdotool windowfocus --sync "$1"
    sleep 0.2
    xdotool key Escape
    for _ in $(seq 1 50); do
        [ -n "$(question_window)" ] || break
        sleep 0.1
    done
    [ -z "$(question_window)" ] || fail "$2: Escape did not answer the question"
    kill -0 "$APP_PID" 2>/dev/null || fail "$2: Cancel ended the program"
    xdotool windowfocus --sync "$WIN"
    box_holds "$PAGE" "$2, after Cancel"
}

# A loaded machine may take a while to hand the first key press to the new window: ask again.
DEFAULT_TAG=""
for _ in $(seq 1 25); do
    xdotool key ctrl+t
    sleep 0.2
    DEFAULT_TAG=$(clipboard)
    [ -n "$DEFAULT_TAG" ] && break
done
[ -n "$DEFAULT_TAG" ] || fail "Copy Tag at start put nothing on the clipboard"

# The page pasted into the box, all of it replacing the tag (a click there opens the Edit menu, which
# Escape closes).
printf '%s' "$PAGE" | xclip -selection clipboard
click_client 100 180
sleep 0.3
xdotool key Escape ctrl+a ctrl+v
box_holds "$PAGE" "after the paste"

xdotool key ctrl+x
cancel_keeps "$(question "Ctrl+X")" "Ctrl+X"

close_window "$WIN"
cancel_keeps "$(question "the close box")" "the close box"

# Apply Tag, then at once Undo: the scheme and the box are back as they were. Redo brings the page's
# colours again, which shows that the tag had been applied.
xdotool key ctrl+Return ctrl+z
box_holds "$DEFAULT_TAG" "Ctrl+Return then Ctrl+Z"
xdotool key ctrl+y
for _ in $(seq 1 25); do
    xdotool key ctrl+t
    sleep 0.2
    case "$(clipboard)" in *102030*) break ;; esac
done
case "$(clipboard)" in
*102030*) ;;
*) fail "Ctrl+Y after the undo: the tag box holds '$(clipboard)', not the page's colours" ;;
esac
xdotool key ctrl+z
box_holds "$DEFAULT_TAG" "the second Ctrl+Z"

# Nothing is at stake now: Exit ends the program without a question.
xdotool key ctrl+x
wait_exit 5 || fail "the program ended with status $?"
echo "e2e tagboxwork: ok"
