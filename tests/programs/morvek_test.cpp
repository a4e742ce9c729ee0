// End-to-end sessions of the base builder: answers in, console transcript,
// exit status and FOR001 out. Expected bytes are written field by field.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"
#include "tests/support/run_checks.h"

namespace {

using testing_support::blanks;
using testing_support::repeat;
using testing_support::records;
using testing_support::answers;

using testing_support::crlf;
using testing_support::is_report;
using testing_support::run_on_terminal;
using testing_support::run_redirected;
using testing_support::RunResult;
using testing_support::Scratch;

const std::string kMorvek = MORVEK_PATH;
const std::string kStop = "\r\nStop - Program terminated.\r\n\r\n";

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string join(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  return answers(a + b);
}

// The console shows a record without its carriage-control column, and each
// line after the first behind the line end owed by the one before.
std::string shown(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += "\r\n" + line;
  return out;
}

// The answers of a run header with two titles, the four counts as typed,
// time unit 4, no module and the options 0 and 1.
std::vector<std::string> header_answers(const std::string& layers, const std::string& rows,
                                        const std::string& columns, const std::string& periods) {
  std::vector<std::string> a = {"Sand aquifer", "Trial two", layers, rows, columns, periods, "4"};
  for (int i = 0; i < 11; ++i) a.push_back("0");
  a.push_back("0");
  a.push_back("1");
  return a;
}

// The five header records of a run without modules and options 0 and 1.
std::vector<std::string> header_records_titled(const std::string& title_1, const std::string& title_2,
                                               const std::string& dimension_record) {
  return {title_1 + blanks(80 - static_cast<int>(title_1.size())),
          title_2 + blanks(80 - static_cast<int>(title_2.size())), dimension_record,
          repeat("  0", 24), blanks(9) + "0" + blanks(9) + "1"};
}

// The header records for the answers of header_answers.
std::vector<std::string> header_records(const std::string& dimension_record) {
  return header_records_titled("Sand aquifer", "Trial two", dimension_record);
}

std::string dimensions(int layers, int rows, int columns, int periods) {
  auto field = [](int v) {
    std::string digits = std::to_string(v);
    return blanks(10 - static_cast<int>(digits.size())) + digits;
  };
  return field(layers) + field(rows) + field(columns) + field(periods) + blanks(9) + "4";
}

const std::string kBoundaryControl = blanks(9) + "1" + blanks(9) + "1" + "(20I3)" + blanks(14) +
                                     blanks(9) + "3" + blanks(3) + "IBOUND-";
const std::string kHeadControl = blanks(9) + "1" + blanks(2) + "1.00" + blanks(4) + "(10G10.3)" +
                                 blanks(11) + blanks(9) + "0" + blanks(4) + "SHEAD-";

std::string boundary_control(int layer) { return kBoundaryControl + blanks(2) + std::to_string(layer); }
std::string head_control(int layer) { return kHeadControl + blanks(2) + std::to_string(layer); }

// The legend that follows every boundary cell line.
const std::vector<std::string> kLegend = {" -1 = Constant Head Cell" + blanks(11),
                                          "  0 = No Computation Cell" + blanks(10),
                                          " +1 = Active Computation Cell" + blanks(6)};

std::size_t count(std::string_view text, std::string_view part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size())) {
    ++n;
  }
  return n;
}

