// The answers of a model of one large layer, the shape of the check and
// report benchmarks: `rows` by `columns` cells, every array one value
// (boundary all active, starting heads, steady-state conductivity and
// bottom of one unconfined layer, equal cell widths), one stress period
// with `drains` drains, each in a cell of its own; solved by SSOR, whose
// file `solver_file` is made by other means and written beside as it is.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

struct OneLayerModel {
  std::string morvek, cindral, quillet;
  static constexpr const char* kSolverFileName = "FOR021";
  std::string solver_file = "made by other means\r\n";
};

OneLayerModel one_layer_model(std::int64_t rows, std::int64_t columns, std::int64_t drains);

}  // namespace bench
