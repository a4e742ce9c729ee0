#!/usr/bin/env bash
# Runs each builder on its example answers in a scratch folder and shows the
# dialogue it printed and the file it wrote, then checks the model the three
# files make with gwinspect check.
#   examples/run_demo.sh [BUILD [ANSWERS_FOLDER]]
# ANSWERS_FOLDER (default: examples) holds morvek.txt, cindral.txt and
# quillet.txt; with QUIET=1 only the check is shown.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
answers=$(cd "${2:-$here}" && pwd)
bin=$(cd "$here/.." && pwd)/$build
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
quiet=${QUIET:-0}

find_program() { find "$bin" -type f -name "$1" -perm -u+x | head -n 1; }

run() {  # program, answers file, output file
  local program=$1 input=$2 output=$3 exe
  exe=$(find_program "$program")
  [ -n "$exe" ] || { echo "($program is not built)"; return; }
  if [ "$quiet" = 1 ]; then
    (cd "$scratch" && "$exe" < "$input" > /dev/null)
    return
  fi
  echo "==== $program < $(basename "$(dirname "$input")")/$(basename "$input")"
  (cd "$scratch" && "$exe" < "$input") | tr -d '\r'
  echo "==== $output"
  tr -d '\r' < "$scratch/$output"
  echo
}

[ -f "$answers/morvek.txt" ] && run Morvek "$answers/morvek.txt" FOR001
[ -f "$answers/cindral.txt" ] && run Cindral "$answers/cindral.txt" FOR011
[ -f "$answers/quillet.txt" ] && run Quillet "$answers/quillet.txt" FOR013

gwinspect=$(find_program gwinspect)
if [ -n "$gwinspect" ]; then
  echo "==== gwinspect check"
  status=0
  (cd "$scratch" && "$gwinspect" check) || status=$?
  echo "(exit status $status)"
fi
[ "$quiet" = 1 ] || echo "Files written in a scratch folder, removed again."

# Last, the report of the model just built: one page to open in a browser.
if [ -n "$gwinspect" ] && [ "$quiet" != 1 ]; then
  demo=$(cd "$here/.." && pwd)/demo
  mkdir -p "$demo"
  "$gwinspect" report "$scratch" -o "$demo/report.html" > /dev/null
  echo "Report of the example model: $demo/report.html"
fi
