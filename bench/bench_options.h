// The command line the benchmark programs share,
//
//   PROGRAM [--runs N] [--factor F] FOLDER
//
// each program taking those of the two options that it names.
#pragma once

#include <optional>
#include <string>

namespace bench {

struct BenchOptions {
  int runs = 7;         // timed runs of each workload, at least 1
  double factor = 1.0;  // the workloads' size against the full one, above 0
  std::string folder;
};

struct OptionsTaken {
  bool runs = false;
  bool factor = false;
};

// The options of `argv`, or nothing after a usage line for `program` on
// standard error.
std::optional<BenchOptions> read_bench_options(int argc, char** argv, const char* program, OptionsTaken taken);

// A benchmark program's main: its options read (a usage error is status
// 2), then `run` on them, whose status it returns.
int run_bench_program(int argc, char** argv, const char* program, OptionsTaken taken,
                      int (*run)(const BenchOptions& options));

}  // namespace bench
