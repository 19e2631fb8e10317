# The command line: --version and --help need no display, and without one the program says so in one
# line; Qt's own options work; after "--" every argument is a file name; a bad scheme file named on
# the command line gets the same message as Open Scheme gives.
APP=$1
source "$E2E_LIB"

version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$APP" --version) || fail "--version did not exit 0"
echo "$version" | grep -q '^hueloom [0-9]' || fail "--version printed '$version'"
env -u DISPLAY -u WAYLAND_DISPLAY "$APP" --help | grep -q 'Usage: hueloom' || fail "--help"
if env -u DISPLAY "$APP" one.hlm two.hlm 2>/dev/null; then fail "two files were accepted"; fi
env -u DISPLAY -u WAYLAND_DISPLAY "$APP" --help-all | grep -q -- '-style <style>' || fail "--help-all lists no -style"

# The manual page as built opens with man from the build folder, and at any width keeps every colour
# value and option whole on its line, so that a copy of one from the page works.
build=$(cd "$(dirname "$APP")/.." && pwd)
[ -f "$build/man/man1/hueloom.1" ] || fail "no manual page at $build/man/man1/hueloom.1"
for width in 30 45 60 80 120; do
    LC_ALL=C.UTF-8 MANWIDTH=$width man -M "$build/man" hueloom >"$E2E_TMP/man" 2>"$E2E_TMP/err" ||
        fail "man -M $build/man hueloom: $(cat "$E2E_TMP/err")"
    grep -qF '#CECEFF,#0055AA,#007C00,#003C00,#00B500' "$E2E_TMP/man" || fail "the five colours are broken at width $width"
    if grep -nE '(#[0-9A-Fa-f]*|--?[a-z-]*|\[)(‐|-)$' "$E2E_TMP/man"; then fail "a literal is hyphenated at width $width"; fi
done
LC_ALL=C.UTF-8 man -l "$build/man/man1/hueloom.1" | grep -q -- '--target=target, --target target' ||
    fail "man -l does not open the page as built"

