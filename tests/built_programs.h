// The builders that this build has, with answer files that drive each one,
// for the tests that run every built program the same way (faults, memory).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// One count the program asks, set to an extreme value.
struct CountCase {
  std::string what;     // "period_count 2147483647"
  std::string answers;  // the answer file
  // After the answers the run either reaches its stop (exit 0) or meets the
  // end of input (F6501) while the loop still asks.
  bool completes;
  int records;          // records in the output file afterwards
};

struct BuiltProgram {
  std::string name;
  std::string path;
  std::string output_file;
  // From the first question to the stop, writing `session_records` records.
  // Its first `text_answers` lines answer text questions, the next line is
  // the first free-form number.
  std::string session;
  int text_answers = 0;
  int session_records;
  std::string session_file;  // the output file after `session`, by hand
  // A complete run whose console output passes a megabyte and whose file
  // passes 64 KiB, so that both are written while the run goes on.
  std::string talkative_session;
  std::string talkative_file;
  // Extreme counts, and other answers that must not make the program grow.
  std::vector<CountCase> counts;
  // A grid one row above the cell limit (Morvek and Cindral only).
  std::string oversized_grid;
};

inline void PrintTo(const BuiltProgram& program, std::ostream* os) { *os << program.name; }

inline std::string lines(std::initializer_list<std::string_view> answers) {
  std::string text;
  for (std::string_view a : answers) {
    text += a;
    text += '\n';
  }
  return text;
}

inline std::string repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

inline std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

#ifdef QUILLET_PATH
inline BuiltProgram quillet() {
  BuiltProgram p;
  p.name = "Quillet";
  p.path = QUILLET_PATH;
  p.output_file = "FOR013";
  // Max drains 20, flow code 0, three periods: two drains, reuse, one drain.
  p.session = lines({"20", "0", "3", "2", "1", "5", "7", "95.5", "1000.0", "1", "6", "7",
                     "94.3", "0.05", "-1", "1", "2", "3", "4", "88.0", "12.5"});
  p.session_records = 7;
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
  p.talkative_session = lines({"20", "0", "1", "5000"}) + repeat(lines({"1", "2", "3", "4.5", "6.5"}), 5000);
  p.talkative_file = blanks(8) + "20" + blanks(9) + "0\r\n" + blanks(6) + "5000\r\n" +
                     repeat(blanks(9) + "1" + blanks(9) + "2" + blanks(9) + "3" + blanks(2) +
                                "4.50" + blanks(4) + blanks(2) + "6.50" + blanks(4) + "\r\n",
                            5000);

  const std::string drain = lines({"1", "2", "3", "4.5", "6.5"});
  p.counts = {
      // Not a loop bound: written as entered (I10 of the lowest integer is
      // ten asterisks), and the run goes on.
      {"max_drains 2147483647", lines({"2147483647", "0", "1", "-1"}), true, 2},
      {"max_drains -2147483648", lines({"-2147483648", "0", "1", "-1"}), true, 2},
      // Billions of periods: three are answered, the fourth question meets the end.
      {"period_count 2147483647", lines({"20", "0", "2147483647", "-1", "-1", "-1"}), false, 4},
      {"period_count -2147483648", lines({"20", "0", "-2147483648"}), true, 1},
      // Billions of drains: two are answered.
      {"use_code 2147483647", lines({"20", "0", "1", "2147483647"}) + drain + drain, false, 4},
      {"use_code -2147483648", lines({"20", "0", "1", "-2147483648"}), true, 2},
  };
  return p;
}
#endif

inline std::vector<BuiltProgram> built_programs() {
  std::vector<BuiltProgram> programs;
#ifdef QUILLET_PATH
  programs.push_back(quillet());
#endif
  return programs;
}

// For parameterized test names.
struct ProgramName {
  std::string operator()(const auto& info) const { return info.param.name; }
};

}  // namespace testing_support
