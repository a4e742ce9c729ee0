// The array entry dialogue for one layer of a two-dimensional array, and the
// array-control record written ahead of every array and list.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "common/console.h"
#include "format/descriptor_list.h"
#include "common/output_file.h"

namespace common {

// What distinguishes one array from another; `Cell` (std::int32_t or float)
// is its kind.
template <typename Cell>
struct ArrayInstance {
  std::string_view title_line;      // printed first; empty for none
  std::string_view heading_suffix;  // after "Layer " and the number
  std::string_view cell_suffix;     // after " Column " and the number
  std::span<const std::string_view> legend_lines;
  std::string_view label;           // of the array-control record
  std::int32_t print_code;
  std::int32_t locator;             // unit of the file the values follow in
};

// The working array of one instance: sized from the counts when first
// needed, zero at first, and keeping each cell's last value for the next
// layer (a null answer to a cell keeps it).
template <typename Cell>
class WorkingGrid {
 public:
  void prepare(std::int32_t rows, std::int32_t columns) {
    if (!cells_.empty() || rows <= 0 || columns <= 0) return;
    columns_ = static_cast<std::size_t>(columns);
    cells_.assign(static_cast<std::size_t>(rows) * columns_, Cell{});
  }
  std::span<Cell> row(std::int64_t r) {
    return std::span<Cell>(cells_.data() + static_cast<std::size_t>(r - 1) * columns_, columns_);
  }

 private:
  std::vector<Cell> cells_;
  std::size_t columns_ = 0;
};

// The array-control record: locator, multiplier (1 or 1.0), the 20-column
// format text as five A4 items, print code, label and layer.
void write_array_control(OutputFile& file, std::int32_t locator, std::int32_t multiplier,
                         std::string_view format_text, std::int32_t print_code,
                         std::string_view label, std::int32_t layer);
void write_array_control(OutputFile& file, std::int32_t locator, float multiplier,
                         std::string_view format_text, std::int32_t print_code,
                         std::string_view label, std::int32_t layer);

// What one instance's entry fills, all of it outlasting each call: the
// working grid, and the cells of the answers to "all values the same?" and
// "Value?". The answer cells are the caller's and may be shared with other
// arrays; a null answer keeps what they hold.
template <typename Cell>
struct ArrayCells {
  WorkingGrid<Cell>& grid;
  std::int32_t& same_answer;
  Cell& uniform_value;
};

// The layer to enter, and the extent of its grid as the counts were given
// (a count of zero or less makes no rows or no columns).
struct LayerExtent {
  std::int32_t layer;
  std::int32_t row_count;
  std::int32_t column_count;
};

// One layer of one instance: the questions, the array-control record before
// any cell is asked, then each row written and echoed once its last cell is in.
template <typename Cell>
void enter_layer_array(Console& console, OutputFile& file, const ArrayInstance<Cell>& instance,
                       const ArrayCells<Cell>& cells, const LayerExtent& extent);

}  // namespace common
