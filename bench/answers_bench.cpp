#include "bench/answers_bench.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "bench/bench_files.h"
#include "bench/table_numbers.h"
#include "bench/timed_run.h"

namespace bench {
namespace {

constexpr double kTimeTarget = 3.0;                    // gwinspect time / floor time
constexpr std::int64_t kMemoryAllowance = 16 << 20;  // bytes, beside one row

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Compared a block at a time: the runner stays small, since the programs it
// starts count its memory in their peak.
bool same_bytes(const std::string& a, const std::string& b) {
  std::ifstream in_a(a, std::ios::binary), in_b(b, std::ios::binary);
  if (!in_a || !in_b) return false;
  std::vector<char> block_a(1 << 16), block_b(1 << 16);
  for (;;) {
    in_a.read(block_a.data(), static_cast<std::streamsize>(block_a.size()));
    in_b.read(block_b.data(), static_cast<std::streamsize>(block_b.size()));
    if (in_a.gcount() != in_b.gcount()) return false;
    if (!std::equal(block_a.begin(), block_a.begin() + in_a.gcount(), block_b.begin())) return false;
    if (in_a.gcount() == 0) return true;
  }
}

bool failed(const std::string& workload, const std::string& what, const RunOutcome& run,
            const std::string& errors) {
  if (run.exit_status == 0) return false;
  std::cerr << workload << ": " << what << " ended with status " << run.exit_status << ", signal "
            << run.signal << "\n"
            << contents(errors);
  return true;
}

}  // namespace

bool run_answers_bench(const std::vector<AnswersWorkload>& workloads, int runs,
                       const std::string& gwinspect, const std::string& floor) {
  std::cout << "\n`gwinspect answers` on each output file, against a floor that reads the file "
               "and writes as many bytes as the answers (both to a file):\n\n";
  std::cout << "| workload | file | file bytes | answer bytes | floor s | gwinspect s | ratio | "
               "peak MiB | limit MiB | targets |\n";
  std::cout << "|---|---|---:|---:|---:|---:|---:|---:|---:|---|\n";
  bool sound = true;
  int missed = 0;
  for (const AnswersWorkload& w : workloads) {
    const std::string file = w.folder + "/" + w.output_file;
    const std::string answers = w.folder + "/answers.txt";
    const std::string errors = w.folder + "/stderr.txt";
    const std::vector<std::string> arguments = {"answers", w.output_file};

    // Untimed: the answers, and the file they rebuild.
    RunOutcome first = run_program(gwinspect, arguments, w.folder, "/dev/null", answers, errors);
    if (failed(w.name, "gwinspect answers", first, errors)) {
      sound = false;
      continue;
    }
    const std::int64_t answer_bytes = file_size(answers);
    const std::string rebuild = w.folder + "/rebuild";
    ::mkdir(rebuild.c_str(), 0755);
    RunOutcome built = run_builder(w.builder, rebuild, answers, "/dev/null", errors);
    if (failed(w.name, "the builder on the answers", built, errors)) {
      sound = false;
      continue;
    }
    const std::string rebuilt = rebuild + "/" + w.output_file;
    const bool same = same_bytes(rebuilt, file);
    std::remove(rebuilt.c_str());
    if (!same) {
      std::cerr << w.name << ": the answers rebuild another file\n";
      sound = false;
      continue;
    }

    const std::vector<std::string> floor_arguments = {"/dev/null", "0", std::to_string(answer_bytes)};
    std::vector<double> floor_times, times;
    long peak_kib = 0;
    bool runs_sound = true;
    for (int r = 0; r < runs && runs_sound; ++r) {
      RunOutcome f = run_program(floor, floor_arguments, w.folder, file, answers, errors);
      RunOutcome g = run_program(gwinspect, arguments, w.folder, "/dev/null", answers, errors);
      runs_sound = !failed(w.name, "floor", f, errors) && !failed(w.name, "gwinspect", g, errors) &&
                   file_size(answers) == answer_bytes;
      floor_times.push_back(f.seconds);
      times.push_back(g.seconds);
      peak_kib = std::max(peak_kib, g.peak_kib);
    }
    if (!runs_sound) {
      sound = false;
      continue;
    }
    const double floor_s = median(floor_times), seconds = median(times), ratio = seconds / floor_s;
    const double peak_mib = static_cast<double>(peak_kib) / 1024.0;
    const double limit_mib = static_cast<double>(kMemoryAllowance + w.row_bytes) / (1 << 20);
    const std::string verdict = bench::verdict(ratio <= kTimeTarget, peak_mib <= limit_mib);
    if (verdict != "met") ++missed;
    std::cout << "| " << w.name << " | " << w.output_file << " | " << file_size(file) << " | " << answer_bytes
              << " | " << format("%.4f", floor_s) << " | " << format("%.4f", seconds) << " | "
              << format("%.2f", ratio) << " | " << format("%.1f", peak_mib) << " | " << format("%.1f", limit_mib)
              << " | " << verdict << " |\n";
  }
  if (missed > 0) std::cout << missed << " answers workload(s) missed a target.\n";
  return sound;
}

}  // namespace bench
