#include "check/file_checks.h"

#include <string>

#include "inspect/field.h"
#include "inspect/read_error.h"

namespace check {

Place place_of(std::string_view file, const inspect::Line& line, const inspect::Field& field) {
  return {std::string(file), line.number, field.column};
}

void add_read_error(Findings& findings, std::string_view file, std::int64_t line, std::int64_t column,
                    std::string_view what) {
  findings.add(rules::kStructure, {std::string(file), line, column}, std::string(what));
}

void add_ends_early(Findings& findings, std::string_view file, std::int64_t line,
                    std::string_view expected) {
  findings.add(rules::kEndsEarly, {std::string(file), line, 1},
               "the file ends early: expected " + std::string(expected));
}

void add_unreadable_field(Findings& findings, std::string_view file, const inspect::Line& line,
                          const inspect::Field& field, std::string_view words) {
  const Place where = place_of(file, line, field);
  if (field.text.empty()) {
    findings.add_repeating(rules::kShortLine, file, where,
                           std::string(words) + " is missing: its line ends before its columns, so "
                                                "the simulator reads 0",
                           {"field is missing", "fields are missing"});
    return;
  }
  switch (field.kind) {
    case inspect::Field::Kind::Value: return;
    case inspect::Field::Kind::Asterisks:
      findings.add_repeating(rules::kAsterisks, file, where,
                             std::string(words) + " is asterisks (a value too wide for its field), "
                                                  "which the simulator cannot read",
                             {"field is asterisks", "fields are asterisks"});
      return;
    case inspect::Field::Kind::NotANumber:
      findings.add_repeating(rules::kNotANumber, file, where,
                             std::string(words) + " is not a number: " + inspect::quoted(field.text),
                             {"field is not a number", "fields are not numbers"});
      return;
  }
}

}  // namespace check
