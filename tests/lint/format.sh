# The C++ sources are as .clang-format lays them out.
set -euo pipefail
root=$1
cd "$root"
find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run --Werror
echo "formatting: ok"
