# The real program under a dark GTK theme and under qt6ct with dark colours and another font: its
# main window and its Help window are pixel for pixel those of a run without a desktop theme.
APP=$1
source "$E2E_LIB"
start_display
# The pointer out of the way, so no control is hovered in any run.
xdotool mousemove 0 0

# run_with NAME [VAR=value...]: starts the program with the environment given, saves its main window
# as NAME-main.png and its Help window as NAME-help.png, and ends it.
run_with() {
    local name=$1
    shift
    local assignment
    for assignment in "$@"; do
        local -x "$assignment"
    done
    start_app
    # A platform theme that did not load would make this test pass without testing anything.
    case "${QT_QPA_PLATFORMTHEME:-}" in
    gtk3) grep -q libqgtk3 "/proc/$APP_PID/maps" || fail "the gtk3 theme did not load" ;;
    qt6ct) grep -q libqt6ct "/proc/$APP_PID/maps" || fail "the qt6ct theme did not load" ;;
    esac
    snapshot "$WIN" "$E2E_TMP/$name-main.png"
    snapshot_help "$name"
    xdotool key ctrl+x
    wait_exit 5 || fail "$name: the program did not end cleanly"
}

run_with plain

mkdir -p "$E2E_TMP/qt6ct-config/qt6ct"
cat >"$E2E_TMP/qt6ct-config/qt6ct/qt6ct.conf" <<'CONF'
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
standard_dialogs=default
style=Fusion

[Fonts]
fixed="DejaVu Sans Mono,12,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
general="DejaVu Serif,13,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
CONF

run_with gtk QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
run_with qt6ct QT_QPA_PLATFORMTHEME=qt6ct XDG_CONFIG_HOME="$E2E_TMP/qt6ct-config"

for theme in gtk qt6ct; do
    same_picture "$E2E_TMP/plain-main.png" "$E2E_TMP/$theme-main.png" "main window under $theme"
    same_picture "$E2E_TMP/plain-help.png" "$E2E_TMP/$theme-help.png" "Help window under $theme"
done
echo "e2e themes: ok"
