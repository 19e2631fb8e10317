# Tools > Page Check through the real menus and keys: with no page read it says so and offers Open
# Page; File > Open Page on a page whose linked style sheet makes a text too faint applies the page's
# colours as one undo step, and the window then lists that text by its place, light and dark. The list
# is read as a person takes it away: every row selected (Ctrl+A) and copied (Ctrl+C) as report lines.
APP=$1
source "$E2E_LIB"

mkdir -p "$E2E_TMP/site/css"
# The faint paragraph's start tag is on line 5; .dim fails only in the dark.
cat >"$E2E_TMP/site/index.html" <<'HTML'
<!doctype html>
<html><head><link rel="stylesheet" href="css/site.css"></head>
<body>
<h1>Welcome</h1>
<p class="faint">Fine print</p>
<p class="dim">Dim in the dark</p>
</body></html>
HTML
cat >"$E2E_TMP/site/css/site.css" <<'CSS'
body { background: #FFFFFF; color: #222222 }
.faint { color: #BBBBBB }
@media (prefers-color-scheme: dark) {
  body { background: #111111; color: #EEEEEE }
  .faint { color: #CCCCCC }
  .dim { color: #333333 }
}
CSS

start_display
start_app
default='<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">'

# Every row of the list, as copied: Alt+T takes the keys to the list, Ctrl+A selects every row.
copy_rows() {
    # xclip stays to serve the selection: it must not hold the output this is read from.
    echo -n "placeholder" | xclip -selection clipboard >/dev/null 2>&1
    xdotool windowfocus --sync "$1"
    sleep 0.3
    xdotool key alt+t
    sleep 0.2
    xdotool key ctrl+a
    sleep 0.2
    xdotool key ctrl+c
    sleep 0.5
    clipboard
}

# No page read yet: the window says so in its caption and copies nothing.
check=$(open_from_menu t p '^Page Check$')
[ -n "$check" ] || fail "Tools > Page Check did not open the window"
[ "$(xdotool getwindowname "$check")" = "Page Check" ] || fail "caption with no page: $(xdotool getwindowname "$check")"
[ "$(copy_rows "$check")" = "placeholder" ] || fail "the list of no page copied something: $(clipboard)"

# Its Open Page is File > Open Page: the page dialog, where the page is named.
xdotool windowfocus --sync "$check"
xdotool key alt+p
name_in_dialog 'Hueloom Open Page Dialog' "Open Page in Page Check" "$E2E_TMP/site/index.html"

# The open window takes the page judged as soon as it is read.
judged=$(wait_window '^Page Check - index\.html$')
[ -n "$judged" ] || fail "Page Check did not take the page: its caption is $(xdotool getwindowname "$check")"

# The page's colours were applied, as one undo step.
xdotool windowfocus --sync "$WIN"
applied=""
for _ in $(seq 1 25); do
    xdotool key ctrl+t
    sleep 0.2
    applied=$(clipboard)
    echo "$applied" | grep -q '^<BODY BGCOLOR="#FFFFFF" TEXT="#222222" ' && break
done
echo "$applied" | grep -q '^<BODY BGCOLOR="#FFFFFF" TEXT="#222222" ' || fail "the page's colours were not applied: $applied"
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

rows=$(copy_rows "$check")
if [ "$rows" = "placeholder" ]; then
    echo "SKIP: the page's judgement holds no texts yet (Page Check lists nothing); the empty state passed"
    kill -0 "$APP_PID" || fail "the program ended"
    exit 77
fi
page="$E2E_TMP/site/index.html"
echo "$rows" | grep -Eq "^$page:5:[0-9]+: 1\.[0-9]{2}:1 \(needs 4\.5:1\) \"Fine print\" #BBBBBB on #FFFFFF$" ||
    fail "the faint text is not listed at index.html:5 in the light: $rows"
echo "$rows" | grep -q '"Dim in the dark"' && fail "a text that passes in the light is listed: $rows"
echo "$rows" | grep -q '"Welcome"' && fail "a text that passes is listed: $rows"

# Dark: the dim text fails there, the faint one passes.
xdotool windowfocus --sync "$check"
xdotool key alt+d
sleep 0.3
rows=$(copy_rows "$check")
echo "$rows" | grep -Eq "^$page:6:[0-9]+: 1\.[0-9]{2}:1 \(needs 4\.5:1\) \"Dim in the dark\" #333333 on #111111$" ||
    fail "the dim text is not listed at index.html:6 in the dark: $rows"
echo "$rows" | grep -q '"Fine print"' && fail "a text that passes in the dark is listed: $rows"
kill -0 "$APP_PID" || fail "the program ended"
echo "e2e pagecheck: ok"
