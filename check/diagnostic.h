// What a check of a model folder finds: diagnostics in the form compilers
// use (file, line, column, severity, message), each with the cell of the
// grid it is about where it has one. A finding that repeats over many cells
// or drains is one diagnostic with its count and its first place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace check {

enum class Severity : std::uint8_t {
  Error,    // the simulator reads other columns than the builder wrote, or stops
  Warning,  // the simulator runs, but the value is most likely a mistake
  Note,     // context for the user; not counted
};

// "error", "warning", "note".
std::string_view severity_name(Severity severity);

// A cell of the model grid, each number counted from 1; all 0 when the
// finding has no cell.
struct Cell {
  std::int64_t layer = 0;
  std::int64_t row = 0;
  std::int64_t column = 0;

  bool empty() const { return layer == 0 && row == 0 && column == 0; }
};

// A place in a file of the folder.
struct Place {
  std::string file;         // the file's name in the folder: "FOR001"
  std::int64_t line = 0;    // counted from 1; 0 for the file as a whole
  std::int64_t column = 0;  // counted from 1; 0 with line 0
};

struct Diagnostic {
  std::string file;          // the file's name in the folder: "FOR013"
  std::int64_t line = 0;     // of the offending field, from 1; 0 for the whole file (a missing file)
  std::int64_t column = 0;   // first column of the offending field, from 1; 0 with line 0
  Severity severity = Severity::Error;
  std::string rule;          // a short, stable name of the rule: "drain-outside-grid"
  std::string message;       // the rule in words, with the value; names the other place, if any
  Cell cell;                 // the (first) cell it is about, where it has one
  std::int64_t count = 1;    // how many cells, drains or records it stands for
  std::optional<Place> other;  // where two files disagree: the place in the other file
};

struct CheckResult {
  // In file order (FOR001, FOR011, FOR013, then any other), and by line and
  // column within a file.
  std::vector<Diagnostic> diagnostics;
  // False when the check could not be made: no FOR001, or a file that
  // cannot be opened and read.
  bool completed = true;

  std::int64_t errors() const;
  std::int64_t warnings() const;
};

}  // namespace check
