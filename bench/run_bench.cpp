// Runs every builder on its benchmark workloads and prints how close it
// comes to the I/O floor of the same workload, measured in the same run.
//
//   bench_run [--runs N] FOLDER
//
// FOLDER holds the answer files and workloads.txt from bench_generate; the
// runs take place in FOLDER/run, with the answers redirected from their file
// or, for the piped workloads, written into a pipe by a second process. Per workload: one untimed run that also
// counts the console bytes, then N times the floor (bench_floor, started
// like a builder: it reads the answers and writes as many bytes to the
// output file and to standard output) and the builder, interleaved. Every
// run's exit status and output file size are checked.
// The table gives medians; the targets are a builder time of at most twice
// the floor and a peak resident memory of at most the working arrays in use
// (4 bytes per cell) plus 8 MiB.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/answers_bench.h"
#include "bench/bench_files.h"
#include "bench/bench_options.h"
#include "bench/table_numbers.h"
#include "bench/timed_run.h"

using bench::file_size;
using bench::format;
using bench::median;

namespace {

constexpr double kTimeTarget = 2.0;                  // builder time / floor time
constexpr std::int64_t kMemoryAllowance = 8 << 20;  // bytes beyond the arrays
constexpr std::int64_t kBytesPerCell = 4;

struct Entry {
  std::string name, program, output_file, answers_file;
  std::int64_t output_bytes = 0, working_cells = 0, row_bytes = 0;
  bench::Feed feed = bench::Feed::File;
};

std::vector<Entry> read_manifest(const std::string& path) {
  std::vector<Entry> entries;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Entry e;
    if (fields >> e.name >> e.program >> e.output_file >> e.answers_file >> e.output_bytes >>
        e.working_cells >> e.row_bytes) {
      std::string feed;
      if (fields >> feed && feed == "pipe") e.feed = bench::Feed::Pipe;
      entries.push_back(e);
    }
  }
  return entries;
}

// Where the builders were built; empty for one whose file is not there.
std::string program_path(const std::string& program) {
  static const std::map<std::string, std::string> built = {
      {"Quillet", QUILLET_PATH},
      {"Morvek", MORVEK_PATH},
      {"Cindral", CINDRAL_PATH},
  };
  auto found = built.find(program);
  if (found == built.end() || ::access(found->second.c_str(), X_OK) != 0) return {};
  return found->second;
}

std::string read_text(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// "2 cores, AMD EPYC, 23.5 GiB"
std::string machine_description() {
  std::string model = "unknown CPU";
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.starts_with("model name")) {
      model = line.substr(line.find(':') + 2);
      break;
    }
  }
  double gib = static_cast<double>(sysconf(_SC_PHYS_PAGES)) *
               static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 30);
  char text[256];
  std::snprintf(text, sizeof text, "%ld cores, %s, %.1f GiB memory", sysconf(_SC_NPROCESSORS_ONLN),
                model.c_str(), gib);
  return text;
}

class Failure {
 public:
  explicit Failure(std::string workload) : workload_(std::move(workload)) {}
  // Checks one run: exit status 0 and the output file's size.
  bool check(const char* what, const bench::RunOutcome& run, std::int64_t size,
             std::int64_t expected, const std::string& error_path) {
    if (run.exit_status == 0 && size == expected) return true;
    std::cerr << workload_ << ": " << what << " failed: ";
    if (run.exit_status != 0) {
      if (run.signal != 0) {
        std::cerr << "ended by signal " << run.signal;
      } else {
        std::cerr << "exit status " << run.exit_status;
      }
    } else {
      std::cerr << "output file of " << size << " bytes, expected " << expected;
    }
    std::cerr << "\n";
    if (!error_path.empty()) std::cerr << read_text(error_path);
    return false;
  }

 private:
  std::string workload_;
};

