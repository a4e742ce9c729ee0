// Cindral, the flow-property builder: asks for the simulation type, the grid,
// the layer types, anisotropy factors and cell widths, then layer by layer
// the property arrays, and writes the block-centred flow file FOR011.
#include "dialogues/cindral.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "common/array_entry.h"
#include "common/capacity.h"
#include "common/console.h"
#include "dialogues/legend_question.h"
#include "format/basic_file.h"
#include "format/descriptor_list.h"
#include "format/flow_file.h"
#include "dialogues/cindral_layer_arrays.h"
#include "dialogues/cindral_list_entry.h"
#include "common/output_file.h"

using common::Console;
using format::DescriptorList;
using common::OutputFile;
using common::WorkingGrid;
using format::kFlowUnit;

namespace {

constexpr dialogues::cindral::ListInstance kCellWidthsAlongRows = {
    "Cell width (delta-x) along rows", " Cell width (delta-x) along rows    Col: ",
    format::kRowWidthList};
constexpr dialogues::cindral::ListInstance kCellWidthsAlongColumns = {
    " Cell width (delta-y) along columns", " Cell width (delta-y) along columns Row: ",
    format::kColumnWidthList};

// Entries needed for a count; a count of zero or less needs none.
std::size_t entries_for(std::int32_t count) {
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

}  // namespace

namespace dialogues::cindral {

void run_dialogue(Console& console, OutputFile& flow) {
  const format::DescriptorList header_format(format::kFlowHeaderFormat);
  const format::DescriptorList layer_type_format(format::kLayerTypeFormat);
  const format::DescriptorList factor_format(format::kListValuesFormat);

  console.write_line(
      {format::module_in_slot(format::kFlowSlot)->name, "   Input File Construction Module"});
  console.write_line({"  "});

  flow.open(kFlowUnit, format::kFlowFileName, "UNKNOWN", "sequential");
  flow.rewind();

  std::int32_t simulation_type = 0;
  std::int32_t cell_by_cell_code = 0;
  std::int32_t layer_count = 0;
  std::int32_t row_count = 0;
  std::int32_t column_count = 0;
  // Shared by every list and array of the run: a null answer carries the
  // last value of any earlier one.
  std::int32_t same_answer = 0;
  float uniform_value = 0.0f;

  console.write_line({" Enter Simulation Type;  0=Transient  1=Steady State"});
  console.read_integer(simulation_type);
  console.write_line({" "});

  ask_with_legend(console, {" Enter Discharge Output Type "},
                  {"  -nn = Constant head flow terms printed to unit# nn",
                   "    0 = Cell by cell flow terms not printed",
                   "   nn = Cell by cell flow terms printed to unit# nn "},
                  cell_by_cell_code);
  flow.write_record(header_format, {simulation_type, cell_by_cell_code});

  // Storage is sized from the counts; a count beyond the limit ends the run
  // at once, before any further question.
  ask_with_legend(console, {" Number of model layers (same as in MORVEKGRID)"},
                  {"                                       Max = 79"},
                  layer_count);
  common::refuse_oversized_list("Cindral", "layers", layer_count);
  console.write_line({" Number of model rows (same as in MORVEKGRID) "});
  console.read_integer(row_count);
  common::refuse_oversized_list("Cindral", "rows", row_count);
  console.write_line({" Number of model columns (same as in MORVEKGRID) "});
  console.read_integer(column_count);
  common::refuse_oversized_grid("Cindral", row_count, column_count);
  // With no rows there is no grid, but the column widths are still a list.
  common::refuse_oversized_list("Cindral", "columns", column_count);

  // The lists keep the names the flow file labels them with.
  std::vector<std::int32_t> layer_types(entries_for(layer_count));
  std::vector<float> TRPY(entries_for(layer_count));  // anisotropy factor Tcol/Trow, by layer
  for (std::int64_t layer = 1; layer <= layer_count; ++layer) {
    const auto number = static_cast<std::int32_t>(layer);
    ask_with_legend(console, {"Layer ", number, "type code :"},
                    {"  0 = confined",
                     "  1 = unconfined",
                     "  2 = confined/unconfined constant T",
                     "  3 = confined/unconfined variable T"},
                    layer_types[static_cast<std::size_t>(layer - 1)]);
    console.write_line({" "});

    ask_with_legend(console, {"Layer ", number, " Column/Row Anisotropy Factor"},
                    {"  Anisotropy Factor =  Tcol/Trow "},
                    TRPY[static_cast<std::size_t>(layer - 1)]);
    console.write_line({" "});
  }
  flow.write_record(layer_type_format, std::span<const std::int32_t>(layer_types));
  common::write_array_control(flow, format::kAnisotropyList.locator, 1.0f,
                              format::kAnisotropyList.format_text,
                              format::kAnisotropyList.print_code, format::kAnisotropyList.label, 0);
  flow.write_record(factor_format, std::span<const float>(TRPY));

  std::vector<float> DELR(entries_for(column_count));  // cell width along rows (delta-x), by column
  dialogues::cindral::enter_list(console, flow, kCellWidthsAlongRows, DELR, same_answer, uniform_value);
  std::vector<float> DELC(entries_for(row_count));  // cell width along columns (delta-y), by row
  dialogues::cindral::enter_list(console, flow, kCellWidthsAlongColumns, DELC, same_answer, uniform_value);

  // One working grid per property array, allocated when first asked.
  std::array<WorkingGrid<float>, dialogues::cindral::kLayerArrays.size()> grids;
  for (std::int64_t layer = 1; layer <= layer_count; ++layer) {
    const std::int32_t type_code = layer_types[static_cast<std::size_t>(layer - 1)];
    for (std::size_t a = 0; a < dialogues::cindral::kLayerArrays.size(); ++a) {
      const dialogues::cindral::LayerArray& array = dialogues::cindral::kLayerArrays[a];
      if (!format::is_selected(array.selection, simulation_type, type_code, layer, layer_count)) {
        continue;
      }
      common::enter_layer_array(console, flow, array.instance,
                                  {grids[a], same_answer, uniform_value},
                                  {static_cast<std::int32_t>(layer), row_count, column_count});
    }
  }

  flow.close();
  console.stop();
}

const common::BuilderProgram kProgram = {
    "Cindral",
    "Asks, one question at a time, for the simulation type, the grid, the layer\n"
    "types, anisotropy factors and cell widths, then layer by layer the property\n"
    "arrays, and writes the block-centred flow file FOR011 in the current folder.\n",
    true, run_dialogue};

}  // namespace dialogues::cindral
