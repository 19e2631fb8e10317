# Installs into a temporary DESTDIR and checks the tree with the freedesktop validators.
# Usage: validate.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
share="$root/usr/share"
[ -x "$root/usr/bin/hueloom" ] || fail "the program was not installed"

desktop-file-validate "$share/applications/org.hueloom.Hueloom.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$share/metainfo/org.hueloom.Hueloom.metainfo.xml" || fail "AppStream metainfo"

for size in 16 32 48; do
    icon="$share/icons/hicolor/${size}x${size}/apps/org.hueloom.Hueloom.png"
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "icon $icon is not ${size}x${size}"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/org.hueloom.Hueloom.svg" || fail "scalable icon"

# The scheme file type compiles, and names in any letter case map to it.
mime="$root/mime"
cp -r "$share/mime" "$mime"
update-mime-database "$mime" >/dev/null 2>&1 || fail "MIME type does not compile"
grep -q '^application/x-hueloom-scheme:\*\.hlm$' "$mime/globs" || fail "no *.hlm glob"
grep -q 'application/x-hueloom-scheme' "$share/applications/org.hueloom.Hueloom.desktop" || fail "desktop entry lacks the type"
echo "install tree: ok"
