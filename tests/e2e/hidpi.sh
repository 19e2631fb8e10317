# Xft.dpi at 192 with Qt's scaling off grows no text out of the fixed layout: the main window, Help
# and Fix Contrast with its samples are pixel for pixel those of a run at the plain 96 dpi. With scaling on, Qt scales the
# whole window instead, which shows that the server's Xft.dpi was read at all.
APP=$1
source "$E2E_LIB"
start_display
xdotool mousemove 0 0

# run_with NAME [VAR=value...]: saves the main window as NAME-main.png and Help as NAME-help.png.
run_with() {
    local name=$1
    shift
    local assignment
    for assignment in "$@"; do
        local -x "$assignment"
    done
    start_app
    echo "$WIDTH" >"$E2E_TMP/$name-width"
    snapshot "$WIN" "$E2E_TMP/$name-main.png"
    snapshot_help "$name"
    xdotool key ctrl+shift+k
    local fix
    fix=$(wait_window '^Fix Contrast$')
    [ -n "$fix" ] || fail "$name: Ctrl+Shift+K did not open Fix Contrast"
    xdotool windowfocus --sync "$fix"
    snapshot "$fix" "$E2E_TMP/$name-fix.png"
    xdotool key Escape
    xdotool windowfocus --sync "$WIN"
    xdotool key ctrl+x
    wait_exit 5 || fail "$name: the program did not end cleanly"
}

run_with plain
xprop -root -format RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	192"
run_with dpi192 QT_ENABLE_HIGHDPI_SCALING=0
same_picture "$E2E_TMP/plain-main.png" "$E2E_TMP/dpi192-main.png" "main window at Xft.dpi 192, scaling off"
same_picture "$E2E_TMP/plain-help.png" "$E2E_TMP/dpi192-help.png" "Help window at Xft.dpi 192, scaling off"
same_picture "$E2E_TMP/plain-fix.png" "$E2E_TMP/dpi192-fix.png" "Fix Contrast at Xft.dpi 192, scaling off"

run_with scaled
plain=$(cat "$E2E_TMP/plain-width")
scaled=$(cat "$E2E_TMP/scaled-width")
[ "$scaled" -eq $((2 * plain)) ] || fail "with scaling on at Xft.dpi 192 the window is $scaled wide, not 2 x $plain"
echo "e2e hidpi: ok"
