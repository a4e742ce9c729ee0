#include "format/flow_file.h"

namespace format {

bool is_selected(const Selection& selection, std::int32_t simulation_type, std::int32_t type_code,
                 std::int64_t layer, std::int32_t layer_count) {
  if (selection.runs == Runs::TransientOnly && simulation_type != 0) return false;
  if (selection.layers == Layers::AllButBottom && layer >= layer_count) return false;
  if (selection.codes == kEveryTypeCode) return true;
  if (type_code < 0 || type_code > 3) return false;
  return (selection.codes & (TypeCodes{1} << type_code)) != 0;
}

}  // namespace format
