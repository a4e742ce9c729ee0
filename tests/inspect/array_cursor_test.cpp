// The array cursor of the reading library: a small array in, its cells row
// by row or the line and column of what is wrong out, the same read quickly
// and plainly.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "inspect/array_cursor.h"
#include "inspect/basic_file_reader.h"
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

// A FOR001 of one layer of 2 rows by 3 columns whose boundary array holds
// the hard cases: an integer above 2^24 (16777217, which a float rounds to
// 16777216), asterisks, and a line that ends before its last field (read
// as 0), then `rest` (the no-flow head onwards, or nothing).
std::string basic_file_with_hard_cells(const std::string& rest) {
  const std::string crlf = "\r\n";
  return "hard cells" + crlf + "second title" + crlf +
         "         1         2         3         1         4" + crlf + std::string(72, ' ') + crlf +
         "         0         0" + crlf +
         "         1  1.00    (3I10)                       3   IBOUND-  1" + crlf +
         "  16777217**********        -3" + crlf + "         1         1" + crlf + rest;
}

// The boundary array's cells as a file reader hands its rows over to a
// cursor in `form`, then what the reader reads next: its rows a line each,
// then "next N" (the section letter of the next record, N: no-flow head)
// or "ends: <what the reader expected>".
std::vector<std::string> handed_over(const std::string& file, inspect::ValueForm form) {
  Scratch dir;
  dir.write("FOR001", file);
  inspect::InputFile in(dir.file("FOR001"));
  inspect::BasicFileReader reader(in.fd());
  inspect::Record record;
  while (reader.next(record) && record.section != inspect::Section::ArrayControl) {
  }
  std::vector<std::string> seen;
  inspect::ArrayCursor cursor = reader.values_cursor(inspect::Reading::Quick, form);
  try {
    for (std::int64_t row = 1; row <= reader.array().rows; ++row) {
      cursor.begin_row();
      const inspect::ValueLine& line = cursor.next_line();
      std::string cells;
      for (std::int64_t i = 0; i < line.count; ++i) {
        if (!cells.empty()) cells += ' ';
        if (form == inspect::ValueForm::Floats) {
          cells += line.kinds[i] == inspect::CellKind::Value       ? std::to_string(static_cast<std::int64_t>(line.values[i]))
                   : line.kinds[i] == inspect::CellKind::Asterisks ? "*"
                   : line.kinds[i] == inspect::CellKind::Missing   ? "_"
                                                                   : "?";
          continue;
        }
        const inspect::Field& f = line.fields[static_cast<std::size_t>(i)];
        if (form == inspect::ValueForm::FieldText) {
          EXPECT_FALSE(f.converted);
          cells.append("'").append(inspect::trimmed(f.text)).append("'");
        } else {
          cells += f.is_value() ? std::to_string(f.integer) : f.kind == inspect::Field::Kind::Asterisks ? "*" : "?";
          if (f.text.empty()) cells += "(end)";
        }
      }
      seen.push_back(cells);
    }
  } catch (const inspect::FileEndsEarly&) {
  }
  reader.resume_after(cursor);
  if (reader.next(record)) {
    seen.push_back(record.section == inspect::Section::NoFlowHead ? "next N" : "next other");
  } else {
    seen.push_back("ends: " + reader.expected());
  }
  return seen;
}

TEST(ArrayCursor, HandedOverByTheReaderInEachForm) {
  const std::string crlf = "\r\n";
  const std::string whole = basic_file_with_hard_cells("   -999.00" + crlf);
  // Cut after the first row of the array.
  const std::string cut = whole.substr(0, whole.find("         1         1\r\n"));
  struct Case {
    const char* name;
    const std::string& file;
    inspect::ValueForm form;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"floats, for the check's rules", whole, inspect::ValueForm::Floats,
       {"16777216 * -3", "1 1 _", "next N"}},
      {"fields converted, for the maps: the integer exact, the missing field 0", whole,
       inspect::ValueForm::Fields, {"16777217 * -3", "1 1 0(end)", "next N"}},
      {"the fields' text, for the answers", whole, inspect::ValueForm::FieldText,
       {"'16777217' '**********' '-3'", "'1' '1' ''", "next N"}},
      {"the file ending inside the array: the reader names the row", cut, inspect::ValueForm::Fields,
       {"16777217 * -3", "ends: row 2 of IBOUND- of layer 1"}},
  };
  for (const Case& c : cases) EXPECT_EQ(handed_over(c.file, c.form), c.expected) << c.name;
}

// The cursor a reader hands over gives each line's fields as the reader
// itself would have read them, field for field.
TEST(ArrayCursor, FieldsAsTheReaderReadsThem) {
  Scratch dir;
  dir.write("FOR001", basic_file_with_hard_cells("   -999.00\r\n"));
  inspect::InputFile by_reader(dir.file("FOR001")), by_cursor(dir.file("FOR001"));
  inspect::BasicFileReader reader(by_reader.fd()), handing_over(by_cursor.fd());
  inspect::Record record, control;
  while (handing_over.next(control) && control.section != inspect::Section::ArrayControl) {
  }
  inspect::ArrayCursor cursor = handing_over.values_cursor(inspect::Reading::Quick, inspect::ValueForm::Fields);
  std::int64_t lines = 0;
  while (reader.next(record)) {
    if (record.section != inspect::Section::ArrayValues) continue;
    cursor.begin_row();
    const inspect::ValueLine& line = cursor.next_line();
    ++lines;
    EXPECT_EQ(line.row, record.row);
    EXPECT_EQ(line.first_column, record.first);
    EXPECT_EQ(line.line_number, record.line.number);
    ASSERT_EQ(line.fields.size(), record.fields.size());
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
      const inspect::Field& a = line.fields[i];
      const inspect::Field& b = record.fields[i];
      EXPECT_TRUE(a.kind == b.kind && a.integer == b.integer && a.text == b.text && a.column == b.column &&
                  a.width == b.width)
          << "line " << record.line.number << ", field " << i + 1;
    }
  }
  EXPECT_EQ(lines, 2);
}

}  // namespace
