#include "report/findings.h"

#include "check/model_check.h"

namespace report {

Findings model_findings(const std::string& folder) {
  const check::CheckResult result = check::check_model(folder);
  Findings findings;
  findings.completed = result.completed;
  for (const check::Diagnostic& d : result.diagnostics) {
    Finding f;
    f.file = d.file;
    f.line = d.line;
    f.column = d.column;
    f.severity = d.severity == check::Severity::Error     ? Finding::Severity::Error
                 : d.severity == check::Severity::Warning ? Finding::Severity::Warning
                                                          : Finding::Severity::Note;
    f.message = d.message;
    if (!d.cell.empty()) f.cell = CellPlace{d.cell.layer, d.cell.row, d.cell.column};
    findings.list.push_back(std::move(f));
  }
  return findings;
}

}  // namespace report
