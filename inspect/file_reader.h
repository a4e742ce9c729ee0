// What the three file readers share around their step machines: the lines
// of the file and the machine's state, which a checkpoint copies so that a
// caller can read ahead and come back.
#pragma once

#include "inspect/line_reader.h"
#include "inspect/record_reader.h"

namespace inspect {

template <typename State>
class FileReader {
 public:
  // A place to come back to, at the start of the next record.
  struct Checkpoint {
    LinePlace place;
    State state;
  };
  Checkpoint checkpoint() const { return {in_.place(), state_}; }
  void resume(const Checkpoint& checkpoint) {
    in_.lines().go_to(checkpoint.place);
    state_ = checkpoint.state;
  }

  // Whether values (array rows, drain records) are converted, the default,
  // or only cut into fields (Field::converted false), for a caller that
  // looks at their text first.
  void convert_values(bool convert) { in_.convert_values(convert); }

 protected:
  explicit FileReader(int fd) : in_(fd) {}

  RecordReader in_;
  State state_;
};

}  // namespace inspect
