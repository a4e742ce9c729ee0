// A builder's file written from answers in memory: the builder's own
// dialogue run in-process (common::run_in_process) on them, its console
// going nowhere, so that the file holds exactly what the program writes.
//
// The file is made beside its place under a name of its own and renamed
// there only when the dialogue ends with its stop, so that a file is never
// half written and a failure leaves an existing file as it was. Meanwhile
// the place is locked against the builders as they lock the file they
// write: a builder writing it now makes this fail, and one started
// meanwhile stops at once.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace gwbuilders {

enum class Builder { Morvek, Cindral, Quillet };

// The file cannot be written: its place, its lock, the disk, or the answers
// that the dialogue did not take to its stop. Nothing has been changed.
class WriteFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes the file of `builder` (FOR001, FOR011, FOR013) in `folder` from
// `answers`; throws WriteFailure, saying why, when it cannot. The lock is
// the open file's own, so a thread of this process that opens the file
// meanwhile neither releases it nor takes it: a second call for the same
// file while one runs fails as if another run held it (callers that write
// from several threads take turns first).
void write_with_builder(Builder builder, const std::string& folder, std::string_view answers);

}  // namespace gwbuilders
