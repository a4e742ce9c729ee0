// Reads FOR001, the basic file, record by record as the simulator does:
// the run header gives the counts by which the boundary arrays, the no-flow
// head, the starting-head arrays and the stress periods follow.
#pragma once

#include <cstdint>
#include <string>

#include "inspect/array_reader.h"
#include "inspect/record.h"
#include "inspect/record_reader.h"

namespace inspect {

class BasicFileReader {
 public:
  explicit BasicFileReader(int fd) : in_(fd) {}

  // The next record, or false at the end of the file. Throws ReadError for a
  // record that is not what the file must hold at that place.
  bool next(Record& record);

  // After next() returned false: whether the file ended before its last
  // record, and what would have come next ("the stress period 3 record").
  bool ended_early() const { return state_.step != Step::Done; }
  std::string expected() const;

  // The counts of record 3, once it is read (zero or less shows as 0).
  const GridCounts& grid() const { return state_.grid; }
  std::int64_t period_count() const { return state_.period_count; }

  // A place to come back to, at the start of the next record.
  struct Checkpoint;
  Checkpoint checkpoint() const;
  void resume(const Checkpoint& checkpoint);

  // At the start of a row of an array: if the row's lines are `full_line`
  // (with its CR LF) as often as the row has full lines, then `last_line`,
  // passes the row and returns true.
  bool skip_row_if_equal(std::string_view full_line, std::string_view last_line);
  // At the first line of an array's values: goes on at `after_last_row`,
  // the place after the array's last row, which another cursor has read;
  // the values are not read here.
  void pass_values(const LinePlace& after_last_row);
  // The array being read and where in it the next line is.
  const ArrayHeader& array() const { return state_.values.array; }
  // Whether array values are converted (the default) or only cut into
  // fields (Field::converted false), for a caller that looks at their text.
  void convert_values(bool convert) { in_.convert_values(convert); }
  const ArrayWalk& walk() const { return state_.values.walk; }

 private:
  enum class Step : std::uint8_t {
    Title1, Title2, Dimensions, Modules, Options, BoundaryControl, BoundaryValues, NoFlowHead,
    HeadControl, HeadValues, Periods, Done
  };
  struct State {
    Step step = Step::Title1;
    GridCounts grid;
    std::int64_t period_count = 0;
    std::int64_t layer = 1;
    std::int64_t period = 1;
    LayerArrayRead values;  // the boundary or starting-head array being read
  };

  void control_record(Record& record, std::string_view label, Step values_step);
  // After an array's last row: the same array of the next layer, or what
  // follows the last layer's (the no-flow head record after the boundary
  // arrays, the stress periods after the starting heads).
  void after_array();

  RecordReader in_;
  State state_;

 public:
  struct Checkpoint {
    LinePlace place;
    State state;
  };
};

}  // namespace inspect
