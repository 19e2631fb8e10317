# Tools > Page Check through the real menus and keys: with no page read it says so and offers Open
# Page; File > Open Page on data/pagecheck_window/index.html, whose linked style sheet makes a text too
# faint, applies the page's colours as one undo step, and the window then lists its failures, then its
# reviews, by their places, light and dark. The list is read as a person takes it away: rows selected
# and copied (Ctrl+C) as report lines.
APP=$1
source "$E2E_LIB"
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cp -r "$HERE/data/pagecheck_window" "$E2E_TMP/site"
page="$E2E_TMP/site/index.html"

start_display
start_app
default='<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">'

# The rows of the list, as copied: Alt+T takes the keys to the list, then the keys $2... select rows.
copy_rows() {
    # xclip stays to serve the selection: it must not hold the output this is read from.
    echo -n "placeholder" | xclip -selection clipboard >/dev/null 2>&1
    xdotool windowfocus --sync "$1"
    sleep 0.3
    for key in alt+t "${@:2}" ctrl+c; do
        xdotool key "$key"
        sleep 0.2
    done
    sleep 0.3
    clipboard
}

# No page read yet: the window says so in its caption and copies nothing.
check=$(open_from_menu t p '^Page Check$')
[ -n "$check" ] || fail "Tools > Page Check did not open the window captioned Page Check"
[ "$(copy_rows "$check" ctrl+a)" = "placeholder" ] || fail "the list of no page copied something: $(clipboard)"

# Its Open Page is File > Open Page: the page dialog, where the page is named; the open window takes
# the page judged as soon as it is read.
xdotool windowfocus --sync "$check"
xdotool key alt+p
name_in_dialog 'Hueloom Open Page Dialog' "Open Page in Page Check" "$page"
[ -n "$(wait_window '^Page Check - index\.html$')" ] ||
    fail "Page Check did not take the page: its caption is $(xdotool getwindowname "$check")"

# The page's colours were applied (its links the browser's), as one undo step.
xdotool windowfocus --sync "$WIN"
box_holds '<BODY BGCOLOR="#FFFFFF" TEXT="#222222" LINK="#0000EE" VLINK="#551A8B" ALINK="#FF0000">' "Open Page"
xdotool key ctrl+z
tag_is "$default"
# Ctrl+Shift+O is File > Open Page from the main window too; Escape leaves its dialog.
xdotool key ctrl+shift+o
dialog=$(wait_window '^Hueloom Open Page Dialog$')
[ -n "$dialog" ] || fail "Ctrl+Shift+O did not open the page dialog"
xdotool windowfocus --sync "$dialog"
xdotool key Escape
sleep 0.5
xdotool windowfocus --sync "$WIN"
tag_is "$default"

# Light: the faint text fails, then the text over a picture is for review. The second row is selected
# first (Down), then the first added to it (Ctrl+Up, Ctrl+Space): copied in the window's order still.
rows=$(copy_rows "$check" ctrl+Home Down ctrl+Up ctrl+space)
[ "$(wc -l <<<"$rows")" -eq 2 ] &&
    sed -n 1p <<<"$rows" | grep -Eq "^$page:5:[0-9]+: 1\.[0-9]{2}:1 \(needs 4\.5:1\) \"Fine print\" #BBBBBB on #FFFFFF$" &&
    sed -n 2p <<<"$rows" | grep -q "^$page:4:[0-9]*: .*\"Over a picture\"" ||
    fail "not the faint text at index.html:5, then the text for review at index.html:4, in the light: $rows"

# Dark: the dim text fails there, the faint one passes.
xdotool windowfocus --sync "$check"
xdotool key alt+d
sleep 0.3
rows=$(copy_rows "$check" ctrl+a)
echo "$rows" | grep -Eq "^$page:6:[0-9]+: 1\.[0-9]{2}:1 \(needs 4\.5:1\) \"Dim in the dark\" #333333 on #111111$" ||
    fail "the dim text is not listed at index.html:6 in the dark: $rows"
grep -Eq '"(Fine print|Welcome)"' <<<"$rows" && fail "a text that passes is listed: $rows"
kill -0 "$APP_PID" || fail "the program ended"
echo "e2e pagecheck: ok"
