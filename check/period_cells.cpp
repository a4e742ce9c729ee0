#include "check/period_cells.h"

#include <algorithm>

namespace check {
namespace {

// The bitmap is used up to 32 MiB, whatever the grid: a grid's size is only
// what FOR001 claims, and a larger one takes the hash table, which grows with
// the drains the file really holds.
constexpr std::uint64_t kMostBitmapBytes = std::uint64_t{32} << 20;
constexpr std::size_t kSmallestTable = 1024;

}  // namespace

PeriodCells::PeriodCells(const inspect::GridCounts& grid, inspect::Reading reading) : grid_(grid) {
  if (reading == inspect::Reading::Plain || grid.layers <= 0 || grid.rows <= 0 || grid.columns <= 0) return;
  const unsigned __int128 cells = static_cast<unsigned __int128>(grid.rows) *
                                  static_cast<unsigned __int128>(grid.columns) *
                                  static_cast<unsigned __int128>(grid.layers);
  bitmap_ = cells / 8 + 8 <= kMostBitmapBytes;
}

PeriodCells::Key PeriodCells::key_of(const Cell& cell) {
  return {static_cast<std::uint64_t>(cell.layer) << 32 | static_cast<std::uint32_t>(cell.row),
          static_cast<std::uint32_t>(cell.column)};
}

// Every bit of the cell mixed into every bit of the hash (the table takes
// its low bits).
std::size_t PeriodCells::hash(const Key& key) {
  std::uint64_t h = key.layer_row * 0x9E3779B97F4A7C15ull ^ std::uint64_t{key.column} * 0xC2B2AE3D27D4EB4Full;
  h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ull;
  h = (h ^ (h >> 27)) * 0x94D049BB133111EBull;
  return static_cast<std::size_t>(h ^ (h >> 31));
}

std::uint64_t PeriodCells::bit_of(const Cell& cell) const {
  return static_cast<std::uint64_t>(((cell.layer - 1) * grid_.rows + (cell.row - 1)) * grid_.columns +
                                    (cell.column - 1));
}

void PeriodCells::begin_period(std::int64_t drains) {
  if (bitmap_) {
    for (const auto& [key, line] : order_) {
      const Cell cell{static_cast<std::int64_t>(key.layer_row >> 32),
                      static_cast<std::int64_t>(key.layer_row & 0xFFFFFFFFu), key.column};
      const std::uint64_t bit = bit_of(cell);
      bits_[bit / 64] &= ~(std::uint64_t{1} << (bit % 64));
    }
  } else if (used_ > 0) {
    slots_.assign(std::min(slots_.size(), kSmallestTable), Slot{});
    used_ = 0;
  }
  order_.clear();
  order_.reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(drains, 0, kMostDrains)));
}

PeriodCells::Outcome PeriodCells::add(const Cell& cell, std::int64_t line) {
  if (order_.size() >= kMostDrains) return Outcome::NotCompared;
  const Key key = key_of(cell);
  bool is_new;
  if (bitmap_) {
    if (bits_.empty()) {
      const std::uint64_t cells = static_cast<std::uint64_t>(grid_.layers * grid_.rows * grid_.columns);
      bits_.assign(cells / 64 + 1, 0);
    }
    const std::uint64_t bit = bit_of(cell);
    std::uint64_t& word = bits_[bit / 64];
    const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
    is_new = (word & mask) == 0;
    word |= mask;
  } else {
    is_new = insert_in_table(key);
  }
  order_.push_back({key, line});
  return is_new ? Outcome::New : Outcome::Repeated;
}

std::int64_t PeriodCells::first_line_of(const Cell& cell) const {
  const Key key = key_of(cell);
  for (const Listed& listed : order_) {
    if (listed.key == key) return listed.line;
  }
  return 0;
}

bool PeriodCells::insert_in_table(const Key& key) {
  if (2 * (used_ + 1) > slots_.size()) grow_table();
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash(key) & mask;; i = (i + 1) & mask) {
    Slot& s = slots_[i];
    if (!s.used) {
      s = {key, true};
      ++used_;
      return true;
    }
    if (s.key == key) return false;
  }
}

void PeriodCells::grow_table() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(std::max(kSmallestTable, old.size() * 2), Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (!s.used) continue;
    std::size_t i = hash(s.key) & mask;
    while (slots_[i].used) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

}  // namespace check
