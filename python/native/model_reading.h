// A model folder's files read into arrays: every value of FOR001, FOR011
// and FOR013 in the place of its cell, written once, into buffers that the
// caller provides (for the Python module: numpy's own).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/record.h"

namespace gwbuilders {

// Where the arrays go. Called once per array label, with the grid; each
// buffer holds layers * rows * columns values, layer by layer, row by row,
// and need not be initialised: every value is written (in FOR011, a layer
// that holds no such array is NaN throughout).
class ArraySink {
 public:
  virtual ~ArraySink() = default;
  virtual std::int32_t* integer_array(std::string_view label, const inspect::GridCounts& grid) = 0;
  virtual float* real_array(std::string_view label, const inspect::GridCounts& grid) = 0;
};

// A field of asterisks (a value too wide for its columns when it was
// written): read as NaN (an I field as the lowest integer), and told.
struct AsteriskField {
  std::int64_t line = 0, column = 0;
  std::string what;  // "the boundary array of layer 1, row 2, column 3"
};
struct AsteriskFields {
  static constexpr std::size_t kMostKept = 20;
  std::vector<AsteriskField> first;  // the first kMostKept
  std::int64_t count = 0;
  void add(std::int64_t line, std::int64_t column, std::string what);
};

struct StressPeriodValues {
  float length = 0.0f;
  std::int32_t steps = 0;
  float multiplier = 0.0f;
};

struct BasicContents {
  std::string title_1, title_2;
  inspect::GridCounts grid;
  std::int64_t period_count = 0;
  std::int32_t time_unit = 0;
  std::array<std::int32_t, 24> module_units{};
  std::int32_t memory_sharing = 0, save_heads = 0;
  float no_flow_head = 0.0f;
  std::vector<StressPeriodValues> periods;
  AsteriskFields asterisks;
};

struct FlowContents {
  std::int32_t simulation_type = 0, cell_by_cell_code = 0;
  inspect::GridCounts grid;
  std::vector<std::int32_t> layer_types;
  std::vector<float> anisotropy, delr, delc;  // TRPY-, DELR-, DELC-
  std::vector<std::string> labels;            // the layer arrays the file holds, first seen first
  AsteriskFields asterisks;
};

struct Drain {
  std::int32_t layer = 0, row = 0, column = 0;
  float elevation = 0.0f, conductance = 0.0f;
};
struct DrainContents {
  std::int32_t max_drains = 0, flow_code = 0;
  // Per stress period its use code; for a code above 0, its drains are
  // drains[first .. first + use_code).
  struct Period {
    std::int32_t use_code = 0;
    std::int64_t first = 0;
  };
  std::vector<Period> periods;
  std::vector<Drain> drains;
  AsteriskFields asterisks;
};

// Each reads the whole file at `path`, or throws inspect::ReadError with the
// place: a file that cannot be opened (line 1, column 1), a record that is
// not what belongs there, a field that is no number, a file that ends
// early ("the file ends early: expected ...", at the line after its last).
BasicContents read_basic_file(const std::string& path, ArraySink& sink);
FlowContents read_flow_file(const std::string& path, ArraySink& sink);
DrainContents read_drain_file(const std::string& path);

}  // namespace gwbuilders
