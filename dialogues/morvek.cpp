// Morvek, the base builder: asks for the run header, the module unit table,
// the boundary and starting-head arrays of every layer and the stress periods,
// and writes the basic file FOR001.
#include "dialogues/morvek.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "common/array_entry.h"
#include "common/capacity.h"
#include "common/console.h"
#include "dialogues/legend_question.h"
#include "format/basic_file.h"
#include "format/descriptor_list.h"
#include "common/output_file.h"

using common::ArrayCells;
using common::ArrayInstance;
using common::Console;
using format::DescriptorList;
using common::OutputFile;
using common::WorkingGrid;

namespace {

// The modules that may be selected are asked in the order of the module
// table; an answer of 1 stores the module's unit. The question is the
// module's name, with " Module" after it for these.
constexpr std::array<bool, format::kModules.size()> kAskedAsModule = {
    false, false, false, false, true, true, true, false, false, true, true};

constexpr std::size_t kSlotCount = format::kModuleSlots;
constexpr std::size_t kTitleLength = format::kTitleLength;

constexpr std::array<std::string_view, 3> kBoundaryLegend = {
    " -1 = Constant Head Cell           ",
    "  0 = No Computation Cell          ",
    " +1 = Active Computation Cell      ",
};

const ArrayInstance<std::int32_t> kBoundary{
    .title_line = "",
    .heading_suffix = " Boundary Array",
    .cell_suffix = " Boundary Condition",
    .legend_lines = kBoundaryLegend,
    .label = format::kBoundaryArray.label,
    .print_code = format::kBoundaryArray.print_code,
    .locator = format::kBoundaryArray.locator,
};

const ArrayInstance<float> kStartingHeads{
    .title_line = "",
    .heading_suffix = " Starting Head Array",
    .cell_suffix = " Starting Head",
    .legend_lines = {},
    .label = format::kStartingHeadArray.label,
    .print_code = format::kStartingHeadArray.print_code,
    .locator = format::kStartingHeadArray.locator,
};

}  // namespace