int time_builders(const bench::BenchOptions& options) {
  std::vector<Entry> entries = read_manifest(options.folder + "/workloads.txt");
  if (entries.empty()) {
    std::cerr << "bench_run: no workloads in " << options.folder << "/workloads.txt\n";
    return 2;
  }
  const std::string run_folder = options.folder + "/run";
  ::mkdir(run_folder.c_str(), 0755);
  const std::string console_copy = run_folder + "/console.out";
  const std::string errors = options.folder + "/stderr.txt";

  std::cout << "Machine: " << machine_description() << "\n";
  std::cout << "Medians of " << options.runs << " runs, floor and builder interleaved.\n\n";
  std::cout << "| workload | program | file bytes | console bytes | floor s | builder s | ratio "
               "| MB/s | peak MiB | limit MiB | targets |\n";
  std::cout << "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---|\n";
  std::vector<std::string> notes;
  std::vector<bench::AnswersWorkload> read_back;  // each output file, kept for gwinspect
  bool all_runs_sound = true;
  int targets_missed = 0;

  for (const Entry& e : entries) {
    const std::string program = program_path(e.program);
    if (program.empty()) {
      notes.push_back(e.name + " skipped: " + e.program + " is not built");
      continue;
    }
    const std::string answers = options.folder + "/" + e.answers_file;
    const std::string output = run_folder + "/" + e.output_file;
    Failure failure(e.name);

    // Untimed: warms the caches and counts what the builder shows.
    bench::RunOutcome first = bench::run_builder(program, run_folder, answers, console_copy, errors, e.feed);
    const std::int64_t console_bytes = file_size(console_copy);
    ::unlink(console_copy.c_str());
    if (!failure.check("first run", first, file_size(output), e.output_bytes, errors)) {
      all_runs_sound = false;
      continue;
    }

    const std::vector<std::string> floor_arguments = {e.output_file, std::to_string(e.output_bytes),
                                                      std::to_string(console_bytes)};
    auto run_floor = [&] {
      return bench::run_program(BENCH_FLOOR_PATH, floor_arguments, run_folder, answers, "/dev/null",
                                errors, e.feed);
    };
    bool sound = failure.check("first floor run", run_floor(), file_size(output), e.output_bytes, errors);

    std::vector<double> floor_times, builder_times;
    long peak_kib = 0;
    for (int r = 0; r < options.runs && sound; ++r) {
      bench::RunOutcome floor = run_floor();
      sound = failure.check("floor", floor, file_size(output), e.output_bytes, errors);
      bench::RunOutcome run = bench::run_builder(program, run_folder, answers, "/dev/null", errors, e.feed);
      sound = sound && failure.check("builder", run, file_size(output), e.output_bytes, errors);
      floor_times.push_back(floor.seconds);
      builder_times.push_back(run.seconds);
      peak_kib = std::max(peak_kib, run.peak_kib);
    }
    if (!sound) {
      ::unlink(output.c_str());
      all_runs_sound = false;
      continue;
    }
    const std::string kept = options.folder + "/read-back-" + e.name;
    ::mkdir(kept.c_str(), 0755);
    ::rename(output.c_str(), (kept + "/" + e.output_file).c_str());
    // The piped workloads write the same files as their plain twins.
    if (e.feed == bench::Feed::File) read_back.push_back({e.name, program, kept, e.output_file, e.row_bytes});

    const double floor_s = median(floor_times);
    const double builder_s = median(builder_times);
    const double ratio = builder_s / floor_s;
    const double written = static_cast<double>(e.output_bytes + console_bytes);
    const double peak_mib = static_cast<double>(peak_kib) / 1024.0;
    const double limit_mib =
        static_cast<double>(e.working_cells * kBytesPerCell + kMemoryAllowance) / (1 << 20);
    const std::string verdict = bench::verdict(ratio <= kTimeTarget, peak_mib <= limit_mib);
    if (verdict != "met") ++targets_missed;
    std::cout << "| " << e.name << " | " << e.program << " | " << e.output_bytes << " | "
              << console_bytes << " | " << format("%.4f", floor_s) << " | "
              << format("%.4f", builder_s) << " | " << format("%.2f", ratio) << " | "
              << format("%.0f", written / builder_s / 1e6) << " | " << format("%.1f", peak_mib)
              << " | " << format("%.1f", limit_mib) << " | " << verdict << " |\n";
  }

  std::cout << "\nMB/s: bytes written (file and console) per second of builder time.\n";
  for (const std::string& note : notes) std::cout << note << "\n";
  if (targets_missed > 0) std::cout << targets_missed << " workload(s) missed a target.\n";
  if (!bench::run_answers_bench(read_back, options.runs, GWINSPECT_PATH, BENCH_FLOOR_PATH)) all_runs_sound = false;
  if (!all_runs_sound) {
    std::cout << "Some runs failed; see above.\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::run_bench_program(argc, argv, "bench_run", {.runs = true, .factor = false}, time_builders);
}
