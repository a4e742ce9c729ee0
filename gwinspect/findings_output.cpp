#include "gwinspect/findings_output.h"

#include <cerrno>
#include <cstring>
#include <iostream>

#include "platform/platform.h"
#include "platform/write_all.h"

namespace gwinspect {

bool write_findings(std::string_view subcommand, std::string_view text) {
  const platform::Written written = platform::write_all(platform::kStandardOutput, text.data(), text.size());
  if (written.count == text.size()) return true;
  // A short write without an errno is still a failed one.
  const int error = written.error != 0 ? written.error : EIO;
  std::cerr << "gwinspect " << subcommand << ": error: the report cannot be written to standard output: "
            << std::strerror(error) << "\n";
  return false;
}

}  // namespace gwinspect
