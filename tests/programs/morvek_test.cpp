// End-to-end sessions of the base builder: answers in, console transcript,
// exit status and FOR001 out; here a whole session, the run header and its
// titles, the modules, and the stop at a terminal (the arrays and the grid's
// counts have files of their own). Expected bytes are written field by field.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/programs/morvek_session.h"

namespace {

using namespace morvek_session;

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
