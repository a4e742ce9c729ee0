// How the cells along one side of the grid are laid out on a map. Cells are
// gathered in blocks of neighbours (one cell each, unless the side has more
// than kMostBlocks cells), each block as wide as its cells together (from
// DELR or DELC, or all cells equal), and the blocks spread over the map's
// pixels in proportion to their widths, each on at least one pixel.
#pragma once

#include <cstdint>
#include <vector>

namespace report {

class AxisLayout {
 public:
  static constexpr std::int64_t kMostBlocks = 1000;

  explicit AxisLayout(std::int64_t cells = 0);

  std::int64_t cells() const { return cells_; }
  std::int64_t cells_per_block() const { return per_block_; }
  std::int64_t blocks() const { return static_cast<std::int64_t>(widths_.size()); }
  std::int64_t block_of(std::int64_t cell) const { return (cell - 1) / per_block_; }
  std::int64_t first_cell(std::int64_t block) const { return block * per_block_ + 1; }
  std::int64_t last_cell(std::int64_t block) const;

  // Block widths, one per block, each above zero (equal until set).
  void set_widths(std::vector<double> block_widths);
  double length() const { return length_; }

  // Spreads the blocks over `pixels` pixels.
  void place(int pixels);
  int pixels() const { return static_cast<int>(first_block_.size()); }
  int first_pixel(std::int64_t block) const { return first_pixel_[static_cast<std::size_t>(block)]; }
  int last_pixel(std::int64_t block) const { return last_pixel_[static_cast<std::size_t>(block)]; }
  std::int64_t first_block(int pixel) const { return first_block_[static_cast<std::size_t>(pixel)]; }
  std::int64_t last_block(int pixel) const { return last_block_[static_cast<std::size_t>(pixel)]; }
  // Whether a pixel stands for more than one cell: blocks of several
  // cells, or a cell narrower than a pixel. Then each pixel shows every
  // block that reaches into it; otherwise the one under its middle.
  bool reduced() const { return reduced_; }
  // The most cells that one pixel shows.
  std::int64_t most_cells_per_pixel() const { return most_cells_per_pixel_; }

  // Where the blocks begin and end, from 0 at the first to 1 at the last.
  std::vector<double> edges() const;
  // The middle of a cell (counted from 1) on that same scale; within a
  // block of several cells, the cells count as equally wide.
  double centre(std::int64_t cell) const;

 private:
  std::int64_t cells_;
  std::int64_t per_block_ = 1;
  std::vector<double> widths_;
  std::vector<double> starts_;  // cumulative width before each block, and the total
  double length_ = 0.0;
  std::vector<int> first_pixel_, last_pixel_;
  std::vector<std::int64_t> first_block_, last_block_;
  std::int64_t most_cells_per_pixel_ = 1;
  bool reduced_ = false;
};

// The widths of a side's cells as a list gives them (DELR or DELC), added
// up by block while the list is read.
class WidthSums {
 public:
  explicit WidthSums(const AxisLayout& axis);
  // Entry `index` (from 1) of the list; `readable` is false for a field of
  // asterisks or one that is not a number.
  void add(std::int64_t index, bool readable, double width);
  // Whether every cell had a width above zero and the list had exactly one
  // entry per cell.
  bool usable() const { return usable_ && entries_ == axis_cells_; }
  std::int64_t entries() const { return entries_; }
  std::vector<double> block_widths() const { return sums_; }

 private:
  std::int64_t axis_cells_, per_block_;
  std::vector<double> sums_;
  std::int64_t entries_ = 0;
  bool usable_ = true;
};

// Both sides of a layer's grid on one map.
struct GridLayout {
  AxisLayout columns, rows;
  // The short side was given more pixels than its width calls for, so that
  // a very long and thin grid stays visible.
  bool short_side_widened = false;

  static constexpr int kMostPixels = 1000;   // along the longer side
  static constexpr int kLeastPixels = 240;
  static constexpr int kPixelsPerCell = 48;  // for small grids
  static constexpr int kLeastShortSide = 8;

  // Sizes the map from the sides' lengths: the longer side gets
  // kPixelsPerCell per block, within kLeastPixels and kMostPixels; the
  // other side keeps the grid's proportions.
  void place();
  bool reduced() const { return columns.reduced() || rows.reduced(); }
};

}  // namespace report
