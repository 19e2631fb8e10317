# Dependencies run one way, downwards. The main window (src/app) stands on top and nothing else
# includes it. Below the windows, the widget-free libraries stand in this order, each using only the
# ones under it:
#   colour            the five colours, sRGB, Oklab, CSS colour spaces, contrast, APCA, copy formats
#   css               CSS's tokens, syntax, calc(), colour values and media queries (on colour)
#   html              a page's markup read into a tree, by gumbo and the browsers' nesting rules
#   web               the one text reader: selectors, the cascade, computed styles, the tag reader (on
#                     html, css and colour)
#   assist            the contrast audit, fixer and simulation (on colour)
#   formats           writing the scheme out, in the tag and the other shapes (on web, css, assist, colour)
#   files             scheme files, linked sheets, safe saving (on web, html, css and colour)
#   cli               the command line (on all of those); QtCore only, as are the above
#   settings          the per-user settings store (on files; QtCore only)
#   document          the scheme document and its undo steps (on those, with QtGui)
set -euo pipefail
root=$1
fail=0
hits=$(grep -rnE '^\s*#\s*include\s+"app/' "$root/src" --include='*.cpp' --include='*.h' \
    | grep -v "^$root/src/app/" || true)
if [ -n "$hits" ]; then
    echo "Includes that run back up into src/app:"
    echo "$hits"
    fail=1
fi
# Each library and the folders it may include besides its own.
declare -A allowed=(
    [colour]=""
    [css]="colour"
    [html]=""
    [web]="colour css html"
    [assist]="colour"
    [formats]="colour css web html assist"
    [files]="colour css web html"
    [cli]="colour css web html assist formats files"
    [settings]="colour files"
)
for library in "${!allowed[@]}"; do
    pattern="^\s*#\s*include\s+\"(app|contrast|ui|dialogs|info|pick|print|settings|files|document|cli|colour|css|html|web|assist|formats)/"
    while IFS= read -r hit; do
        [ -n "$hit" ] || continue
        folder=$(sed -E 's/.*#\s*include\s+"([a-z]+)\/.*/\1/' <<<"$hit")
        [ "$folder" = "$library" ] && continue
        if ! grep -qw -- "$folder" <<<"${allowed[$library]}"; then
            echo "src/$library may not include $folder/: ${hit#"$root/"}"
            fail=1
        fi
    done < <(grep -rnE "$pattern" "$root/src/$library" --include='*.cpp' --include='*.h' || true)
    # Widgets stay above the libraries.
    if grep -rnE '#\s*include\s+<Q(Widget|Dialog|Label|PushButton|Application|MainWindow)' "$root/src/$library"; then
        echo "src/$library includes a widget header"
        fail=1
    fi
done
[ "$fail" = 0 ] || exit 1
echo "layers: ok"
