#!/usr/bin/env bash
# Runs each builder on its example answers in a scratch folder and shows the
# dialogue it printed and the file it wrote.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$here/.." && pwd)/$build
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

run() {  # program, answers file, output file
  local program=$1 answers=$2 output=$3 exe
  exe=$(find "$bin" -type f -name "$program" -perm -u+x | head -n 1)
  [ -n "$exe" ] || { echo "($program is not built)"; return; }
  echo "==== $program < examples/$(basename "$answers")"
  (cd "$scratch" && "$exe" < "$answers") | tr -d '\r'
  echo "==== $output"
  tr -d '\r' < "$scratch/$output"
  echo
}

[ -f "$here/morvek.txt" ] && run Morvek "$here/morvek.txt" FOR001
[ -f "$here/cindral.txt" ] && run Cindral "$here/cindral.txt" FOR011
[ -f "$here/quillet.txt" ] && run Quillet "$here/quillet.txt" FOR013
echo "Files written in a scratch folder, removed again."

# Last, the report of the model just built: one page to open in a browser.
gwinspect=$(find "$bin" -type f -name gwinspect -perm -u+x | head -n 1)
if [ -n "$gwinspect" ]; then
  demo=$(cd "$here/.." && pwd)/demo
  mkdir -p "$demo"
  "$gwinspect" report "$scratch" -o "$demo/report.html" > /dev/null
  echo "Report of the example model: $demo/report.html"
fi
