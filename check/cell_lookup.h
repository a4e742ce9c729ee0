// One cell's field of an array, found without reading the array: a drain
// needs the boundary value and the bottom of its own cell only. In a
// regular array (every line its fields' columns exactly, as the builders
// write them) the field's place follows from the first line's; any other
// array is read from its start up to the cell.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "inspect/array_cursor.h"

namespace check {

struct CellField {
  inspect::CellKind kind = inspect::CellKind::Value;
  float value = 0.0f;
  std::int64_t line = 0;    // where the field is
  std::int64_t column = 0;  // its first column
  std::string_view text;    // without blanks; valid until the next lookup
};

class CellLookup {
 public:
  // Arrays of `rows` rows and `columns` columns in the open file `fd`.
  CellLookup(int fd, std::int64_t rows, std::int64_t columns, inspect::Reading reading);
  ~CellLookup();
  CellLookup(const CellLookup&) = delete;
  CellLookup& operator=(const CellLookup&) = delete;

  // The field of cell (row, column), both from 1 and inside the grid, of
  // the array laid out as `layout` (an array read whole before).
  CellField field(const inspect::ArrayLayout& layout, std::int64_t row, std::int64_t column);

 private:
  CellField field_of_kept_row(const inspect::RepeatedRow& row, const inspect::ArrayLayout& layout, std::int64_t row_number,
                              std::int64_t column) const;
  CellField field_by_arithmetic(const inspect::ArrayLayout& layout, std::int64_t row, std::int64_t column);
  CellField field_by_reading(const inspect::ArrayLayout& layout, std::int64_t row, std::int64_t column);
  // Makes `length` bytes from `offset` available; a pointer to them.
  const char* bytes_at(std::int64_t offset, std::size_t length);
  // The page of the file that begins at `page * kPageBytes`, and its bytes.
  const char* page(std::int64_t page, std::size_t& size);

  int fd_;
  inspect::Reading reading_;
  std::int64_t rows_;
  std::int64_t columns_;
  // Pages of the file, kept up to a bound and then reused round the clock:
  // drains often lie near one another, and the arrays they look at are
  // often small enough to be kept whole.
  static constexpr std::size_t kPageBytes = 4096;
  static constexpr std::size_t kPagesKept = 4096;  // 16 MiB
  struct Kept {
    std::int64_t page = -1;
    std::size_t size = 0;
    bool recent = false;
  };
  static constexpr std::size_t kPagesPerChunk = 64;
  // The kept pages, in chunks made as the slots are first used.
  std::vector<std::unique_ptr<char[]>> chunks_;
  char* slot_bytes(std::size_t slot);
  std::vector<Kept> kept_;
  std::unordered_map<std::int64_t, std::size_t> slot_of_page_;
  std::size_t hand_ = 0;
  char straddling_[64];  // a field across two pages
  // The cursor of the last array read from its start, and its row.
  std::unique_ptr<inspect::ArrayCursor> cursor_;
  inspect::LinePlace cursor_control_{-1, 0};
  std::int64_t cursor_row_ = 0;   // the row last looked in
  std::int64_t lines_left_ = 0;   // of that row, not yet read
};

}  // namespace check
