// The cells of one stress period's drains, to find a drain listed twice in
// a period. Quickly, a bitmap of the grid's cells when the grid is small
// enough for one (a few bits a cell, touched at random, stay in the
// processor's caches); plainly, and for a grid over 2^28 cells, a hash table
// of the drains' cells, so that memory follows the drains, not the grid.
#pragma once

#include <cstdint>
#include <vector>

#include "inspect/array_cursor.h"
#include "check/diagnostic.h"
#include "inspect/record.h"

namespace check {

class PeriodCells {
 public:
  // Drains of one period compared; any beyond are not.
  static constexpr std::size_t kMostDrains = std::size_t{1} << 19;

  PeriodCells(const inspect::GridCounts& grid, inspect::Reading reading);

  // A period of `drains` drains begins.
  void begin_period(std::int64_t drains);

  enum class Outcome : std::uint8_t { New, Repeated, NotCompared };
  // The period's next drain, in `cell` (inside the grid), on `line`.
  Outcome add(const Cell& cell, std::int64_t line);

  // The line of the period's first drain in `cell`.
  std::int64_t first_line_of(const Cell& cell) const;

 private:
  struct Key {
    std::uint64_t layer_row = 0;
    std::uint32_t column = 0;
    bool operator==(const Key&) const = default;
  };
  static Key key_of(const Cell& cell);
  static std::size_t hash(const Key& key);
  std::uint64_t bit_of(const Cell& cell) const;
  bool insert_in_table(const Key& key);  // false when it was there
  void grow_table();

  inspect::GridCounts grid_;
  bool bitmap_ = false;
  std::vector<std::uint64_t> bits_;  // one bit a cell of the grid, made at the first drain
  struct Slot {
    Key key;
    bool used = false;
  };
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  struct Listed {
    Key key;
    std::int64_t line;
  };
  std::vector<Listed> order_;  // the period's drains compared, in order
};

}  // namespace check
