#include "model_check.h"

#include <unistd.h>

namespace check {

// The first version: only whether there is a FOR001 to start from. The
// checks of the files' contents follow.
CheckResult check_model(const std::string& folder) {
  CheckResult result;
  const std::string basic = folder + "/FOR001";
  if (::access(basic.c_str(), F_OK) != 0) {
    result.completed = false;
    result.diagnostics.push_back({"FOR001", 0, 0, Severity::Error, "no-basic-file",
                                  "there is no FOR001 in this folder; the check starts from it", {}, 1,
                                  std::nullopt});
  }
  return result;
}

}  // namespace check