TEST(MorvekRun, WholeSessionOneLayerTwoPeriods) {
  Scratch dir;
  const std::string input = answers({
      "Sand aquifer, layer 1", "Pumping test", "1", "2", "3", "2", "4",
      "1", "0", "0", "0", "0", "0", "0", "0", "0", "1", "0",  // flow and output control
      "0", "1",                                               // options
      "1", "1", "1", "1", "-1", "1", "1",                     // boundary cell by cell
      "999",                                                  // no-flow head
      "0", "10",                                              // starting heads uniform
      "365", "10", "1.2", "100", "5", "1"});
  RunResult r = run_redirected(kMorvek, dir, input);
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.err, "");

  EXPECT_EQ(dir.read("FOR001"),
            records({
                "Sand aquifer, layer 1" + blanks(59),
                "Pumping test" + blanks(68),
                blanks(9) + "1" + blanks(9) + "2" + blanks(9) + "3" + blanks(9) + "2" + blanks(9) + "4",
                " 11" + repeat("  0", 10) + " 22" + repeat("  0", 12),
                blanks(9) + "0" + blanks(9) + "1",
                blanks(9) + "1" + blanks(9) + "1" + "(20I3)" + blanks(14) + blanks(9) + "3" +
                    blanks(3) + "IBOUND-" + blanks(2) + "1",
                "  1  1  1",
                " -1  1  1",
                "  999.    ",
                blanks(9) + "1" + "  1.00    " + "(10G10.3)" + blanks(11) + blanks(9) + "0" +
                    blanks(4) + "SHEAD-" + blanks(2) + "1",
                "  10.0      10.0      10.0    ",
                "  10.0      10.0      10.0    ",
                "  365.    " + blanks(8) + "10" + "  1.20    ",
                "  100.    " + blanks(9) + "5" + "  1.00    ",
            }));

  std::vector<std::string> boundary_cells;
  for (std::string row : {"1", "2"}) {
    for (std::string column : {"1", "2", "3"}) {
      boundary_cells.push_back(" Row" + blanks(11) + row);
      boundary_cells.push_back(" Column" + blanks(11) + column + " Boundary Condition");
      boundary_cells.insert(boundary_cells.end(), kLegend.begin(), kLegend.end());
    }
    boundary_cells.push_back(row == "1" ? " 1  1  1" : "-1  1  1");  // the echo
  }
  const std::string expected_out =
      std::string("Title Line # 1") +
      shown({"Title Line # 2", "Number of Aquifer Layers", "Number of Grid Rows     ",
             "Number of Grid Columns  ", "Number of Stress Periods", "Simulation Time Unit",
             " 0  - undefined     ", " 1  - seconds       ", " 2  - minutes       ",
             " 3  - hours         ", " 4  - days          ", " 5  - years         ",
             "Simulation Module Input File Unit Numbers",
             "Enter 1 to include module, 0 otherwise ",
             " ", "Block Centered Flow", "Block Centered Flow will be read from FOR011",
             " ", "Wells", "Wells Module Not Included",
             " ", "Drains", "Drains Module Not Included",
             " ", "Rivers", "Rivers Module Not Included",
             " ", "Evapo-Transpiration Module", "Evapo-Transpiration Module Not Included",
             " ", "General Head Boundary Module", "General Head Boundary Module Not Included",
             " ", "Recharge Module", "Recharge Module Not Included",
             " ", "Strongly Implicit Procedure", "Strongly Implicit Module Not Included",
             " ", "Slice Successive Over Relaxation", "SSOR Module Not Included",
             " ", "Output Control Module", "Output Control will be read from FOR022",
             " ", "Interbed Storage Module", "Interbed Storage Module Not Included",
             " ", "Memory Sharing Option  0=yes 1=no",
             " ", "Save Starting Heads (i.e. Compute Drawdown? ", "  0=no  1=yes",
             "Layer" + blanks(11) + "1 Boundary Array",
             "  Are all values the same? 0=yes 1=no "}) +
      shown(boundary_cells) +
      shown({"Head at No Flow Cells (usually use 999)",
             "Layer" + blanks(11) + "1 Starting Head Array",
             "  Are all values the same? 0=yes 1=no ", "  Value? :",
             " 10.0      10.0      10.0    ", " 10.0      10.0      10.0    ",
             " Stress Period" + blanks(11) + "1 Length ",
             " Stress Period" + blanks(11) + "1 Computation Steps",
             " Stress Period" + blanks(11) + "1 Time Step Multiplier",
             " Stress Period" + blanks(11) + "2 Length ",
             " Stress Period" + blanks(11) + "2 Computation Steps",
             " Stress Period" + blanks(11) + "2 Time Step Multiplier"}) +
      kStop;
  EXPECT_EQ(r.out, expected_out);
}

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

TEST(MorvekRun, EmptyRowsAreEchoedAsEmptyLines) {
  Scratch dir;
  RunResult r = run_redirected(kMorvek, dir,
                               join(header_answers("1", "2", "0", "0"), {"1", "999", "1"}));
  ASSERT_EQ(r.exit_status, 0) << r.err;
  EXPECT_NE(r.out.find(shown({"  Are all values the same? 0=yes 1=no ", "", "",
                              "Head at No Flow Cells (usually use 999)"})),
            std::string::npos);
}

