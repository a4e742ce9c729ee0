#include "bench/bench_options.h"

#include <cstdlib>
#include <iostream>

namespace bench {

std::optional<BenchOptions> read_bench_options(int argc, char** argv, const char* program, OptionsTaken taken) {
  BenchOptions options;
  bool sound = true;
  for (int i = 1; i < argc && sound; ++i) {
    const std::string arg = argv[i];
    if (taken.runs && arg == "--runs" && i + 1 < argc) {
      options.runs = std::atoi(argv[++i]);
      sound = options.runs >= 1;
    } else if (taken.factor && arg == "--factor" && i + 1 < argc) {
      options.factor = std::strtod(argv[++i], nullptr);
      sound = options.factor > 0.0;
    } else if (options.folder.empty() && !arg.starts_with("-")) {
      options.folder = arg;
    } else {
      sound = false;
    }
  }
  if (sound && !options.folder.empty()) return options;
  std::cerr << "usage: " << program << (taken.runs ? " [--runs N]" : "") << (taken.factor ? " [--factor F]" : "")
            << " FOLDER\n";
  return std::nullopt;
}

int run_bench_program(int argc, char** argv, const char* program, OptionsTaken taken,
                      int (*run)(const BenchOptions& options)) {
  const std::optional<BenchOptions> options = read_bench_options(argc, argv, program, taken);
  return options ? run(*options) : 2;
}

}  // namespace bench
