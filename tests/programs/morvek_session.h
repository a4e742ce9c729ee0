// What the end-to-end sessions of the base builder share: its path, the
// answers and records of a run header, the array-control records, the
// console's look of records and legends. Expected bytes are written field
// by field.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"
#include "tests/support/run_checks.h"

namespace morvek_session {

// The support the sessions use, by its short names.
using testing_support::answers;
using testing_support::blanks;
using testing_support::crlf;
using testing_support::is_report;
using testing_support::records;
using testing_support::repeat;
using testing_support::run_on_terminal;
using testing_support::run_redirected;
using testing_support::RunResult;
using testing_support::Scratch;

inline const std::string kMorvek = MORVEK_PATH;
inline const std::string kStop = "\r\nStop - Program terminated.\r\n\r\n";

inline std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline std::string join(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  return answers(a + b);
}

// The console shows a record without its carriage-control column, and each
// line after the first behind the line end owed by the one before.
inline std::string shown(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += "\r\n" + line;
  return out;
}

// The answers of a run header with two titles, the four counts as typed,
// time unit 4, no module and the options 0 and 1.
inline std::vector<std::string> header_answers(const std::string& layers, const std::string& rows,
                                               const std::string& columns, const std::string& periods) {
  std::vector<std::string> a = {"Sand aquifer", "Trial two", layers, rows, columns, periods, "4"};
  for (int i = 0; i < 11; ++i) a.push_back("0");
  a.push_back("0");
  a.push_back("1");
  return a;
}

// The five header records of a run without modules and options 0 and 1.
inline std::vector<std::string> header_records_titled(const std::string& title_1, const std::string& title_2,
                                                      const std::string& dimension_record) {
  return {title_1 + blanks(80 - static_cast<int>(title_1.size())),
          title_2 + blanks(80 - static_cast<int>(title_2.size())), dimension_record,
          repeat("  0", 24), blanks(9) + "0" + blanks(9) + "1"};
}

// The header records for the answers of header_answers.
inline std::vector<std::string> header_records(const std::string& dimension_record) {
  return header_records_titled("Sand aquifer", "Trial two", dimension_record);
}

inline std::string dimensions(int layers, int rows, int columns, int periods) {
  auto field = [](int v) {
    std::string digits = std::to_string(v);
    return blanks(10 - static_cast<int>(digits.size())) + digits;
  };
  return field(layers) + field(rows) + field(columns) + field(periods) + blanks(9) + "4";
}

inline const std::string kBoundaryControl = blanks(9) + "1" + blanks(9) + "1" + "(20I3)" + blanks(14) +
                                            blanks(9) + "3" + blanks(3) + "IBOUND-";
inline const std::string kHeadControl = blanks(9) + "1" + blanks(2) + "1.00" + blanks(4) + "(10G10.3)" +
                                        blanks(11) + blanks(9) + "0" + blanks(4) + "SHEAD-";

inline std::string boundary_control(int layer) { return kBoundaryControl + blanks(2) + std::to_string(layer); }
inline std::string head_control(int layer) { return kHeadControl + blanks(2) + std::to_string(layer); }

// The legend that follows every boundary cell line.
inline const std::vector<std::string> kLegend = {" -1 = Constant Head Cell" + blanks(11),
                                                 "  0 = No Computation Cell" + blanks(10),
                                                 " +1 = Active Computation Cell" + blanks(6)};

inline std::size_t count(std::string_view text, std::string_view part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size())) {
    ++n;
  }
  return n;
}

}  // namespace morvek_session
