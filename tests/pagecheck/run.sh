#!/usr/bin/env bash
# The page check against axe-core as a test: fills the cache with the real pages (once; fetch.sh reads
# nothing it already has) and compares strictly with what axe-core said of them, recorded in axe.jsonl, so
# no browser is needed. Skips, with status 77, when the pages cannot be fetched, or when this Hueloom
# judges no page's texts yet.
#     run.sh HUELOOM CACHE
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
hueloom=$1
cache=${HUELOOM_PAGECHECK_CACHE:-$2}
mkdir -p "$(dirname "$cache")"
if ! "$here/fetch.sh" "$cache" >/dev/null 2>"$cache.log"; then
    echo "skipped: the real pages could not be fetched (npm or apt-get cannot reach its registry):"
    tail -3 "$cache.log"
    exit 77
fi
exec python3 "$here/compare.py" "$hueloom" "$cache" --strict
