# The OKLCH bars through the real keys: Tools › Bars in OKLCH by its shortcut, a pasted oklch() colour,
# thirty steps of the hue bar one way, a pause longer than the one that merges key presses into one undo
# step, thirty steps back: the tag has the pasted colour again, Undo is named for the hue bar (as a screen
# reader reads the Edit menu, over AT-SPI), and undo takes the two walks back one by one.
APP=$1
source "$E2E_LIB"

start_display
start_accessibility_bus
start_app

# The tag as Copy Tag puts it on the clipboard.
current_tag() {
    echo -n "placeholder" | xclip -selection clipboard
    xdotool key ctrl+t
    for _ in $(seq 1 50); do [ "$(clipboard)" != "placeholder" ] && break || sleep 0.1; done
    clipboard
}

xdotool key ctrl+shift+l
echo -n "oklch(0.7 0.1 200)" | xclip -selection clipboard
xdotool key ctrl+shift+v
sleep 0.5
pasted=$(current_tag)
[[ $pasted == *'BGCOLOR="#'* && $pasted != '<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">' ]] \
    || fail "Paste Color gave no new tag: '$pasted'"

# The tag box takes the focus with a click (which opens the Edit menu, closed with Escape); the hue bar is
# the one before it in the focus chain.
click_client 100 185
sleep 1
xdotool key Escape
sleep 0.3
xdotool key shift+Tab
xdotool key --delay 20 $(printf 'Right %.0s' $(seq 30))
sleep 0.5
turned=$(current_tag)
[ "$turned" != "$pasted" ] || fail "thirty steps of the hue bar changed nothing"
sleep 1.5
xdotool key --delay 20 $(printf 'Left %.0s' $(seq 30))
tag_is "$pasted"
undo=$(timeout 30 /usr/bin/python3 "$(dirname "$E2E_LIB")/undo_name.py")
[ "$undo" = "Undo Hue" ] || fail "the Undo item reads '$undo', expected 'Undo Hue'"

# Two undo steps, one a walk: back to the turned colour, then to the pasted one.
for tag in "$turned" "$pasted"; do
    xdotool key ctrl+z
    tag_is "$tag"
done
echo "e2e oklch bars: ok"
