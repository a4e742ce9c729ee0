// Reads FOR001, the basic file, record by record as the simulator does:
// the run header gives the counts by which the boundary arrays, the no-flow
// head, the starting-head arrays and the stress periods follow.
#pragma once

#include <cstdint>
#include <string>

#include "inspect/array_reader.h"
#include "inspect/record.h"

namespace inspect {

// Where the reader of FOR001 is: the record that comes next, and the counts
// read so far (what a checkpoint copies).
struct BasicFileState {
  enum class Step : std::uint8_t {
    Title1, Title2, Dimensions, Modules, Options, BoundaryControl, BoundaryValues, NoFlowHead,
    HeadControl, HeadValues, Periods, Done
  };
  Step step = Step::Title1;
  GridCounts grid;
  std::int64_t period_count = 0;
  std::int64_t layer = 1;
  std::int64_t period = 1;
  LayerArrayRead values;  // the boundary or starting-head array being read
};

class BasicFileReader final : public ArrayFileReader<BasicFileState> {
 public:
  explicit BasicFileReader(int fd) : ArrayFileReader(fd) {}

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

 private:
  using Step = BasicFileState::Step;

  void control_record(Record& record, std::string_view label, Step values_step);
  bool reading_values() const override;
  // After an array's last row: the same array of the next layer, or what
  // follows the last layer's (the no-flow head record after the boundary
  // arrays, the stress periods after the starting heads).
  void after_values() override;
};

}  // namespace inspect
