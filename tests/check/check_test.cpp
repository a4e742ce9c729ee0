// The model check: a consistent model checks clean; each rule is caught by
// a seeded fault, a small edit of one file of that model, with the
// diagnostics expected written out by hand; and gwinspect check on the
// bundled examples, a faulty folder and a folder it cannot check.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "inspect/array_cursor.h"
#include "check/diagnostic_output.h"
#include "tests/support/expected_text.h"
#include "check/file_checks.h"
#include "inspect/input_file.h"
#include "check/model_check.h"
#include "tests/support/program_runner.h"

namespace {

using testing_support::answers;
using testing_support::blanks;
using testing_support::read_file;
using testing_support::Scratch;

// `text` right-justified in `width` columns, as a field of the files.
std::string right(std::string_view text, int width) {
  return blanks(width - static_cast<int>(text.size())) + std::string(text);
}

std::vector<std::string> repeated(const std::string& answer, int times) {
  return std::vector<std::string>(static_cast<std::size_t>(times), answer);
}

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The consistent model: two layers of 3 rows by 12 columns, two stress
// periods, solved by SSOR (its file FOR021 is made by other means). Layer
// 1 has a constant head at row 1, column 1 and a no-flow cell at row 3,
// column 12; layer 1 is of type 3 (so it has bottoms and
// tops), layer 2 of type 0 (transmissivity); two drains in period 1, which
// period 2 reuses.
//
// FOR001, line by line: 1-2 titles, 3 dimensions, 4 modules, 5 options,
// 6 IBOUND- 1 and 7-9 its rows, 10 IBOUND- 2 and 11-13, 14 no-flow head,
// 15 SHEAD- 1 and 16-21 (two lines a row), 22 SHEAD- 2 and 23-28, 29-30
// the periods. FOR011: 1 header, 2 type codes, 3-4 TRPY-, 5-7 DELR-, 8-9
// DELC-; layer 1: SF1- 10 (rows 11-16), HYDCON- 17 (18-23), BOT- 24
// (25-30), VCON- 31 (32-37), SF2- 38 (39-44), TOP- 45 (46-51); layer 2:
// SF1- 52 (53-58), TRAN- 59 (60-65). FOR013: 1 header, 2 use code, 3-4
// the drains, 5 the reuse code.
const std::string kMorvekAnswers = answers(joined({
    {"Check model", "Seeded faults", "2", "3", "12", "2", "4"},
    {"1", "0", "1", "0", "0", "0", "0", "0", "1", "0", "0"},  // Block Centered Flow, Drains, SSOR
    {"0", "1"},                                              // options
    {"1", "-1"}, repeated("1", 11 + 12 + 11), {"0"},          // boundary of layer 1, by cell
    {"0", "1"},                                              // layer 2: all active
    {"999", "0", "100", "0", "90"},                          // no-flow head, starting heads
    {"365", "10", "1.2", "30", "5", "1"},                    // stress periods
}));
const std::string kCindralAnswers = answers({
    "0", "0", "2", "3", "12", "3", "1.0", "0", "1.0", "0", "100", "0", "50",
    "0", "0.001", "0", "10", "0", "50", "0", "0.01", "0", "0.2", "0", "120",  // layer 1
    "0", "0.0001", "0", "1500",                                               // layer 2
});
const std::string kQuilletAnswers =
    answers({"5", "0", "2", "2", "1", "2", "3", "95", "10", "2", "3", "4", "80", "5", "-1"});

struct ModelFiles {
  std::string basic, flow, drains;
};

// The check only looks for the solver's file: any bytes will do.
const std::string kSolverFile = "made by other means\r\n";

void write_model(const Scratch& dir, const ModelFiles& model) {
  dir.write("FOR001", model.basic);
  dir.write("FOR011", model.flow);
  dir.write("FOR013", model.drains);
  dir.write("FOR021", kSolverFile);
}

void run_builder(const char* program, const Scratch& dir, const std::string& input) {
  const testing_support::RunResult run = testing_support::run_redirected(program, dir, input);
  ASSERT_EQ(run.exit_status, 0) << program << ": " << run.err;
}

const ModelFiles& consistent_model() {
  static const ModelFiles files = [] {
    Scratch dir;
    run_builder(MORVEK_PATH, dir, kMorvekAnswers);
    run_builder(CINDRAL_PATH, dir, kCindralAnswers);
    run_builder(QUILLET_PATH, dir, kQuilletAnswers);
    return ModelFiles{dir.read("FOR001"), dir.read("FOR011"), dir.read("FOR013")};
  }();
  return files;
}

std::vector<std::string> diagnostic_lines(const check::CheckResult& result) {
  std::vector<std::string> lines;
  for (const check::Diagnostic& d : result.diagnostics) lines.push_back(check::diagnostic_line(d, ""));
  return lines;
}

// An edit of one file: at `line` and `column` the file holds `from`, which
// becomes `to` (either may hold line ends, to cut or add lines).
struct Edit {
  std::string file;
  int line;
  int column;
  std::string from, to;
};

// Applies `edit` to `bytes`; false when the file does not hold `from` there.
bool apply(std::string& bytes, const Edit& edit) {
  std::size_t at = 0;
  for (int l = 1; l < edit.line; ++l) {
    at = bytes.find('\n', at);
    if (at == std::string::npos) return false;
    ++at;
  }
  at += static_cast<std::size_t>(edit.column - 1);
  if (bytes.compare(at, edit.from.size(), edit.from) != 0) return false;
  bytes.replace(at, edit.from.size(), edit.to);
  return true;
}

struct SeededFault {
  std::string name;
  std::vector<Edit> edits;
  std::vector<std::string> expected;  // every diagnostic line, in order
};

void PrintTo(const SeededFault& fault, std::ostream* os) { *os << fault.name; }

// Fields of the consistent model as they stand in its files.
const std::string kOne = "  1";
const std::string k100 = "  100.    ";

const std::vector<SeededFault> kSeededFaults = {
    // ---- between files
    {"grid_differs",
     {{"FOR001", 3, 21, right("12", 10), right("11", 10)}},
     {"FOR011:7:11: error: the DELR- list gives widths of 12 columns; the grid has 11 columns (FOR001:3)"}},
    {"periods_missing",
     {{"FOR013", 5, 1, right("-1", 10) + "\r\n", ""}},
     {"FOR013:5:1: error: the file ends after stress period 1; FOR001 has 2 stress periods (FOR001:3)"}},
    {"periods_extra",
     {{"FOR013", 5, 1, right("-1", 10) + "\r\n", right("-1", 10) + "\r\n" + right("-1", 10) + "\r\n"}},
     {"FOR013:6:1: warning: stress period 3 is beyond the 2 of FOR001 (FOR001:3): the simulator never "
      "reads it"}},
    {"module_file_missing",
     {{"FOR001", 4, 4, "  0", " 12"}},
     {"FOR001:4:4: error: Wells is selected (unit 12), but there is no FOR012: these builders do not "
      "write it, so it must be made by other means"}},
    {"module_not_selected",
     {{"FOR001", 4, 7, " 13", "  0"}},
     {"FOR001:4:7: warning: FOR013 is here, but Drains is not selected in the module table, so the "
      "simulator does not read it"}},
    {"module_unit",
     {{"FOR001", 4, 16, "  0", " 16"}},
     {"FOR001:4:16: warning: slot 6 of the module table holds unit 16; Morvek selects no module in that slot",
      "FOR001:4:16: error: slot 6 is selected (unit 16), but there is no FOR016: these builders do not "
      "write it, so it must be made by other means"}},

    // ---- structure
    {"array_out_of_place",
     {{"FOR011", 17, 51, "   HYDCON-", "     TRAN-"}},
     {"FOR011:17:51: error: expected the array-control record of HYDCON- of layer 1, found '     TRAN-'"}},
    {"file_ends_early",
     {{"FOR001", 30, 1, "  30.0             5  1.00    \r\n", ""}},
     {"FOR001:30:1: error: the file ends early: expected the record of stress period 2"}},
    {"file_ends_after_an_array",
     {{"FOR001", 29, 1, "  365.            10  1.20    \r\n  30.0             5  1.00    \r\n", ""}},
     {"FOR001:29:1: error: the file ends early: expected the record of stress period 1"}},
    {"asterisks",
     {{"FOR001", 8, 13, kOne, "***"}},
     {"FOR001:8:13: error: the boundary value is asterisks (a value too wide for its field), which the "
      "simulator cannot read, at row 2, column 5 of layer 1 (***)"}},
    {"not_a_number",
     {{"FOR001", 23, 1, "  90.0    ", "  9O.0    "}},
     {"FOR001:23:1: error: the starting head is not a number at row 1, column 1 of layer 2 ('9O.0')"}},
    {"short_line",
     {{"FOR011", 65, 1, "  .150E+04  .150E+04", "  .150E+04"}},
     {"FOR011:65:11: warning: the transmissivity is missing, its line ending before its field, so the "
      "simulator reads 0, at row 3, column 12 of layer 2 (blank)"}},
    {"array_locator",
     {{"FOR011", 10, 1, right("11", 10), right("0", 10)}},
     {"FOR011:10:1: error: the array-control record of SF1- of layer 1 has locator 0, but its values "
      "follow in this file: the simulator reads them here only with locator 11"}},
    {"array_multiplier",
     {{"FOR001", 15, 11, "  1.00    ", "  2.00    "}},
     {"FOR001:15:11: warning: the array-control record of SHEAD- of layer 1 has multiplier 2.00: the "
      "simulator multiplies every value of the array by it"}},

    // ---- run header and stress periods
    // No rows: FOR001's arrays are their control records alone, so the
    // first rows stand where the next control record belongs.
    {"grid_empty",
     {{"FOR001", 3, 11, right("3", 10), right("0", 10)}},
     {"FOR001:3:11: error: the grid has 0 rows; it needs at least one",
      "FOR001:7:1: error: expected the array-control record of IBOUND- of layer 2, found ' -1  1  1  1  1  1  1  "
      "1'...",
      "FOR011:9:1: error: the DELC- list gives widths of 3 rows; the grid has 0 rows (FOR001:3)",
      "FOR013:3:11: error: drain 1 of stress period 1 is in row 2; the grid has 0 rows (FOR001:3); 1 more drain "
      "lies outside the grid"}},
    {"no_stress_period",
     {{"FOR001", 3, 31, right("2", 10), right("0", 10)}},
     {"FOR001:3:31: error: the model has 0 stress periods; it needs at least one",
      "FOR001:29:1: error: expected the end of the file after the last record, found '  365.            "
      "10  1.'...",
      "FOR013:2:1: warning: stress period 1 is beyond the 0 of FOR001 (FOR001:3): the simulator never "
      "reads it; 1 more stress period is beyond them"}},
    {"time_unit",
     {{"FOR001", 3, 41, right("4", 10), right("9", 10)}},
     {"FOR001:3:41: warning: time unit 9 is not one of 0 (undefined), 1 (seconds), 2 (minutes), 3 "
      "(hours), 4 (days), 5 (years), so the simulator cannot say what its times are in"}},
    {"period_length",
     {{"FOR001", 29, 1, "  365.    ", " -365.    "}},
     {"FOR001:29:1: error: stress period 1 has length -365.; it must be above zero"}},
    {"time_steps",
     {{"FOR001", 29, 11, right("10", 10), right("0", 10)}},
     {"FOR001:29:11: error: stress period 1 has 0 time steps; it needs at least one"}},
    {"step_multiplier",
     {{"FOR001", 30, 21, "  1.00    ", "  .000    "}},
     {"FOR001:30:21: error: stress period 2 has time-step multiplier .000; it must be above zero"}},
    {"boundary_value",
     {{"FOR001", 11, 7, kOne, "  5"}},
     {"FOR001:11:7: warning: the boundary value is not -1, 0 or 1 at row 1, column 3 of layer 2 (5); the "
      "simulator takes any value above zero as active and any below zero as constant head"}},
    {"no_active_cell",
     {{"FOR001", 11, 1, testing_support::repeat(testing_support::repeat(kOne, 12) + "\r\n", 3),
       testing_support::repeat(testing_support::repeat("  0", 12) + "\r\n", 3)}},
     {"FOR001:10:1: warning: layer 2 has no active cell: no boundary value is above zero",
      "FOR013:4:1: warning: drain 2 of stress period 1 is in a no-flow cell (boundary value 0 at "
      "FOR001:13:10): the simulator ignores it"}},

    // ---- drains
    {"drain_outside_grid",
     {{"FOR013", 3, 11, right("2", 10), right("40", 10)}},
     {"FOR013:3:11: error: drain 1 of stress period 1 is in row 40; the grid has 3 rows (FOR001:3)"}},
    {"drains_over_maximum",
     {{"FOR013", 1, 1, right("5", 10), right("1", 10)}},
     {"FOR013:2:1: error: stress period 1 has 2 drains; the maximum is 1 (FOR013:1)"}},
    {"reuse_in_first_period",
     {{"FOR013", 2, 1, right("2", 10) + "\r\n", right("-1", 10) + "\r\n" + right("2", 10) + "\r\n"},
      {"FOR013", 6, 1, right("-1", 10) + "\r\n", ""}},
     {"FOR013:2:1: error: stress period 1 reuses the drains of the period before (use code -1), but it is "
      "the first"}},
    {"drain_in_no_flow_cell",
     {{"FOR013", 3, 11, right("2", 10) + right("3", 10), right("3", 10) + right("12", 10)}},
     {"FOR013:3:1: warning: drain 1 of stress period 1 is in a no-flow cell (boundary value 0 at "
      "FOR001:9:34): the simulator ignores it"}},
    {"drain_in_constant_head_cell",
     {{"FOR013", 3, 11, right("2", 10) + right("3", 10), right("1", 10) + right("1", 10)}},
     {"FOR013:3:1: warning: drain 1 of stress period 1 is in a constant-head cell (boundary value -1 at "
      "FOR001:7:1): the head there stays as it is, whatever it drains"}},
    {"drain_listed_twice",
     {{"FOR013", 4, 1, right("2", 10) + right("3", 10) + right("4", 10),
       right("1", 10) + right("2", 10) + right("3", 10)}},
     {"FOR013:4:1: warning: drain 2 of stress period 1 is in the same cell as the drain on line 3 (row 2, "
      "column 3 of layer 1): the simulator takes both"}},
    // A number followed by a letter: the quick reading must not take the number.
    {"drain_field_not_a_number",
     {{"FOR013", 3, 31, "  95.0    ", "  95.0x   "}},
     {"FOR013:3:31: error: the elevation of drain 1 of stress period 1 is not a number: '  95.0x   '"}},
    {"drain_conductance",
     {{"FOR013", 4, 41, "  5.00    ", "  .000    "}},
     {"FOR013:4:41: warning: drain 2 of stress period 1 has conductance .000; it must be above zero for "
      "the drain to take water out"}},
    {"drain_below_bottom",
     {{"FOR013", 3, 31, "  95.0    ", "  45.0    "}},
     {"FOR013:3:31: warning: drain 1 of stress period 1 has elevation 45.0, below the bottom 50.0 of its "
      "cell (FOR011:27:21)"}},

    // ---- properties
    {"layer_type",
     {{"FOR011", 2, 3, " 0", " 7"}},
     {"FOR011:2:3: error: layer 2 has type code 7, which the simulator does not know (0 to 3); Cindral "
      "wrote neither transmissivity nor conductivity for it",
      "FOR011:59:1: error: expected the end of the file after the last array, found '        11  1.00   "
      " (10G'..."}},
    {"anisotropy",
     {{"FOR011", 4, 11, "  1.00    ", "  .000    "}},
     {"FOR011:4:11: warning: the anisotropy factor of layer 2 is .000; it must be above zero"}},
    {"cell_width",
     {{"FOR011", 9, 11, "  50.0    ", " -50.0    "}},
     {"FOR011:9:11: error: the cell width along columns of row 2 is -50.0; it must be above zero"}},
    {"storage",
     {{"FOR011", 39, 1, "  .200    ", " -.200    "}},
     {"FOR011:39:1: warning: the secondary storage coefficient is negative at row 1, column 1 of layer 1 "
      "(-.200)"}},
    {"transmissivity",
     {{"FOR011", 65, 11, "  .150E+04", " -.150E+04"}},
     {"FOR011:65:11: warning: the transmissivity is not above zero at row 3, column 12 of layer 2 "
      "(-.150E+04)"}},
    {"conductivity",
     {{"FOR011", 18, 31, "  10.0    ", "  .000    "}},
     {"FOR011:18:31: warning: the hydraulic conductivity is not above zero at row 1, column 4 of layer 1 "
      "(.000)"}},
    // Row 3, column 12 of layer 1 is a no-flow cell: its values do not count.
    {"conductivity_in_no_flow_cell", {{"FOR011", 23, 11, "  10.0    ", "  .000    "}}, {}},
    {"top_below_bottom",
     {{"FOR011", 46, 11, "  120.    ", "  40.0    "}},
     {"FOR011:46:11: warning: the top elevation is below the cell's bottom at row 1, column 2 of layer 1 "
      "(40.0 against a bottom of 50.0 at FOR011:25)"}},
    {"head_below_bottom",
     {{"FOR001", 19, 1, k100, "  40.0    "}},
     {"FOR001:19:1: warning: the starting head is below the cell's bottom at row 2, column 11 of layer 1 "
      "(40.0 against a bottom of 50.0 at FOR011:28); such a cell starts dry"}},
};

class SeededFaultTest : public ::testing::TestWithParam<SeededFault> {};

TEST(ModelCheck, ConsistentModelChecksClean) {
  Scratch dir;
  write_model(dir, consistent_model());
  const check::CheckResult result = check::check_model(dir.path());
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(diagnostic_lines(result), std::vector<std::string>{});

  // The same files after an editor or a checkout made their line ends LF.
  for (const char* name : {"FOR001", "FOR011", "FOR013"}) {
    std::string bytes = dir.read(name), lf;
    for (char c : bytes) {
      if (c != '\r') lf += c;
    }
    dir.write(name, lf);
  }
  EXPECT_EQ(diagnostic_lines(check::check_model(dir.path())), std::vector<std::string>{});

  // And after an editor dropped the blanks at the ends of lines: the fields
  // still stand in their columns (a value's last blanks read as nothing),
  // though lines are no longer of one length, so cells are found by reading.
  for (const char* name : {"FOR001", "FOR011", "FOR013"}) {
    std::string bytes = dir.read(name), trimmed;
    for (char c : bytes) {
      if (c == '\n') {
        while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
      }
      trimmed += c;
    }
    dir.write(name, trimmed);
  }
  EXPECT_EQ(diagnostic_lines(check::check_model(dir.path())), std::vector<std::string>{});
  EXPECT_EQ(diagnostic_lines(check::check_model(dir.path(), {.plain = true})), std::vector<std::string>{});
}

TEST(ModelCheck, DiagnosticsWrittenOut) {
  check::CheckResult result;
  result.diagnostics.push_back({"FOR012", 0, 0, check::Severity::Error, "module-file-missing",
                                "a \"quoted\" back\\slash and \x01", {}, 1, std::nullopt});
  result.diagnostics.push_back({"FOR013", 7, 21, check::Severity::Warning, "drain-in-no-flow-cell", "in 2 cells",
                                {1, 40, 7}, 2, check::Place{"FOR001", 11, 19}});
  EXPECT_EQ(check::diagnostic_line(result.diagnostics[0], "model/"),
            "model/FOR012: error: a \"quoted\" back\\slash and \\x01");  // one line, shown
  EXPECT_EQ(check::diagnostic_line(result.diagnostics[1], ""), "FOR013:7:21: warning: in 2 cells");
  EXPECT_EQ(check::summary_line(result), "1 error, 1 warning");
  EXPECT_EQ(check::json_document(result, "model"),
            "{\"folder\": \"model\", \"completed\": true, \"errors\": 1, \"warnings\": 1,\n"
            " \"diagnostics\": [\n"
            "  {\"file\": \"FOR012\", \"line\": 0, \"column\": 0, \"severity\": \"error\", \"rule\": "
            "\"module-file-missing\", \"message\": \"a \\\"quoted\\\" back\\\\slash and \\u0001\", \"count\": 1, "
            "\"cell\": null, \"other\": null},\n"
            "  {\"file\": \"FOR013\", \"line\": 7, \"column\": 21, \"severity\": \"warning\", \"rule\": "
            "\"drain-in-no-flow-cell\", \"message\": \"in 2 cells\", \"count\": 2, \"cell\": {\"layer\": 1, "
            "\"row\": 40, \"column\": 7}, \"other\": {\"file\": \"FOR001\", \"line\": 11, \"column\": 19}}\n"
            " ]}\n");
}

TEST_P(SeededFaultTest, GivesItsDiagnostics) {
  const SeededFault& fault = GetParam();
  ModelFiles model = consistent_model();
  for (const Edit& edit : fault.edits) {
    std::string& bytes = edit.file == "FOR001" ? model.basic : edit.file == "FOR011" ? model.flow : model.drains;
    ASSERT_TRUE(apply(bytes, edit)) << edit.file << ":" << edit.line << ":" << edit.column << " does not hold '"
                                    << edit.from << "'";
  }
  Scratch dir;
  write_model(dir, model);
  const check::CheckResult result = check::check_model(dir.path());
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(diagnostic_lines(result), fault.expected);
  // Read plainly, every field of every line, the files give the same.
  EXPECT_EQ(diagnostic_lines(check::check_model(dir.path(), {.plain = true})), fault.expected);
}

INSTANTIATE_TEST_SUITE_P(EachRule, SeededFaultTest, ::testing::ValuesIn(kSeededFaults),
                         [](const auto& info) { return info.param.name; });

// A finding over many cells is one diagnostic with its count and its first
// place: transmissivity -2.5 in every cell of a 40 by 25 layer whose first
// row is not computed. FOR011: 1 header, 2 type code, 3-4 TRPY-, 5-8 DELR-
// (25 widths: three lines), 9-13 DELC- (40 widths: four lines), 14 TRAN-,
// then three lines a row: row 2 begins on line 18.
TEST(ModelCheck, RepeatedFindingIsReportedOnceWithItsCount) {
  Scratch dir;
  run_builder(MORVEK_PATH, dir,
              answers(joined({{"Big layer", "", "1", "40", "25", "1", "4"},
                              {"1", "0", "0", "0", "0", "0", "0", "0", "1", "0", "0", "0", "1"},
                              {"1"}, repeated("0", 25), repeated("1", 39 * 25),
                              {"999", "0", "10", "1", "1", "1"}})));
  run_builder(CINDRAL_PATH, dir,
              answers({"1", "0", "1", "40", "25", "0", "1.0", "0", "10", "0", "10", "0", "-2.5"}));
  dir.write("FOR021", kSolverFile);
  const check::CheckResult result = check::check_model(dir.path());
  const std::vector<std::string> expected = {
      "FOR011:18:1: warning: the transmissivity is not above zero in 975 cells of layer 1, first at row 2, "
      "column 1 (-2.50)"};
  EXPECT_EQ(diagnostic_lines(result), expected);
  EXPECT_EQ(diagnostic_lines(check::check_model(dir.path(), {.plain = true})), expected);
  ASSERT_EQ(result.diagnostics.size(), 1u);
  EXPECT_EQ(result.diagnostics[0].count, 975);
  EXPECT_EQ(result.diagnostics[0].cell.row, 2);
}

// A file of the consistent model left out, or cut after its first
// `kept_lines` lines.
struct PartialModel {
  std::string name;
  std::string file;
  int kept_lines;  // -1: the file is not there
  std::vector<std::string> expected;
};

void PrintTo(const PartialModel& c, std::ostream* os) { *os << c.name; }

std::string first_lines(const std::string& bytes, int count) {
  std::size_t end = 0;
  for (int i = 0; i < count; ++i) end = bytes.find('\n', end) + 1;
  return bytes.substr(0, end);
}

class PartialModelTest : public ::testing::TestWithParam<PartialModel> {};

TEST_P(PartialModelTest, GivesItsDiagnostics) {
  const PartialModel& c = GetParam();
  const ModelFiles& model = consistent_model();
  Scratch dir;
  dir.write("FOR021", kSolverFile);
  for (const auto& [name, bytes] : {std::pair{"FOR001", &model.basic}, std::pair{"FOR011", &model.flow},
                                    std::pair{"FOR013", &model.drains}}) {
    if (c.file != name) {
      dir.write(name, *bytes);
    } else if (c.kept_lines >= 0) {
      dir.write(name, first_lines(*bytes, c.kept_lines));
    }
  }
  EXPECT_EQ(diagnostic_lines(check::check_model(dir.path())), c.expected);
  EXPECT_EQ(diagnostic_lines(check::check_model(dir.path(), {.plain = true})), c.expected);
}

const PartialModel kPartialModels[] = {
    // Selected, and written by a builder of this set: the finding says which.
    {"flow_file_missing", "FOR011", -1,
     {"FOR001:4:1: error: Block Centered Flow is selected (unit 11), but there is no FOR011: Cindral writes it"}},
    {"drain_file_missing", "FOR013", -1,
     {"FOR001:4:7: error: Drains is selected (unit 13), but there is no FOR013: Quillet writes it"}},
    // No grid and no module table: nothing to compare the other files with,
    // which alone are sound.
    {"basic_file_ends_before_its_dimensions", "FOR001", 2,
     {"FOR001:3:1: error: the file ends early: expected the dimension record"}},
    {"drain_file_ends_inside_a_period", "FOR013", 3,
     {"FOR013:4:1: error: the file ends early: expected the record of drain 2 of stress period 1"}},
};

INSTANTIATE_TEST_SUITE_P(FileMissingOrCut, PartialModelTest, ::testing::ValuesIn(kPartialModels),
                         [](const auto& info) { return info.param.name; });

// Arrays compared cell for cell up to a grid's last column, where a line of
// values starts at that column: one column (each line holds the whole row)
// and eleven (a row of starting heads is a line of ten and a line of one).
// One layer of 3 rows, type 3 in a steady run (HYDCON-, BOT- 50, TOP- 120).
// At row 1's last column, a no-flow cell, the head and the top are 40, which
// does not count there; at row 2's last column, an active cell, it does.
TEST(ModelCheck, ArraysSideBySideToTheLastColumn) {
  for (const int columns : {1, 11}) {
    SCOPED_TRACE(std::to_string(columns) + " columns");
    const int cells = 3 * columns;
    std::vector<std::string> boundary = repeated("1", cells), heads = repeated("100", cells),
                             tops = repeated("120", cells);
    boundary[static_cast<std::size_t>(columns - 1)] = "0";
    for (const int last : {columns - 1, 2 * columns - 1}) {
      heads[static_cast<std::size_t>(last)] = "40";
      tops[static_cast<std::size_t>(last)] = "40";
    }
    Scratch dir;
    run_builder(MORVEK_PATH, dir,
                answers(joined({{"One column", "Side by side", "1", "3", std::to_string(columns), "1", "4"},
                                {"1"}, repeated("0", 7), {"1", "0", "0"}, {"0", "1"},
                                {"1"}, boundary, {"999", "1"}, heads, {"365", "10", "1.2"}})));
    run_builder(CINDRAL_PATH, dir,
                answers(joined({{"1", "0", "1", "3", std::to_string(columns), "3", "1.0", "0", "10", "0", "10"},
                                {"0", "5", "0", "50", "1"}, tops})));
    dir.write("FOR021", kSolverFile);
    // FOR001: IBOUND- on line 6, rows 7-9, SHEAD- 11, then a line a row (one
    // column) or two (eleven). FOR011: DELR- values on one line or two, then
    // DELC- and HYDCON-, BOT- and TOP- with a line or two a row.
    const bool one = columns == 1;
    const std::string c = std::to_string(columns);
    const std::string bottom = one ? "FOR011:15" : "FOR011:21";
    const std::vector<std::string> expected = {
        (one ? "FOR001:13:1" : "FOR001:15:1") + std::string(": warning: the starting head is below the cell's "
                                                            "bottom at row 2, column ") +
            c + " of layer 1 (40.0 against a bottom of 50.0 at " + bottom + "); such a cell starts dry",
        (one ? "FOR011:19:1" : "FOR011:28:1") + std::string(": warning: the top elevation is below the cell's "
                                                            "bottom at row 2, column ") +
            c + " of layer 1 (40.0 against a bottom of 50.0 at " + bottom + ")"};
    EXPECT_EQ(diagnostic_lines(check::check_model(dir.path())), expected);
    EXPECT_EQ(diagnostic_lines(check::check_model(dir.path(), {.plain = true})), expected);
  }
}

// FOR001 cut short after its own check, while the drains are looked up in
// it (it changed, or could not be read again): the finding names FOR001 and
// the line of the drain's cell, and the drain check stops there. The drain
// of line 3 is at row 2, column 3 of layer 1: FOR001:8, column 7.
TEST(ModelCheck, BasicFileFailingUnderTheDrainCheckIsNamed) {
  const ModelFiles& model = consistent_model();
  Scratch dir;
  dir.write("FOR001", model.basic);
  dir.write("FOR011", model.flow);
  dir.write("FOR013", model.drains);
  dir.write("FOR001.cut", first_lines(model.basic, 7));
  struct Case {
    inspect::Reading reading;
    std::string expected;
  };
  for (const Case& c : {Case{inspect::Reading::Quick, "FOR001:8:7: error: the file changed while it was checked"},
                        Case{inspect::Reading::Plain, "FOR001:8:1: error: the file ends early: expected row 2 of "
                                                    "IBOUND- of layer 1"}}) {
    inspect::InputFile basic(dir.file("FOR001")), cut(dir.file("FOR001.cut")), flow(dir.file("FOR011")),
        drains(dir.file("FOR013"));
    check::Findings findings;
    const check::BasicModel basic_model = check::check_basic_file(basic.fd(), c.reading, findings);
    const check::FlowModel flow_model =
        check::check_flow_file(flow.fd(), basic_model, basic.fd(), c.reading, findings);
    check::check_drain_file(drains.fd(), basic_model, cut.fd(), flow_model, flow.fd(), c.reading, findings);
    EXPECT_EQ(diagnostic_lines(findings.finish(true)), std::vector<std::string>{c.expected});
  }
}

// The quick way passes a row whose bytes repeat the row before without
// reading it, and walks an array kept as its one row again without the file;
// the plain way does neither, with the same diagnostics. One layer of 40
// rows of 25 columns, every array one value: FOR001's boundary and heads
// each pass 39 rows; FOR011's TRAN- passes 39 more, beside the boundary
// walked again from its kept row (39 rows after its first).
TEST(ModelCheck, RepeatedRowsArePassedWithoutReadingThem) {
  Scratch dir;
  run_builder(MORVEK_PATH, dir,
              answers(joined({{"Uniform", "", "1", "40", "25", "1", "4"}, {"1"}, repeated("0", 7), {"1", "0", "0"}, {"0", "1"},
                              {"0", "1", "999", "0", "10", "1", "1", "1"}})));
  run_builder(CINDRAL_PATH, dir, answers({"1", "0", "1", "40", "25", "0", "1.0", "0", "10", "0", "10", "0", "2.5"}));
  dir.write("FOR021", kSolverFile);
  for (const bool plain : {false, true}) {
    SCOPED_TRACE(plain ? "plain" : "quick");
    const inspect::PassedRowCounts before = inspect::passed_row_counts();
    EXPECT_EQ(diagnostic_lines(check::check_model(dir.path(), {.plain = plain})), std::vector<std::string>{});
    const inspect::PassedRowCounts after = inspect::passed_row_counts();
    EXPECT_EQ(after.passed_by_bytes - before.passed_by_bytes, plain ? 0 : 3 * 39);
    EXPECT_EQ(after.replayed - before.replayed, plain ? 0 : 39);
  }
}

// ---- gwinspect check, as a user runs it

struct CommandResult {
  int status = -1;
  std::string out;
};

// Runs `gwinspect ARGUMENTS` in `folder`, standard output captured.
CommandResult gwinspect(const std::string& folder, const std::string& arguments) {
  CommandResult result;
  const std::string command = "cd '" + folder + "' && '" GWINSPECT_PATH "' " + arguments + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// The three builders run on the answers of `examples` (a folder of the
// source tree) in `dir`.
void build_example(const Scratch& dir, const std::string& examples) {
  run_builder(MORVEK_PATH, dir, read_file(examples + "/morvek.txt"));
  run_builder(CINDRAL_PATH, dir, read_file(examples + "/cindral.txt"));
  run_builder(QUILLET_PATH, dir, read_file(examples + "/quillet.txt"));
}

const std::string kNoSolver =
    "FOR001:4:25: error: no solver is selected: the simulator needs one, Strongly Implicit (unit 19) or SSOR "
    "(unit 21)\n";

// The bundled example answers select no solver (the simulator's solver
// file is made by other means): that is their only finding.
TEST(GwinspectCheck, BundledExampleOnlyLacksASolver) {
  Scratch dir;
  build_example(dir, EXAMPLES_DIR);
  const CommandResult run = gwinspect(dir.path(), "check");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kNoSolver + "1 error, 0 warnings\n");
}

// The solver slots of the consistent model's module table (slot 9 at
// column 25, slot 11 at column 31 of line 4), as a user edits them, with
// the solver files beside that the table names.
TEST(GwinspectCheck, NeedsExactlyOneSolver) {
  struct Case {
    std::string name;
    std::string slot_9, slot_11;
    std::vector<std::string> files;  // made by other means
    std::string out;
    int status;
  };
  const std::string two = "FOR001:4:31: warning: two solvers are selected: Strongly Implicit (unit 19) and SSOR "
                          "(unit 21); the simulator needs only one\n";
  const std::vector<Case> cases = {
      {"none", "  0", "  0", {}, kNoSolver + "1 error, 0 warnings\n", 1},
      {"strongly implicit", " 19", "  0", {"FOR019"}, "0 errors, 0 warnings\n", 0},
      {"ssor", "  0", " 21", {"FOR021"}, "0 errors, 0 warnings\n", 0},
      {"both", " 19", " 21", {"FOR019", "FOR021"}, two + "0 errors, 1 warning\n", 0},
      // Another unit than Morvek writes there is still read as the solver.
      {"other unit",
       " 31",
       "  0",
       {"FOR031"},
       "FOR001:4:25: warning: slot 9 of the module table holds unit 31; Morvek writes 19 there for Strongly "
       "Implicit\n0 errors, 1 warning\n",
       0},
      // A slot the simulator cannot read is its own error, not a missing solver.
      {"unreadable",
       "***",
       "  0",
       {},
       "FOR001:4:25: error: the unit of slot 9 is asterisks (a value too wide for its field), which the simulator "
       "cannot read\n1 error, 0 warnings\n",
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModelFiles model = consistent_model();
    ASSERT_TRUE(apply(model.basic, {"FOR001", 4, 25, "  0", c.slot_9}));
    ASSERT_TRUE(apply(model.basic, {"FOR001", 4, 31, " 21", c.slot_11}));
    Scratch dir;
    dir.write("FOR001", model.basic);
    dir.write("FOR011", model.flow);
    dir.write("FOR013", model.drains);
    for (const std::string& file : c.files) dir.write(file, kSolverFile);
    const CommandResult run = gwinspect(dir.path(), "check");
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
  }

  // A module table cut before the solver slots is read as zeros: no solver.
  ModelFiles model = consistent_model();
  ASSERT_TRUE(apply(model.basic, {"FOR001", 4, 25, "  0  0 21" + testing_support::repeat("  0", 13) + "\r\n", "\r\n"}));
  Scratch dir;
  write_model(dir, model);
  const CommandResult cut = gwinspect(dir.path(), "check --format=json");
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.out.find("{\"file\": \"FOR001\", \"line\": 4, \"column\": 25, \"severity\": \"error\", "
                         "\"rule\": \"solver\", \"message\": \"no solver is selected"),
            std::string::npos)
      << cut.out;
}

TEST(GwinspectCheck, FaultyExampleGivesDiagnosticsAndStatusOne) {
  Scratch dir;
  build_example(dir, EXAMPLES_DIR "/faulty");
  const CommandResult run = gwinspect(dir.path(), "check");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "FOR001:4:25: error: Strongly Implicit is selected (unit 19), but there is no FOR019: these "
            "builders do not write it, so it must be made by other means\n"
            "FOR001:4:34: error: Output Control is selected (unit 22), but there is no FOR022: these "
            "builders do not write it, so it must be made by other means\n"
            "FOR011:6:71: error: the DELR- list gives widths of 8 columns; the grid has 7 columns (FOR001:3)\n"
            "FOR013:3:1: warning: drain 1 of stress period 1 is in a no-flow cell (boundary value 0 at "
            "FOR001:11:19): the simulator ignores it\n"
            "FOR013:4:11: error: drain 2 of stress period 1 is in row 40; the grid has 6 rows (FOR001:3)\n"
            "4 errors, 1 warning\n");

