// The answers that make a builder write a model's file, made from the
// model's values where they lie (numpy's buffers): one answer a line, in
// the order the builder asks. An array whose cells all hold one value is
// answered as the builder's constant ("all values the same?" 0, then the
// value); any other cell by cell. Reals are answered by their shortest
// text that reads back as the same 32-bit value, so the builder renders
// exactly the model's value.
//
// Every value is held to its field on the way: one that the field cannot
// hold (an integer too wide, a real that is not finite), a title longer
// than its record, counts beyond what the builders take, raise BadModel
// naming the attribute and, for a cell, its place, before anything is
// written.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "python/native/model_reading.h"

namespace gwbuilders {

class BadModel : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct BasicValues {
  std::string title_1, title_2;  // the bytes of each
  std::int32_t layers = 0, rows = 0, columns = 0, period_count = 0, time_unit = 0;
  std::array<std::int32_t, 24> module_units{};
  std::int32_t memory_sharing = 0, save_heads = 0;
  float no_flow_head = 0.0f;
  std::span<const StressPeriodValues> periods;  // period_count of them
  const std::int32_t* ibound = nullptr;         // layers * rows * columns, layer by layer
  const float* shead = nullptr;
};

struct FlowValues {
  std::int32_t simulation_type = 0, cell_by_cell_code = 0;
  std::int32_t layers = 0, rows = 0, columns = 0;
  std::span<const std::int32_t> layer_types;  // one per layer
  std::span<const float> anisotropy, delr, delc;
  // The property arrays in the order of format::kLayerArrays, each layers *
  // rows * columns; nullptr for one the model does not hold.
  std::array<const float*, 7> arrays{};
};

struct DrainValues {
  std::int32_t max_drains = 0, flow_code = 0;
  struct Period {
    std::int32_t reuse_code = 0;  // below 0: the previous period's drains again
    std::span<const Drain> drains;  // otherwise these
  };
  std::vector<Period> periods;
};

std::string basic_answers(const BasicValues& basic);
std::string flow_answers(const FlowValues& flow);
std::string drain_answers(const DrainValues& drains);

}  // namespace gwbuilders
