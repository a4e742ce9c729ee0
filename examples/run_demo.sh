#!/usr/bin/env bash
# run_demo.sh [BUILD [DEMO]]: runs each builder on its example answers in the
# folder DEMO (default demo/; each run replaces what the last one left), shows the dialogue it
# printed and the file it wrote, and leaves the files there.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bin=$(cd "$build/bin" && pwd)
demo=${2:-demo}
mkdir -p -- "$demo"
demo=$(cd "$demo" && pwd)
# Only what an earlier demo left goes, whatever else the folder holds.
(cd "$demo" && rm -f FOR001 FOR011 FOR013 morvek.txt cindral.txt quillet.txt)

run() {  # program, answers file, output file
  local program=$1 answers=$2 output=$3
  echo "==== $program < examples/$answers"
  cp "examples/$answers" "$demo/"
  (cd "$demo" && "$bin/$program" < "$answers") | tr -d '\r'
  echo "==== $output"
  tr -d '\r' < "$demo/$output"
  echo
}

run Morvek morvek.txt FOR001
run Cindral cindral.txt FOR011
run Quillet quillet.txt FOR013
echo "The files are in $demo (replaced on each make demo):"
(cd "$demo" && ls -l FOR001 FOR011 FOR013)
