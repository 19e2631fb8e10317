# Every modal dialog and message box goes through the dialog seam (src/dialogs), so tests can answer
# them all. A static dialog call anywhere else fails this check, and so does running any dialog's own
# event loop (`dialog.exec()`, `box->exec()`): a QDialog shown that way is one a test cannot script.
set -euo pipefail
root=$1
fail=0
hits=$(grep -rnE 'Q(FileDialog|ColorDialog|MessageBox|InputDialog|FontDialog)::(get[A-Za-z]*|warning|information|critical|question|about)\b' \
    "$root/src" --include='*.cpp' --include='*.h' | grep -v "^$root/src/dialogs/" || true)
if [ -n "$hits" ]; then
    echo "Modal dialogs outside the dialog seam:"
    echo "$hits"
    fail=1
fi
# The event loops that are not dialogs: the application's, a pop-up menu's, a drag's and a plain
# QEventLoop. A menu or drag is recognised by its name ("menu", "drag"); any other exec() is taken
# for a dialog's.
allowed='Q(Core|Gui)?Application::exec\(|QEventLoop|[Mm]enu[A-Za-z0-9_]*(\.|->)exec\(|[Dd]rag[A-Za-z0-9_]*(\.|->)exec\(|[Ll]oop(\.|->)exec\('
hits=$(grep -rnE '(\.|->|::)exec\(' "$root/src" --include='*.cpp' --include='*.h' \
    | grep -v "^$root/src/dialogs/" | grep -vE "$allowed" || true)
if [ -n "$hits" ]; then
    echo "Dialogs run outside the dialog seam:"
    echo "$hits"
    fail=1
fi
[ "$fail" = 0 ] || exit 1
echo "dialog seam: ok"
