#include "check/cell_rules.h"

#include "inspect/read_error.h"

namespace check {
namespace {

struct ArrayWords {
  std::string_view label;
  std::string_view words;
};

// Every array and list of FOR001 and FOR011, by the label of its
// array-control record.
constexpr ArrayWords kArrayWords[] = {
    {"IBOUND-", "the boundary value"},
    {"SHEAD-", "the starting head"},
    {"TRPY-", "the anisotropy factor"},
    {"DELR-", "the cell width along rows"},
    {"DELC-", "the cell width along columns"},
    {"SF1-", "the primary storage coefficient"},
    {"TRAN-", "the transmissivity"},
    {"HYDCON-", "the hydraulic conductivity"},
    {"BOT-", "the bottom elevation"},
    {"VCON-", "the vertical conductance"},
    {"SF2-", "the secondary storage coefficient"},
    {"TOP-", "the top elevation"},
};

}  // namespace

std::string_view value_words(std::string_view label) {
  for (const ArrayWords& a : kArrayWords) {
    if (a.label == label) return a.words;
  }
  return "the value";
}

void set_first(CellCount& count, const inspect::ValueLine& line, std::int64_t layer, std::int64_t column) {
  count.line = line.line_number;
  count.column = line.field_column(column);
  count.cell = Cell{layer, line.row, column};
  count.value = std::string(line.field_text(column));
}

void FieldCounts::report(Findings& findings, std::string_view file, std::string_view label) {
  const std::string words(value_words(label));
  findings.add_cells(rules::kAsterisks, file,
                     words + " is asterisks (a value too wide for its field), which the simulator cannot read,",
                     asterisks);
  if (not_a_number.count > 0) not_a_number.value = inspect::quoted(not_a_number.value);
  findings.add_cells(rules::kNotANumber, file, words + " is not a number", not_a_number);
  missing.value = "blank";
  findings.add_cells(rules::kShortLine, file,
                     words + " is missing, its line ending before its field, so the simulator reads 0,",
                     missing);
}

}  // namespace check
