#include "report/axis_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace report {

AxisLayout::AxisLayout(std::int64_t cells) : cells_(std::max<std::int64_t>(cells, 0)) {
  per_block_ = cells_ <= kMostBlocks ? 1 : (cells_ + kMostBlocks - 1) / kMostBlocks;
  const std::int64_t blocks = (cells_ + per_block_ - 1) / per_block_;
  std::vector<double> widths;
  for (std::int64_t b = 0; b < blocks; ++b) {
    widths.push_back(static_cast<double>(std::min(per_block_, cells_ - b * per_block_)));
  }
  set_widths(std::move(widths));
}

std::int64_t AxisLayout::last_cell(std::int64_t block) const {
  return std::min(cells_, (block + 1) * per_block_);
}

void AxisLayout::set_widths(std::vector<double> block_widths) {
  widths_ = std::move(block_widths);
  starts_.assign(1, 0.0);
  for (double w : widths_) starts_.push_back(starts_.back() + w);
  length_ = starts_.back();
}

void AxisLayout::place(int pixels) {
  first_pixel_.clear();
  last_pixel_.clear();
  first_block_.assign(static_cast<std::size_t>(std::max(pixels, 0)), std::numeric_limits<std::int64_t>::max());
  last_block_.assign(first_block_.size(), -1);
  most_cells_per_pixel_ = 1;
  reduced_ = false;
  if (pixels <= 0 || widths_.empty()) return;
  // Where block edges fall, in pixels (multiplied before dividing, so that
  // equal blocks on a whole number of pixels each land exactly).
  auto at = [&](std::size_t edge) { return starts_[edge] * pixels / length_; };
  reduced_ = per_block_ > 1;
  for (std::int64_t b = 0; b < blocks(); ++b) {
    const double from = at(static_cast<std::size_t>(b));
    const double to = at(static_cast<std::size_t>(b) + 1);
    reduced_ = reduced_ || to - from < 1.0;
    const int first = std::clamp(static_cast<int>(std::floor(from)), 0, pixels - 1);
    const int last = std::clamp(static_cast<int>(std::ceil(to)) - 1, first, pixels - 1);
    first_pixel_.push_back(first);
    last_pixel_.push_back(last);
  }
  if (reduced_) {
    // A pixel shows every block that reaches into it, so that no cell is
    // lost however thin.
    for (std::int64_t b = 0; b < blocks(); ++b) {
      for (int p = first_pixel(b); p <= last_pixel(b); ++p) {
        auto& lo = first_block_[static_cast<std::size_t>(p)];
        auto& hi = last_block_[static_cast<std::size_t>(p)];
        lo = std::min(lo, b);
        hi = std::max(hi, b);
      }
    }
  } else {
    // Every cell is a pixel wide or more: a pixel shows the cell under its
    // middle, so that cell edges stay sharp.
    std::int64_t b = 0;
    for (int p = 0; p < pixels; ++p) {
      while (b + 1 < blocks() && at(static_cast<std::size_t>(b) + 1) <= p + 0.5) ++b;
      first_block_[static_cast<std::size_t>(p)] = last_block_[static_cast<std::size_t>(p)] = b;
    }
  }
  for (int p = 0; p < pixels; ++p) {
    const std::int64_t lo = first_block(p), hi = last_block(p);
    most_cells_per_pixel_ = std::max(most_cells_per_pixel_, last_cell(hi) - first_cell(lo) + 1);
  }
}

std::vector<double> AxisLayout::edges() const {
  std::vector<double> edges;
  for (double s : starts_) edges.push_back(length_ > 0.0 ? s / length_ : 0.0);
  return edges;
}

double AxisLayout::centre(std::int64_t cell) const {
  if (length_ <= 0.0) return 0.0;
  const std::int64_t b = block_of(cell);
  const auto i = static_cast<std::size_t>(b);
  const double cell_width = widths_[i] / static_cast<double>(last_cell(b) - first_cell(b) + 1);
  return (starts_[i] + (static_cast<double>(cell - first_cell(b)) + 0.5) * cell_width) / length_;
}

WidthSums::WidthSums(const AxisLayout& axis)
    : axis_cells_(axis.cells()), per_block_(axis.cells_per_block()),
      sums_(static_cast<std::size_t>(axis.blocks()), 0.0) {}

void WidthSums::add(std::int64_t index, bool readable, double width) {
  ++entries_;
  if (index < 1 || index > axis_cells_ || !readable || !(width > 0.0) || !std::isfinite(width)) {
    usable_ = false;
    return;
  }
  sums_[static_cast<std::size_t>((index - 1) / per_block_)] += width;
}

void GridLayout::place() {
  const std::int64_t most_blocks = std::max(columns.blocks(), rows.blocks());
  const int long_side = static_cast<int>(
      std::clamp<std::int64_t>(most_blocks * kPixelsPerCell, kLeastPixels, kMostPixels));
  const bool wide = columns.length() >= rows.length();
  const double ratio = wide ? rows.length() / columns.length() : columns.length() / rows.length();
  int short_side = static_cast<int>(std::lround(long_side * ratio));
  short_side_widened = short_side < kLeastShortSide;
  short_side = std::max(short_side, kLeastShortSide);
  columns.place(wide ? long_side : short_side);
  rows.place(wide ? short_side : long_side);
}

}  // namespace report
