// Times gwinspect check on two model folders against the I/O floor of the
// same files, measured in the same run:
//
//   K1  the files of the builders' workloads M1, C1 and Q1 as one folder
//       (not one model: their grids differ, so the check finds errors);
//   K2  one layer of 10^8 cells (10 000 by 10 000), a consistent model:
//       boundary and starting heads, steady-state conductivity and bottom,
//       100 000 drains, each in its own cell.
//
//   bench_check [--runs N] [--factor F] FOLDER
//
// FOLDER holds the answers bench_generate wrote (M1, C1, Q1); the folders
// are built there by running the builders, and removed afterwards. The
// floor (bench_read_floor) reads the three files to their ends. Targets: a
// check time of at most 3 times the floor, and a peak resident memory of at
// most 64 MiB plus 2 bytes per cell of one layer.
//
// Then the peak memory of gwinspect check and gwinspect report on files
// that claim more than they hold (target: at most 64 MiB, whatever the
// claim): KG, a FOR001 whose dimension record claims a grid of N by N cells
// and ends in its first boundary array, beside a FOR013 of two drains; KL,
// a FOR011 of one cell whose layer type record and TRPY- list declare L
// layers, beside the same FOR001. Each shape at two claims, the second
// larger, so that growth with the claim shows.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

constexpr double kTimeTarget = 3.0;
constexpr double kMemoryAllowanceMiB = 64.0;
constexpr double kBytesPerLayerCell = 2.0;

std::int64_t scaled(std::int64_t full, double factor) {
  return std::max<std::int64_t>(1, std::llround(static_cast<double>(full) * factor));
}

struct Folder {
  std::string name, what, path;
  int expected_status;
  std::int64_t layer_cells;
};

bool run_builders(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& runs) {
  for (const auto& [program, answers] : runs) {
    const bench::RunOutcome run = bench::run_builder(program, folder, answers, "/dev/null", folder + "/stderr.txt");
    if (run.exit_status != 0) {
      std::cerr << "bench_check: " << program << " < " << answers << " failed in " << folder << "\n";
      return false;
    }
  }
  return true;
}

std::string i10(std::int64_t value) {
  const std::string text = std::to_string(value);
  return std::string(text.size() < 10 ? 10 - text.size() : 0, ' ') + text;
}

std::string array_control(std::string_view locator, std::string_view format, std::string_view label,
                          std::string_view layer) {
  std::string record = std::string(locator) + "  1.00    " + std::string(format);
  record.resize(40, ' ');
  return record + i10(0) + std::string(10 - label.size(), ' ') + std::string(label) + std::string(layer) + "\r\n";
}

// A FOR001 of 2 layers of `side` by `side` cells and 1 stress period, using
// Block Centered Flow and Drains, that ends after the first line of its
// first boundary array; a FOR013 of two drains inside that grid.
void write_claimed_grid(const std::string& folder, std::int64_t side) {
  std::string basic = std::string(80, 'T') + "\r\n" + std::string(80, 't') + "\r\n";
  basic += i10(2) + i10(side) + i10(side) + i10(1) + i10(4) + "\r\n";
  basic += " 11  0 13";
  for (int slot = 4; slot <= 24; ++slot) basic += "  0";
  basic += "\r\n" + i10(1) + i10(1) + "\r\n";
  basic += array_control("         1", "(20I3)", "IBOUND-", "  1") + std::string(20, ' ') + "\r\n";
  write_file(folder + "/FOR001", basic);
  write_file(folder + "/FOR013", i10(20) + i10(0) + "\r\n" + i10(2) + "\r\n" + i10(1) + i10(5) + i10(6) +
                                     "  95.5      .100E+04\r\n" + i10(1) + i10(4) + i10(7) + "  94.3      .500E-01\r\n");
}

// Beside that FOR001 (of 1 by 1 cells), a steady-state FOR011 of one cell
// whose type codes (all 0) and TRPY- list are for `layers` layers.
void write_claimed_layers(const std::string& folder, std::int64_t layers) {
  write_claimed_grid(folder, 1);
  std::string flow = i10(1) + i10(0) + "\r\n";
  for (std::int64_t left = layers; left > 0; left -= 40) {
    for (std::int64_t i = 0; i < std::min<std::int64_t>(left, 40); ++i) flow += " 0";
    flow += "\r\n";
  }
  flow += array_control("        11", "(10G10.3)", "TRPY-", "  0");
  for (std::int64_t left = layers; left > 0; left -= 10) {
    for (std::int64_t i = 0; i < std::min<std::int64_t>(left, 10); ++i) flow += "  1.00    ";
    flow += "\r\n";
  }
  flow += array_control("        11", "(10G10.3)", "DELR-", "  0") + "  100.    \r\n";
  flow += array_control("        11", "(10G10.3)", "DELC-", "  0") + "  100.    \r\n";
  write_file(folder + "/FOR011", flow);
}

