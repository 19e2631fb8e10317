# Shared by scripts/run and scripts/test: installs what is missing, then configures and builds.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

# Installs, with apt-get, only those of the named Debian packages that are not installed yet.
need_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running the program needs.
BUILD_PACKAGES=(build-essential cmake pkg-config qt6-base-dev qt6-qpa-plugins libxcb1-dev fonts-liberation libgumbo-dev
    librsvg2-bin)
# What the checks on the code itself need.
LINT_PACKAGES=(clang-format)
# What running it on a virtual display, and the end-to-end tests, need.
DISPLAY_PACKAGES=(xvfb xauth x11-utils xdotool xclip imagemagick)
# What the tests of other desktops need: two platform themes to be immune to (GTK, qt6ct), and Qt's
# Wayland platform with a headless compositor to run on.
DESKTOP_PACKAGES=(qt6-gtk-platformtheme qt6ct qt6-wayland weston)
# What printing through a real scheduler in the tests needs: CUPS, the cups-pdf queue, poppler's tools.
PRINT_PACKAGES=(cups cups-client printer-driver-cups-pdf poppler-utils)
# What the screen-reader and screen-picker tests need: a private session bus (the picker test puts a
# fake desktop portal on it), the AT-SPI bus and registry, and pyatspi
# to walk the program's accessibility tree.
ACCESSIBILITY_PACKAGES=(dbus at-spi2-core python3-pyatspi)
# What checking the installed desktop files needs.
INSTALL_CHECK_PACKAGES=(desktop-file-utils appstream shared-mime-info)
# What building the Debian package and checking it installed needs: dpkg-shlibdeps, lintian,
# xdg-mime, and the icon cache trigger.
PACKAGE_CHECK_PACKAGES=(dpkg-dev lintian xdg-utils gtk-update-icon-cache)
# What the save test needs to watch a save from outside: strace shows the data synced before the rename.
TRACE_PACKAGES=(strace)
# What the fuzz target needs: clang with its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# What the real-world test needs to fetch its pinned style sheets: npm for the npm registry's packages
# (apt-get download fetches the Debian ones). A machine with Node.js from elsewhere has npm already.
CORPUS_PACKAGES=()
command -v npm >/dev/null 2>&1 || CORPUS_PACKAGES=(npm)

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
}
