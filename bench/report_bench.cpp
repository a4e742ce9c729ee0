// Times gwinspect report against gwinspect check on the same folder, in
// the same run:
//
//   R1  one layer of 10^8 cells (10 000 by 10 000), the check benchmark's
//       single layer (one_layer_model.h).
//
//   bench_report [--runs N] [--factor F] FOLDER
//
// The model is built in FOLDER/report-r1 by running the builders, and
// removed afterwards. Check and report run interleaved; the table gives
// medians. Targets: a report time of at most twice the check's, and a peak
// resident memory of at most 64 MiB plus 2 bytes per cell of one layer.
// Every run's exit status is checked, and the page's size (under 20 MB).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bench/bench_files.h"
#include "bench/bench_options.h"
#include "bench/one_layer_model.h"
#include "bench/table_numbers.h"
#include "bench/timed_run.h"

using bench::file_size;
using bench::format;
using bench::median;
using bench::write_file;

namespace {

constexpr double kTimeTarget = 2.0;  // report time / check time
constexpr double kMemoryAllowanceMiB = 64.0;
constexpr double kBytesPerLayerCell = 2.0;
constexpr std::int64_t kPageLimit = 20'000'000;

int time_report(const bench::BenchOptions& options) {
  const std::int64_t rows = std::max<std::int64_t>(1, std::llround(10'000 * options.factor)), columns = 10'000;
  const bench::OneLayerModel model = bench::one_layer_model(rows, columns, std::min<std::int64_t>(100'000, rows * 10));
  const std::string model_folder = options.folder + "/report-r1";
  std::filesystem::create_directories(model_folder);
  const std::string errors = model_folder + "/stderr.txt";
  if (!write_file(model_folder + "/" + bench::OneLayerModel::kSolverFileName, model.solver_file)) {
    std::cerr << "bench_report: cannot write the solver's file in " << model_folder << "\n";
    return 1;
  }
  for (const auto& [program, name, answers] :
       {std::tuple{MORVEK_PATH, "R1-morvek.txt", &model.morvek}, std::tuple{CINDRAL_PATH, "R1-cindral.txt", &model.cindral},
        std::tuple{QUILLET_PATH, "R1-quillet.txt", &model.quillet}}) {
    const std::string path = options.folder + "/" + name;
    if (!write_file(path, *answers) || bench::run_builder(program, model_folder, path, "/dev/null", errors).exit_status != 0) {
      std::cerr << "bench_report: " << program << " < " << path << " failed\n";
      return 1;
    }
  }
  std::int64_t bytes = 0;
  for (const char* name : {"FOR001", "FOR011", "FOR013"}) bytes += file_size(model_folder + "/" + name);

  const std::string page = model_folder + "/report.html";
  auto run_check = [&] {
    return bench::run_program(GWINSPECT_PATH, {"check"}, model_folder, "/dev/null", "/dev/null", errors);
  };
  auto run_report = [&] {
    return bench::run_program(GWINSPECT_PATH, {"report", "-o", page}, model_folder, "/dev/null", "/dev/null", errors);
  };
  // Untimed: warms the caches.
  bool sound = run_check().exit_status == 0 && run_report().exit_status == 0;
  std::vector<double> check_times, report_times;
  long peak_kib = 0;
  for (int r = 0; r < options.runs && sound; ++r) {
    const bench::RunOutcome check = run_check();
    const bench::RunOutcome report = run_report();
    sound = check.exit_status == 0 && report.exit_status == 0;
    check_times.push_back(check.seconds);
    report_times.push_back(report.seconds);
    peak_kib = std::max(peak_kib, report.peak_kib);
  }
  const std::int64_t page_bytes = file_size(page);
  std::filesystem::remove_all(model_folder);
  if (!sound || page_bytes <= 0 || page_bytes >= kPageLimit) {
    std::cerr << "bench_report: a run failed, or the page (" << page_bytes << " bytes) is missing or too large\n";
    return 1;
  }

  const double check_s = median(check_times), report_s = median(report_times);
  const double ratio = report_s / check_s;
  const double peak_mib = static_cast<double>(peak_kib) / 1024.0;
  const double limit_mib = kMemoryAllowanceMiB + kBytesPerLayerCell * static_cast<double>(rows * columns) / (1 << 20);
  const std::string verdict = bench::verdict(ratio <= kTimeTarget, peak_mib <= limit_mib);
  std::cout << "\nMedians of " << options.runs << " runs, check and report interleaved.\n\n"
            << "| workload | folder | file bytes | check s | report s | ratio | page kB | peak MiB | limit MiB | targets |\n"
            << "|---|---|---:|---:|---:|---:|---:|---:|---:|---|\n"
            << "| R1 | 1 layer of " << rows * columns << " cells | " << bytes << " | " << format("%.3f", check_s) << " | "
            << format("%.3f", report_s) << " | " << format("%.2f", ratio) << " | " << (page_bytes + 1023) / 1024 << " | "
            << format("%.1f", peak_mib) << " | " << format("%.1f", limit_mib) << " | " << verdict << " |\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::run_bench_program(argc, argv, "bench_report", {.runs = true, .factor = true}, time_report);
}
