#!/usr/bin/env bash
# Prints deb-src entries (deb822 form) for every enabled deb entry of the
# given release in the machine's apt sources, one-line or deb822, so that
# the source entries use exactly the mirrors the machine already trusts.
set -euo pipefail
codename=${1:-}
[[ -n "$codename" ]] || exit 0

emit() {  # uris suites components signed_by
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n' "$1" "$2" "$3"
  [[ -n "$4" ]] && printf 'Signed-By: %s\n' "$4"
  printf '\n'
}

# Keeps only the suites of this release (bookworm, bookworm-updates,
# bookworm-security, ...), so third-party repositories are left alone.
release_suites() {
  local out=() s
  for s in $1; do
    [[ "$s" == "$codename" || "$s" == "$codename"-* ]] && out+=("$s")
  done
  echo "${out[*]:-}"
}

shopt -s nullglob
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [[ -r "$f" ]] || continue
  while read -r type rest; do
    [[ "$type" == deb ]] || continue
    signed=""
    if [[ "$rest" == \[* ]]; then
      opts=${rest%%]*}; rest=${rest#*]}
      [[ "$opts" =~ signed-by=([^[:space:]]+) ]] && signed=${BASH_REMATCH[1]}
    fi
    read -r uri suite comps <<<"$rest"
    suite=$(release_suites "$suite")
    [[ -n "$suite" && -n "$comps" ]] && emit "$uri" "$suite" "$comps" "$signed"
  done <"$f"
done

for f in /etc/apt/sources.list.d/*.sources; do
  [[ -r "$f" && "$f" != */tessella-deb-src.sources ]] || continue
  # deb822: stanzas separated by blank lines; comments start with '#'.
  awk 'BEGIN { RS = ""; FS = "\n" }
       { types = uris = suites = comps = signed = ""; enabled = "yes"
         for (i = 1; i <= NF; i++) {
           line = $i; if (line ~ /^#/) continue
           key = line; sub(/:.*/, "", key); val = line; sub(/^[^:]*:[ \t]*/, "", val)
           key = tolower(key)
           if (key == "types") types = val; else if (key == "uris") uris = val
           else if (key == "suites") suites = val; else if (key == "components") comps = val
           else if (key == "signed-by") signed = val; else if (key == "enabled") enabled = tolower(val)
         }
         if (enabled != "no" && (" " types " ") ~ / deb /) print uris "\t" suites "\t" comps "\t" signed }' "$f" |
    while IFS=$'\t' read -r uris suites comps signed; do
      suites=$(release_suites "$suites")
      [[ -n "$suites" && -n "$comps" ]] && emit "$uris" "$suites" "$comps" "$signed"
    done
done
exit 0