  // From the folder above, the files are named by the folder given.
  const std::string parent = dir.path().substr(0, dir.path().rfind('/'));
  const std::string name = dir.path().substr(parent.size() + 1);
  const CommandResult from_above = gwinspect(parent, "check " + name);
  EXPECT_EQ(from_above.out.substr(0, name.size() + 15), name + "/FOR001:4:25: e");

  const CommandResult json = gwinspect(dir.path(), "check --format=json");
  EXPECT_EQ(json.status, 1);
  EXPECT_TRUE(json.out.starts_with(
      "{\"folder\": \".\", \"completed\": true, \"errors\": 4, \"warnings\": 1,\n \"diagnostics\": [\n  {"))
      << json.out;
  EXPECT_NE(json.out.find("{\"file\": \"FOR013\", \"line\": 4, \"column\": 11, \"severity\": \"error\", "
                          "\"rule\": \"drain-outside-grid\", \"message\": \"drain 2 of stress period 1 is in "
                          "row 40; the grid has 6 rows (FOR001:3)\", \"count\": 1, \"cell\": null, "
                          "\"other\": {\"file\": \"FOR001\", \"line\": 3, \"column\": 11}}"),
            std::string::npos)
      << json.out;
}

TEST(GwinspectCheck, CheckThatCannotBeMadeGivesStatusTwo) {
  Scratch dir;
  CommandResult run = gwinspect(dir.path(), "check");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "FOR001: error: there is no FOR001 in this folder; the check starts from it\n"
                     "1 error, 0 warnings\n");
  EXPECT_EQ(gwinspect(dir.path(), "check --format=json").out,
            "{\"folder\": \".\", \"completed\": false, \"errors\": 1, \"warnings\": 0,\n"
            " \"diagnostics\": [\n"
            "  {\"file\": \"FOR001\", \"line\": 0, \"column\": 0, \"severity\": \"error\", \"rule\": "
            "\"no-basic-file\", \"message\": \"there is no FOR001 in this folder; the check starts from it\", "
            "\"count\": 1, \"cell\": null, \"other\": null}\n"
            " ]}\n");

  // A FOR011 that is a folder cannot be read.
  build_example(dir, EXAMPLES_DIR);
  ::unlink(dir.file("FOR011").c_str());
  ASSERT_EQ(::mkdir(dir.file("FOR011").c_str(), 0755), 0);
  run = gwinspect(dir.path(), "check");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, kNoSolver + "FOR011: error: the file cannot be checked: expected a file, found a directory\n"
                                 "2 errors, 0 warnings\n");
  ::rmdir(dir.file("FOR011").c_str());

  EXPECT_EQ(gwinspect(dir.path(), "check --format=xml").status, 2);
  EXPECT_EQ(gwinspect(dir.path(), "check a b").status, 2);
}

}  // namespace
