#include "check/cell_rules.h"

#include "format/basic_file.h"
#include "format/flow_file.h"
#include "inspect/read_error.h"

namespace check {
namespace {

struct ArrayWords {
  const format::ArrayEntry& array;
  std::string_view words;
};

// Every array and list of FOR001 and FOR011.
constexpr ArrayWords kArrayWords[] = {
    {format::kBoundaryArray, "the boundary value"},
    {format::kStartingHeadArray, "the starting head"},
    {format::kAnisotropyList, "the anisotropy factor"},
    {format::kRowWidthList, "the cell width along rows"},
    {format::kColumnWidthList, "the cell width along columns"},
    {format::kPrimaryStorageArray, "the primary storage coefficient"},
    {format::kTransmissivityArray, "the transmissivity"},
    {format::kConductivityArray, "the hydraulic conductivity"},
    {format::kBottomArray, "the bottom elevation"},
    {format::kVerticalConductanceArray, "the vertical conductance"},
    {format::kSecondaryStorageArray, "the secondary storage coefficient"},
    {format::kTopArray, "the top elevation"},
};

}  // namespace

std::string_view value_words(std::string_view label) {
  for (const ArrayWords& a : kArrayWords) {
    if (a.array.label == label) return a.words;
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
