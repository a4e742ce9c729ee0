#!/usr/bin/env bash
# check_page.sh PAGE...: each manual page renders through man and groff
# with every warning turned on, and not one warning comes out.
set -euo pipefail
status=0
for page in "$@"; do
  [ -s "$page" ] || { echo "$page: missing or empty"; status=1; continue; }
  warnings=$( { MANWIDTH=80 man --warnings=w -l "$page" > /dev/null; } 2>&1 ) || status=1
  warnings+=$( { groff -ww -z -t -man "$page"; } 2>&1 ) || status=1
  if [ -n "$warnings" ]; then
    echo "$page:"
    echo "$warnings"
    status=1
  fi
done
exit $status