TEST(MorvekRun, NullAnswersCarryEarlierValues) {
  Scratch dir;
  const std::string input = answers({
      "Title", "", "1", "1", "2", "2", "3",
      ",",    // Block Centered Flow: nothing yet, so 0
      "1",    // Wells
      ",",    // Drains: repeats 1
      "0", "2", "-1", "0", "0", "0", "0",
      "1",    // Interbed Storage
      "0", "0",
      ",",    // first boundary layer: the last module answer, 1, so cell by cell
      "5", ",",
      ",",    // no-flow head: 0
      "0", ",",  // starting heads: the value cell was never set
      ",", "3", "1.5",  // period 1: length 0
      "20", ",", ","});  // period 2: steps and multiplier of period 1
  RunResult r = run_redirected(kMorvek, dir, input);
  ASSERT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(dir.read("FOR001"),
            records({"Title" + blanks(75), blanks(80),
                     blanks(9) + "1" + blanks(9) + "1" + blanks(9) + "2" + blanks(9) + "2" +
                         blanks(9) + "3",
                     "  0 12 13" + repeat("  0", 15) + " 29" + repeat("  0", 5),
                     blanks(9) + "0" + blanks(9) + "0",
                     boundary_control(1), "  5  0", "  .000    ", head_control(1),
                     "  .000      .000    ",
                     "  .000    " + blanks(9) + "3" + "  1.50    ",
                     "  20.0    " + blanks(9) + "3" + "  1.50    "}));
  EXPECT_NE(r.out.find(shown({" ", "Block Centered Flow", "Block Centered Flow Module Not Included",
                              " ", "Wells", "Wells will be read from FOR012", " ", "Drains",
                              "Drains will be read from FOR013"})),
            std::string::npos);
  EXPECT_NE(r.out.find(shown({"Evapo-Transpiration Module", "Evapo-Transpiration Module Not Included",
                              " ", "General Head Boundary Module",
                              "General Head Boundary Module Not Included"})),
            std::string::npos);
  EXPECT_NE(r.out.find(shown({"Interbed Storage Module", "Interbed Storage will be read from FOR029"})),
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

// However many CRs end an answer line, they belong to its line end: no CR
// ever reaches a title record. Inside a title a CR is written as a blank.
TEST(MorvekRun, CarriageReturnsNeverReachTheTitles) {
  const std::vector<std::string> rest = {"1", "1", "2", "1", "4"};
  const std::vector<std::string> tail = {"0", "1", "0", "1", "999", "0", "10", "365", "10", "1.2"};  // options, arrays, period
  auto session = [&](const std::string& title_1, const std::string& title_2, const std::string& line_end) {
    std::string text;
    for (const std::string& line : std::vector<std::string>{title_1, title_2} + rest +
                                       std::vector<std::string>(11, "0") + tail) {
      text += line + line_end;
    }
    return text;
  };
  const std::string dimension_record = dimensions(1, 1, 2, 1);
  auto file_titled = [&](const std::string& title_1, const std::string& title_2) {
    return records(header_records_titled(title_1, title_2, dimension_record) +
                   std::vector<std::string>{boundary_control(1), "  1  1", "  999.    ", head_control(1),
                                            "  10.0      10.0    ",
                                            "  365.    " + blanks(8) + "10" + "  1.20    "});
  };
  const std::string full_title = std::string(79, 'T') + "U";
  struct Case {
    const char* name;
    std::string answers;
    std::string file;
  };
  const std::vector<Case> cases = {
      {"CR LF", session("Sand aquifer", "Trial two", "\r\n"), file_titled("Sand aquifer", "Trial two")},
      {"CR CR LF", session("Sand aquifer", "Trial two", "\r\r\n"), file_titled("Sand aquifer", "Trial two")},
      {"CRs after 80 characters", session(full_title, "Trial two", "\r\r\r\n"), file_titled(full_title, "Trial two")},
      {"CR inside a title", session("Sand\raquifer", "Trial\r\rtwo", "\n"), file_titled("Sand aquifer", "Trial  two")},
  };
  for (const Case& c : cases) {
    Scratch dir;
    RunResult r = run_redirected(kMorvek, dir, c.answers);
    EXPECT_EQ(r.exit_status, 0) << c.name << ": " << r.err;
    const std::string file = dir.exists("FOR001") ? dir.read("FOR001") : "";
    EXPECT_EQ(file, c.file) << c.name;
    EXPECT_EQ(count(file, "\r"), count(file, "\r\n")) << c.name << ": a CR inside a record";
  }

  // Old Mac line ends (CR alone) make one long line: the first title takes
  // its first 80 bytes, CRs as blanks, and the input ends there.
  Scratch dir;
  RunResult r = run_redirected(kMorvek, dir, session("Sand aquifer", "Trial two", "\r"));
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_NE(r.err.find("F6501"), std::string::npos) << r.err;
  EXPECT_FALSE(dir.exists("FOR001"));
}

TEST(MorvekTerminal, StopAfterAReadOwesNoFurtherLineEnd) {
  Scratch dir;
  const std::vector<std::string> modules_none(11, "0");
  const std::string input = answers(std::vector<std::string>{"T1", "T2", "1", "1", "2", "1", "1"} +
                                    modules_none +
                                    std::vector<std::string>{"0", "1", "0", "1", "999", "1",
                                                             "3.5", ",", "10", "1", "1"});
  RunResult r = run_on_terminal(kMorvek, dir, input);
  EXPECT_EQ(r.exit_status, 0) << r.err;

  std::vector<std::string> lines = {
      "Title Line # 1", "Title Line # 2", "Number of Aquifer Layers", "Number of Grid Rows     ",
      "Number of Grid Columns  ", "Number of Stress Periods", "Simulation Time Unit",
      " 0  - undefined     ", " 1  - seconds       ", " 2  - minutes       ",
      " 3  - hours         ", " 4  - days          ", " 5  - years         ",
      "Simulation Module Input File Unit Numbers", "Enter 1 to include module, 0 otherwise "};
  const std::vector<std::pair<std::string, std::string>> modules = {
      {"Block Centered Flow", "Block Centered Flow"},
      {"Wells", "Wells"},
      {"Drains", "Drains"},
      {"Rivers", "Rivers"},
      {"Evapo-Transpiration Module", "Evapo-Transpiration"},
      {"General Head Boundary Module", "General Head Boundary"},
      {"Recharge Module", "Recharge"},
      {"Strongly Implicit Procedure", "Strongly Implicit"},
      {"Slice Successive Over Relaxation", "SSOR"},
      {"Output Control Module", "Output Control"},
      {"Interbed Storage Module", "Interbed Storage"}};
  for (const auto& [line, short_name] : modules) {
    lines = lines + std::vector<std::string>{" ", line, short_name + " Module Not Included"};
  }
  lines = lines + std::vector<std::string>{
                      " ", "Memory Sharing Option  0=yes 1=no", " ",
                      "Save Starting Heads (i.e. Compute Drawdown? ", "  0=no  1=yes",
                      "Layer" + blanks(11) + "1 Boundary Array",
                      "  Are all values the same? 0=yes 1=no ", "  Value? :", " 1  1",
                      "Head at No Flow Cells (usually use 999)",
                      "Layer" + blanks(11) + "1 Starting Head Array",
                      "  Are all values the same? 0=yes 1=no ", " Row" + blanks(11) + "1",
                      " Column" + blanks(11) + "1 Starting Head", " Row" + blanks(11) + "1",
                      " Column" + blanks(11) + "2 Starting Head", " 3.50      .000    ",
                      " Stress Period" + blanks(11) + "1 Length ",
                      " Stress Period" + blanks(11) + "1 Computation Steps",
                      " Stress Period" + blanks(11) + "1 Time Step Multiplier"};
  // Each read ends the prompt's line before it waits, and a line written
  // after a read needs nothing in front. The last read has ended the last
  // line, so the stop line is followed by one line end only (redirected, the
  // stop owes the prompt's line end and ends with two).
  std::string expected;
  for (const std::string& line : lines) expected += line + "\r\n";
  expected += "Stop - Program terminated.\r\n";
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(dir.read("FOR001"),
            records(header_records_titled("T1", "T2", blanks(9) + "1" + blanks(9) + "1" + blanks(9) +
                                                          "2" + blanks(9) + "1" + blanks(9) + "1") +
                    std::vector<std::string>{boundary_control(1), "  1  1", "  999.    ",
                                             head_control(1), "  3.50      .000    ",
                                             "  10.0    " + blanks(9) + "1" + "  1.00    "}));
}

}  // namespace
