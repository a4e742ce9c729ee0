// The array entry dialogue of one layer, cell by cell, on grids narrower and
// wider than the column prompts prepared ahead: every question, echo and
// record against the layout worked out from the dialogue's rules.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/array_entry.h"
#include "common/console.h"
#include "tests/support/console_on_files.h"
#include "tests/support/expected_text.h"
#include "common/output_file.h"
#include "tests/support/program_runner.h"

namespace common {
namespace {

using testing_support::blanks;
using testing_support::ConsoleOnFiles;
using testing_support::Scratch;

// Iw of a value that fits.
std::string field(std::int64_t value, int width) {
  const std::string digits = std::to_string(value);
  return blanks(width - static_cast<int>(digits.size())) + digits;
}

// The first place where two long texts differ, with some bytes of each.
::testing::AssertionResult same_bytes(const std::string& actual, const std::string& expected) {
  std::size_t i = 0;
  while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
  if (i == actual.size() && i == expected.size()) return ::testing::AssertionSuccess();
  const std::size_t from = i < 80 ? 0 : i - 80;
  return ::testing::AssertionFailure() << "first difference at byte " << i << " of " << actual.size()
                                       << " (expected " << expected.size() << "):\n  actual   \""
                                       << actual.substr(from, 160) << "\"\n  expected \""
                                       << expected.substr(from, 160) << "\"";
}

constexpr std::string_view kLegend[] = {" -1 = first legend ", "  0 = second legend"};

// Title line, heading and cell suffixes, legend lines, label, print code,
// locator.
const ArrayInstance<std::int32_t> kIntegerArray{"", " Test Array", " Test Cell", kLegend, "TEST-", 3, 7};
const ArrayInstance<float> kRealArray{" Real Title", " Real Array", " Real Cell", {}, "REAL-", 0, 7};

// Integer cells from -9 to 9 (I3 fields whose first column is a blank);
// real cells 0.5 and 12.5 by turns.
std::int32_t integer_cell(int r, int c) { return (r * 7 + c) % 19 - 9; }
bool half_cell(int r, int c) { return (r + c) % 2 == 0; }

struct WideCase {
  bool real;
  int rows;
  int columns;
};

TEST(ArrayEntry, CellByCellOnNarrowAndWideGrids) {
  constexpr int kLayer = 3;
  const std::vector<WideCase> cases = {
      {false, 2, 3},  {true, 2, 3},       // prompts prepared ahead
      {false, 2, 4097}, {true, 1, 4100},  // wider than that: prompts made one by one
  };
  for (const WideCase& c : cases) {
    SCOPED_TRACE((c.real ? "real, " : "integer, ") + std::to_string(c.rows) + " rows of " +
                 std::to_string(c.columns));
    const std::string cell_suffix = c.real ? " Real Cell" : " Test Cell";

    // The answers: "not all the same", then every cell, row by row.
    std::string answers = "1\n";
    // The console as a redirected run shows it: every line after the first
    // behind the line end owed by the one before; an echoed record without
    // its first column.
    std::string shown = c.real ? " Real Title\r\nLayer " + field(kLayer, 11) + " Real Array"
                               : "Layer " + field(kLayer, 11) + " Test Array";
    shown += "\r\n  Are all values the same? 0=yes 1=no ";
    // The file: the array-control record, then each row in records of 20 I3
    // or 10 G10.3 fields.
    std::string file = c.real ? field(7, 10) + blanks(2) + "1.00" + blanks(4) + "(10G10.3)" + blanks(11) +
                                    field(0, 10) + blanks(5) + "REAL-" + field(kLayer, 3) + "\r\n"
                              : field(7, 10) + field(1, 10) + "(20I3)" + blanks(14) + field(3, 10) +
                                    blanks(5) + "TEST-" + field(kLayer, 3) + "\r\n";
    for (int r = 1; r <= c.rows; ++r) {
      std::vector<std::string> row_fields;
      for (int col = 1; col <= c.columns; ++col) {
        shown += "\r\n Row " + field(r, 11) + "\r\n Column " + field(col, 11) + cell_suffix;
        if (!c.real) {
          for (std::string_view legend : kLegend) shown += "\r\n" + std::string(legend);
        }
        if (c.real) {
          answers += half_cell(r, col) ? "0.5\n" : "12.5\n";
          row_fields.push_back(blanks(2) + (half_cell(r, col) ? ".500" : "12.5") + blanks(4));
        } else {
          answers += std::to_string(integer_cell(r, col)) + "\n";
          row_fields.push_back(field(integer_cell(r, col), 3));
        }
      }
      const std::size_t per_record = c.real ? 10 : 20;
      for (std::size_t first = 0; first < row_fields.size(); first += per_record) {
        std::string record;
        for (std::size_t i = first; i < row_fields.size() && i < first + per_record; ++i) record += row_fields[i];
        shown += "\r\n" + record.substr(1);
        file += record + "\r\n";
      }
    }

    Scratch dir;
    ConsoleOnFiles files(dir, answers);
    {
      Console console(files.in(), files.out(), false);
      OutputFile out;
      out.open(7, dir.file("FOR007"), "UNKNOWN", "sequential");
      out.rewind();
      std::int32_t same_answer = 0;
      const LayerExtent extent{kLayer, c.rows, c.columns};
      if (c.real) {
        WorkingGrid<float> grid;
        float uniform_value = 0.0f;
        enter_layer_array(console, out, kRealArray, {grid, same_answer, uniform_value}, extent);
      } else {
        WorkingGrid<std::int32_t> grid;
        std::int32_t uniform_value = 0;
        enter_layer_array(console, out, kIntegerArray, {grid, same_answer, uniform_value}, extent);
      }
      out.close();
      console.flush();
    }
    EXPECT_TRUE(same_bytes(files.shown(), shown));
    EXPECT_TRUE(same_bytes(dir.read("FOR007"), file));
  }
}

}  // namespace
}  // namespace common
