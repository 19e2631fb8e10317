#!/usr/bin/env bash
# Unpacks the real pages that pages.tsv pins into a cache folder (first argument), each package once:
# npm packages with `npm pack` into npm/PACKAGE@VERSION/, Debian packages with `apt-get download` all into
# one tree deb/ laid out as they install, so that a page's style sheet linked from another package (a
# theme's, a framework's) is where the page's relative link finds it. Nothing of them is kept in the
# repository. Prints the cache folder's path.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/hueloom/pagecheck}
mkdir -p "$cache/deb/.unpacked" "$cache/npm"
work=$(mktemp -d)
chmod 755 "$work" # apt-get download hands the file to its own user
trap 'rm -rf "$work"' EXIT
while IFS=$'\t' read -r name source package version path; do
    case $name in '#'* | '') continue ;; esac
    case $source in
    npm)
        dir="$cache/npm/${package//\//_}@$version"
        [ -e "$dir/.unpacked" ] && continue
        rm -rf "$dir" && mkdir -p "$dir"
        (cd "$work" && npm pack --silent "$package@$version" >/dev/null)
        tar -xzf "$work"/*.tgz -C "$dir" --strip-components=1
        touch "$dir/.unpacked"
        ;;
    deb)
        mark="$cache/deb/.unpacked/$package@${version//:/_}"
        [ -e "$mark" ] && continue
        (cd "$work" && apt-get download -qq "$package=$version" >/dev/null 2>&1) ||
            { echo "cannot download $package=$version" >&2 && exit 1; }
        dpkg-deb -x "$work"/*.deb "$cache/deb"
        touch "$mark"
        ;;
    *) echo "unknown source: $source" >&2 && exit 1 ;;
    esac
    rm -f "$work"/*
done <"$here/pages.tsv"
echo "$cache"
