// The builders that this build has, with answer files that drive each one,
// for the tests that run every built program the same way (faults, memory).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/expected_text.h"

namespace testing_support {

// How a run with extreme answers ends.
enum class End {
  Stop,        // the stop line, status 0
  EndOfInput,  // a loop still asking when the answers run out: F6501
  Refused,     // one line refusing storage beyond the limit, status 1
};

// One answer the program asks, set to an extreme value.
struct ExtremeCase {
  std::string what;     // "period_count 2147483647"
  std::string answers;  // the answer file
  End end;
  int records;          // complete records in the output file afterwards
};

struct BuiltProgram {
  std::string name;
  std::string path;
  std::string output_file;
  // From the first question to the stop.
  // Its first `text_answers` lines answer text questions, the next line is
  // the first free-form number.
  std::string session;
  int text_answers = 0;
  std::string session_file;  // the output file after `session`, by hand
  // A complete run whose console output passes a megabyte and whose file
  // passes 64 KiB, so that both are written while the run goes on.
  std::string talkative_session;
  std::string talkative_file;
  // Extreme counts, and other answers that must not make the program grow.
  std::vector<ExtremeCase> extremes;
  // A grid one row above the cell limit (Morvek and Cindral only).
  std::string oversized_grid;
};

inline void PrintTo(const BuiltProgram& program, std::ostream* os) { *os << program.name; }

inline BuiltProgram quillet() {
  BuiltProgram p;
  p.name = "Quillet";
  p.path = QUILLET_PATH;
  p.output_file = "FOR013";
  // Max drains 20, flow code 0, three periods: two drains, reuse, one drain.
  p.session = answers({"20", "0", "3", "2", "1", "5", "7", "95.5", "1000.0", "1", "6", "7",
                       "94.3", "0.05", "-1", "1", "2", "3", "4", "88.0", "12.5"});
  p.session_file = blanks(8) + "20" + blanks(9) + "0\r\n" +                     //
                   blanks(9) + "2\r\n" +                                        //
                   blanks(9) + "1" + blanks(9) + "5" + blanks(9) + "7" +        //
                   blanks(2) + "95.5" + blanks(4) + blanks(2) + ".100E+04\r\n" +  //
                   blanks(9) + "1" + blanks(9) + "6" + blanks(9) + "7" +        //
                   blanks(2) + "94.3" + blanks(4) + blanks(2) + ".500E-01\r\n" +  //
                   blanks(8) + "-1\r\n" +                                       //
                   blanks(9) + "1\r\n" +                                        //
                   blanks(9) + "2" + blanks(9) + "3" + blanks(9) + "4" +        //
                   blanks(2) + "88.0" + blanks(4) + blanks(2) + "12.5" + blanks(4) + "\r\n";
  // One period of 5000 drains: about 170 console bytes and one 52-byte
  // record each.
  p.talkative_session = answers({"20", "0", "1", "5000"}) + repeat(answers({"1", "2", "3", "4.5", "6.5"}), 5000);
  p.talkative_file = blanks(8) + "20" + blanks(9) + "0\r\n" + blanks(6) + "5000\r\n" +
                     repeat(blanks(9) + "1" + blanks(9) + "2" + blanks(9) + "3" + blanks(2) +
                                "4.50" + blanks(4) + blanks(2) + "6.50" + blanks(4) + "\r\n",
                            5000);

  const std::string drain = answers({"1", "2", "3", "4.5", "6.5"});
  p.extremes = {
      // Not a loop bound: written as entered (I10 of the lowest integer is
      // ten asterisks), and the run goes on.
      {"max_drains 2147483647", answers({"2147483647", "0", "1", "-1"}), End::Stop, 2},
      {"max_drains -2147483648", answers({"-2147483648", "0", "1", "-1"}), End::Stop, 2},
      // Billions of periods: three are answered, the fourth question meets the end.
      {"period_count 2147483647", answers({"20", "0", "2147483647", "-1", "-1", "-1"}), End::EndOfInput, 4},
      {"period_count -2147483648", answers({"20", "0", "-2147483648"}), End::Stop, 1},
      // Billions of drains: two are answered.
      {"use_code 2147483647", answers({"20", "0", "1", "2147483647"}) + drain + drain, End::EndOfInput, 4},
      {"use_code -2147483648", answers({"20", "0", "1", "-2147483648"}), End::Stop, 2},
  };
  return p;
}

inline BuiltProgram morvek() {
  BuiltProgram p;
  p.name = "Morvek";
  p.path = MORVEK_PATH;
  p.output_file = "FOR001";
  p.text_answers = 2;
  const std::string titles = answers({"Valley model", "Trial 1"});
  const std::string modules_none = repeat(answers({"0"}), 11);
  const std::string title_records =
      "Valley model" + blanks(68) + "\r\n" + "Trial 1" + blanks(73) + "\r\n";
  // One layer of 2 rows and 3 columns, two periods, time unit 4, Block
  // Centered Flow and Output Control; boundary cell by cell, starting heads
  // all 10, no-flow head 999.
  p.session = titles + answers({"1", "2", "3", "2", "4", "1", "0", "0", "0", "0", "0", "0", "0", "0",
                                "1", "0", "0", "1", "1", "1", "1", "1", "-1", "1", "1", "999", "0",
                                "10", "365", "10", "1.2", "100", "5", "1"});
  const std::string boundary_control = blanks(9) + "1" + blanks(9) + "1" + "(20I3)" + blanks(14) +
                                       blanks(9) + "3" + blanks(3) + "IBOUND-" + blanks(2) + "1\r\n";
  const std::string heads_control = blanks(9) + "1" + blanks(2) + "1.00" + blanks(4) + "(10G10.3)" +
                                    blanks(11) + blanks(9) + "0" + blanks(4) + "SHEAD-" + blanks(2) +
                                    "1\r\n";
  p.session_file = title_records +                                                       //
                   blanks(9) + "1" + blanks(9) + "2" + blanks(9) + "3" + blanks(9) + "2" +  //
                   blanks(9) + "4\r\n" +                                               //
                   " 11" + repeat("  0", 10) + " 22" + repeat("  0", 12) + "\r\n" +     //
                   blanks(9) + "0" + blanks(9) + "1\r\n" +                             //
                   boundary_control +                                                   //
                   "  1  1  1\r\n" +                                                   //
                   " -1  1  1\r\n" +                                                   //
                   blanks(2) + "999." + blanks(4) + "\r\n" +                           //
                   heads_control +                                                      //
                   repeat(blanks(2) + "10.0" + blanks(4), 3) + "\r\n" +                //
                   repeat(blanks(2) + "10.0" + blanks(4), 3) + "\r\n" +                //
                   blanks(2) + "365." + blanks(4) + blanks(8) + "10" + blanks(2) + "1.20" + blanks(4) +
                   "\r\n" +  //
                   blanks(2) + "100." + blanks(4) + blanks(9) + "5" + blanks(2) + "1.00" + blanks(4) +
                   "\r\n";
  // A 100 by 100 boundary array typed cell by cell: about 170 console bytes
  // a cell; starting heads all 10.
  p.talkative_session = titles + answers({"1", "100", "100", "1", "4"}) + modules_none +
                        answers({"0", "0", "1"}) + repeat(answers({"1"}), 10000) +
                        answers({"999", "0", "10", "365", "10", "1.2"});
  p.talkative_file = title_records +                                                            //
                     blanks(9) + "1" + blanks(7) + "100" + blanks(7) + "100" + blanks(9) + "1" +  //
                     blanks(9) + "4\r\n" +                                                    //
                     repeat("  0", 24) + "\r\n" +                                             //
                     blanks(9) + "0" + blanks(9) + "0\r\n" +                                  //
                     boundary_control +                                                        //
                     repeat(repeat("  1", 20) + "\r\n", 500) +                                //
                     blanks(2) + "999." + blanks(4) + "\r\n" +                                //
                     heads_control +                                                           //
                     repeat(repeat(blanks(2) + "10.0" + blanks(4), 10) + "\r\n", 1000) +       //
                     blanks(2) + "365." + blanks(4) + blanks(8) + "10" + blanks(2) + "1.20" +
                     blanks(4) + "\r\n";

  // Grid header answers: layers, rows, columns, periods, time unit, modules
  // and options.
  auto header = [&](const std::string& layers, const std::string& rows, const std::string& columns,
                    const std::string& periods) {
    return titles + answers({layers, rows, columns, periods, "4"}) + modules_none + answers({"0", "0"});
  };
  const std::string one_period = answers({"365", "10", "1.2"});
  std::string long_title = std::string(10 * 1000 * 1000, 'T') + "\n";
  p.extremes = {
      // Billions of layers of one cell: two are answered.
      {"layer_count 2147483647", header("2147483647", "1", "1", "1") + answers({"0", "1", "0", "1"}),
       End::EndOfInput, 9},
      {"layer_count -2147483648", header("-2147483648", "1", "1", "1") + answers({"999"}) + one_period,
       End::Stop, 7},
      // Too many cells for a grid, refused before the file is made.
      {"row_count 2147483647", titles + answers({"1", "2147483647", "1"}), End::Refused, 0},
      {"column_count 2147483647", titles + answers({"1", "1", "2147483647"}), End::Refused, 0},
      // No rows: each array is its control record alone.
      {"row_count -2147483648",
       header("1", "-2147483648", "3", "1") + answers({"0", "1", "999", "0", "10"}) + one_period,
       End::Stop, 9},
      // No columns: one empty record per row.
      {"column_count -2147483648",
       header("1", "2", "-2147483648", "1") + answers({"0", "1", "999", "0", "10"}) + one_period,
       End::Stop, 13},
      {"period_count 2147483647", header("0", "1", "1", "2147483647") + answers({"999"}) + one_period +
                                      one_period,
       End::EndOfInput, 8},
      {"period_count -2147483648", header("0", "1", "1", "-2147483648") + answers({"999"}), End::Stop, 6},
      // A title is read whole into its 80 characters, the rest discarded.
      {"a title line of 10 MB", long_title + p.session.substr(p.session.find('\n') + 1), End::Stop, 14},
  };
  p.oversized_grid = titles + answers({"1", "10000", "10001"});
  return p;
}

inline BuiltProgram cindral() {
  BuiltProgram p;
  p.name = "Cindral";
  p.path = CINDRAL_PATH;
  p.output_file = "FOR011";
  auto control = [](std::string_view format, std::string_view label, std::string_view layer) {
    return blanks(8) + "11" + blanks(2) + "1.00" + blanks(4) + std::string(format) + blanks(11) +
           blanks(9) + "0" + blanks(10 - static_cast<int>(label.size())) + std::string(label) +
           blanks(3 - static_cast<int>(layer.size())) + std::string(layer) + "\r\n";
  };
  auto row = [](std::string_view field, int fields) { return repeat(field, fields) + "\r\n"; };
  // A transient run, cell-by-cell code 50, two layers of types 1 and 3 on 2
  // rows by 3 columns; column widths all 100, row widths 50 and 25; each
  // property array given one value.
  p.session = answers({"0", "50", "2", "2", "3", "1", "1.0", "3", "1.0", "0", "100.0", "1", "50.0", "25.0",
                       "0", "0.001", "0", "12.5", "0", "85.0", "0", "0.002",                 // layer 1
                       "0", "0.001", "0", "12.5", "0", "40.0", "0", "0.0001", "0", "1500.0"});  // layer 2
  const std::string small = blanks(2) + ".100E-02";
  p.session_file = blanks(9) + "0" + blanks(8) + "50\r\n" +                   //
                   " 1 3\r\n" +                                             //
                   control("(10G10.3)", "TRPY-", "0") +                       //
                   row(blanks(2) + "1.00" + blanks(4), 2) +                   //
                   control("(10G10.3)", "DELR-", "0") +                       //
                   row(blanks(2) + "100." + blanks(4), 3) +                   //
                   control("(10g10.3)", "DELC-", "0") +                       //
                   blanks(2) + "50.0" + blanks(4) + blanks(2) + "25.0" + blanks(4) + "\r\n" +
                   control("(10G10.3)", "SF1-", "1") + repeat(row(small, 3), 2) +                       //
                   control("(10G10.3)", "HYDCON-", "1") + repeat(row("  12.5    ", 3), 2) +             //
                   control("(10G10.3)", "BOT-", "1") + repeat(row("  85.0    ", 3), 2) +                //
                   control("(10G10.3)", "VCON-", "1") + repeat(row("  .200E-02", 3), 2) +              //
                   control("(10G10.3)", "SF1-", "2") + repeat(row(small, 3), 2) +                       //
                   control("(10G10.3)", "HYDCON-", "2") + repeat(row("  12.5    ", 3), 2) +             //
                   control("(10G10.3)", "BOT-", "2") + repeat(row("  40.0    ", 3), 2) +                //
                   control("(10G10.3)", "SF2-", "2") + repeat(row("  .100E-03", 3), 2) +               //
                   control("(10G10.3)", "TOP-", "2") + repeat(row("  .150E+04", 3), 2);
  // Steady state, one confined layer of 150 by 150 cells, transmissivity
  // typed cell by cell: about 55 console bytes a cell.
  p.talkative_session = answers({"1", "0", "1", "150", "150", "0", "1.0", "0", "100.0", "0", "100.0", "1"}) +
                        repeat(answers({"2.5"}), 150 * 150);
  p.talkative_file = blanks(9) + "1" + blanks(9) + "0\r\n" +       //
                     " 0\r\n" +                                    //
                     control("(10G10.3)", "TRPY-", "0") +            //
                     row(blanks(2) + "1.00" + blanks(4), 1) +        //
                     control("(10G10.3)", "DELR-", "0") +            //
                     repeat(row("  100.    ", 10), 15) +             //
                     control("(10g10.3)", "DELC-", "0") +            //
                     repeat(row("  100.    ", 10), 15) +             //
                     control("(10G10.3)", "TRAN-", "1") +            //
                     repeat(row("  2.50    ", 10), 150 * 15);

  p.extremes = {
      // Counts whose lists or grids could not be held: refused at once,
      // after the header record.
      {"layer_count 2147483647", answers({"0", "0", "2147483647"}), End::Refused, 1},
      {"row_count 2147483647", answers({"0", "0", "1", "2147483647"}), End::Refused, 1},
      {"column_count 2147483647", answers({"0", "0", "1", "1", "2147483647"}), End::Refused, 1},
      // No layers: empty layer-type and factor records, the widths still asked.
      {"layer_count -2147483648", answers({"0", "0", "-2147483648", "1", "1", "0", "1.0", "0", "1.0"}),
       End::Stop, 8},
      // No rows: an empty row-width record, and the one array its control record alone.
      {"row_count -2147483648",
       answers({"1", "0", "1", "-2147483648", "2", "0", "1.0", "0", "100.0", "0", "50.0", "0", "2.5"}),
       End::Stop, 9},
      // No columns: an empty column-width record and an empty record per row.
      {"column_count -2147483648",
       answers({"1", "0", "1", "2", "-2147483648", "0", "1.0", "0", "100.0", "0", "50.0", "0", "2.5"}),
       End::Stop, 11},
  };
  p.oversized_grid = answers({"0", "0", "1", "10000", "10001"});
  return p;
}

inline std::vector<BuiltProgram> built_programs() {
  std::vector<BuiltProgram> programs;
  programs.push_back(quillet());
  programs.push_back(morvek());
  programs.push_back(cindral());
  return programs;
}

// For parameterized test names.
struct ProgramName {
  std::string operator()(const auto& info) const { return info.param.name; }
};

}  // namespace testing_support
