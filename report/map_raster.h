// One layer array on a map: its cells gathered into the blocks of the grid
// layout as the file gives them, line by line, then drawn as a picture.
//
// A boundary block shows the highest class among its cells (see
// CellClass), with the value of the cell that gave it; a value block shows
// the mean of its cells, or is flagged when one of them cannot be read.
// A value map may be scaled over the cells that are not no-flow cells: a
// block then shows the mean of those, and a block of no-flow cells alone is
// drawn apart, in the colour of no flow.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "report/axis_layout.h"
#include "report/colour_scale.h"
#include "inspect/field.h"
#include "report/no_flow_cells.h"
#include "report/png_image.h"

namespace report {

struct MapStats {
  std::int64_t cells = 0;       // cells read
  std::int64_t unreadable = 0;  // fields of asterisks, or not a number
  // Value maps: the range of the readable values on the scale; one value
  // throughout (every cell)?
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  bool uniform = true;
  // Value maps scaled without the no-flow cells: the readable values of
  // those, which are not on the scale.
  std::int64_t no_flow = 0;
  double no_flow_low = std::numeric_limits<double>::infinity();
  double no_flow_high = -std::numeric_limits<double>::infinity();
  // Boundary maps: cells of each class (unreadable ones count as Other).
  std::array<std::int64_t, kCellClasses> class_cells{};
  std::int64_t rows_read = 0;  // complete rows

  void add(const MapStats& row);
};

class MapRaster {
 public:
  enum class Kind : std::uint8_t { Boundary, Values };

  MapRaster(Kind kind, const GridLayout& layout);

  // A boundary map marks its no-flow cells in `cells` as it reads them.
  void record_no_flow(NoFlowCells* cells) { record_ = cells; }
  // A value map leaves the no-flow cells in `cells` off its scale.
  void scale_without(const NoFlowCells* cells) { no_flow_ = cells != nullptr && cells->any() ? cells : nullptr; }

  // One line of the array: its row, the column of its first field, and
  // the fields. Rows come in order, each complete before the next.
  void add_line(std::int64_t row, std::int64_t first_column, std::span<const inspect::Field> fields);
  // The next row holds the same fields as the last complete row.
  void repeat_row();
  // After the last line: blocks that no line reached have no data.
  void finish();

  Kind kind() const { return kind_; }
  const MapStats& stats() const { return stats_; }
  // Every cell read, and all of them the same value: the map is one colour
  // and its blocks need not be carried.
  bool uniform() const;
  double uniform_value() const { return first_value_; }
  ValueScale scale() const;
  // Block by block, row by row of blocks: the value shown (a boundary
  // value, or a mean) and the block's class (for values: Active for a
  // mean of cells on the scale, NoFlow for a mean of no-flow cells alone,
  // Other when a cell cannot be read, NoData).
  const std::vector<double>& block_values() const { return block_values_; }
  const std::vector<CellClass>& block_classes() const { return block_classes_; }

  IndexedImage render() const;
  // The blocks as the page's script reads them: each value as a 32-bit
  // little-endian integer (boundary) or real (values), then each class as
  // one byte.
  std::string block_bytes() const;

 private:
  struct Partial {
    double sum = 0.0;
    std::int64_t count = 0;   // cells
    std::int64_t summed = 0;  // values: readable cells in `sum`
    double no_flow_sum = 0.0;
    std::int64_t no_flow = 0;  // values: readable no-flow cells, in `no_flow_sum`
    std::int32_t shown = 0;  // boundary: the value of the highest class so far
    CellClass cls = CellClass::Active;

    // Adds `from`, `times` over.
    void merge(const Partial& from, std::int64_t times);
  };
  void add_cell(Partial& block, bool readable, double value, std::int64_t column, MapStats& stats);
  void note_value(double value, MapStats& stats);
  void end_row();
  // A repeated row whose no-flow cells differ from its copy's: added
  // again, cell by cell, from the values kept of it.
  void add_row_again();
  // The last complete row counts once more; its copies are added to the
  // block row together (merge_repeats), when the block row is complete or
  // another row comes.
  void count_last_row();
  void merge_repeats();
  void close_block_row(std::int64_t block_row);

  Kind kind_;
  const GridLayout& layout_;
  std::vector<Partial> row_, last_row_, block_row_;
  MapStats row_stats_, last_row_stats_, stats_;
  std::int64_t row_number_ = 0;      // of the row being read (0: none)
  std::int64_t columns_in_row_ = 0;  // read so far in it
  std::int64_t rows_merged_ = 0;     // complete rows counted
  std::int64_t repeats_ = 0;         // copies of last_row_ not yet in block_row_
  NoFlowCells* record_ = nullptr;
  const NoFlowCells* no_flow_ = nullptr;
  // With no_flow_: the values of the row being read and of the last
  // complete row (NaN: cannot be read).
  std::vector<double> row_values_, last_row_values_;
  bool first_value_seen_ = false;
  double first_value_ = 0.0;
  std::vector<double> block_values_;
  std::vector<CellClass> block_classes_;
};

}  // namespace report
