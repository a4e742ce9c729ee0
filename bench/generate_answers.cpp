// Writes the answer files of the benchmark workloads into a folder, with a
// list of what the runner needs to know about each.
//
//   bench_generate [--factor F] FOLDER
//
// FOLDER/<name>.txt holds the answers; FOLDER/workloads.txt one line per
// workload: name, program, output file, answers file, expected output size
// in bytes, cells of the working arrays in use, bytes of the output file's
// longest array row, and how the answers come in ("file" or "pipe").
#include <iostream>
#include <string>

#include "bench/bench_files.h"
#include "bench/bench_options.h"
#include "bench/workloads.h"

namespace {

int write_answers(const bench::BenchOptions& options) {
  std::string manifest;
  for (const bench::Workload& w : bench::make_workloads(options.factor)) {
    const std::string answers_file = w.name + ".txt";
    if (!bench::write_file(options.folder + "/" + answers_file, w.answers)) {
      std::cerr << "bench_generate: cannot write " << options.folder << "/" << answers_file << "\n";
      return 1;
    }
    manifest += w.name + " " + w.program + " " + w.output_file + " " + answers_file + " " +
                std::to_string(w.output_bytes) + " " + std::to_string(w.working_cells) + " " +
                std::to_string(w.row_bytes) + (w.piped ? " pipe" : " file") + "\n";
    std::cout << w.name << ": " << w.answers.size() << " bytes of answers, " << w.output_file
              << " of " << w.output_bytes << " bytes expected\n";
  }
  if (!bench::write_file(options.folder + "/workloads.txt", manifest)) {
    std::cerr << "bench_generate: cannot write " << options.folder << "/workloads.txt\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::run_bench_program(argc, argv, "bench_generate", {.runs = false, .factor = true}, write_answers);
}
