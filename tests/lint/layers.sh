# The main window stands on top: everything below it (the other windows, the shared look in src/ui,
# the logic in src/scheme, files, printing, settings) never includes anything from src/app.
set -euo pipefail
root=$1
hits=$(grep -rnE '^\s*#\s*include\s+"app/' "$root/src" --include='*.cpp' --include='*.h' \
    | grep -v "^$root/src/app/" || true)
if [ -n "$hits" ]; then
    echo "Includes that run back up into src/app:"
    echo "$hits"
    exit 1
fi
echo "layers: ok"
