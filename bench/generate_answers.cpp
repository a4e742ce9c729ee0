// Writes the answer files of the benchmark workloads into a folder, with a
// list of what the runner needs to know about each.
//
//   bench_generate [--factor F] FOLDER
//
// FOLDER/<name>.txt holds the answers; FOLDER/workloads.txt one line per
// workload: name, program, output file, answers file, expected output size
// in bytes, cells of the working arrays in use, bytes of the output file's
// longest array row.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "workloads.h"

namespace {

int usage() {
  std::cerr << "usage: bench_generate [--factor F] FOLDER\n";
  return 2;
}

bool write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  double factor = 1.0;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--factor" && i + 1 < argc) {
      factor = std::strtod(argv[++i], nullptr);
      if (!(factor > 0.0)) return usage();
    } else if (folder.empty() && !arg.starts_with("-")) {
      folder = arg;
    } else {
      return usage();
    }
  }
  if (folder.empty()) return usage();

  std::string manifest;
  for (const bench::Workload& w : bench::make_workloads(factor)) {
    const std::string answers_file = w.name + ".txt";
    if (!write_file(folder + "/" + answers_file, w.answers)) {
      std::cerr << "bench_generate: cannot write " << folder << "/" << answers_file << "\n";
      return 1;
    }
    manifest += w.name + " " + w.program + " " + w.output_file + " " + answers_file + " " +
                std::to_string(w.output_bytes) + " " + std::to_string(w.working_cells) + " " +
                std::to_string(w.row_bytes) + "\n";
    std::cout << w.name << ": " << w.answers.size() << " bytes of answers, " << w.output_file
              << " of " << w.output_bytes << " bytes expected\n";
  }
  if (!write_file(folder + "/workloads.txt", manifest)) {
    std::cerr << "bench_generate: cannot write " << folder << "/workloads.txt\n";
    return 1;
  }
  return 0;
}
