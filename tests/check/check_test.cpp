// The model check's rules, each caught by a seeded fault: a small edit of
// one file of the consistent model (seeded_model.h), with the diagnostics
// expected written out by hand, read the quick way and plainly. The faults
// stand by rule group: between files, the files' structure, the run header
// and stress periods, the drains, the properties.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/model_check.h"
#include "tests/check/seeded_model.h"
#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"

namespace {

using namespace seeded_model;
using testing_support::Scratch;

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
    // A negative unit names no FORnnn file: there is no file to look for.
    {"module_unit_negative",
     {{"FOR001", 4, 16, "  0", " -5"}},
     {"FOR001:4:16: warning: slot 6 of the module table holds unit -5; Morvek selects no module in that slot"}},

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
    // A blank field reads as 0, and the finding says it was blank.
    {"period_length_blank",
     {{"FOR001", 29, 1, "  365.    ", std::string(10, ' ')}},
     {"FOR001:29:1: error: stress period 1 has length 0 (a blank field); it must be above zero"}},
    {"time_steps_blank",
     {{"FOR001", 29, 11, right("10", 10), std::string(10, ' ')}},
     {"FOR001:29:11: error: stress period 1 has 0 time steps (a blank field); it needs at least one"}},
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
    // Ten digits fill the column's field: nothing of it belongs to the row.
    {"drain_outside_grid_ten_digits",
     {{"FOR013", 3, 21, right("3", 10), "1000000000"}},
     {"FOR013:3:21: error: drain 1 of stress period 1 is in column 1000000000; the grid has 12 columns (FOR001:3)"}},
    {"drains_over_maximum",
     {{"FOR013", 1, 1, right("5", 10), right("1", 10)}},
     {"FOR013:2:1: error: stress period 1 has 2 drains; the maximum is 1 (FOR013:1)"}},
    // A maximum that cannot be read is no maximum to compare with.
    {"drains_maximum_asterisks",
     {{"FOR013", 1, 1, right("5", 10), "**********"}},
     {"FOR013:1:1: error: the maximum number of drains is asterisks (a value too wide for its field), which the "
      "simulator cannot read"}},
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
    // An elevation that cannot be read leaves the drain's place to check.
    {"drain_field_not_a_number_in_a_constant_head_cell",
     {{"FOR013", 3, 11, right("2", 10) + right("3", 10) + "  95.0    ", right("1", 10) + right("1", 10) + "  95.0x   "}},
     {"FOR013:3:1: warning: drain 1 of stress period 1 is in a constant-head cell (boundary value -1 at "
      "FOR001:7:1): the head there stays as it is, whatever it drains",
      "FOR013:3:31: error: the elevation of drain 1 of stress period 1 is not a number: '  95.0x   '"}},
    // Text past the record's last column is not part of its last field.
    {"drain_conductance_not_a_number_before_a_note",
     {{"FOR013", 3, 41, "  10.0    ", "  10.0x   note"}},
     {"FOR013:3:41: error: the conductance of drain 1 of stress period 1 is not a number: '  10.0x   '"}},
    {"drain_conductance",
     {{"FOR013", 4, 41, "  5.00    ", "  .000    "}},
     {"FOR013:4:41: warning: drain 2 of stress period 1 has conductance .000; it must be above zero for "
      "the drain to take water out"}},
    {"drain_below_bottom",
     {{"FOR013", 3, 31, "  95.0    ", "  45.0    "}},
     {"FOR013:3:31: warning: drain 1 of stress period 1 has elevation 45.0, below the bottom 50.0 of its "
      "cell (FOR011:27:21)"}},
    // A drain at its cell's bottom is not below it.
    {"drain_at_bottom", {{"FOR013", 3, 31, "  95.0    ", "  50.0    "}}, {}},
    // The elevation is compared whatever the conductance holds.
    {"drain_below_bottom_conductance_not_a_number",
     {{"FOR013", 3, 31, "  95.0      10.0    ", "  45.0      10.0x   "}},
     {"FOR013:3:31: warning: drain 1 of stress period 1 has elevation 45.0, below the bottom 50.0 of its "
      "cell (FOR011:27:21)",
      "FOR013:3:41: error: the conductance of drain 1 of stress period 1 is not a number: '  10.0x   '"}},

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

}  // namespace
