#!/usr/bin/env bash
# The real-world corpus as a test: fills the cache (once; fetch.sh reads nothing it already has) and
# compares strictly. Skips, with status 77, when the packages cannot be fetched.
#     run.sh HUELOOM CACHE
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
hueloom=$1
cache=${HUELOOM_REALWORLD_CACHE:-$2}
if ! "$here/fetch.sh" "$cache" >/dev/null 2>"$cache.log"; then
    echo "skipped: the real-world style sheets could not be fetched (npm or apt-get cannot reach its registry):"
    tail -3 "$cache.log"
    exit 77
fi
exec python3 "$here/compare.py" "$hueloom" "$cache" --strict
