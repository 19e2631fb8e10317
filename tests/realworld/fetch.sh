#!/usr/bin/env bash
# Unpacks the real-world stylesheets that stylesheets.tsv pins into a cache folder (first argument), each
# package once: npm packages with `npm pack`, Debian packages with `apt-get download`. Nothing of them is
# kept in the repository. Prints the cache folder's path.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/hueloom/realworld}
mkdir -p "$cache"
work=$(mktemp -d)
chmod 755 "$work" # apt-get download hands the file to its own user
trap 'rm -rf "$work"' EXIT
while IFS=$'\t' read -r source package version path; do
    case $source in '#'* | '') continue ;; esac
    dir="$cache/${package//\//_}@$version"
    [ -e "$dir/.unpacked" ] && continue
    rm -rf "$dir" && mkdir -p "$dir"
    case $source in
    npm)
        (cd "$work" && npm pack --silent "$package@$version" >/dev/null)
        tar -xzf "$work"/*.tgz -C "$dir" --strip-components=1
        ;;
    deb)
        (cd "$work" && apt-get download -qq "$package=$version" >/dev/null)
        dpkg-deb -x "$work"/*.deb "$dir"
        ;;
    *) echo "unknown source: $source" >&2 && exit 1 ;;
    esac
    rm -f "$work"/*
    touch "$dir/.unpacked"
done <"$here/stylesheets.tsv"
echo "$cache"
