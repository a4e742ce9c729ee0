#include "report/no_flow_cells.h"

#include <algorithm>

namespace report {

NoFlowCells::NoFlowCells(std::int64_t rows, std::int64_t columns, std::size_t& room)
    : rows_(std::max<std::int64_t>(rows, 0)), columns_(std::max<std::int64_t>(columns, 0)),
      words_per_row_(static_cast<std::size_t>((columns_ + 63) / 64)), room_(&room) {}

void NoFlowCells::mark(std::int64_t row, std::int64_t column) {
  if (row < 1 || row > rows_ || column < 1 || column > columns_ || overflowed_) return;
  if (bits_.empty()) {
    if (bytes() > *room_) {
      overflowed_ = true;
      return;
    }
    *room_ -= bytes();
    bits_.assign(static_cast<std::size_t>(rows_) * words_per_row_, 0);
  }
  const auto at = static_cast<std::size_t>(column - 1);
  bits_[row_start(row) + at / 64] |= std::uint64_t{1} << (at % 64);
}

void NoFlowCells::copy_row_before(std::int64_t row) {
  if (bits_.empty() || row < 2 || row > rows_) return;
  std::copy_n(bits_.begin() + static_cast<std::ptrdiff_t>(row_start(row - 1)), words_per_row_,
              bits_.begin() + static_cast<std::ptrdiff_t>(row_start(row)));
}

bool NoFlowCells::rows_alike(std::int64_t a, std::int64_t b) const {
  if (bits_.empty()) return true;
  if (a < 1 || a > rows_ || b < 1 || b > rows_) return a == b;
  return std::equal(bits_.begin() + static_cast<std::ptrdiff_t>(row_start(a)),
                    bits_.begin() + static_cast<std::ptrdiff_t>(row_start(a) + words_per_row_),
                    bits_.begin() + static_cast<std::ptrdiff_t>(row_start(b)));
}

LayerNoFlowCells::LayerNoFlowCells(std::int64_t rows, std::int64_t columns)
    : rows_(rows), columns_(columns), room_(bound(std::max<std::int64_t>(rows, 0) * std::max<std::int64_t>(columns, 0))) {}

std::size_t LayerNoFlowCells::bound(std::int64_t) { return std::size_t{16} << 20; }

NoFlowCells& LayerNoFlowCells::start(std::int64_t layer) {
  auto found = layers_.find(layer);
  if (found != layers_.end()) {  // a second boundary array for the layer: it replaces the first
    if (found->second.any()) room_ += found->second.bytes();
    layers_.erase(found);
  }
  left_out_.erase(layer);
  return layers_.try_emplace(layer, rows_, columns_, room_).first->second;
}

void LayerNoFlowCells::finish(std::int64_t layer) {
  auto found = layers_.find(layer);
  if (found == layers_.end()) return;
  if (found->second.overflowed()) left_out_.insert(layer);
  if (!found->second.any()) layers_.erase(found);
}

const NoFlowCells* LayerNoFlowCells::of(std::int64_t layer) const {
  auto found = layers_.find(layer);
  return found == layers_.end() ? nullptr : &found->second;
}

}  // namespace report
