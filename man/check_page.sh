#!/usr/bin/env bash
# check_page.sh PAGE...: each manual page renders through man and groff
# with every warning turned on, and not one warning comes out.
set -euo pipefail
status=0
for page in "$@"; do
  [ -s "$page" ] || { echo "$page: missing or empty"; status=1; continue; }
  for check in "man --warnings=w -l" "groff -ww -z -t -man"; do
    warnings=$( { MANWIDTH=80 $check "$page" > /dev/null; } 2>&1 ) || status=1
    if [ -n "$warnings" ]; then
      printf '%s, %s:\n%s\n' "$page" "$check" "$warnings"
      status=1
    fi
  done
done
exit $status
