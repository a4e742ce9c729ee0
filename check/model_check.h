// Checks that the files of a model folder make one model the simulator can
// run: FOR001 and every file its module table names that is present, each
// read as the simulator reads it, and compared with one another.
#pragma once

#include <string>

#include "check/diagnostic.h"

namespace check {

struct CheckOptions {
  // Read every line's fields and look each drain's cell up by reading its
  // array from the start: the plain way, the reference against which the
  // quick ways (rows that repeat compared byte for byte, a cell's place in
  // a regular array found by arithmetic) are tested. Same diagnostics.
  bool plain = false;
};

// Reads `folder` (its FOR001, FOR011, FOR013 and the module files FOR001
// names) and returns every finding. Never throws for anything a file holds;
// a folder without FOR001, or a file that cannot be opened, gives a result
// that is not `completed`.
CheckResult check_model(const std::string& folder, const CheckOptions& options = {});

}  // namespace check
