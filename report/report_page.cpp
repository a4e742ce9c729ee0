#include "report/report_page.h"

#include <filesystem>
#include <system_error>

#include "report/html_text.h"
#include "report/page_assets.h"
#include "report/page_budget.h"
#include "report/page_sections.h"
#include "inspect/printable_text.h"
#include "inspect/record.h"

namespace report {
namespace {

std::string trimmed_text(std::string_view text) { return std::string(inspect::trimmed(text)); }

// The folder's own name ("valley" for "." run in /home/me/valley), which
// says more than "." and stays the same wherever the folder is.
std::string folder_name(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path path = fs::absolute(fs::path(folder), error);
  if (error) return folder;
  path = path.lexically_normal();
  if (!path.has_filename() && path.has_parent_path() && path.parent_path() != path) path = path.parent_path();
  const std::string name = path.filename().string();
  return name.empty() ? folder : name;
}

}  // namespace

bool layer_has_map(const ModelFacts& model, std::int64_t layer) {
  for (const MapPicture& map : model.maps) {
    if (map.layer == layer) return true;
  }
  return false;
}

void append_row(std::string& out, std::initializer_list<std::string_view> cells) {
  out += "<tr>";
  for (std::string_view cell : cells) {
    out += "<td>";
    out += cell;  // already HTML
    out += "</td>";
  }
  out += "</tr>\n";
}

void append_fact(std::string& out, std::string_view term, std::string_view value) {
  out += "<dt>";
  out += term;
  out += "</dt><dd>";
  out += value;
  out += "</dd>\n";
}

std::string plural(std::int64_t count, std::string_view one, std::string_view many) {
  return count_text(count) + " " + std::string(count == 1 ? one : many);
}

void append_findings(std::string& out, const ModelFacts& model) {
  out += "<section id=\"findings\" aria-labelledby=\"findings-title\">\n"
         "<h2 id=\"findings-title\">Findings</h2>\n";
  const auto& findings = model.findings.diagnostics;
  std::int64_t errors = 0, warnings = 0, notes = 0;
  for (const check::Diagnostic& f : findings) {
    (f.severity == check::Severity::Error ? errors : f.severity == check::Severity::Warning ? warnings : notes) += 1;
  }
  if (!model.findings.completed) {
    out += "<p class=\"warn\">The check could not read every file it needed; what it found so far is below.</p>\n";
  }
  if (findings.empty()) {
    out += "<p class=\"clean\"><code>gwinspect check</code> finds nothing wrong.</p>\n</section>\n";
    return;
  }
  out += "<p>" + plural(errors, "error", "errors") + ", " + plural(warnings, "warning", "warnings");
  if (notes > 0) out += ", " + plural(notes, "note", "notes");
  out += " from <code>gwinspect check</code>. A finding about a cell is marked on the maps of its "
         "layer; its place shows the cell.</p>\n<ol class=\"findings\">\n";
  std::int64_t index = 0;
  for (const check::Diagnostic& f : findings) {
    if (index == PageBudget::kMostFindings) break;
    const std::string_view severity = check::severity_name(f.severity);
    const std::string place = f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column);
    out += "<li class=\"" + std::string(severity) + "\"><span class=\"severity\">" + std::string(severity) + "</span> ";
    if (!f.cell.empty() && layer_has_map(model, f.cell.layer)) {
      out += "<a class=\"place\" href=\"#layer-" + std::to_string(f.cell.layer) + "\" data-finding=\"" +
             std::to_string(index) + "\">" + html(place) + "</a> ";
    } else {
      out += "<span class=\"place\">" + html(place) + "</span> ";
    }
    out += "<span class=\"message\">" + html(f.message) + "</span>";
    if (!f.cell.empty()) {
      out += " <span class=\"cell\">(layer " + std::to_string(f.cell.layer) + ", row " +
             std::to_string(f.cell.row) + ", column " + std::to_string(f.cell.column) + ")</span>";
    }
    out += "</li>\n";
    ++index;
  }
  out += "</ol>\n";
  if (static_cast<std::int64_t>(findings.size()) > index) {
    out += "<p class=\"note\">" + plural(static_cast<std::int64_t>(findings.size()) - index, "more finding", "more findings") +
           " not listed; <code>gwinspect check</code> shows them all.</p>\n";
  }
  out += "</section>\n";
}

std::string report_page(const ModelFacts& model) {
  std::string out;
  out.reserve(64 * 1024);
  std::string title = trimmed_text(model.basic.title_1);
  // The folder's own name, shown as the text output shows names (escaped).
  const std::string folder = inspect::printable(folder_name(model.folder));
  if (title.empty()) title = "Model in " + folder;
  out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<meta name=\"color-scheme\" content=\"light dark\">\n<title>";
  append_html(out, title);
  out += "</title>\n<style>\n";
  out += kPageStyle;
  out += "</style>\n</head>\n<body>\n<header>\n<h1>";
  append_html(out, title);
  out += "</h1>\n";
  if (const std::string second = trimmed_text(model.basic.title_2); !second.empty()) {
    out += "<p class=\"subtitle\">" + html(second) + "</p>\n";
  }
  out += "<p class=\"source\">The model in the folder <code>" + html(folder) +
         "</code>, as <code>gwinspect report</code> reads it.</p>\n</header>\n";

  out += "<nav aria-label=\"Contents\"><ul>\n<li><a href=\"#findings\">Findings</a></li>\n"
         "<li><a href=\"#summary\">Summary</a></li>\n<li><a href=\"#periods\">Stress periods</a></li>\n"
         "<li><a href=\"#maps\">Maps</a>";
  std::int64_t linked = 0, last_layer = 0;
  for (const MapPicture& map : model.maps) {
    if (map.layer == last_layer) continue;
    last_layer = map.layer;
    if (linked == 0) out += ":";  // (each link brings its own space)
    if (linked++ == 50) {
      out += " \xE2\x80\xA6";
      break;
    }
    out += " <a href=\"#layer-" + std::to_string(map.layer) + "\">layer " + std::to_string(map.layer) + "</a>";
  }
  out += "</li>\n</ul></nav>\n<main>\n";
  append_findings(out, model);
  append_summary(out, model);
  append_periods(out, model);
  append_maps(out, model);
  out += "</main>\n<div id=\"tip\" role=\"status\" aria-live=\"polite\" hidden></div>\n"
         "<script type=\"application/json\" id=\"report-data\">";
  append_data(out, model);
  out += "</script>\n<script>\n";
  out += kPageScript;
  out += "</script>\n</body>\n</html>\n";
  return out;
}

}  // namespace report
