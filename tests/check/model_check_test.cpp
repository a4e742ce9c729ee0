// The model check as a whole: a consistent model checks clean in every
// form an editor leaves it; diagnostics written out; a finding over many
// cells; files left out or cut; arrays side by side to a grid's last
// column; a file failing under another's check; rows passed without
// reading them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/diagnostic_output.h"
#include "check/file_checks.h"
#include "check/model_check.h"
#include "inspect/array_cursor.h"
#include "inspect/input_file.h"
#include "tests/check/seeded_model.h"
#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"

namespace {

using namespace seeded_model;
using testing_support::answers;
using testing_support::Scratch;

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

// A model of one layer of `rows` by `columns` cells in `dir`, Drains and
// SSOR its modules: `boundary` answers Morvek's boundary questions, the
// starting heads are 100, one stress period; FOR013 holds `drains` (its
// header, then its periods).
void write_one_layer_model(const Scratch& dir, int rows, int columns, const std::vector<std::string>& boundary,
                           const std::string& drains) {
  run_builder(MORVEK_PATH, dir,
              answers(joined({{"One layer", "", "1", std::to_string(rows), std::to_string(columns), "1", "4"},
                              {"0", "0", "1", "0", "0", "0", "0", "0", "1", "0", "0", "1", "1"},
                              boundary, {"999", "0", "100", "365", "10", "1.2"}})));
  dir.write("FOR021", kSolverFile);
  dir.write("FOR013", drains);
}

// A drain's record in FOR013 at layer 1.
std::string drain_at(int row, int column) {
  return right("1", 10) + right(std::to_string(row), 10) + right(std::to_string(column), 10) + "  95.5      .100E+04\r\n";
}

// The check's findings in `file`, one line each.
std::vector<std::string> findings_in(const check::CheckResult& result, std::string_view file) {
  std::vector<std::string> lines;
  for (const std::string& line : diagnostic_lines(result)) {
    if (line.starts_with(std::string(file) + ":")) lines.push_back(line);
  }
  return lines;
}

// A period compares its drains for repeated cells up to the 2^19th (524288)
// only, and says so once. One cell, 524290 drains in it: the first is
// new, the next 524287 repeat it (one finding with its count), the last
// two are not compared. FOR013: line 1 its header, 2 the use code, then a
// drain a line, the 524289th on line 524291.
TEST(ModelCheck, APeriodOfMoreDrainsThanAreComparedSaysSoOnce) {
  Scratch dir;
  std::string drains = right("524290", 10) + right("0", 10) + "\r\n" + right("524290", 10) + "\r\n";
  for (int i = 0; i < 524290; ++i) drains += drain_at(1, 1);
  write_one_layer_model(dir, 1, 1, {"0", "1"}, drains);
  EXPECT_EQ(findings_in(check::check_model(dir.path()), "FOR013"),
            (std::vector<std::string>{
                "FOR013:4:1: warning: drain 2 of stress period 1 is in the same cell as the drain on line 3 "
                "(row 1, column 1 of layer 1): the simulator takes both; 524286 more drains repeat a cell",
                "FOR013:524291:1: note: the drains of stress period 1 are compared for repeated cells up to "
                "the 524288th only"}));
}

// The cells of a period's drains are kept one bit a cell: the last cell of
// a grid of 63 cells is the bitmap's last bit (a sanitizer build catches a
// bit placed past the end). Two drains there are one cell listed twice.
TEST(ModelCheck, TheLastCellOfTheGridIsComparedLikeAnyOther) {
  Scratch dir;
  write_one_layer_model(dir, 1, 63, {"0", "1"},
                        right("2", 10) + right("0", 10) + "\r\n" + right("2", 10) + "\r\n" + drain_at(1, 63) +
                            drain_at(1, 63));
  EXPECT_EQ(findings_in(check::check_model(dir.path()), "FOR013"),
            std::vector<std::string>{"FOR013:4:1: warning: drain 2 of stress period 1 is in the same cell as the drain "
                                     "on line 3 (row 1, column 63 of layer 1): the simulator takes both"});
}

// An array's format gives the values a line holds: on a grid of one column
// a format of one field reads every row as written, and a format of none
// cannot read any (FOR001: line 6 the boundary's control record, its format
// in columns 21 to 40, then its three rows).
TEST(ModelCheck, AnArraysFormatNeedsRoomForOneValueALine) {
  Scratch dir;
  write_one_layer_model(dir, 3, 1, {"1", "1", "1", "1"}, right("1", 10) + right("0", 10) + "\r\n" + right("0", 10) + "\r\n");
  const std::string written = dir.read("FOR001");
  for (const auto& [format, told] : {std::pair<std::string, std::string>{"(1I3) ", ""},
                                     {"()    ", "FOR001:6:21: error: expected a format with room for the values, "
                                                "such as (10G10.3), found '()   "}}) {
    SCOPED_TRACE(format);
    std::string basic = written;
    ASSERT_NE(basic.find("(20I3)"), std::string::npos);
    dir.write("FOR001", basic.replace(basic.find("(20I3)"), 6, format));
    std::string found;
    for (const std::string& line : findings_in(check::check_model(dir.path()), "FOR001")) found += line + "\n";
    // The error ends with the rest of the format field, quoted.
    EXPECT_EQ(found.substr(0, told.size()), told);
    EXPECT_EQ(found.empty(), told.empty()) << found;
  }
}

// A boundary whose first row differs from the second, the rows after it
// repeating the second: each row's cells are the file's own. Row 1 (FOR001
// line 7) holds a no-flow cell in column 1; the drains lie there and in
// row 3, column 1, which is active.
TEST(ModelCheck, ARowReadBeforeTheRepeatedOnesKeepsItsOwnCells) {
  Scratch dir;
  write_one_layer_model(dir, 4, 3, joined({{"1", "0", "1", "1"}, repeated("1", 9)}),
                        right("2", 10) + right("0", 10) + "\r\n" + right("2", 10) + "\r\n" + drain_at(1, 1) +
                            drain_at(3, 1));
  for (const bool plain : {false, true}) {
    EXPECT_EQ(findings_in(check::check_model(dir.path(), {.plain = plain}), "FOR013"),
              std::vector<std::string>{"FOR013:3:1: warning: drain 1 of stress period 1 is in a no-flow cell "
                                       "(boundary value 0 at FOR001:7:1): the simulator ignores it"})
        << (plain ? "plain" : "quick");
  }
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

}  // namespace
