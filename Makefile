# Quick start: `make demo` runs the builders on the example answers and
# checks the model they make, `make test` builds and runs every test,
# `make bench` times the builders on scripted sessions, and gwinspect check
# on model folders, against I/O floors (BENCH_FACTOR scales the workloads,
# BENCH_RUNS sets the number of timed runs).
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
BENCH_FACTOR ?= 1
BENCH_RUNS ?= 7

.PHONY: all build demo demo-faulty test test-sanitize fuzz-build fuzz bench clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	examples/run_demo.sh $(BUILD)

# The faulty folder of the README: the three builders run quietly on
# examples/faulty/, then gwinspect check on the files they wrote.
demo-faulty: build
	QUIET=1 examples/run_demo.sh $(BUILD) examples/faulty

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize:
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBUILDERS_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

bench: build
	@scratch=$$(mktemp -d) && trap 'rm -rf "$$scratch"' EXIT && \
	  $(BUILD)/bench/bench_generate --factor $(BENCH_FACTOR) "$$scratch" && \
	  $(BUILD)/bench/bench_run --runs $(BENCH_RUNS) "$$scratch" && \
	  $(BUILD)/bench/bench_check --runs $(BENCH_RUNS) --factor $(BENCH_FACTOR) "$$scratch" && \
	  $(BUILD)/bench/bench_report --runs $(BENCH_RUNS) --factor $(BENCH_FACTOR) "$$scratch"

# libFuzzer targets (clang), each run for FUZZ_SECONDS on its seed corpus.
fuzz-build:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILDERS_FUZZ=ON -DBUILDERS_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
