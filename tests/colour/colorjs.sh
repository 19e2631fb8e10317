#!/usr/bin/env bash
# The colours of the OKLCH bars against colorjs.io's CSS gamut mapping: for 2,000 random places (out of
# sRGB, on the hue's seam, black and white among them) Hueloom's colour is colorjs.io's, rounded to 8 bits,
# except where colorjs.io's channel lies within 1e-6 of a halfway point between two codes. The pinned
# version is installed once into the cache folder. Skips, with status 77, only when npm cannot reach its
# registry.
#     colorjs.sh OKLCH_COLOURS CACHE
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
oklch_colours=$1
cache=${HUELOOM_COLORJS_CACHE:-$2}
version=0.7.1
fail() { echo "FAIL: $*" && exit 1; }
command -v node >/dev/null && command -v npm >/dev/null || fail "node and npm are needed (scripts/test installs them)"
source "$here/../support/npm_package.sh"
npm_package colorjs.io "$version" "$cache"
dir=$package_dir

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
NODE_PATH="$dir/node_modules" node "$here/colorjs.mjs" "${HUELOOM_PLACES:-2000}" "${HUELOOM_SEED:-37}" >"$work/expected" \
    || fail "colorjs.io could not map the places"
cut -d' ' -f1-3 "$work/expected" | "$oklch_colours" >"$work/hueloom" || fail "oklch_colours"
python3 - "$work/expected" "$work/hueloom" <<'PYTHON'
import sys
expected = [line.split() for line in open(sys.argv[1])]
ours = [line.split() for line in open(sys.argv[2])]
if len(expected) != len(ours):
    sys.exit(f"FAIL: {len(expected)} places, {len(ours)} colours")
near, differ, mapped = 0, [], 0
for fields, (colour, where) in zip(expected, ours):
    place, channels = fields[:3], [float(v) for v in fields[3:]]
    codes = [int(min(max(v, 0.0), 1.0) * 255 + 0.5) for v in channels]
    mapped += where == "mapped"
    if colour == "#" + "".join(f"{code:02x}" for code in codes):
        continue
    # Within 1e-6 of a halfway point, a difference in the last bits of either side may round it either way.
    if any(abs(v * 255 - round(v * 255 - 0.5) - 0.5) < 255e-6 for v in channels):
        near += 1
        continue
    differ.append(f"oklch({int(place[0]) / 10}% {int(place[1]) / 1000} {int(place[2]) / 10}): colorjs.io "
                  f"{' '.join(fields[3:])}, Hueloom {colour}")
if differ:
    sys.exit("FAIL: " + str(len(differ)) + " places differ:\n" + "\n".join(differ[:20]))
print(f"{len(expected)} places, {mapped} of them mapped into sRGB: every colour as colorjs.io maps it"
      f" ({near} within 1e-6 of a halfway point)")
PYTHON
