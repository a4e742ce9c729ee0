// The no-flow cells of each layer (boundary value 0), one bit a cell, as
// the boundary arrays give them. The value maps of a layer are scaled over
// its other cells: the head a modeller puts in cells that are not computed
// (often 999) would otherwise stretch the scale over the whole active area.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace report {

class NoFlowCells {
 public:
  // Its bits come out of `room` (bytes), which they may not exceed.
  NoFlowCells(std::int64_t rows, std::int64_t columns, std::size_t& room);

  // Cell (row, column), both from 1, is a no-flow cell. The bits are taken
  // only at the first no-flow cell, so a layer without one costs nothing;
  // when they do not fit in the room, the layer is `overflowed`.
  void mark(std::int64_t row, std::int64_t column);
  bool overflowed() const { return overflowed_; }
  // Row `row` is a copy of the row before it.
  void copy_row_before(std::int64_t row);

  bool any() const { return !bits_.empty(); }
  bool no_flow(std::int64_t row, std::int64_t column) const {
    if (bits_.empty()) return false;
    const auto at = static_cast<std::size_t>(column - 1);
    return (bits_[row_start(row) + at / 64] >> (at % 64)) & 1U;
  }
  // Whether rows `a` and `b` have their no-flow cells in the same columns.
  bool rows_alike(std::int64_t a, std::int64_t b) const;
  // What the bits of a layer take.
  std::size_t bytes() const { return static_cast<std::size_t>(rows_) * words_per_row_ * 8; }

 private:
  std::size_t row_start(std::int64_t row) const { return static_cast<std::size_t>(row - 1) * words_per_row_; }
  std::int64_t rows_, columns_;
  std::size_t words_per_row_;
  std::size_t* room_;
  bool overflowed_ = false;
  std::vector<std::uint64_t> bits_;
};

// The no-flow cells of every layer read so far, within a bound on their
// memory: a layer beyond it keeps none, and its value maps are scaled over
// every cell (the page says so).
class LayerNoFlowCells {
 public:
  LayerNoFlowCells(std::int64_t rows, std::int64_t columns);

  // A new record for `layer`, to be filled from its boundary array.
  NoFlowCells& start(std::int64_t layer);
  // After the boundary array of `layer` is read: drops its record when
  // the layer has no no-flow cell.
  void finish(std::int64_t layer);
  // The no-flow cells of `layer`; null when it has none (or none known).
  const NoFlowCells* of(std::int64_t layer) const;
  // Whether `layer`'s boundary array had no-flow cells but no room to keep them.
  bool unknown(std::int64_t layer) const { return left_out_.contains(layer); }

  // The bound: 16 MiB whatever the grid, so that a grid the dimension record
  // merely claims (a few bytes of file for billions of cells) costs nothing.
  static std::size_t bound(std::int64_t cells_per_layer);

 private:
  std::int64_t rows_, columns_;
  std::size_t room_;
  std::map<std::int64_t, NoFlowCells> layers_;
  std::set<std::int64_t> left_out_;
};

}  // namespace report
