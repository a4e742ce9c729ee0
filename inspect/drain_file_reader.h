// Reads FOR013, the drain file: the header record, then for each stress
// period its use code and, for a code of 0 or more, that many drain
// records. The file holds no period count: the periods run to its end.
#pragma once

#include <cstdint>
#include <string>

#include "inspect/record.h"
#include "inspect/record_reader.h"

namespace inspect {

class DrainFileReader {
 public:
  explicit DrainFileReader(int fd) : in_(fd) {}

  bool next(Record& record);
  // The file ended inside a period's drains (or before the header).
  bool ended_early() const;
  std::string expected() const;

  // Periods whose use code has been read so far.
  std::int64_t periods_read() const { return state_.period - 1 + (state_.in_drains ? 1 : 0); }

  // Stops reading the drains' fields (they come back empty): for a quick
  // count of the periods.
  void set_drain_fields_read(bool read) { drain_fields_read_ = read; }
  // Whether the drains' values are converted (the default) or only cut
  // into fields (Field::converted false), for a caller that looks at their text.
  void convert_values(bool convert) { in_.convert_values(convert); }

 private:
  struct State {
    bool header_read = false;
    bool in_drains = false;
    std::int64_t period = 1;  // of the next use code, or of the drains being read
    std::int64_t drain = 1;
    std::int32_t use_code = 0;
  };

  RecordReader in_;
  State state_;
  bool drain_fields_read_ = true;
};

}  // namespace inspect
