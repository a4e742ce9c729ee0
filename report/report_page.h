// The report page: one self-contained HTML file (its style, script,
// pictures and data inside it) that shows a model read by read_model().
#pragma once

#include <string>

#include "report/model_facts.h"

namespace report {

std::string report_page(const ModelFacts& model);

}  // namespace report
