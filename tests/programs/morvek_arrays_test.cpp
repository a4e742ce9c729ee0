// End-to-end sessions of the base builder, the boundary and starting-head
// arrays: rows of more than one line, empty rows, overflowing cells, an
// answer that fails inside an array, and grids larger than the echo's rows
// or the output buffer. Expected bytes are written field by field.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/programs/morvek_session.h"

namespace {

using namespace morvek_session;

TEST(MorvekRun, RowsWiderThanOneLine) {
  Scratch dir;
  std::vector<std::string> cells;  // layer 2, cell by cell: ten times the column
  for (int c = 1; c <= 25; ++c) cells.push_back(c == 2 || c == 21 ? "," : std::to_string(10 * c));
  std::vector<std::string> body = {"0", "1"};                  // layer 1 boundary: all 1
  body.push_back("1");                                         // layer 2 boundary: cell by cell
  body.insert(body.end(), cells.begin(), cells.end());
  body.insert(body.end(), {"-5", "0", "2.5", "0", ","});       // no-flow; heads 2.5, then again
  RunResult r = run_redirected(kMorvek, dir, join(header_answers("2", "1", "25", "0"), body));
  ASSERT_EQ(r.exit_status, 0) << r.err;

  const std::string ones = repeat("  1", 20);
  const std::string heads = repeat("  2.50    ", 10);
  std::vector<std::string> file = header_records(dimensions(2, 1, 25, 0));
  file.insert(file.end(),
              {boundary_control(1), ones, repeat("  1", 5),
               // The two null cells keep layer 1's value.
               boundary_control(2), " 10  1 30 40 50 60 70 80 90100110120130140150160170180190200",
               "  1220230240250", " -5.00    ", head_control(1), heads, heads, repeat("  2.50    ", 5),
               head_control(2), heads, heads, repeat("  2.50    ", 5)});
  EXPECT_EQ(dir.read("FOR001"), records(file));

  // Each line of a row is echoed without its first column.
  EXPECT_NE(r.out.find(shown({" 1" + repeat("  1", 19), " 1" + repeat("  1", 4)})), std::string::npos);
  EXPECT_NE(r.out.find(shown({"10  1 30 40 50 60 70 80 90100110120130140150160170180190200",
                              " 1220230240250"})),
            std::string::npos);
  const std::string head_echo = " 2.50    " + repeat("  2.50    ", 9);
  EXPECT_NE(r.out.find(shown({head_echo, head_echo, " 2.50    " + repeat("  2.50    ", 4)})),
            std::string::npos);
  EXPECT_EQ(count(r.out, "\r\n Row "), 25u);  // asked before every cell of layer 2
  EXPECT_NE(r.out.find(shown({" Column" + blanks(10) + "25 Boundary Condition"})), std::string::npos);
}

TEST(MorvekRun, EmptyRowsAreEchoedAsEmptyLines) {
  Scratch dir;
  RunResult r = run_redirected(kMorvek, dir,
                               join(header_answers("1", "2", "0", "0"), {"1", "999", "1"}));
  ASSERT_EQ(r.exit_status, 0) << r.err;
  EXPECT_NE(r.out.find(shown({"  Are all values the same? 0=yes 1=no ", "", "",
                              "Head at No Flow Cells (usually use 999)"})),
            std::string::npos);
}

TEST(MorvekRun, OverflowingBoundaryCells) {
  Scratch dir;
  RunResult r = run_redirected(
      kMorvek, dir,
      join(header_answers("1", "2", "4", "0"),
           {"1", "1000", "7", "-100", "-99", "100", "1", "-10", "999", "999", "0", "0"}));
  ASSERT_EQ(r.exit_status, 0) << r.err;
  std::vector<std::string> file = header_records(dimensions(1, 2, 4, 0));
  file.insert(file.end(), {boundary_control(1), "***  7***-99", "100  1-10999", "  999.    ",
                           head_control(1), repeat("  .000    ", 4), repeat("  .000    ", 4)});
  EXPECT_EQ(dir.read("FOR001"), records(file));
  // On the console the first column is carriage control: "*" is shown like a
  // blank would be, "1" asks for a new page and eats the digit.
  EXPECT_NE(r.out.find(kLegend[2] + "\r\n**  7***-99\r\n Row"), std::string::npos);
  EXPECT_NE(r.out.find(kLegend[2] + "\r\n\f\r \r00  1-10999\r\nHead at No Flow"), std::string::npos);
}

struct FailureCase {
  const char* name;
  int columns;
  std::vector<std::string> body;  // answers after the header; the last one fails
  const char* number;             // the report's error number
  std::vector<std::string> kept;  // records after the header
};

TEST(MorvekRun, AnswerErrorInsideAnArrayKeepsCompleteRows) {
  const std::string wide_ones = repeat("  1", 12);
  const std::vector<FailureCase> cases = {
      {"integer cell in row 2",
       2,
       {"1", "1", "1", "0", "x"},
       "F6101",
       {boundary_control(1), "  1  1"}},
      {"real cell in row 2 of rows two lines long",
       12,
       std::vector<std::string>{"0", "1", "999", "1"} + std::vector<std::string>(12, "1") +
           std::vector<std::string>{"1", "1.5x"},
       "F6103",
       {boundary_control(1), wide_ones, wide_ones, wide_ones, "  999.    ", head_control(1),
        repeat("  1.00    ", 10), "  1.00      1.00    "}},
      {"uniform value: no control record yet",
       2,
       {"0", "abc"},
       "F6101",
       {}},
      {"end of input in row 3",
       2,
       {"0", "1", "999", "1", "1", "1", "1", "1"},
       "F6501",
       {boundary_control(1), "  1  1", "  1  1", "  1  1", "  999.    ", head_control(1),
        "  1.00      1.00    ", "  1.00      1.00    "}},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    RunResult r = run_redirected(
        kMorvek, dir, join(header_answers("1", "3", std::to_string(c.columns), "1"), c.body));
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_TRUE(is_report(r.err, c.number, "READ", "CON"));
    EXPECT_EQ(r.out.find("Stop"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "\r\n");  // the owed line end
    std::vector<std::string> file = header_records(dimensions(1, 3, c.columns, 1));
    file.insert(file.end(), c.kept.begin(), c.kept.end());
    EXPECT_EQ(dir.read("FOR001"), records(file));
  }
}

TEST(MorvekRun, GridLargerThanTwentyFiveByTwentyFive) {
  Scratch dir;
  std::vector<std::string> body = {"0", "1", "1"};  // layer 1 all 1; layer 2 cell by cell
  for (int cell = 1; cell < 30 * 40; ++cell) body.push_back(",");
  body.insert(body.end(), {"7", "999", "0", ".5", "0", ",", "30", "2", "1"});
  RunResult r = run_redirected(kMorvek, dir, join(header_answers("2", "30", "40", "1"), body));
  ASSERT_EQ(r.exit_status, 0) << r.err;

  std::vector<std::string> file = header_records(dimensions(2, 30, 40, 1));
  const std::string ones = repeat("  1", 20);
  for (int layer = 1; layer <= 2; ++layer) {
    file.push_back(boundary_control(layer));
    for (int row = 1; row <= 30; ++row) {
      file.push_back(ones);
      // The one cell answered in layer 2; every other keeps layer 1's value.
      file.push_back(layer == 2 && row == 30 ? repeat("  1", 19) + "  7" : ones);
    }
  }
  file.push_back("  999.    ");
  for (int layer = 1; layer <= 2; ++layer) {
    file.push_back(head_control(layer));
    for (int line = 1; line <= 30 * 4; ++line) file.push_back(repeat("  .500    ", 10));
  }
  file.push_back("  30.0    " + blanks(9) + "2" + "  1.00    ");
  EXPECT_EQ(dir.read("FOR001"), records(file));
  EXPECT_EQ(count(r.out, "\r\n Row "), 1200u);
  EXPECT_NE(r.out.find(shown({" Row" + blanks(10) + "30",
                              " Column" + blanks(10) + "40 Boundary Condition"})),
            std::string::npos);
}

TEST(MorvekRun, RowLongerThanTheOutputBuffer) {
  // One row of 20000 values fills several of the file's 64 KiB buffers
  // within a single write; it must arrive whole and in order.
  Scratch dir;
  RunResult r = run_redirected(kMorvek, dir,
                               join(header_answers("1", "2", "20000", "0"),
                                    {"0", "1", "999", "0", "2.5"}));
  ASSERT_EQ(r.exit_status, 0) << r.err;
  std::vector<std::string> file = header_records(dimensions(1, 2, 20000, 0));
  file.push_back(boundary_control(1));
  for (int line = 1; line <= 2 * 1000; ++line) file.push_back(repeat("  1", 20));
  file.push_back("  999.    ");
  file.push_back(head_control(1));
  for (int line = 1; line <= 2 * 2000; ++line) file.push_back(repeat("  2.50    ", 10));
  EXPECT_EQ(dir.read("FOR001"), records(file));
  EXPECT_EQ(count(r.out, "\r\n 2.50    " + repeat("  2.50    ", 9)), 4000u);
}

}  // namespace
