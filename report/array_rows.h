// The rows of one array, read after its array-control record by a FOR001
// or FOR011 reader. A row whose lines are those of the row before, each
// full line the same text, is passed at the speed of comparing bytes (the
// common case in large models, where most arrays are one value).
#pragma once

#include <cstdint>
#include <string>

#include "report/map_raster.h"
#include "inspect/record.h"

namespace report {

// Reads the rows into `raster`, or only passes them when it is null.
// Returns false when the file ends inside the array.
template <typename Reader>
bool read_array_rows(Reader& reader, MapRaster* raster) {
  const std::int64_t rows = reader.array().rows;
  const std::int64_t lines_per_row = reader.walk().lines_per_row;
  // The last row read line by line, when its full lines are all one text.
  std::string full_line, last_line;
  bool repeatable = false;
  inspect::Record record;
  for (std::int64_t row = 1; row <= rows; ++row) {
    if (repeatable && reader.skip_row_if_equal(full_line, last_line)) {
      if (raster != nullptr) raster->repeat_row();
      continue;
    }
    repeatable = true;
    for (std::int64_t line = 0; line < lines_per_row; ++line) {
      if (!reader.next(record)) return false;
      if (raster != nullptr) raster->add_line(record.row, record.first, record.fields);
      const std::string_view text = record.line.text;
      if (line + 1 == lines_per_row) {
        last_line.assign(text);
        last_line += "\r\n";
      } else if (line == 0) {
        full_line.assign(text);
        full_line += "\r\n";
      } else if (full_line.compare(0, full_line.size() - 2, text) != 0) {
        repeatable = false;
      }
    }
  }
  return true;
}

}  // namespace report
