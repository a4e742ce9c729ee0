#!/usr/bin/env bash
# run_demo.sh [BUILD [DEMO [ANSWERS]]]: runs each builder on its answers in
# the folder DEMO (default demo/; each run replaces what the last one left),
# shows the dialogue it printed and the file it wrote, checks the model the
# three files make with gwinspect check, writes its report, and leaves
# everything there. ANSWERS (default: examples/) holds morvek.txt,
# cindral.txt and quillet.txt; with QUIET=1 only the check is shown.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bin=$(cd "$build/bin" && pwd)
demo=${2:-demo}
answers=$(cd "${3:-examples}" && pwd)
quiet=${QUIET:-0}
mkdir -p -- "$demo"
demo=$(cd "$demo" && pwd)
# Only what an earlier demo left goes, whatever else the folder holds.
(cd "$demo" && rm -f FOR001 FOR011 FOR013 morvek.txt cindral.txt quillet.txt report.html)

run() {  # program, answers file, output file
  local program=$1 input=$2 output=$3
  [ -f "$answers/$input" ] || return 0
  cp "$answers/$input" "$demo/"
  if [ "$quiet" = 1 ]; then
    (cd "$demo" && "$bin/$program" < "$input" > /dev/null)
    return
  fi
  echo "==== $program < $(basename "$answers")/$input"
  (cd "$demo" && "$bin/$program" < "$input") | tr -d '\r'
  echo "==== $output"
  tr -d '\r' < "$demo/$output"
  echo
}

run Morvek morvek.txt FOR001
run Cindral cindral.txt FOR011
run Quillet quillet.txt FOR013

echo "==== gwinspect check"
status=0
(cd "$demo" && "$bin/gwinspect" check) || status=$?
echo "(exit status $status)"
[ "$quiet" = 1 ] && exit 0

# Last, the report of the model just built: one page to open in a browser.
(cd "$demo" && "$bin/gwinspect" report -o report.html > /dev/null)
echo "The files are in $demo (replaced on each make demo):"
(cd "$demo" && ls -l FOR001 FOR011 FOR013 report.html)
echo "Report of the example model: $demo/report.html"
