// Arrays of one grid walked side by side, cell for cell, each on its own
// cursor: the rules that compare arrays (a head with the cell's bottom) and
// the rules that hold only in cells the simulator computes see every
// array's value of a cell at once, and no array is held whole.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

#include "inspect/array_cursor.h"
#include "check/findings.h"

namespace check {

// For each row of `rows` rows of `columns` cells: when every cursor's row
// repeats its row before, the `counts` of that row are counted again;
// otherwise `visit(row, column, n, lines)` for each run of n cells from
// `column` on that lie on one line of every array, lines[i] being cursor
// i's current line.
template <typename Visit>
void walk_side_by_side(std::span<inspect::ArrayCursor* const> cursors, std::int64_t rows,
                       std::int64_t columns, std::span<CellCount* const> counts, Visit&& visit) {
  constexpr std::size_t kMostCursors = 4;
  const inspect::ValueLine* lines[kMostCursors] = {};
  const std::size_t n_cursors = std::min(cursors.size(), kMostCursors);
  for (std::int64_t row = 1; row <= rows; ++row) {
    bool all_repeat = true;
    for (std::size_t i = 0; i < n_cursors; ++i) {
      if (!cursors[i]->begin_row()) all_repeat = false;
    }
    if (columns <= 0) {  // one empty line per row, values none
      for (std::size_t i = 0; i < n_cursors; ++i) cursors[i]->next_line();
      continue;
    }
    if (all_repeat) {
      for (CellCount* c : counts) c->repeat_row();
      // The lines are passed; nothing to read.
      continue;
    }
    for (CellCount* c : counts) c->begin_row();
    for (std::size_t i = 0; i < n_cursors; ++i) lines[i] = &cursors[i]->next_line();
    std::int64_t column = 1;
    while (column <= columns) {
      std::int64_t end = columns + 1;
      for (std::size_t i = 0; i < n_cursors; ++i) end = std::min(end, lines[i]->end_column());
      if (end <= column) break;  // cannot be: every line holds a value from `column` on
      visit(row, column, end - column, std::span<const inspect::ValueLine* const>(lines, n_cursors));
      column = end;
      if (column > columns) break;
      for (std::size_t i = 0; i < n_cursors; ++i) {
        if (lines[i]->end_column() == column) lines[i] = &cursors[i]->next_line();
      }
    }
  }
}

}  // namespace check
