// What the check of one file leaves for the checks of the files after it:
// FOR001 gives the grid, the stress periods and the module table, and where
// its boundary and starting-head arrays lie; FOR011 gives its own grid, the
// where its bottom elevations lie.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "inspect/array_cursor.h"
#include "inspect/record.h"

namespace check {

struct BasicModel {
  bool dimensions_read = false;
  std::int64_t dimensions_line = 0;
  inspect::GridCounts grid;  // as loop counts: zero or less shows as 0
  std::int64_t periods = 0;
  bool modules_read = false;
  std::int64_t modules_line = 0;
  std::array<std::int32_t, 24> module_units{};  // slots 1 to 24 at 0 to 23
  // Slots whose field the simulator cannot read (asterisks, not a number):
  // their unit is unknown, not 0.
  std::array<bool, 24> module_unit_unknown{};
  // Per layer, from layer 1: the arrays read whole (a file that ends or
  // breaks early leaves the later ones out).
  std::vector<inspect::ArrayLayout> boundary;
  std::vector<inspect::ArrayLayout> heads;
};

struct FlowModel {
  // The grid as the file's own lists give it, once all three are read.
  bool grid_known = false;
  inspect::GridCounts grid;
  // The same grid as FOR001's: cells of the two files are then the same cells.
  bool same_grid_as_basic = false;
  // The bottom elevations of the layers whose BOT- array was read whole (only
  // layers of type 1 and 3 have one), by layer. Kept for the layers the file
  // holds, never sized by the layer count its type codes claim.
  struct LayerBottom {
    std::int64_t layer = 0;
    inspect::ArrayLayout layout;
  };
  std::vector<LayerBottom> bottoms;  // in layer order

  void add_bottom(std::int64_t layer, const inspect::ArrayLayout& layout) {
    const auto at = std::lower_bound(bottoms.begin(), bottoms.end(), layer,
                                     [](const LayerBottom& b, std::int64_t l) { return b.layer < l; });
    if (at != bottoms.end() && at->layer == layer) {
      at->layout = layout;
    } else {
      bottoms.insert(at, {layer, layout});
    }
  }
  const inspect::ArrayLayout* bottom_of(std::int64_t layer) const {
    const auto at = std::lower_bound(bottoms.begin(), bottoms.end(), layer,
                                     [](const LayerBottom& b, std::int64_t l) { return b.layer < l; });
    return at != bottoms.end() && at->layer == layer ? &at->layout : nullptr;
  }
};

}  // namespace check
