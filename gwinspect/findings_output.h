// The findings of a subcommand (check, try) on standard output.
#pragma once

#include <string_view>

namespace gwinspect {

// Writes `text` whole to standard output. When it cannot, says so on
// standard error ("gwinspect SUBCOMMAND: error: the report cannot be
// written to standard output: REASON") and returns false.
bool write_findings(std::string_view subcommand, std::string_view text);

}  // namespace gwinspect
