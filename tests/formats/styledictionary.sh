#!/usr/bin/env bash
# The design tokens of Copy Scheme As, built into CSS variables by Style Dictionary from npm, give the
# scheme's five colours: both token shapes with Style Dictionary 5, which reads the colour objects, and
# the hex strings with Style Dictionary 4 as well, which reads no colour object (it writes
# "[object Object]", the reason the hex strings exist). Each pinned version is installed once into the
# cache folder. Skips, with status 77, only when npm cannot reach its registry.
#     styledictionary.sh WRITE_SHAPE CACHE
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
write_shape=$1
cache=${HUELOOM_STYLEDICTIONARY_CACHE:-$2}
versions=(5.8.0 4.4.0)
fail() { echo "FAIL: $*" && exit 1; }
command -v node >/dev/null && command -v npm >/dev/null || fail "node and npm are needed (scripts/test installs them)"
source "$here/../support/npm_package.sh"
# Style Dictionary 5 asks for Node.js 22 and runs on Debian's Node.js 20 all the same: npm only warns.
for version in "${versions[@]}"; do
    npm_package style-dictionary "$version" "$cache"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The default scheme, black and white, and random ones, from a fixed seed.
schemes=('#CECEFF,#0055AA,#007C00,#003C00,#00B500' '#000000,#FFFFFF,#000000,#FFFFFF,#010203')
RANDOM=36
for _ in $(seq 30); do
    scheme=""
    for _ in 1 2 3 4 5; do scheme+=$(printf ',#%02X%02X%02X' $((RANDOM % 256)) $((RANDOM % 256)) $((RANDOM % 256))); done
    schemes+=("${scheme:1}")
done

# built VERSION SHAPE: the CSS Style Dictionary VERSION builds from each scheme in SHAPE, in $work/VERSION-SHAPE,
# has every scheme's five colours, as CSS variables, in the slots' own names.
built() {
    local out="$work/$1-$2"
    mkdir -p "$out/tokens" "$out/css"
    "$write_shape" "$2" "$out/tokens" "${schemes[@]}" || fail "write_shape $2"
    for file in "$out"/tokens/*.txt; do mv "$file" "${file%.txt}.json"; done
    NODE_PATH="$cache/style-dictionary@$1/node_modules" node "$here/styledictionary.mjs" "$out/css" "$out"/tokens/*.json \
        >"$out.log" 2>&1 || fail "Style Dictionary $1 could not build $2: $(tail -5 "$out.log")"
    python3 - "$out/css" "$1 $2" "${schemes[@]}" <<'PYTHON' || exit 1
import re, sys
names = ["page-background", "page-text", "link", "link-visited", "link-active"]
schemes = sys.argv[3:]
for n, scheme in enumerate(schemes, 1):
    css = open(f"{sys.argv[1]}/{n}.css").read()
    found = dict(re.findall(r"--([a-z-]+): ([^;]*);", css))
    built = [found.get(name, "").upper() for name in names]
    if built != scheme.split(","):
        sys.exit(f"FAIL: Style Dictionary {sys.argv[2]}: {scheme} was built as {built}")
print(f"Style Dictionary {sys.argv[2]}: {len(schemes)} schemes, every colour as copied")
PYTHON
}
for run in 5.8.0:tokens 5.8.0:tokens-hex 4.4.0:tokens-hex; do
    built "${run%:*}" "${run#*:}"
done
# What the hex strings are for: Style Dictionary 4 cannot read the colour objects.
if (built 4.4.0 tokens) >/dev/null 2>&1; then
    fail "Style Dictionary 4 read the colour objects after all: $(cat "$work/4.4.0-tokens/css/1.css")"
fi
echo ok
