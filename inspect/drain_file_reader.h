// Reads FOR013, the drain file: the header record, then for each stress
// period its use code and, for a code of 0 or more, that many drain
// records. The file holds no period count: the periods run to its end.
#pragma once

#include <cstdint>
#include <string>

#include "inspect/record.h"
#include "inspect/file_reader.h"

namespace inspect {

// Where the reader of FOR013 is: in the drains of a period, or before a use
// code.
struct DrainFileState {
  bool header_read = false;
  bool in_drains = false;
  std::int64_t period = 1;  // of the next use code, or of the drains being read
  std::int64_t drain = 1;
  std::int32_t use_code = 0;
};

class DrainFileReader final : public FileReader<DrainFileState> {
 public:
  explicit DrainFileReader(int fd) : FileReader(fd) {}

  bool next(Record& record);
  // The file ended inside a period's drains (or before the header).
  bool ended_early() const;
  std::string expected() const;

  // Periods whose use code has been read so far.
  std::int64_t periods_read() const { return state_.period - 1 + (state_.in_drains ? 1 : 0); }

  // Stops reading the drains' fields (they come back empty): for a quick
  // count of the periods.
  void set_drain_fields_read(bool read) { drain_fields_read_ = read; }

 private:
  bool drain_fields_read_ = true;
};

}  // namespace inspect
