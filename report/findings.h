// The findings of `gwinspect check` on a model folder, as the report shows
// them: each with its place in a file and, where it is about one cell, the
// cell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace report {

struct CellPlace {
  std::int64_t layer = 0, row = 0, column = 0;
};

struct Finding {
  enum class Severity : std::uint8_t { Error, Warning, Note };
  std::string file;  // "FOR013"
  std::int64_t line = 0, column = 0;
  Severity severity = Severity::Error;
  std::string message;
  std::optional<CellPlace> cell;
};

struct Findings {
  bool completed = false;  // every file the check needed could be read
  std::vector<Finding> list;
};

// What `gwinspect check` finds in the model of `folder`.
Findings model_findings(const std::string& folder);

}  // namespace report
