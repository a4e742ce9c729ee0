// The entry of a one-dimensional list, such as the cell widths: one value for
// every entry, or the entries one by one. Unlike a layer array, the
// array-control record follows the questions, directly before the values,
// all values go out in one write, and nothing is echoed on the console.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "common/console.h"
#include "common/output_file.h"
#include "format/array_entry.h"

namespace dialogues::cindral {

struct ListInstance {
  std::string_view title_line;
  std::string_view entry_prompt;  // followed by the entry's number
  const format::ArrayEntry& entry;  // its array-control record
};

// Fills `entries` (one per index, 1 upwards) and writes the array-control
// record (layer 0) and the values. `same_answer` and `uniform_value` are the
// run's shared cells: a null answer keeps what any earlier list or array left.
void enter_list(common::Console& console, common::OutputFile& file,
                const ListInstance& list, std::span<float> entries, std::int32_t& same_answer,
                float& uniform_value);

}  // namespace dialogues::cindral
