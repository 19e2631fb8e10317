# Builds the Debian package, installs it with apt-get as a user would, checks the program, its file
# type and the desktop caches, then removes it and checks that nothing of it is left.
# Installing into /usr needs root; without root this test is skipped (exit 77).
# Usage: deb.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing a package needs root"
    exit 77
fi
if dpkg-query -W -f='${db:Status-Abbrev}' hueloom 2>/dev/null | grep -q '^.i'; then
    fail "a hueloom package is installed on this machine already; remove it first"
fi

umask 022
work=$(mktemp -d)
chmod 755 "$work" # apt's unprivileged downloader reads the package from here
installed=""
cleanup() {
    if [ -n "$installed" ]; then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=300 hueloom >/dev/null 2>&1 ||
            dpkg --purge hueloom >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# 1. Build the package, staged and written in a folder of its own.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    fail "cpack"
}
debs=("$work"/hueloom_*_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no hueloom_<version>_<arch>.deb"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "hueloom_${version}_$(dpkg --print-architecture).deb" ] || fail "package file name $deb"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "no library dependencies: $(dpkg-deb -f "$deb" Depends)"

# lintian may warn, and its findings are printed, but an error fails the package.
lint=0
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || lint=$?
grep -v 'running with root privileges' "$work/lintian.log" || true
[ "$lint" -eq 0 ] || fail "lintian reports errors"

# Paths of the package that do not exist yet must all be gone again after removal.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' | grep -v '^$' >"$work/paths"
while read -r path; do
    [ -e "$path" ] || echo "$path"
done <"$work/paths" >"$work/new-paths"

# 2. Install it the way a user would.
installed=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log"
    fail "apt-get install"
}

# 3. The program runs and reports the package's version.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/hueloom --version)" = "hueloom $version" ] || fail "/usr/bin/hueloom --version"
! readelf -S /usr/bin/hueloom | grep -qE '\.(symtab|debug_info)' || fail "the installed program is not stripped"

# 4. The desktop caches were rebuilt by their triggers, and scheme files open with Hueloom. The user's
# own choices and the session's desktop are kept out, so only the system-wide data counts.
grep -q '^application/x-hueloom-scheme:\*\.hlm$' /usr/share/mime/globs || fail "the MIME database lacks *.hlm"
icon_cache=/usr/share/icons/hicolor/icon-theme.cache
if [ -x /usr/sbin/update-icon-caches ]; then
    grep -aq 'org.hueloom.Hueloom' "$icon_cache" || fail "the icon cache lacks the icon"
fi
xdg=$work/xdg
mkdir -p "$xdg/data" "$xdg/config" "$xdg/config-dirs"
default=$(env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID -u DISPLAY \
    HOME="$xdg" XDG_DATA_HOME="$xdg/data" XDG_CONFIG_HOME="$xdg/config" XDG_CONFIG_DIRS="$xdg/config-dirs" \
    XDG_DATA_DIRS=/usr/share xdg-mime query default application/x-hueloom-scheme)
[ "$default" = "org.hueloom.Hueloom.desktop" ] || fail "xdg-mime names '$default' for scheme files"

# 5. Removal leaves nothing behind: no file, no folder of ours, no entry in the caches.
dpkg -L hueloom >"$work/listed"
installed=""
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=300 hueloom >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log"
    fail "apt-get remove"
}
left=$(dpkg-query -W -f='${db:Status-Abbrev}' hueloom 2>/dev/null || true)
case "$left" in "" | un*) ;; *) fail "dpkg still knows the package after removal: $left" ;; esac
while read -r path; do
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        grep -qxF "$path" "$work/new-paths" && fail "folder $path is left behind"
    elif [ -e "$path" ] || [ -L "$path" ]; then
        fail "$path is left behind"
    fi
done <"$work/listed"
! grep -q 'hueloom' /usr/share/mime/globs || fail "the MIME database still has the scheme type"
! grep -q 'org.hueloom.Hueloom' /usr/share/applications/mimeinfo.cache 2>/dev/null ||
    fail "the desktop entry is still in mimeinfo.cache"
! grep -aq 'org.hueloom.Hueloom' "$icon_cache" 2>/dev/null || fail "the icon cache still has the icon"
echo "debian package: ok ($(basename "$deb"))"
