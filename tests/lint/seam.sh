# Every modal dialog and message box goes through the dialog seam (src/dialogs), so tests can answer
# them all. A static dialog call anywhere else fails this check.
set -euo pipefail
root=$1
hits=$(grep -rnE 'Q(FileDialog|ColorDialog|MessageBox|InputDialog|FontDialog)::(get[A-Za-z]*|warning|information|critical|question|about)\b' \
    "$root/src" --include='*.cpp' --include='*.h' | grep -v "^$root/src/dialogs/" || true)
if [ -n "$hits" ]; then
    echo "Modal dialogs outside the dialog seam:"
    echo "$hits"
    exit 1
fi
echo "dialog seam: ok"
