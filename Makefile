# Quick start: `make demo` runs the builders on the example answers and
# leaves their files in demo/ with gwinspect check's findings and the model's
# report, `make test` builds and runs every test. `make install` installs the
# programs, their manual pages, their bash completion and the examples
# (PREFIX, default /usr/local; DESTDIR for staging), `make package` builds the
# Debian package in build-deb/, its Maintainer from BUILDERS_MAINTAINER (and,
# with the MinGW-w64 toolchain, the Windows zip), `make windows` cross-compiles
# the programs for Windows into build-windows/bin/*.exe, `make test-windows`
# runs them under Wine against the Linux programs, `make bench` times the
# builders on scripted sessions, and gwinspect on model folders, against I/O
# floors, and the Python package against them (`make bench-python`: its rows
# alone; BENCH_FACTOR scales the workloads, BENCH_RUNS sets the number of
# timed runs). `make mutation` puts MUTANTS small faults, chosen with
# MUTATION_SEED, into MUTATION_FOLDERS one at a time and says which the tests
# catch (docs/development.md).
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
DEB_BUILD ?= build-deb
# The Maintainer field of the Debian package (and its changelog's signature),
# "Name <address>"; unset, the default in cmake/packaging.cmake.
BUILDERS_MAINTAINER ?=
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
BENCH_FACTOR ?= 1
BENCH_RUNS ?= 7
MUTANTS ?= 40
MUTATION_SEED ?= 22
MUTATION_FOLDERS ?= inspect answers check report gwinspect
PREFIX ?= /usr/local
DESTDIR ?=
DEMO ?= demo
# Further options for the configure step, e.g. CMAKE_ARGS=-DBUILDERS_TESTS=OFF
CMAKE_ARGS ?=

.PHONY: all configure build programs demo demo-faulty test test-sanitize install package wheel \
        fuzz-build fuzz bench bench-python windows test-windows mutation clean

all: build

# Each build is a configure preset of CMakePresets.json (release, sanitize,
# fuzz, windows), in its preset's folder unless BUILD and the others name
# another; by default `cmake --build` and `ctest` here do what
# `cmake --build --preset NAME` and `ctest --preset NAME` do.
configure:
	cmake --preset release -B $(BUILD) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The programs and their manual pages only, without the tests.
programs: configure
	cmake --build $(BUILD) -j $(JOBS) --target programs

demo: programs
	examples/run_demo.sh $(BUILD) $(DEMO)

# The faulty folder of the README: the three builders run quietly on
# examples/faulty/, then gwinspect check on the files they wrote.
demo-faulty: programs
	QUIET=1 examples/run_demo.sh $(BUILD) $(DEMO)/faulty examples/faulty

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize:
	cmake --preset sanitize -B $(SANITIZE_BUILD)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The programs with their manual pages, and the Python package where the
# build makes its module (cmake/python_install.cmake).
install: configure
	cmake --build $(BUILD) -j $(JOBS) --target installable
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package comes from a build of its own, whose programs link
# against the system's libraries (BUILD's are static); only the programs and
# their manual pages are built for it, with the Python package's module for
# the second package, python3-gwbuilders. The wheel of the Python package
# (its own build, python/setup.py, on that module) lands beside them.
package:
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILDERS_STATIC=OFF -DBUILDERS_TESTS=OFF \
	  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
	  $(if $(BUILDERS_MAINTAINER),-DBUILDERS_MAINTAINER="$(BUILDERS_MAINTAINER)",-UBUILDERS_MAINTAINER) \
	  $(CMAKE_ARGS)
	cmake --build $(DEB_BUILD) -j $(JOBS) --target installable
	cmake --build $(DEB_BUILD) --target package
	@ls -1 "$$(cd $(DEB_BUILD) && pwd)"/*.deb
	@if [ -n "$$(ls $(DEB_BUILD)/python/_native*.so 2> /dev/null)" ]; then \
	  $(MAKE) --no-print-directory wheel; \
	else \
	  echo "No Python module in $(DEB_BUILD), so no wheel (Debian: apt-get install pybind11-dev python3-numpy python3-build)"; \
	fi
	@if command -v x86_64-w64-mingw32-g++ > /dev/null 2>&1; then \
	  $(MAKE) --no-print-directory windows > /dev/null && \
	  cmake --build $(WINDOWS_BUILD) --target package > /dev/null && \
	  ls -1 "$$(cd $(WINDOWS_BUILD) && pwd)"/*.zip; \
	else \
	  echo "No MinGW-w64 toolchain, so no Windows zip (Debian: apt-get install g++-mingw-w64-x86-64)"; \
	fi

# The wheel of the Python package into DEB_BUILD, built without the network
# by the system's python3 (which has numpy and pybind11) from a copy of
# python/ (its build leaves build/ and egg-info beside setup.py), on the
# module DEB_BUILD made.
wheel:
	@scratch=$$(mktemp -d) && trap 'rm -rf "$$scratch"' EXIT && \
	  cp -r python "$$scratch/python" && rm -rf "$$scratch/python/build" "$$scratch/python/src/"*.egg-info && \
	  GWBUILDERS_CMAKE_BUILD="$$(cd $(DEB_BUILD) && pwd)" /usr/bin/python3 -m build --no-isolation --wheel \
	    --outdir "$$(cd $(DEB_BUILD) && pwd)" "$$scratch/python" > "$$scratch/build.log" 2>&1 \
	    || { cat "$$scratch/build.log"; exit 1; }
	@ls -1 "$$(cd $(DEB_BUILD) && pwd)"/gwbuilders-*.whl

# The programs for 64-bit Windows, statically linked (Debian's MinGW-w64).
windows:
	cmake --preset windows -B $(WINDOWS_BUILD)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# The Windows programs under Wine against the Linux ones: the same files,
# console bytes and exit statuses.
test-windows: build windows
	tests/windows/compare_under_wine.sh $(BUILD) $(WINDOWS_BUILD)

bench: build
	@scratch=$$(mktemp -d) && trap 'rm -rf "$$scratch"' EXIT && \
	  $(BUILD)/bench/bench_generate --factor $(BENCH_FACTOR) "$$scratch" && \
	  $(BUILD)/bench/bench_run --runs $(BENCH_RUNS) "$$scratch" && \
	  $(BUILD)/bench/bench_check --runs $(BENCH_RUNS) --factor $(BENCH_FACTOR) "$$scratch" && \
	  $(BUILD)/bench/bench_report --runs $(BENCH_RUNS) --factor $(BENCH_FACTOR) "$$scratch"
	$(MAKE) --no-print-directory bench-python

# The Python package's rows alone: read_model against the check, write
# against the builders (whose files it must match byte for byte).
bench-python: build
	@scratch=$$(mktemp -d) && trap 'rm -rf "$$scratch"' EXIT && \
	  /usr/bin/python3 bench/read_model_bench.py --runs $(BENCH_RUNS) --factor $(BENCH_FACTOR) $(BUILD) "$$scratch" && \
	  /usr/bin/python3 bench/write_model_bench.py --runs $(BENCH_RUNS) --factor $(BENCH_FACTOR) $(BUILD) "$$scratch"

# libFuzzer targets (clang), each run for FUZZ_SECONDS on its seed corpus.
fuzz-build:
	cmake --preset fuzz -B $(FUZZ_BUILD)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Its copy of the sources and its build stay in build-mutation/ between runs.
mutation:
	tools/mutate.py --count $(MUTANTS) --seed $(MUTATION_SEED) --jobs $(JOBS) $(MUTATION_FOLDERS)

clean:
	rm -rf build-mutation $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD) $(DEB_BUILD) $(DEMO)
