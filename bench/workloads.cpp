#include "bench/workloads.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "bench/answer_sheet.h"
#include "bench/record_sizes.h"
#include "bench/varied_values.h"

namespace bench {
namespace {

std::int64_t scaled(std::int64_t full, double factor) {
  return std::max<std::int64_t>(1, std::llround(static_cast<double>(full) * factor));
}

// ---- Quillet: the drain file FOR013 ------------------------------------

constexpr std::int64_t kDrainHeaderBytes = record_bytes(20);  // "(2i10)"
constexpr std::int64_t kUseCodeBytes = record_bytes(10);      // "(i10)"
constexpr std::int64_t kDrainBytes = record_bytes(50);        // "(3i10,2g10.3)"

// Header answers: drain limit, flow term code, stress periods.
void drain_header(AnswerSheet& sheet, std::int64_t max_drains, std::int64_t periods) {
  sheet.integer(max_drains);
  sheet.integer(0);
  sheet.integer(periods);
}

// One drain: layer, row, column, elevation, conductance; elevations from
// below 1 to the thousands and conductances from 1e-4 to 1e4, so that both
// the fixed and the exponent form of the real fields are written.
void one_drain(AnswerSheet& sheet, VariedValues& values) {
  sheet.integer(values.integer(1, 5));
  sheet.integer(values.integer(1, 1000));
  sheet.integer(values.integer(1, 1000));
  sheet.real(values.real(-1, 4, true));
  sheet.real(values.real(-4, 4, false));
}

// Q1: one stress period with 200 000 drains.
Workload drains_in_one_period(double factor) {
  const std::int64_t drains = scaled(200'000, factor);
  VariedValues values(1);
  AnswerSheet sheet;
  drain_header(sheet, drains, 1);
  sheet.integer(drains);  // use code
  for (std::int64_t d = 0; d < drains; ++d) one_drain(sheet, values);
  return {"Q1", "Quillet", "FOR013", sheet.text(),
          kDrainHeaderBytes + kUseCodeBytes + drains * kDrainBytes, 0, kDrainBytes};
}

// Q2: 2 000 stress periods, alternately 50 drains and reuse (-1).
Workload alternating_periods(double factor) {
  const std::int64_t periods = scaled(2'000, factor);
  constexpr std::int64_t kDrainsPerPeriod = 50;
  VariedValues values(2);
  AnswerSheet sheet;
  drain_header(sheet, kDrainsPerPeriod, periods);
  std::int64_t bytes = kDrainHeaderBytes;
  for (std::int64_t p = 1; p <= periods; ++p) {
    bytes += kUseCodeBytes;
    if (p % 2 == 0) {
      sheet.integer(-1);
      continue;
    }
    sheet.integer(kDrainsPerPeriod);
    for (std::int64_t d = 0; d < kDrainsPerPeriod; ++d) one_drain(sheet, values);
    bytes += kDrainsPerPeriod * kDrainBytes;
  }
  return {"Q2", "Quillet", "FOR013", sheet.text(), bytes, 0, kDrainBytes};
}

// ---- Morvek: the basic file FOR001 -------------------------------------

struct Grid {
  std::int64_t layers, rows, columns;
};

// Titles, dimensions, time unit, the eleven module answers, the two options.
void run_header(AnswerSheet& sheet, const Grid& grid, std::int64_t periods) {
  sheet.line("Benchmark session");
  sheet.line("Scripted answers for the base builder");
  sheet.integer(grid.layers);
  sheet.integer(grid.rows);
  sheet.integer(grid.columns);
  sheet.integer(periods);
  sheet.integer(4);  // days
  // Block Centered Flow, Wells, Drains, Rivers, Evapo-Transpiration, General
  // Head Boundary, Recharge, Strongly Implicit, SSOR, Output Control,
  // Interbed Storage.
  for (int answer : {1, 0, 1, 0, 0, 0, 1, 1, 0, 1, 0}) sheet.integer(answer);
  sheet.integer(0);  // memory sharing
  sheet.integer(1);  // save starting heads
}

constexpr std::int64_t kRunHeaderBytes =
    2 * record_bytes(80) + record_bytes(50) + record_bytes(72) + record_bytes(20);
constexpr std::int64_t kNoFlowHeadBytes = record_bytes(10);  // "(G10.3)"
constexpr std::int64_t kStressPeriodBytes = record_bytes(30);  // "(G10.3,I10,G10.3)"

void stress_periods(AnswerSheet& sheet, std::int64_t periods) {
  for (std::int64_t p = 1; p <= periods; ++p) {
    sheet.real(p % 2 == 1 ? "365" : "30.5");  // length
    sheet.integer(10 + p);                    // time steps
    sheet.real("1.2");                        // multiplier
  }
}

std::int64_t base_file_bytes(const Grid& grid, std::int64_t periods) {
  return kRunHeaderBytes + grid.layers * integer_layer_bytes(grid.rows, grid.columns) +
         kNoFlowHeadBytes + grid.layers * real_layer_bytes(grid.rows, grid.columns) +
         periods * kStressPeriodBytes;
}

// M1: 3 layers of 1000 by 1000, every array one value for all cells.
Workload uniform_base_arrays(double factor) {
  const Grid grid{3, scaled(1000, factor), 1000};
  constexpr std::int64_t kPeriods = 12;
  AnswerSheet sheet;
  run_header(sheet, grid, kPeriods);
  for (std::int64_t layer = 1; layer <= grid.layers; ++layer) {
    sheet.integer(0);  // all values the same
    sheet.integer(layer == 1 ? 1 : -1);
  }
  sheet.real("999");  // no-flow head
  const char* heads[] = {"100.5", "87.25", "0.0125"};
  for (std::int64_t layer = 1; layer <= grid.layers; ++layer) {
    sheet.integer(0);
    sheet.real(heads[(layer - 1) % 3]);
  }
  stress_periods(sheet, kPeriods);
  return {"M1", "Morvek", "FOR001", sheet.text(), base_file_bytes(grid, kPeriods),
          2 * grid.rows * grid.columns, formatted_write_bytes(grid.columns, 10, 10)};
}

// M2: 1 layer of 300 by 300, every boundary cell and starting head typed.
Workload cell_by_cell_base_arrays(double factor) {
  const Grid grid{1, scaled(300, factor), 300};
  constexpr std::int64_t kPeriods = 12;
  VariedValues values(3);
  AnswerSheet sheet;
  run_header(sheet, grid, kPeriods);
  const std::int64_t cells = grid.rows * grid.columns;
  sheet.integer(1);  // one by one
  for (std::int64_t c = 0; c < cells; ++c) sheet.integer(values.integer(-1, 1));
  sheet.real("999");
  sheet.integer(1);
  for (std::int64_t c = 0; c < cells; ++c) sheet.real(values.real(-2, 4, true));
  stress_periods(sheet, kPeriods);
  return {"M2", "Morvek", "FOR001", sheet.text(), base_file_bytes(grid, kPeriods), 2 * cells,
          formatted_write_bytes(grid.columns, 10, 10)};
}

// ---- Cindral: the block-centred flow file FOR011 -----------------------

// The arrays a layer gets, in file order, by simulation type, type code and
// whether it is the bottom layer.
enum class Property { SF1, TRAN, HYDCON, BOT, VCON, SF2, TOP };
constexpr int kPropertyCount = 7;

std::vector<Property> layer_arrays(bool transient, std::int64_t type, bool last_layer) {
  std::vector<Property> arrays;
  const bool constant_t = type == 0 || type == 2;
  const bool variable_t = type == 1 || type == 3;
  const bool convertible = type == 2 || type == 3;
  if (transient) arrays.push_back(Property::SF1);
  if (constant_t) arrays.push_back(Property::TRAN);
  if (variable_t) arrays.push_back(Property::HYDCON);
  if (variable_t) arrays.push_back(Property::BOT);
  if (!last_layer) arrays.push_back(Property::VCON);
  if (transient && convertible) arrays.push_back(Property::SF2);
  if (convertible) arrays.push_back(Property::TOP);
  return arrays;
}

struct FlowRun {
  bool transient;
  Grid grid;
  std::vector<std::int64_t> layer_types;  // one per layer
  bool uniform;                           // every list and array one value
};

Workload flow_properties(const std::string& name, const FlowRun& run, std::uint64_t seed) {
  const Grid& g = run.grid;
  VariedValues values(seed);
  AnswerSheet sheet;
  sheet.integer(run.transient ? 0 : 1);  // simulation type
  sheet.integer(50);                     // cell-by-cell output code
  sheet.integer(g.layers);
  sheet.integer(g.rows);
  sheet.integer(g.columns);
  for (std::int64_t type : run.layer_types) {
    sheet.integer(type);
    sheet.real("1.0");  // anisotropy factor
  }
  std::int64_t bytes = record_bytes(20) + formatted_write_bytes(g.layers, 40, 2) +
                       kArrayControlBytes + formatted_write_bytes(g.layers, 10, 10);

  // A list or an array: one value for all, or every entry typed.
  auto entries = [&](std::int64_t count) {
    if (run.uniform) {
      sheet.integer(0);
      sheet.real(values.real(-3, 4, false));
    } else {
      sheet.integer(1);
      for (std::int64_t i = 0; i < count; ++i) sheet.real(values.real(-3, 4, false));
    }
  };
  entries(g.columns);  // cell widths along rows
  bytes += kArrayControlBytes + formatted_write_bytes(g.columns, 10, 10);
  entries(g.rows);  // cell widths along columns
  bytes += kArrayControlBytes + formatted_write_bytes(g.rows, 10, 10);

  bool in_use[kPropertyCount] = {};
  for (std::int64_t layer = 1; layer <= g.layers; ++layer) {
    for (Property p : layer_arrays(run.transient, run.layer_types[static_cast<std::size_t>(layer - 1)],
                                   layer == g.layers)) {
      entries(g.rows * g.columns);
      bytes += real_layer_bytes(g.rows, g.columns);
      in_use[static_cast<int>(p)] = true;
    }
  }
  const auto arrays = std::count(std::begin(in_use), std::end(in_use), true);
  const std::int64_t cells = arrays * g.rows * g.columns + g.layers + g.rows + g.columns;
  return {name, "Cindral", "FOR011", sheet.text(), bytes, cells, formatted_write_bytes(g.columns, 10, 10)};
}

// C1: transient, 4 layers of type codes 0, 1, 2, 3 on 800 by 800, one value each.
Workload uniform_flow_arrays(double factor) {
  return flow_properties("C1", {true, {4, scaled(800, factor), 800}, {0, 1, 2, 3}, true}, 4);
}

// C2: steady state, 2 layers of type 3 on 200 by 200, every cell typed.
Workload cell_by_cell_flow_arrays(double factor) {
  return flow_properties("C2", {false, {2, scaled(200, factor), 200}, {3, 3}, false}, 5);
}

}  // namespace

std::vector<Workload> make_workloads(double factor) {
  std::vector<Workload> all;
  all.push_back(drains_in_one_period(factor));
  Workload piped = all.back();  // the most answers per byte written
  piped.name = "Q1p";
  piped.piped = true;
  all.push_back(std::move(piped));
  all.push_back(alternating_periods(factor));
  all.push_back(uniform_base_arrays(factor));
  all.push_back(cell_by_cell_base_arrays(factor));
  all.push_back(uniform_flow_arrays(factor));
  all.push_back(cell_by_cell_flow_arrays(factor));
  return all;
}

}  // namespace bench