namespace dialogues::morvek {

void run_dialogue(Console& console, OutputFile& basic) {
  const format::DescriptorList title_format(format::kTitleFormat);
  const format::DescriptorList dimension_format(format::kDimensionFormat);
  const format::DescriptorList module_format(format::kModuleTableFormat);
  const format::DescriptorList option_format(format::kOptionFormat);
  const format::DescriptorList no_flow_format(format::kNoFlowHeadFormat);
  const format::DescriptorList period_format(format::kStressPeriodFormat);


  // Run header.
  std::array<char, kTitleLength> title_1{};
  std::array<char, kTitleLength> title_2{};
  std::int32_t layer_count = 0;
  std::int32_t row_count = 0;
  std::int32_t column_count = 0;
  std::int32_t period_count = 0;
  std::int32_t time_unit = 0;
  std::array<std::int32_t, kSlotCount> module_units{};
  // Shared by the module answers and the "all values the same" answers, so a
  // null answer carries the last one forward.
  std::int32_t answer = 0;
  std::int32_t memory_sharing = 0;
  std::int32_t save_heads = 0;

  console.write_line({"Title Line # 1"});
  console.read_text(title_1.data(), title_1.size());
  console.write_line({"Title Line # 2"});
  console.read_text(title_2.data(), title_2.size());
  console.write_line({"Number of Aquifer Layers"});
  console.read_integer(layer_count);
  console.write_line({"Number of Grid Rows     "});
  console.read_integer(row_count);
  console.write_line({"Number of Grid Columns  "});
  console.read_integer(column_count);
  common::refuse_oversized_grid("Morvek", row_count, column_count);
  console.write_line({"Number of Stress Periods"});
  console.read_integer(period_count);

  ask_with_legend(console, {"Simulation Time Unit"},
                  {" 0  - undefined     ",
                   " 1  - seconds       ",
                   " 2  - minutes       ",
                   " 3  - hours         ",
                   " 4  - days          ",
                   " 5  - years         "},
                  time_unit);

  console.write_line({"Simulation Module Input File Unit Numbers"});
  console.write_line({"Enter 1 to include module, 0 otherwise "});
  for (std::size_t m = 0; m < format::kModules.size(); ++m) {
    const format::Module& module = format::kModules[m];
    console.write_line({" "});
    console.write_line({module.name, kAskedAsModule[m] ? " Module" : ""});
    console.read_integer(answer);
    if (answer == 1) {
      const std::int32_t unit = format::module_unit(static_cast<std::size_t>(module.slot));
      module_units[static_cast<std::size_t>(module.slot - 1)] = unit;
      char file_name[16];
      std::snprintf(file_name, sizeof file_name, "FOR%03d", static_cast<int>(unit));
      console.write_line({module.short_name, " will be read from ", std::string_view(file_name)});
    } else {
      console.write_line({module.short_name, " Module Not Included"});
    }
  }

  console.write_line({" "});
  console.write_line({"Memory Sharing Option  0=yes 1=no"});
  console.read_integer(memory_sharing);
  console.write_line({" "});
  ask_with_legend(console, {"Save Starting Heads (i.e. Compute Drawdown? "},
                  {"  0=no  1=yes"},
                  save_heads);

  basic.open(format::kBasicUnit, format::kBasicFileName, "UNKNOWN", "sequential");
  basic.rewind();
  basic.write_record(title_format, {std::string_view(title_1.data(), title_1.size())});
  basic.write_record(title_format, {std::string_view(title_2.data(), title_2.size())});
  basic.write_record(dimension_format,
                     {layer_count, row_count, column_count, period_count, time_unit});
  basic.write_record(module_format, std::span<const std::int32_t>(module_units));
  basic.write_record(option_format, {memory_sharing, save_heads});

  // Boundary arrays, the no-flow head, starting-head arrays.
  WorkingGrid<std::int32_t> boundary_array;
  std::int32_t boundary_value = 0;
  const ArrayCells<std::int32_t> boundary_cells{boundary_array, answer, boundary_value};
  for (std::int64_t layer = 1; layer <= layer_count; ++layer) {
    common::enter_layer_array(console, basic, kBoundary, boundary_cells,
                                {static_cast<std::int32_t>(layer), row_count, column_count});
  }

  float no_flow_head = 0.0f;
  console.write_line({"Head at No Flow Cells (usually use 999)"});
  console.read_real(no_flow_head);
  basic.write_record(no_flow_format, {no_flow_head});

  WorkingGrid<float> starting_heads;
  float starting_head_value = 0.0f;
  const ArrayCells<float> starting_head_cells{starting_heads, answer, starting_head_value};
  for (std::int64_t layer = 1; layer <= layer_count; ++layer) {
    common::enter_layer_array(console, basic, kStartingHeads, starting_head_cells,
                                {static_cast<std::int32_t>(layer), row_count, column_count});
  }

  // Stress periods, each written before the next is asked.
  float period_length = 0.0f;
  std::int32_t step_count = 0;
  float step_multiplier = 0.0f;
  for (std::int64_t period = 1; period <= period_count; ++period) {
    const auto p = static_cast<std::int32_t>(period);
    console.write_line({" Stress Period ", p, " Length "});
    console.read_real(period_length);
    console.write_line({" Stress Period ", p, " Computation Steps"});
    console.read_integer(step_count);
    console.write_line({" Stress Period ", p, " Time Step Multiplier"});
    console.read_real(step_multiplier);
    basic.write_record(period_format, {period_length, step_count, step_multiplier});
  }

  basic.close();
  console.stop();
}

const common::BuilderProgram kProgram = {
    "Morvek",
    "Asks, one question at a time, for two title lines, the grid, the time unit,\n"
    "the modules used, the boundary and starting-head arrays of every layer and\n"
    "the stress periods, and writes the basic file FOR001 in the current folder.\n",
    true, run_dialogue};

}  // namespace dialogues::morvek
