// The rows of one array, read after its array-control record on the cursor
// that the FOR001 or FOR011 reader hands over. A row whose bytes are those
// of the row before is passed at the speed of comparing bytes (the common
// case in large models, where most arrays are one value).
#pragma once

#include <cstdint>

#include "inspect/array_cursor.h"
#include "report/map_raster.h"

namespace report {

// Reads the rows into `raster`, or only passes them when it is null; the
// reader then goes on after them. Returns false when the file ends inside
// the array (the reader's expected() then names the row).
template <typename Reader>
bool read_array_rows(Reader& reader, MapRaster* raster) {
  // A map takes each field exact (a boundary value above 2^24, say); rows
  // only passed need no conversion.
  inspect::ArrayCursor cursor = reader.values_cursor(
      inspect::Reading::Quick, raster != nullptr ? inspect::ValueForm::Fields : inspect::ValueForm::FieldText);
  const std::int64_t rows = reader.array().rows;
  try {
    for (std::int64_t row = 1; row <= rows; ++row) {
      if (cursor.begin_row()) {
        if (raster != nullptr) raster->repeat_row();
        continue;
      }
      for (std::int64_t line = 0; line < cursor.lines_per_row(); ++line) {
        const inspect::ValueLine& values = cursor.next_line();
        if (raster != nullptr) raster->add_line(values.row, values.first_column, values.fields);
      }
    }
  } catch (const inspect::FileEndsEarly&) {
    reader.resume_after(cursor);
    return false;
  }
  reader.resume_after(cursor);
  return true;
}

}  // namespace report
