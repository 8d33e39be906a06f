#!/usr/bin/env bash
# The help file the Windows build compiled holds every page of our help
# sources and its table of contents, as chmls lists them.
#   help_file_test.sh Tessella.chm SOURCE_FOLDER
set -uo pipefail
chm=$1 sources=$2
[[ -s "$chm" ]] || { echo "help: $chm was not built" >&2; exit 1; }
listing=$(chmls list "$chm" 2>&1) || { echo "help: chmls cannot read $chm" >&2; echo "$listing"; exit 1; }
status=0 pages=0
for page in "$sources"/*.htm "$sources"/toc.hhc; do
  name=$(basename "$page")
  if grep -q " /$name\$" <<<"$listing"; then
    pages=$((pages + 1))
  else
    echo "help: $name is missing from $chm" >&2
    status=1
  fi
done
echo "help: $chm holds all $pages of its sources"
grep -E ' /[a-z]+\.(htm|hhc)$' <<<"$listing"
exit $status
