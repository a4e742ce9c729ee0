#include "common/capacity.h"

#include <string>

#include "common/process_end.h"

namespace common {

void refuse_oversized_grid(std::string_view program, std::int32_t rows, std::int32_t columns) {
  if (rows <= 0 || columns <= 0) return;
  std::int64_t cells = static_cast<std::int64_t>(rows) * columns;
  if (cells <= kMaxCellsPerArray) return;
  process::refuse(std::string(program) + ": a grid of " + std::to_string(rows) + " rows by " +
                  std::to_string(columns) + " columns has " + std::to_string(cells) +
                  " cells; the limit is " + std::to_string(kMaxCellsPerArray) +
                  " cells per array");
}

void refuse_oversized_list(std::string_view program, std::string_view what, std::int32_t count) {
  if (count <= kMaxCellsPerArray) return;
  process::refuse(std::string(program) + ": " + std::to_string(count) + " " + std::string(what) +
                  " exceed the limit of " + std::to_string(kMaxCellsPerArray));
}

}  // namespace common
