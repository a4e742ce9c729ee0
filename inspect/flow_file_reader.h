// Reads FOR011, the block-centred flow file, record by record. The file
// holds no grid counts: the layer count is the length of the layer-type
// record, the column and row counts are the lengths of the DELR and DELC
// lists (each list ends where the next array-control record begins). The
// layer arrays then follow in the order their layer's type code, the
// simulation type and the layer's place call for.
#pragma once

#include <cstdint>
#include <string>

#include "inspect/array_reader.h"
#include "inspect/record.h"

namespace inspect {

// Where the reader of FOR011 is: the record that comes next, the counts its
// lists have shown so far and the layer arrays' place (what a checkpoint
// copies).
struct FlowFileState {
  enum class Step : std::uint8_t {
    Header, LayerTypes, TrpyValues, DelrValues, DelcValues, LayerArrayControl,
    LayerArrayValues, Done
  };
  Step step = Step::Header;
  std::int32_t simulation_type = 0;
  GridCounts grid{-1, -1, -1};
  std::int64_t list_length = 0;       // values of the list being read so far
  bool list_line_short = false;       // its last line has room for more
  std::int64_t list_lines = 0;        // lines of values of the list being read so far
  LinePlace first_type_line;          // where the layer type codes begin
  // The layer arrays: the layer, its type code and the next array of the
  // layer's table to look at.
  std::int64_t layer = 1;
  std::int32_t type_code = 0;
  std::int64_t type_layer = 0;        // the layer whose code type_code is
  std::size_t next_array = 0;
  LinePlace type_place;               // the types cursor: line of layer `layer`
  std::int64_t type_index_on_line = 0;
  LayerArrayRead values;  // the list or layer array being read
  std::string expected_label;
};

class FlowFileReader final : public ArrayFileReader<FlowFileState> {
 public:
  explicit FlowFileReader(int fd) : ArrayFileReader(fd), types_(fd) {}

  bool next(Record& record);
  bool ended_early() const;
  std::string expected() const;

  std::int32_t simulation_type() const { return state_.simulation_type; }
  bool transient() const { return state_.simulation_type == 0; }
  // The grid as the file's own lists give it; each count is known once its
  // list has been read (layers: after the TRPY- list; columns: DELR-; rows:
  // DELC-), and -1 before.
  const GridCounts& grid() const { return state_.grid; }
  // The list being read ("" when none: "LAYER TYPES", "TRPY-", "DELR-",
  // "DELC-") and how many values of it have been read so far.
  std::string_view list_being_read() const;
  std::int64_t list_length() const { return state_.list_length; }
  // Whether the last line read of that list held fewer values than a line
  // has room for: a builder fills every line of a list but its last, so the
  // list is complete even where the file ends after that line.
  bool list_line_short() const { return state_.list_line_short; }

  // The layer array whose array-control record comes next.
  std::string_view coming_label() const { return state_.expected_label; }
  std::int64_t coming_layer() const { return state_.layer; }

 private:
  using Step = FlowFileState::Step;

  bool list_control(Record& record, std::string_view label, Step values_step);
  bool list_line(Record& record);
  void begin_layers();
  bool reading_values() const override { return state_.step == Step::LayerArrayValues; }
  void after_values() override;  // the next layer array, if any
  bool find_next_array();  // false when no layer array remains
  std::int32_t read_type_code();

  RecordReader types_;  // a second cursor over the layer type codes
};

}  // namespace inspect
