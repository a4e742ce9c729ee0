#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a fixed time each, on the seed
# corpus in fuzz/corpus (read only) and a working corpus kept in the build
# folder, so that later runs go on from what earlier ones found.
#   fuzz/run_fuzzers.sh BUILD_DIR SECONDS_PER_TARGET [TARGET...]
set -euo pipefail
build=${1:?build folder}
seconds=${2:?seconds per target}
shift 2
here=$(cd "$(dirname "$0")" && pwd)

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/fuzz/fuzz_*; do
    [ -x "$exe" ] && targets+=("$(basename "$exe")")
  done
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build/fuzz" >&2; exit 1; }

failed=0
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  seeds=$here/corpus/$name
  work=$build/fuzz-corpus/$name
  artifacts=$build/fuzz-artifacts
  mkdir -p "$work" "$artifacts"
  extra=()
  case $name in
    session_* | read_back) extra+=(-dict="$here/session.dict") ;;
    check) extra+=(-dict="$here/check.dict") ;;
  esac
  echo "==== $target: $seconds s"
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 \
       -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "${extra[@]}" \
       "$work" "$seeds" > "$build/fuzz-$name.log" 2>&1; then
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units)' "$build/fuzz-$name.log" || true
  else
    failed=1
    echo "$target FAILED; its log:"
    tail -n 60 "$build/fuzz-$name.log"
    ls "$artifacts" | sed 's/^/  saved input: /'
  fi
done
exit $failed