// The peak memory of check and report on the claims; false when a run
// failed. Counts the rows that missed their target in `missed`.
bool claims_table(const std::string& folder, double factor, int& missed) {
  struct Claim {
    std::string name, what;
    void (*write)(const std::string&, std::int64_t);
    std::int64_t claim;
  };
  const Claim claims[] = {
      {"KG", "a grid of N by N cells", write_claimed_grid, 130'000},
      {"KG", "a grid of N by N cells", write_claimed_grid, 300'000},
      {"KL", "a FOR011 of N layers", write_claimed_layers, scaled(1'000'000, factor)},
      {"KL", "a FOR011 of N layers", write_claimed_layers, scaled(4'000'000, factor)},
  };
  std::cout << "\nPeak memory on files that claim more than they hold (target: "
            << format("%.0f", kMemoryAllowanceMiB) << " MiB, whatever the claim).\n\n";
  std::cout << "| workload | claim | N | file bytes | check peak MiB | report peak MiB | limit MiB | targets |\n";
  std::cout << "|---|---|---:|---:|---:|---:|---:|---|\n";
  bool sound = true;
  for (const Claim& c : claims) {
    const std::string path = folder + "/check-claim";
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    c.write(path, c.claim);
    std::int64_t bytes = 0;
    for (const char* name : {"FOR001", "FOR011", "FOR013"}) {
      if (std::filesystem::exists(path + "/" + name)) bytes += file_size(path + "/" + name);
    }
    const std::string errors = path + "/stderr.txt";
    const bench::RunOutcome check = bench::run_program(GWINSPECT_PATH, {"check"}, path, "/dev/null", "/dev/null", errors);
    const bench::RunOutcome report =
        bench::run_program(GWINSPECT_PATH, {"report", ".", "-o", "page.html"}, path, "/dev/null", "/dev/null", errors);
    if (check.exit_status != 1 || report.exit_status != 0) {
      std::cerr << c.name << " " << c.claim << ": gwinspect check exited with " << check.exit_status
                << " (expected 1), report with " << report.exit_status << " (expected 0)\n";
      sound = false;
      continue;
    }
    const double check_mib = static_cast<double>(check.peak_kib) / 1024.0;
    const double report_mib = static_cast<double>(report.peak_kib) / 1024.0;
    const bool met = check_mib <= kMemoryAllowanceMiB && report_mib <= kMemoryAllowanceMiB;
    if (!met) ++missed;
    std::cout << "| " << c.name << " | " << c.what << " | " << c.claim << " | " << bytes << " | "
              << format("%.1f", check_mib) << " | " << format("%.1f", report_mib) << " | "
              << format("%.1f", kMemoryAllowanceMiB) << " | " << (met ? "met" : "MISSED: memory") << " |\n";
    std::filesystem::remove_all(path);
  }
  return sound;
}

int check_model_folders(const bench::BenchOptions& options) {
  // K1: the builders' own workloads as one folder.
  std::vector<Folder> folders;
  const std::string k1 = options.folder + "/check-k1";
  std::filesystem::create_directories(k1);
  if (!run_builders(k1, {{MORVEK_PATH, options.folder + "/M1.txt"},
                         {CINDRAL_PATH, options.folder + "/C1.txt"},
                         {QUILLET_PATH, options.folder + "/Q1.txt"}})) {
    return 1;
  }
  folders.push_back({"K1", "M1+C1+Q1", k1, 1, scaled(1000, options.factor) * 1000});

  // K2: one layer of 10^8 cells.
  const std::int64_t rows = scaled(10'000, options.factor), columns = 10'000;
  const bench::OneLayerModel big = bench::one_layer_model(rows, columns, std::min<std::int64_t>(100'000, rows * 10));
  const std::string k2 = options.folder + "/check-k2";
  std::filesystem::create_directories(k2);
  if (!write_file(options.folder + "/K2-morvek.txt", big.morvek) || !write_file(options.folder + "/K2-cindral.txt", big.cindral) ||
      !write_file(options.folder + "/K2-quillet.txt", big.quillet) ||
      !write_file(k2 + "/" + bench::OneLayerModel::kSolverFileName, big.solver_file) ||
      !run_builders(k2, {{MORVEK_PATH, options.folder + "/K2-morvek.txt"},
                         {CINDRAL_PATH, options.folder + "/K2-cindral.txt"},
                         {QUILLET_PATH, options.folder + "/K2-quillet.txt"}})) {
    return 1;
  }
  folders.push_back({"K2", "1 layer of " + std::to_string(rows * columns) + " cells", k2, 0, rows * columns});

  std::cout << "\nMedians of " << options.runs << " runs, floor and check interleaved.\n\n";
  std::cout << "| workload | folder | file bytes | floor s | check s | ratio | MB/s | peak MiB | limit MiB | targets |\n";
  std::cout << "|---|---|---:|---:|---:|---:|---:|---:|---:|---|\n";
  bool sound = true;
  int missed = 0;
  for (const Folder& f : folders) {
    const std::vector<std::string> files = {"FOR001", "FOR011", "FOR013"};
    std::int64_t bytes = 0;
    for (const std::string& name : files) bytes += file_size(f.path + "/" + name);
    const std::string errors = f.path + "/check-stderr.txt";
    const std::string report = f.path + "/check-report.txt";
    auto run_check = [&](const std::string& out) {
      return bench::run_program(GWINSPECT_PATH, {"check"}, f.path, "/dev/null", out, errors);
    };
    auto run_floor = [&] {
      return bench::run_program(BENCH_READ_FLOOR_PATH, files, f.path, "/dev/null", "/dev/null", errors);
    };
    // Untimed: warms the caches; its report shows what the check found.
    const bench::RunOutcome first = run_check(report);
    if (first.exit_status != f.expected_status) {
      std::cerr << f.name << ": gwinspect check exited with " << first.exit_status << ", expected "
                << f.expected_status << "\n";
      sound = false;
      continue;
    }
    std::vector<double> floor_times, check_times;
    long peak_kib = 0;
    for (int r = 0; r < options.runs; ++r) {
      const bench::RunOutcome floor = run_floor();
      const bench::RunOutcome check = run_check("/dev/null");
      if (floor.exit_status != 0 || check.exit_status != f.expected_status) {
        std::cerr << f.name << ": a timed run failed\n";
        sound = false;
        break;
      }
      floor_times.push_back(floor.seconds);
      check_times.push_back(check.seconds);
      peak_kib = std::max(peak_kib, check.peak_kib);
    }
    if (floor_times.empty()) continue;
    const double floor_s = median(floor_times), check_s = median(check_times);
    const double ratio = check_s / floor_s;
    const double peak_mib = static_cast<double>(peak_kib) / 1024.0;
    const double limit_mib = kMemoryAllowanceMiB + kBytesPerLayerCell * static_cast<double>(f.layer_cells) / (1 << 20);
    const std::string verdict = bench::verdict(ratio <= kTimeTarget, peak_mib <= limit_mib);
    if (verdict != "met") ++missed;
    std::cout << "| " << f.name << " | " << f.what << " | " << bytes << " | " << format("%.4f", floor_s) << " | "
              << format("%.4f", check_s) << " | " << format("%.2f", ratio) << " | "
              << format("%.0f", static_cast<double>(bytes) / check_s / 1e6) << " | " << format("%.1f", peak_mib)
              << " | " << format("%.1f", limit_mib) << " | " << verdict << " |\n";
  }
  std::cout << "\nMB/s: bytes of the three files per second of check time.\n";
  for (const Folder& f : folders) {
    std::ifstream in(f.path + "/check-report.txt");
    std::string line, last;
    while (std::getline(in, line)) last = line;
    std::cout << f.name << ": " << last << "\n";
    std::filesystem::remove_all(f.path);
  }
  if (!claims_table(options.folder, options.factor, missed)) sound = false;
  if (missed > 0) std::cout << missed << " workload(s) missed a target.\n";
  return sound ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::run_bench_program(argc, argv, "bench_check", {.runs = true, .factor = true}, check_model_folders);
}
