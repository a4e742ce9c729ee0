// The checks of each file, in the order they run: FOR001 first, since the
// others are compared with it; FOR011, whose bottoms the drains need; then
// FOR013. Each reads the open file `fd` from its start, adds what it finds
// to `findings` and never throws for what the file holds.
#pragma once

#include <string_view>
#include <type_traits>

#include "inspect/array_cursor.h"
#include "inspect/field.h"
#include "inspect/read_error.h"
#include "inspect/record.h"
#include "check/findings.h"
#include "check/model_parts.h"

namespace check {

BasicModel check_basic_file(int fd, inspect::Reading reading, Findings& findings);
FlowModel check_flow_file(int fd, const BasicModel& basic, int basic_fd, inspect::Reading reading,
                          Findings& findings);
void check_drain_file(int drain_fd, const BasicModel& basic, int basic_fd, const FlowModel& flow,
                      int flow_fd, inspect::Reading reading, Findings& findings);

// Shared by the three: the diagnostic of a file that does not hold what
// its place needs (a ReadError), or that ends early.
void add_read_error(Findings& findings, std::string_view file, std::int64_t line,
                    std::int64_t column, std::string_view what);
void add_ends_early(Findings& findings, std::string_view file, std::int64_t line,
                    std::string_view expected);

// The walk of the three over their file's records: `step(record, next_line)`
// for each, where `next_line` is the line after the record (a step that
// passes an array's values itself moves it on), then `at_end(next_line)`.
// A file that cannot be read to its end stops the walk with its finding.
template <typename Reader, typename Step, typename AtEnd>
void walk_records(Reader& reader, std::string_view file, Findings& findings, Step&& step, AtEnd&& at_end) {
  inspect::Record record;
  std::int64_t next_line = 1;
  try {
    while (reader.next(record)) {
      next_line = record.line.number + 1;
      step(record, next_line);
    }
    at_end(next_line);
  } catch (const inspect::ReadError& e) {
    add_read_error(findings, file, e.line(), e.column(), e.what());
  } catch (const inspect::FileEndsEarly& e) {
    add_ends_early(findings, file, e.line, e.expected);
  }
}

// A field of a record that the simulator must read: true when it holds a
// value; otherwise the finding (asterisks, not a number, or missing where
// the line ends early, which the simulator reads as 0) is added, once per
// file and rule with a count. `words` names the value: "the number of
// layers".
// `words` may be a function that makes them: they are needed only then.
void add_unreadable_field(Findings& findings, std::string_view file, const inspect::Line& line,
                          const inspect::Field& field, std::string_view words);
template <typename Words>
bool readable_field(Findings& findings, std::string_view file, const inspect::Line& line,
                    const inspect::Field& field, Words&& words) {
  if (field.kind == inspect::Field::Kind::Value && !field.text.empty()) return true;
  if constexpr (std::is_invocable_v<Words>) {
    add_unreadable_field(findings, file, line, field, words());
  } else {
    add_unreadable_field(findings, file, line, field, words);
  }
  return false;
}

// An array read whole by its own cursor: where it lies, and the place
// after it, where the file's reader goes on.
struct WalkedArray {
  inspect::ArrayLayout layout;
  inspect::LinePlace after;
};

// The locator and multiplier of an array-control record: its values must
// follow in the file itself (`own_unit`), as they are.
void check_array_control(const inspect::Record& record, std::string_view file, std::int32_t own_unit,
                         Findings& findings);

Place place_of(std::string_view file, const inspect::Line& line, const inspect::Field& field);

}  // namespace check
