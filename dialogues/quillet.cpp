// Quillet, the drain builder: asks for the drain limits and, stress period
// by stress period, the active drains, and writes the drain file FOR013.
#include "dialogues/quillet.h"

#include <cstdint>

#include "common/console.h"
#include "dialogues/legend_question.h"
#include "format/descriptor_list.h"
#include "format/drain_file.h"
#include "common/output_file.h"

using common::Console;
using format::DescriptorList;
using common::OutputFile;

namespace dialogues::quillet {

void run_dialogue(Console& console, OutputFile& drains) {
  const format::DescriptorList header_format(format::kDrainHeaderFormat);
  const format::DescriptorList use_code_format(format::kUseCodeFormat);
  const format::DescriptorList drain_format(format::kDrainFormat);

  drains.open(format::kDrainUnit, format::kDrainFileName, "UNKNOWN", "sequential");
  drains.rewind();

  std::int32_t max_drains = 0;
  std::int32_t drain_flow_code = 0;
  std::int32_t period_count = 0;

  console.write_line({" Max number of drains (vertical line sinks/layer) "});
  console.read_integer(max_drains);
  // "disharge" as users and their answer scripts know it: the prompts are
  // kept letter for letter.
  ask_with_legend(console, {" Flow term output code"},
                  {"  -nn =  Drain disharge written to unit nn ",
                   "    0 =  Cell by cell flow terms not printed",
                   "   nn =  Cell by cell flow terms to unit nn"},
                  drain_flow_code);
  drains.write_record(header_format, {max_drains, drain_flow_code});

  console.write_line({" Number of Stress Periods (same as in MORVEKGRID)"});
  console.read_integer(period_count);

  std::int32_t use_code = 0;
  std::int32_t drain_layer = 0;
  std::int32_t drain_row = 0;
  std::int32_t drain_column = 0;
  float drain_elevation = 0.0f;
  float drain_conductance = 0.0f;

  for (std::int64_t period = 1; period <= period_count; ++period) {
    ask_with_legend(console, {" Drain data use code "},
                    {" -1 = use drain data from previous stress period",
                     " nn = #drains active current stress period"},
                    use_code);
    drains.write_fields(use_code_format, use_code);
    if (use_code < 0) continue;  // the previous period's drains are reused

    const std::int32_t drain_count = use_code;
    for (std::int64_t drain = 1; drain <= drain_count; ++drain) {
      console.write_line({" For stress period ", static_cast<std::int32_t>(period), " Active drain :",
                          static_cast<std::int32_t>(drain)});
      console.write_line({" Layer :  (z axis)"});
      console.read_integer(drain_layer);
      console.write_line({" Row   :  (y axis)"});
      console.read_integer(drain_row);
      console.write_line({"Column :  (x axis)"});
      console.read_integer(drain_column);
      console.write_line({"Drain Elevation (+z direction)"});
      console.read_real(drain_elevation);
      console.write_line({"Drain Conductance"});
      console.read_real(drain_conductance);
      drains.write_fields(drain_format, drain_layer, drain_row, drain_column, drain_elevation,
                          drain_conductance);
    }
  }

  drains.close();
  console.stop();
}

const common::BuilderProgram kProgram = {
    "Quillet",
    "Asks, one question at a time, for the drain limits and, stress period by\n"
    "stress period, the active drains or the reuse code, and writes the drain\n"
    "file FOR013 in the current folder.\n",
    false, run_dialogue};

}  // namespace dialogues::quillet
