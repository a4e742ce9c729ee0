// gwinspect check and report on files that claim more than they hold: a
// FOR001 whose dimension record claims a grid of billions of cells beside a
// FOR013 of two drains, and a FOR011 of one cell whose type codes declare
// millions of layers. Memory must follow what the files hold: doubling the
// claim leaves the peak where it was, and it stays within 64 MiB.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "tests/support/program_runner.h"

namespace {

using testing_support::RunOptions;
using testing_support::RunResult;
using testing_support::read_file;
using testing_support::Scratch;

constexpr long kGoalKib = 64 * 1024;
// What doubling a claim may add to the peak: noise of the allocator and of
// the page cache, far below what one byte per claimed cell or layer gives.
constexpr long kGrowthKib = 4 * 1024;

void build_example(const Scratch& dir) {
  for (const auto& [program, answers] : {std::pair{MORVEK_PATH, "/morvek.txt"}, {QUILLET_PATH, "/quillet.txt"}}) {
    const RunResult run = testing_support::run_redirected(program, dir, read_file(EXAMPLES_DIR + std::string(answers)));
    ASSERT_EQ(run.exit_status, 0) << program << ": " << run.err;
  }
}

std::string i10(long long value) {
  std::string text = std::to_string(value);
  return std::string(text.size() < 10 ? 10 - text.size() : 0, ' ') + text;
}

// The example's FOR001 (2 layers of 6 rows by 7 columns, 3 stress periods)
// with `side` rows and `side` columns in its dimension record, beside its
// FOR013 cut after the two drains of period 1 (22 + 12 + 2 * 52 = 138 bytes),
// both inside the claimed grid. No FOR011.
void claimed_grid(const Scratch& dir, long long side) {
  build_example(dir);
  std::string basic = dir.read("FOR001");
  const std::size_t line3 = basic.find("\r\n", basic.find("\r\n") + 2) + 2;
  basic.replace(line3, 50, i10(2) + i10(side) + i10(side) + i10(3) + i10(4));
  dir.write("FOR001", basic);
  dir.write("FOR013", dir.read("FOR013").substr(0, 138));
}

// `count` copies of `field`, `per_line` to a line, each line ending in CR LF.
std::string in_lines(const std::string& field, long long per_line, long long count) {
  std::string full;
  for (long long i = 0; i < per_line; ++i) full += field;
  std::string text;
  for (long long left = count; left > 0; left -= per_line) {
    text += full.substr(0, field.size() * static_cast<std::size_t>(std::min(left, per_line))) + "\r\n";
  }
  return text;
}

// Beside the example's FOR001, a steady-state FOR011 of one row and one
// column whose layer type record holds `layers` codes 0 (40 a line) and whose
// TRPY- list holds as many factors; it ends where layer 1's TRAN- would begin.
void claimed_layers(const Scratch& dir, long long layers) {
  build_example(dir);
  const auto control = [](const std::string& label) {
    return i10(11) + "  1.00    " + "(10G10.3)           " + i10(0) +
           std::string(10 - label.size(), ' ') + label + "  0\r\n";
  };
  const std::string flow = i10(1) + i10(0) + "\r\n" + in_lines(" 0", 40, layers) + control("TRPY-") +
                           in_lines("  1.00    ", 10, layers) + control("DELR-") + "  100.    \r\n" +
                           control("DELC-") + "  100.    \r\n";
  dir.write("FOR011", flow);
}

struct ClaimCase {
  const char* name;
  std::function<void(const Scratch&, long long)> make;
  long long claim;  // and twice it
  int check_status;
  std::string in_check_output;  // shows the file was read as claimed
};

RunResult gwinspect(const Scratch& dir, std::initializer_list<std::string> arguments) {
  RunOptions options;
  options.arguments = arguments;
  return testing_support::run_redirected(GWINSPECT_PATH, dir, "", options);
}

TEST(ClaimedCounts, PeakMemoryFollowsTheFilesNotTheirClaims) {
#if defined(__SANITIZE_ADDRESS__)
  // The address sanitizer keeps freed memory in quarantine and adds shadow
  // memory, so a peak measured under it says nothing of the program's own.
  GTEST_SKIP() << "peak memory is measured without the address sanitizer";
#endif
  const ClaimCase cases[] = {
      // No FOR011, and IBOUND- of layer 1 ends long before its 130 000
      // columns; the drains lie inside the grid, so none is outside it.
      {"a grid of 130000 by 130000 cells", claimed_grid, 130000, 1, "FOR013:5:1: error: the file ends after stress period 1"},
      {"a FOR011 of one cell and 1000000 layers", claimed_layers, 1000000, 1,
       "FOR011:2:5: error: the layer type codes are for 1000000 layers; the grid has 2 layers (FOR001:3)"},
  };
  for (const ClaimCase& c : cases) {
    SCOPED_TRACE(c.name);
    long peaks[2][2] = {};  // [claim, twice it][check, report]
    for (int twice = 0; twice < 2; ++twice) {
      Scratch dir;
      const long long claim = c.claim * (twice + 1);
      c.make(dir, claim);
      const RunResult check = gwinspect(dir, {"check"});
      if (twice == 0) {
        EXPECT_EQ(check.exit_status, c.check_status) << check.out << check.err;
        EXPECT_NE(check.out.find(c.in_check_output), std::string::npos) << check.out;
        // Both drains lie inside the grid, in active cells: nothing to say of them.
        EXPECT_EQ(check.out.find("FOR013:3:"), std::string::npos) << check.out;
        EXPECT_EQ(check.out.find("FOR013:4:"), std::string::npos) << check.out;
      }
      const RunResult report = gwinspect(dir, {"report", ".", "-o", "page.html"});
      EXPECT_EQ(report.exit_status, 0) << report.err;
      EXPECT_TRUE(dir.exists("page.html"));
      peaks[twice][0] = check.peak_kib;
      peaks[twice][1] = report.peak_kib;
      for (const long peak : peaks[twice]) {
        EXPECT_GT(peak, 0);
        EXPECT_LE(peak, kGoalKib) << "claim " << claim;
      }
    }
    EXPECT_LE(peaks[1][0], peaks[0][0] + kGrowthKib) << "check";
    EXPECT_LE(peaks[1][1], peaks[0][1] + kGrowthKib) << "report";
  }
}

}  // namespace
