#include "check/diagnostic.h"

#include <algorithm>

namespace check {

std::string_view severity_name(Severity severity) {
  switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Note: break;
  }
  return "note";
}

std::int64_t CheckResult::errors() const {
  return std::count_if(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::Error; });
}

std::int64_t CheckResult::warnings() const {
  return std::count_if(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::Warning; });
}

}  // namespace check
