// End-to-end sessions of the base builder, the grid's counts: zero and
// negative counts, and grids above the limit refused before any further
// question. Expected bytes are written field by field.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/programs/morvek_session.h"

namespace {

using namespace morvek_session;

struct CountCase {
  const char* name;
  std::vector<std::string> header;  // the four counts as typed
  std::vector<std::string> body;    // answers after the header
  std::string dimension_record;
  std::vector<std::string> after_header;  // records after the header
};

TEST(MorvekRun, ZeroAndNegativeCounts) {
  const std::string one_head = "  1.00    ";
  const std::vector<CountCase> cases = {
      {"no layers: no-flow head right after the header, then the periods",
       {"0", "3", "3", "1"},
       {"999", "7", "2", ","},
       blanks(9) + "0" + blanks(9) + "3" + blanks(9) + "3" + blanks(9) + "1" + blanks(9) + "4",
       {"  999.    ", "  7.00    " + blanks(9) + "2" + "  .000    "}},
      {"negative layers and periods",
       {"-2", "3", "3", "-1"},
       {"5"},
       blanks(8) + "-2" + blanks(9) + "3" + blanks(9) + "3" + blanks(8) + "-1" + blanks(9) + "4",
       {"  5.00    "}},
      {"no periods: the file ends with the last starting-head array",
       {"1", "1", "1", "0"},
       {"0", "1", "999", "0", "1"},
       blanks(9) + "1" + blanks(9) + "1" + blanks(9) + "1" + blanks(9) + "0" + blanks(9) + "4",
       {boundary_control(1), "  1", "  999.    ", head_control(1), one_head}},
      {"no rows: the questions and the control records, no value records",
       {"1", "0", "4", "0"},
       {"0", "1", "999", "1"},
       blanks(9) + "1" + blanks(9) + "0" + blanks(9) + "4" + blanks(9) + "0" + blanks(9) + "4",
       {boundary_control(1), "  999.    ", head_control(1)}},
      {"negative rows",
       {"1", "-3", "4", "0"},
       {"1", "999", "1"},
       blanks(9) + "1" + blanks(8) + "-3" + blanks(9) + "4" + blanks(9) + "0" + blanks(9) + "4",
       {boundary_control(1), "  999.    ", head_control(1)}},
      {"no columns: one empty record per row",
       {"1", "2", "0", "0"},
       {"1", "999", "0", "3"},
       blanks(9) + "1" + blanks(9) + "2" + blanks(9) + "0" + blanks(9) + "0" + blanks(9) + "4",
       {boundary_control(1), "", "", "  999.    ", head_control(1), "", ""}},
      {"negative columns",
       {"1", "2", "-7", "0"},
       {"1", "999", "1"},
       blanks(9) + "1" + blanks(9) + "2" + blanks(8) + "-7" + blanks(9) + "0" + blanks(9) + "4",
       {boundary_control(1), "", "", "  999.    ", head_control(1), "", ""}},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    RunResult r = run_redirected(
        kMorvek, dir, join(header_answers(c.header[0], c.header[1], c.header[2], c.header[3]), c.body));
    EXPECT_EQ(r.exit_status, 0) << r.err;
    std::vector<std::string> file = header_records(c.dimension_record);
    file.insert(file.end(), c.after_header.begin(), c.after_header.end());
    EXPECT_EQ(dir.read("FOR001"), records(file));
    EXPECT_EQ(count(r.out, " Row "), 0u);
  }
}

struct GridLimitCase {
  const char* rows;
  const char* columns;
  std::string refusal;           // empty when the grid is accepted
  std::string dimension_record;  // of an accepted grid
};

TEST(MorvekRun, GridsAboveTheLimitAreRefusedBeforeAnyFurtherQuestion) {
  const std::vector<GridLimitCase> cases = {
      {"20000", "20000",
       "Morvek: a grid of 20000 rows by 20000 columns has 400000000 cells; the limit is "
       "100000000 cells per array\n", ""},
      {"10000", "10001",
       "Morvek: a grid of 10000 rows by 10001 columns has 100010000 cells; the limit is "
       "100000000 cells per array\n", ""},
      {"2147483647", "2147483647",
       "Morvek: a grid of 2147483647 rows by 2147483647 columns has 4611686014132420609 "
       "cells; the limit is 100000000 cells per array\n", ""},
      {"10000", "10000", "",
       blanks(9) + "0" + blanks(5) + "10000" + blanks(5) + "10000" + blanks(9) + "0" + blanks(9) + "4"},
      {"-1", "2147483647", "",
       blanks(9) + "0" + blanks(8) + "-1" + "2147483647" + blanks(9) + "0" + blanks(9) + "4"},
      {"2147483647", "0", "",
       blanks(9) + "0" + "2147483647" + blanks(9) + "0" + blanks(9) + "0" + blanks(9) + "4"},
  };
  const std::string old_file = "records of an earlier run\r\n";
  for (const GridLimitCase& c : cases) {
    SCOPED_TRACE(std::string(c.rows) + " by " + c.columns);
    Scratch dir;
    dir.write("FOR001", old_file);
    // No layers, so an accepted grid needs no storage at all.
    RunResult r = run_redirected(kMorvek, dir, join(header_answers("0", c.rows, c.columns, "0"), {"1"}));
    if (c.refusal.empty()) {
      EXPECT_EQ(r.exit_status, 0) << r.err;
      EXPECT_EQ(dir.read("FOR001"), records(header_records(c.dimension_record) +
                                            std::vector<std::string>{"  1.00    "}));
      continue;
    }
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.err, c.refusal);
    EXPECT_EQ(dir.read("FOR001"), old_file);
    EXPECT_EQ(r.out, crlf({"Title Line # 1", "Title Line # 2", "Number of Aquifer Layers",
                           "Number of Grid Rows     ", "Number of Grid Columns  "}) +
                         "\r\n");
  }
}

TEST(MorvekRun, RefusalCreatesNoFile) {
  Scratch dir;
  RunResult r = run_redirected(kMorvek, dir, join(header_answers("1", "100000", "1001", "0"), {}));
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_FALSE(dir.exists("FOR001"));
}

}  // namespace
