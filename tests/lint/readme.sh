# The README stays a front page: what the program is, how to run, test and install it, and where to
# read more. Usage goes in docs/guide.md, internals in docs/development.md; the pages it links exist.
set -euo pipefail
root=$1
limit=150
lines=$(wc -l <"$root/README.md")
if [ "$lines" -ge "$limit" ]; then
    echo "README.md has $lines lines; keep it under $limit (usage in docs/guide.md, internals in docs/development.md)"
    exit 1
fi
for link in $(grep -oE '\]\([^)#]+' "$root/README.md" | sed 's/^](//' | grep -v '://'); do
    [ -e "$root/$link" ] || { echo "README.md links to $link, which does not exist"; exit 1; }
done
echo "README.md: $lines lines"
