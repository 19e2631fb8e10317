# npm_package NAME VERSION CACHE: installs the pinned package once into CACHE/NAME@VERSION (an absolute
# folder, as Node resolves packages from) and names that folder in $package_dir. Exits with status 77,
# skipping the test, only when npm cannot reach its registry; fails when it can and the install does not.
npm_package() {
    local name=$1 version=$2 cache=$3
    mkdir -p "$cache" && cache=$(cd "$cache" && pwd)
    package_dir="$cache/$name@$version"
    [ -e "$package_dir/.installed" ] && return 0
    rm -rf "$package_dir" && mkdir -p "$package_dir"
    if ! npm install --prefix "$package_dir" --no-audit --no-fund --no-save --loglevel=error "$name@$version" \
        >"$package_dir.log" 2>&1; then
        if ! timeout 30 npm ping >/dev/null 2>&1; then
            echo "skipped: npm cannot reach its registry to install $name $version:"
            grep -m3 -iE 'code E|request to|network' "$package_dir.log" || tail -3 "$package_dir.log"
            exit 77
        fi
        echo "FAIL: npm reached its registry but could not install $name $version: $(tail -5 "$package_dir.log")"
        exit 1
    fi
    touch "$package_dir/.installed"
}
