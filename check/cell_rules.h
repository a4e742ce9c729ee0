// What the checks of arrays share: the words for each array in the user's
// terms, the first place of a cell finding, and the rules every field
// obeys (the simulator must be able to read it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "inspect/array_cursor.h"
#include "check/findings.h"

namespace check {

// "the boundary value", "the hydraulic conductivity", by the array's label.
std::string_view value_words(std::string_view label);

// Sets the first place of `count` to grid column `column` of `line`.
void set_first(CellCount& count, const inspect::ValueLine& line, std::int64_t layer, std::int64_t column);

// Fields the simulator cannot read (asterisks, not a number) and fields a
// line ends before (read as 0), counted over one array.
struct FieldCounts {
  CellCount asterisks, not_a_number, missing;

  // Counts cell `column` of `line` if its field is one of these.
  void count(const inspect::ValueLine& line, std::int64_t layer, std::int64_t column) {
    switch (line.kinds[column - line.first_column]) {
      case inspect::CellKind::Value: return;
      case inspect::CellKind::Asterisks:
        if (asterisks.hit()) set_first(asterisks, line, layer, column);
        return;
      case inspect::CellKind::NotANumber:
        if (not_a_number.hit()) set_first(not_a_number, line, layer, column);
        return;
      case inspect::CellKind::Missing:
        if (missing.hit()) set_first(missing, line, layer, column);
        return;
    }
  }
  // The `n` cells of `line` from grid column `column` on: each one whose
  // field the simulator reads as a value to `visit(column, value)`, every
  // other one counted here.
  template <typename Visit>
  void visit_values(const inspect::ValueLine& line, std::int64_t layer, std::int64_t column, std::int64_t n,
                    Visit&& visit) {
    for (std::int64_t c = column; c < column + n; ++c) {
      const std::int64_t i = c - line.first_column;
      if (line.kinds[i] == inspect::CellKind::Value) {
        visit(c, line.values[i]);
      } else {
        count(line, layer, c);
      }
    }
  }
  void report(Findings& findings, std::string_view file, std::string_view label);
};

}  // namespace check
