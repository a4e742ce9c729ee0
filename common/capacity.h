// How large a grid or list the builders accept. Storage is sized from the
// counts the user gives, up to this many cells per array (4 bytes each).
#pragma once

#include <cstdint>
#include <string_view>

namespace common {

constexpr std::int64_t kMaxCellsPerArray = 100'000'000;

// Ends the run with a one-line message on standard error when `rows` by
// `columns` exceeds the limit. Counts of zero or less need no storage.
void refuse_oversized_grid(std::string_view program, std::int32_t rows, std::int32_t columns);

// The same for a one-dimensional list of `count` entries (`what`: "layers").
void refuse_oversized_list(std::string_view program, std::string_view what, std::int32_t count);

}  // namespace common
