#!/usr/bin/env bash
# check_page.sh PAGE...: each manual page renders through man and groff
# with every warning turned on, and not one warning comes out. A page may
# be gzipped, as installed; groff then reads it decompressed.
set -euo pipefail
status=0
plain=$(mktemp)
trap 'rm -f "$plain"' EXIT
for page in "$@"; do
  [ -s "$page" ] || { echo "$page: missing or empty"; status=1; continue; }
  case $page in
    *.gz) gzip -dc "$page" > "$plain" || { echo "$page: not gzip"; status=1; continue; } ;;
    *) cp "$page" "$plain" ;;
  esac
  for check in "man --warnings=w -l" "groff -ww -z -t -man"; do
    input=$page
    [ "${check%% *}" = groff ] && input=$plain
    warnings=$( { MANWIDTH=80 $check "$input" > /dev/null; } 2>&1 ) || status=1
    if [ -n "$warnings" ]; then
      printf '%s, %s:\n%s\n' "$page" "$check" "$warnings"
      status=1
    fi
  done
done
exit $status
