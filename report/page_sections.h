// The sections of the report page, each appended to the page in turn.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/model_facts.h"

namespace report {

void append_findings(std::string& out, const ModelFacts& model);
void append_summary(std::string& out, const ModelFacts& model);
void append_periods(std::string& out, const ModelFacts& model);
void append_maps(std::string& out, const ModelFacts& model);
// The data the page's script reads: the layout, the maps' blocks, the
// drains of each period and the findings' cells.
void append_data(std::string& out, const ModelFacts& model);

// Whether layer `layer` has a map on the page.
bool layer_has_map(const ModelFacts& model, std::int64_t layer);

// Small pieces of HTML.
void append_row(std::string& out, std::initializer_list<std::string_view> cells);  // <tr><td>..
void append_fact(std::string& out, std::string_view term, std::string_view value);  // <dt>..<dd>..
std::string plural(std::int64_t count, std::string_view one, std::string_view many);

}  // namespace report
