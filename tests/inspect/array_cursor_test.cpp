// The array cursor of the reading library: a small array in, its cells row
// by row or the line and column of what is wrong out, the same read quickly
// and plainly.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "inspect/array_cursor.h"
#include "inspect/input_file.h"
#include "inspect/read_error.h"
#include "tests/support/program_runner.h"

namespace {

using testing_support::Scratch;

// The array-control record of TRAN- of layer 1 with values in `format`:
// unit 11, multiplier 1.0, print code 1.
std::string control(const std::string& format) {
  std::string values_format = format;
  values_format.resize(20, ' ');
  return "        11  1.00    " + values_format + "         1     TRAN-  1";
}

// The cells read, a row a line: a value as %g, "*" asterisks, "?" not a
// number, "_" a field the line ends before; or "error L:C", "ends L: ...".
std::vector<std::string> cells_of(const std::string& file, std::int64_t rows, std::int64_t columns,
                                  inspect::Reading reading) {
  Scratch dir;
  dir.write("FOR011", file);
  inspect::InputFile in(dir.file("FOR011"));
  std::vector<std::string> seen;
  try {
    inspect::ArrayCursor cursor(in.fd(), inspect::LinePlace{}, rows, columns, reading);
    for (std::int64_t row = 1; row <= rows; ++row) {
      cursor.begin_row();
      std::string cells;
      for (std::int64_t k = 0; k < cursor.lines_per_row(); ++k) {
        const inspect::ValueLine& line = cursor.next_line();
        for (std::int64_t i = 0; i < line.count; ++i) {
          char value[32];
          switch (line.kinds[i]) {
            case inspect::CellKind::Value: std::snprintf(value, sizeof value, "%g", static_cast<double>(line.values[i])); break;
            case inspect::CellKind::Asterisks: std::snprintf(value, sizeof value, "*"); break;
            case inspect::CellKind::NotANumber: std::snprintf(value, sizeof value, "?"); break;
            case inspect::CellKind::Missing: std::snprintf(value, sizeof value, "_"); break;
          }
          if (!cells.empty()) cells += ' ';
          cells += value;
        }
      }
      seen.push_back(cells);
    }
  } catch (const inspect::ReadError& e) {
    seen.push_back("error " + std::to_string(e.line()) + ":" + std::to_string(e.column()));
  } catch (const inspect::FileEndsEarly& e) {
    seen.push_back("ends " + std::to_string(e.line) + ": " + e.expected);
  }
  return seen;
}

TEST(ArrayCursor, CellsOrWhereTheArrayIsWrong) {
  struct Case {
    const char* name;
    std::string file;
    std::int64_t rows, columns;
    std::vector<std::string> expected;
  };
  const std::string crlf = "\r\n";
  const std::string row_of_four = "      1.50      2.25     -3.00" + crlf + "      4.00" + crlf;
  const std::vector<Case> cases = {
      {"two lines a row, the second row repeating the first", control("(3G10.3)") + crlf + row_of_four + row_of_four,
       2, 4, {"1.5 2.25 -3 4", "1.5 2.25 -3 4"}},
      {"LF line ends, and rows that differ",
       control("(3G10.3)") + "\n      1.50      2.25     -3.00\n      4.00\n  .500E-02      2.25 1000.    \n"
                             "      -7.5\n",
       2, 4, {"1.5 2.25 -3 4", "0.005 2.25 1000 -7.5"}},
      {"asterisks, not a number, blanks, a line ending before its last field",
       control("(4G10.3)") + crlf + "**********       abc          " + crlf, 1, 4, {"* ? 0 _"}},
      {"integers, one beyond 32 bits", control("(3I10)") + crlf + "         1        -22147483648" + crlf +
                                           "-214748364         0        +5" + crlf,
       2, 3, {"1 -2 ?", "-2.14748e+08 0 5"}},
      {"an array-control record where a row belongs",
       control("(2G10.3)") + crlf + "      1.00      2.00" + crlf + control("(2G10.3)") + crlf, 2, 2,
       {"1 2", "error 3:1"}},
      {"the file ending inside the array", control("(2G10.3)") + crlf + "      1.00      2.00" + crlf +
                                               "      1.00      2.00" + crlf,
       3, 2, {"1 2", "1 2", "ends 4: row 3 of TRAN- of layer 1"}},
      {"one field a line", control("(G10.3)") + crlf + "      1.00" + crlf + "      2.00" + crlf + "      1.00" + crlf +
                                 "      2.00" + crlf,
       2, 2, {"1 2", "1 2"}},
      {"no array-control record", "      1.00      2.00" + crlf, 1, 2, {"error 1:1"}},
  };
  for (const Case& c : cases) {
    for (const inspect::Reading reading : {inspect::Reading::Quick, inspect::Reading::Plain}) {
      EXPECT_EQ(cells_of(c.file, c.rows, c.columns, reading), c.expected)
          << c.name << (reading == inspect::Reading::Plain ? ", read plainly" : "");
    }
  }
}

}  // namespace
