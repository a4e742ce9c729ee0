// The check's diagnostics written out: one line each, as compilers write
// them, then a summary line; or one JSON document for other tools.
#pragma once

#include <string>
#include <string_view>

#include "check/diagnostic.h"

namespace check {

// "FOR013:7:21: error: drain 2 of stress period 1 is in row 40; ..." with
// the file named `folder_prefix` + file (the prefix is "" or ends in "/");
// "FOR012: error: ..." for a diagnostic about a whole file. Control
// characters and bytes that are not UTF-8 are escaped (inspect::printable).
std::string diagnostic_line(const Diagnostic& diagnostic, std::string_view folder_prefix);

// "2 errors, 1 warning".
std::string summary_line(const CheckResult& result);

// {"folder": ..., "completed": ..., "errors": N, "warnings": N,
//  "diagnostics": [{"file", "line", "column", "severity", "rule",
//  "message", "count", "cell": {"layer", "row", "column"} or null,
//  "other": {"file", "line", "column"} or null}, ...]}, ending in a line end.
std::string json_document(const CheckResult& result, std::string_view folder);

}  // namespace check
