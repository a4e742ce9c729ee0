// The summary and the stress periods: what the headers and lists of the
// three files say, in words.
#include <string>

#include "report/html_text.h"
#include "report/model_words.h"
#include "report/page_budget.h"
#include "report/page_sections.h"

namespace report {
namespace {

// A table's own box, which scrolls sideways on a narrow screen while the
// page does not; it can take the focus, so that the keyboard scrolls it too.
std::string table_box(std::string_view name) {
  return "<div class=\"table-box\" tabindex=\"0\" role=\"region\" aria-label=\"Table: " + std::string(name) + "\">\n";
}

std::string code_text(std::int32_t code, std::string_view meaning) {
  return std::to_string(code) + " <span class=\"words\">(" + html(meaning) + ")</span>";
}

std::string file_state(const FileStatus& file, bool used) {
  std::string state = file.present ? "present" : "missing";
  if (file.present && !file.problem.empty()) {
    state += "; read as far as " + html(file.problem);
  }
  if (!used && file.present) state += ", though the module is not used";
  return state;
}

std::string unit_flow_code(std::int32_t code, std::string_view negative, std::string_view positive) {
  if (code < 0) return code_text(code, std::string(negative) + " " + std::to_string(-static_cast<std::int64_t>(code)));
  if (code == 0) return code_text(code, "flow terms not printed");
  return code_text(code, std::string(positive) + " " + std::to_string(code));
}

std::string widths_text(const WidthFacts& w, const std::string& unit) {
  if (w.entries == 0) return "none";
  std::string text = plural(w.entries, "width", "widths");
  if (w.entries > w.unreadable) {
    text += w.low == w.high ? ", all " + number_text(w.low, 7) : ", from " + number_text(w.low, 7) + " to " + number_text(w.high, 7);
    text += " " + unit;
  }
  if (w.unreadable > 0) text += "; " + plural(w.unreadable, "cannot be read", "cannot be read");
  if (w.not_above_zero > 0) text += "; " + plural(w.not_above_zero, "is not above zero", "are not above zero");
  return text;
}

void append_flow_summary(std::string& out, const ModelFacts& model) {
  const FlowFacts& flow = model.flow;
  const std::string length = html(length_name(model.length_unit));
  out += "<h3>Block-centred flow (FOR011)</h3>\n";
  if (!flow.file.present) {
    out += "<p>There is no FOR011.</p>\n";
    return;
  }
  if (!flow.header_read) {
    out += "<p>FOR011 could not be read: " + html(flow.file.problem) + ".</p>\n";
    return;
  }
  out += "<dl class=\"facts\">\n";
  append_fact(out, "Simulation", code_text(flow.simulation_type, flow.simulation_type == 0 ? "transient" : "steady state"));
  append_fact(out, "Cell-by-cell output code",
              unit_flow_code(flow.cell_by_cell_code, "constant-head flow terms printed to unit",
                             "cell-by-cell flow terms printed to unit"));
  append_fact(out, "Cell widths along rows (DELR-)", widths_text(flow.along_rows, length));
  append_fact(out, "Cell widths along columns (DELC-)", widths_text(flow.along_columns, length));
  out += "</dl>\n";
  if (!flow.arrays_left_out.empty()) out += "<p class=\"warn\">FOR011: " + html(flow.arrays_left_out) + ".</p>\n";
  if (flow.layers_read == 0) return;
  out += table_box("Layer types and anisotropy") + "<table class=\"layers\">\n<caption>Layer types and anisotropy</caption>\n"
         "<thead><tr><th scope=\"col\">Layer</th><th scope=\"col\">Type code</th><th scope=\"col\">Type</th>"
         "<th scope=\"col\">Anisotropy (Tcol/Trow)</th></tr></thead>\n<tbody>\n";
  for (std::size_t i = 0; i < flow.type_codes.size(); ++i) {
    append_row(out, {std::to_string(i + 1), html(flow.type_code_texts[i]),
                     html(layer_type_words(flow.type_codes[i])),
                     i < flow.anisotropy.size() ? html(flow.anisotropy[i]) : std::string("\xE2\x80\x94")});
  }
  out += "</tbody>\n</table>\n</div>\n";
  if (flow.layers_read > static_cast<std::int64_t>(flow.type_codes.size())) {
    out += "<p class=\"note\">The table shows the first " + count_text(static_cast<std::int64_t>(flow.type_codes.size())) +
           " of " + plural(flow.layers_read, "layer", "layers") + ".</p>\n";
  }
}

}  // namespace

void append_summary(std::string& out, const ModelFacts& model) {
  const BasicFacts& basic = model.basic;
  out += "<section id=\"summary\" aria-labelledby=\"summary-title\">\n<h2 id=\"summary-title\">Summary</h2>\n";
  out += "<h3>Basic file (FOR001)</h3>\n<dl class=\"facts\">\n";
  if (basic.records_read >= 3) {
    const auto& g = basic.grid;
    append_fact(out, "Grid", plural(g.layers, "layer", "layers") + ", " + plural(g.rows, "row", "rows") + ", " +
                                 plural(g.columns, "column", "columns") +
                                 " <span class=\"words\">(" + plural(g.rows * g.columns, "cell", "cells") + " a layer)</span>");
    append_fact(out, "Stress periods", count_text(basic.period_count));
    append_fact(out, "Time unit", code_text(basic.time_unit, time_unit_words(basic.time_unit)));
  }
  if (basic.records_read >= 5) {
    append_fact(out, "Memory sharing", code_text(basic.memory_sharing, basic.memory_sharing == 0 ? "yes" : basic.memory_sharing == 1 ? "no" : "neither 0 nor 1"));
    append_fact(out, "Save starting heads", code_text(basic.save_heads, basic.save_heads == 1 ? "yes" : basic.save_heads == 0 ? "no" : "neither 0 nor 1"));
  }
  if (basic.no_flow_head_read) append_fact(out, "Head at no-flow cells", html(basic.no_flow_head) + " " + html(length_name(model.length_unit)));
  append_fact(out, "Read", basic.file.problem.empty() ? std::string("the whole file")
                                                     : "as far as " + html(basic.file.problem));
  out += "</dl>\n";
  if (model.length_unit.empty()) {
    out += "<p class=\"note\">The files do not name the model's unit of length: the page writes \"length\" "
           "(<code>gwinspect report --length-unit m</code> names it).</p>\n";
  } else {
    out += "<p class=\"note\">Lengths are in " + html(model.length_unit) +
           ", as <code>--length-unit</code> names it (the files do not).</p>\n";
  }

  if (basic.records_read >= 4) {
    out += table_box("Modules and their files") + "<table class=\"modules\">\n<caption>Modules and their files</caption>\n<thead><tr>"
           "<th scope=\"col\">Slot</th><th scope=\"col\">Module</th><th scope=\"col\">Unit</th>"
           "<th scope=\"col\">File</th></tr></thead>\n<tbody>\n";
    for (const ModuleName& m : modules()) {
      const std::int32_t unit = basic.module_units[static_cast<std::size_t>(m.slot - 1)];
      const bool used = unit == 10 + m.slot;
      const FileStatus* ours = m.slot == 1 ? &model.flow.file : m.slot == 3 ? &model.drains.file : nullptr;
      std::string file;
      char name[16];
      std::snprintf(name, sizeof name, "FOR%03d", 10 + m.slot);
      if (used) {
        const bool present = basic.module_file_present[static_cast<std::size_t>(m.slot - 1)];
        file = std::string(name) + ": " +
               (ours ? file_state(*ours, true)
                     : std::string(present ? "present" : "missing") + " (made by other means than these builders)");
      } else if (ours && ours->present) {
        file = std::string(name) + ": " + file_state(*ours, false);
      } else {
        file = unit == 0 ? "not used" : "unit " + std::to_string(unit) + " is not what Morvek writes";
      }
      append_row(out, {std::to_string(m.slot), html(m.name), unit == 0 ? std::string("\xE2\x80\x94") : std::to_string(unit), file});
    }
    out += "</tbody>\n</table>\n</div>\n";
  }

  append_flow_summary(out, model);

  const DrainFacts& drains = model.drains;
  out += "<h3>Drains (FOR013)</h3>\n";
  if (!drains.file.present) {
    out += "<p>There is no FOR013.</p>\n";
  } else if (!drains.header_read) {
    out += "<p>FOR013 could not be read: " + html(drains.file.problem) + ".</p>\n";
  } else {
    out += "<dl class=\"facts\">\n";
    append_fact(out, "Most drains in a period", count_text(drains.max_drains));
    append_fact(out, "Flow term output code",
                unit_flow_code(drains.flow_code, "drain discharge written to unit", "cell-by-cell flow terms to unit"));
    append_fact(out, "Stress periods", count_text(drains.periods_read));
    append_fact(out, "Drain records", count_text(drains.drains_read));
    append_fact(out, "Read", drains.file.problem.empty() ? std::string("the whole file")
                                                         : "as far as " + html(drains.file.problem));
    out += "</dl>\n";
  }
  out += "</section>\n";
}

void append_periods(std::string& out, const ModelFacts& model) {
  const BasicFacts& basic = model.basic;
  const DrainFacts& drains = model.drains;
  out += "<section id=\"periods\" aria-labelledby=\"periods-title\">\n<h2 id=\"periods-title\">Stress periods</h2>\n";
  const std::int64_t count = std::max(basic.periods_read, drains.periods_read);
  if (count == 0) {
    out += "<p>No stress period is read.</p>\n</section>\n";
    return;
  }
  const std::string unit = time_unit_words(basic.time_unit);
  out += table_box("Stress periods") + "<table class=\"periods\">\n<thead><tr><th scope=\"col\">Period</th><th scope=\"col\">Length (" +
         html(unit) + ")</th><th scope=\"col\">Time steps</th><th scope=\"col\">Multiplier</th>"
         "<th scope=\"col\">Drains (FOR013)</th></tr></thead>\n<tbody>\n";
  const std::int64_t shown = std::min<std::int64_t>(count, PageBudget::kMostTableRows);
  const std::string none = "\xE2\x80\x94";
  for (std::int64_t p = 1; p <= shown; ++p) {
    const auto i = static_cast<std::size_t>(p - 1);
    const bool in_basic = i < basic.periods.size();
    std::string drain_text = none;
    if (i < drains.periods.size()) {
      const DrainFacts::Period& period = drains.periods[i];
      if (!period.unreadable_code.empty()) {
        drain_text = "use code " + html(period.unreadable_code) + " cannot be read: no drains are read for it";
      } else if (period.use_code >= 0) {
        drain_text = plural(period.use_code, "drain", "drains");
      } else if (period.list >= 0) {
        const DrainFacts::List& list = drains.lists[static_cast<std::size_t>(period.list)];
        drain_text = "reuses period " + std::to_string(list.period) + "\xE2\x80\x99s " +
                     plural(list.use_code, "drain", "drains") + " (" + std::to_string(period.use_code) + ")";
      } else {
        drain_text = "reuse code " + std::to_string(period.use_code) + ", but no earlier period lists drains";
      }
    } else if (drains.file.present) {
      drain_text = "not in FOR013";
    }
    append_row(out, {std::to_string(p), in_basic ? html(basic.periods[i].length) : none,
                     in_basic ? html(basic.periods[i].steps) : none,
                     in_basic ? html(basic.periods[i].multiplier) : none, drain_text});
  }
  out += "</tbody>\n</table>\n</div>\n";
  if (count > shown) {
    out += "<p class=\"note\">The table shows the first " + count_text(shown) + " of " +
           plural(count, "stress period", "stress periods") + ".</p>\n";
  }
  out += "</section>\n";
}

}  // namespace report
