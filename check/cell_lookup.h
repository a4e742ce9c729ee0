// One cell's field of an array, found without reading the array: a drain
// needs the boundary value and the bottom of its own cell only. In a
// regular array (every line its fields' columns exactly, as the builders
// write them) the field's place follows from the first line's; any other
// array is read from its start up to the cell.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "array_cursor.h"

namespace check {

struct CellField {
  CellKind kind = CellKind::Value;
  float value = 0.0f;
  std::int64_t line = 0;    // where the field is
  std::int64_t column = 0;  // its first column
  std::string text;         // without blanks
};

class CellLookup {
 public:
  // Arrays of `rows` rows and `columns` columns in the open file `fd`.
  CellLookup(int fd, std::int64_t rows, std::int64_t columns);
  ~CellLookup();
  CellLookup(const CellLookup&) = delete;
  CellLookup& operator=(const CellLookup&) = delete;

  // The field of cell (row, column), both from 1 and inside the grid, of
  // the array laid out as `layout` (an array read whole before).
  CellField field(const ArrayLayout& layout, std::int64_t row, std::int64_t column);

 private:
  CellField field_by_arithmetic(const ArrayLayout& layout, std::int64_t row, std::int64_t column);
  CellField field_by_reading(const ArrayLayout& layout, std::int64_t row, std::int64_t column);
  // Makes `length` bytes from `offset` available; a pointer to them.
  const char* bytes_at(std::int64_t offset, std::size_t length);

  int fd_;
  std::int64_t rows_;
  std::int64_t columns_;
  // A block of the file, kept: drains often lie near one another.
  std::vector<char> block_;
  std::int64_t block_offset_ = -1;
  std::size_t block_size_ = 0;
  // The cursor of the last array read from its start, and its row.
  std::unique_ptr<ArrayCursor> cursor_;
  inspect::LinePlace cursor_control_{-1, 0};
  std::int64_t cursor_row_ = 0;   // the row last looked in
  std::int64_t lines_left_ = 0;   // of that row, not yet read
};

}  // namespace check
