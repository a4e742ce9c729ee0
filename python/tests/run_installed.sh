#!/usr/bin/env bash
# run_installed.sh ROOT BUILD [PYTEST ARGS...]: installs the package python/
# into a fresh virtual environment (made from /usr/bin/python3 with the
# system's site packages: numpy, pybind11, pytest, hypothesis), with the
# module of the build folder BUILD, then runs its tests there, outside the
# source tree, so that a file the package leaves out fails.
set -euo pipefail
root=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
shift 2
python=${GWBUILDERS_PYTHON:-/usr/bin/python3}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$python" -m venv --system-site-packages "$scratch/venv"
# The package's build puts its temporary files beside setup.py (pip builds
# a local folder in place): a copy of python/ keeps the source tree clean
# (the module comes from BUILD, so the copy needs no repository around it).
cp -r "$root/python" "$scratch/package"
rm -rf "$scratch/package/build" "$scratch/package/src/"*.egg-info
GWBUILDERS_CMAKE_BUILD="$build" "$scratch/venv/bin/python" -m pip install --quiet --no-build-isolation \
  --no-index --no-deps "$scratch/package" > "$scratch/pip.log" 2>&1 || { cat "$scratch/pip.log"; exit 1; }
rm -rf "$scratch/package"
cd "$scratch"
# Under the sanitizers (a module of the sanitizer build), pytest alone runs
# with their runtime preloaded and its options: GWBUILDERS_PRELOAD (the
# libraries, separated by colons) and GWBUILDERS_ASAN_OPTIONS
# (python/CMakeLists.txt). Their reports go to files, shown when the tests
# fail: pytest holds the standard error of a process the sanitizers abort.
if [ -n "${GWBUILDERS_PRELOAD:-}" ]; then
  IFS=: read -r -a preloaded <<< "$GWBUILDERS_PRELOAD"
  for library in "${preloaded[@]}"; do
    [ -f "$library" ] || { echo "run_installed: no $library to preload" >&2; exit 1; }
  done
  export LD_PRELOAD=$GWBUILDERS_PRELOAD
  export ASAN_OPTIONS=${GWBUILDERS_ASAN_OPTIONS:-detect_leaks=0}:log_path=$scratch/sanitizer
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}:log_path=$scratch/sanitizer
fi
status=0
GWBUILDERS_BIN="$build/bin" GWBUILDERS_EXAMPLES="$root/examples" \
  "$scratch/venv/bin/python" -m pytest -q -p no:cacheprovider "$root/python/tests" "$@" || status=$?
if [ "$status" -ne 0 ]; then
  for report in "$scratch"/sanitizer.*; do
    if [ -f "$report" ]; then cat "$report" >&2; fi
  done
fi
exit "$status"