# The program itself needs QtCore alone: the GUI libraries come with the window's module, loaded only
# for a window. A copy of the program without the module still checks, and says in one line why no
# window can start.
needed=$(readelf -d "$APP" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
grep -q '^libQt6Core\.' <<<"$needed" || fail "the program does not link QtCore: $needed"
if grep -E '^libQt6(Gui|Widgets|PrintSupport|DBus|XcbQpa)\.' <<<"$needed"; then fail "the program links GUI libraries"; fi
mkdir "$E2E_TMP/alone"
cp "$APP" "$E2E_TMP/alone/hueloom"
printf 'body { color: #333; background: #fff }\n' >"$E2E_TMP/page.css"
checked=$("$E2E_TMP/alone/hueloom" --check --json "$E2E_TMP/page.css") || true
grep -qF '"colours":["#FFFFFF","#333333",' <<<"$checked" || fail "--check without the module printed '$checked'"
status=0
env -u WAYLAND_DISPLAY DISPLAY=:0 "$E2E_TMP/alone/hueloom" 2>"$E2E_TMP/err" || status=$?
[ "$status" -eq 1 ] && [ "$(wc -l <"$E2E_TMP/err")" -eq 1 ] &&
    grep -q '^hueloom: cannot start the window: .*hueloom-window\.so' "$E2E_TMP/err" ||
    fail "without its module the program ended with $status: $(cat "$E2E_TMP/err")"

# No display: status 1 and one line naming the problem, not Qt's plugin text and an abort.
no_display() {
    local status=0
    "$@" >/dev/null 2>"$E2E_TMP/err" || status=$?
    [ "$status" -eq 1 ] || fail "$* ended with status $status: $(cat "$E2E_TMP/err")"
    [ "$(wc -l <"$E2E_TMP/err")" -eq 1 ] || fail "$* said more than one line: $(cat "$E2E_TMP/err")"
}
no_display env -u DISPLAY -u WAYLAND_DISPLAY "$APP"
grep -q '^hueloom: .*DISPLAY is not set' "$E2E_TMP/err" || fail "without DISPLAY: $(cat "$E2E_TMP/err")"
unused=""
for n in $(seq 199 -1 150); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { unused=$n; break; }
done
no_display env -u WAYLAND_DISPLAY DISPLAY=":$unused" "$APP"
grep -q "^hueloom: .*\":$unused\"" "$E2E_TMP/err" || fail "with DISPLAY=:$unused: $(cat "$E2E_TMP/err")"

start_display
printf 'not,a,scheme\n' >"$E2E_TMP/bad.hlm"
start_app "$E2E_TMP/bad.hlm"
box=$(wait_window '^Hueloom$')
[ -n "$box" ] || fail "no message for a bad scheme file"
xdotool windowfocus --sync "$box"
xdotool key Return
kill -0 "$APP_PID" || fail "the program ended"

# Docks and task bars match the window to its launcher by the window's class.
desktop_entry=$(dirname "$E2E_LIB")/../../data/org.hueloom.Hueloom.desktop
wm_class=$(xprop -id "$WIN" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p')
[ -n "$wm_class" ] && grep -qxF "StartupWMClass=$wm_class" "$desktop_entry" ||
    fail "the window's class '$wm_class' is not the desktop entry's StartupWMClass"

# The icon is given once the window is up, at every size it is rendered in that X takes: Qt leaves out
# the 512-pixel one (each entry of _NET_WM_ICON is a width, a height and the pixels).
icon_sizes=""
for _ in $(seq 50); do
    icon_sizes=$(xprop -id "$WIN" -notype 32c _NET_WM_ICON 2>/dev/null | tr -d ' ' | cut -d= -f2 | awk -F, '
        { i = 1; while (i < NF) { w = $i; h = $(i + 1); printf "%sx%s ", w, h; i += 2 + w * h } }')
    [ -n "$icon_sizes" ] && break
    sleep 0.1
done
[ "$icon_sizes" = "16x16 24x24 32x32 48x48 64x64 128x128 256x256 " ] ||
    fail "the window's icon offers '$icon_sizes'"

# A good one opens as Open Scheme would: the tag carries its colours.
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
printf '1,2,3,40,50,60,7,8,9,100,110,120,13,14,15\r\n' >"$E2E_TMP/good.hlm"
start_app "$E2E_TMP/good.hlm"
sleep 0.5
xdotool key ctrl+t
expect_clipboard '<BODY BGCOLOR="#010203" TEXT="#28323C" LINK="#070809" VLINK="#646E78" ALINK="#0D0E0F">'
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true

# Qt's own options, as every Qt program takes them.
start_app -style Fusion
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true

# After "--", "-reverse" is the name of a file: it opens, and the window is not mirrored, so the red
# bar's right arrow is where it always is (the bar at 168,32 in the frame at 8,0).
cd "$E2E_TMP"
printf '1,2,3,40,50,60,7,8,9,100,110,120,13,14,15\r\n' >"$E2E_TMP/-reverse"
start_app -- -reverse
sleep 0.5
click_client 388 40
sleep 0.3
xdotool key ctrl+t
expect_clipboard '<BODY BGCOLOR="#020203" TEXT="#28323C" LINK="#070809" VLINK="#646E78" ALINK="#0D0E0F">'
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true

# A name that is not UTF-8.
printf '11,12,13,40,50,60,7,8,9,100,110,120,13,14,15\r\n' >"$E2E_TMP/$(printf 'caf\351\377.hlm')"
start_app "$E2E_TMP/$(printf 'caf\351\377.hlm')"
sleep 0.5
xdotool key ctrl+t
expect_clipboard '<BODY BGCOLOR="#0B0C0D" TEXT="#28323C" LINK="#070809" VLINK="#646E78" ALINK="#0D0E0F">'
echo "e2e commandline: ok"
