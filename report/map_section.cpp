// The maps: per layer a figure for each array drawn, with its axes, colour
// legend and notes, and the data the page's script needs for the drains,
// the tooltips and the findings' cells.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "report/embedded_bytes.h"
#include "report/html_text.h"
#include "report/model_words.h"
#include "report/page_budget.h"
#include "report/page_sections.h"

namespace report {
namespace {

std::string fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// The cells an axis labels: all of a short side, else 1 and the multiples
// of a round step (1, 2 or 5 times a power of ten) that gives about ten.
std::vector<std::int64_t> tick_cells(std::int64_t cells) {
  std::vector<std::int64_t> ticks;
  if (cells <= 20) {
    for (std::int64_t c = 1; c <= cells; ++c) ticks.push_back(c);
    return ticks;
  }
  const double rough = static_cast<double>(cells) / 10.0;
  std::int64_t power = 1;
  while (power * 10 <= rough) power *= 10;
  std::int64_t step = power;
  for (std::int64_t m : {1, 2, 5, 10}) {
    step = m * power;
    if (static_cast<double>(step) >= rough) break;
  }
  ticks.push_back(1);
  for (std::int64_t c = step; c <= cells; c += step) ticks.push_back(c);
  return ticks;
}

void append_ticks(std::string& out, const AxisLayout& axis, bool columns) {
  out += columns ? "<div class=\"ticks columns\" aria-hidden=\"true\">" : "<div class=\"ticks rows\" aria-hidden=\"true\">";
  for (std::int64_t cell : tick_cells(axis.cells())) {
    out += columns ? "<span style=\"left:" : "<span style=\"top:";
    out += fixed(axis.centre(cell) * 100.0, 3) + "%\">" + std::to_string(cell) + "</span>";
  }
  out += "</div>\n";
}

std::string swatch(Rgb colour) {
  return "<span class=\"swatch\" style=\"background:" + css_colour(colour) + "\"></span>";
}

// The legend entry of the findings' marks, on the maps of a layer that has
// a finding about one of its cells.
std::string finding_legend(const ModelFacts& model, std::int64_t layer) {
  for (const check::Diagnostic& f : model.findings.diagnostics) {
    if (!f.cell.empty() && f.cell.layer == layer) {
      return "<li><span class=\"swatch finding-mark\" style=\"background:" + css_colour(kFindingColour) +
             "\"></span>finding (see Findings above)</li>\n";
    }
  }
  return "";
}

void append_boundary_legend(std::string& out, const ModelFacts& model, const MapPicture& map) {
  struct Entry {
    CellClass cls;
    const char* words;
  };
  static constexpr Entry kEntries[] = {
      {CellClass::ConstantHead, "constant head (\xE2\x88\x92" "1)"},
      {CellClass::NoFlow, "no flow (0)"},
      {CellClass::Active, "active (1)"},
      {CellClass::Other, "other value, or cannot be read"},
  };
  out += "<ul class=\"legend\">\n";
  for (const Entry& e : kEntries) {
    const std::int64_t cells = map.stats.class_cells[static_cast<std::size_t>(e.cls)];
    if (cells == 0 && e.cls == CellClass::Other) continue;
    out += "<li>" + swatch(class_colour(e.cls)) + e.words + ": " + plural(cells, "cell", "cells") + "</li>\n";
  }
  if (!model.drains.drains.empty()) {
    out += "<li>" + swatch(kDrainColour) + "drain (stress period <span class=\"period-now\">1</span>)</li>\n";
  }
  out += finding_legend(model, map.layer) + "</ul>\n";
}

// The legend entry of the no-flow cells of a value map scaled without them.
std::string no_flow_legend(const MapStats& s, const std::string& in_unit) {
  if (s.no_flow == 0) return "";
  std::string entry = "<li class=\"off-scale\">" + swatch(class_colour(CellClass::NoFlow)) +
                      "no flow, not in the scale: " + plural(s.no_flow, "cell", "cells") + ", holding " +
                      number_text(s.no_flow_low, 7);
  if (s.no_flow_high != s.no_flow_low) entry += " to " + number_text(s.no_flow_high, 7);
  entry += in_unit;
  const bool on_scale = s.low <= s.high;
  const bool below = on_scale && s.no_flow_low < s.low, above = on_scale && s.no_flow_high > s.high;
  const bool all_outside = on_scale && (s.no_flow_high < s.low || s.no_flow_low > s.high);
  if (all_outside) {
    entry += " (outside the scale)";
  } else if (below || above) {
    entry += " (some outside the scale)";
  }
  return entry + "</li>";
}

void append_value_legend(std::string& out, const ModelFacts& model, const MapPicture& map, const std::string& unit) {
  const MapStats& s = map.stats;
  std::string in_unit;
  if (!unit.empty()) in_unit.append(" ").append(html(unit));
  const std::string no_flow = no_flow_legend(s, in_unit);
  if (s.low > s.high) {
    out += "<ul class=\"legend\">";
    if (s.no_flow > 0) {
      out += no_flow;
    } else {
      out += "<li>" + swatch(class_colour(CellClass::Other)) + "no cell can be read: " +
             plural(s.unreadable, "cell", "cells") + "</li>";
    }
  } else if (s.low == s.high) {
    // One value on the scale: a swatch says it (the map's cells are all
    // that colour, or no flow).
    out += "<ul class=\"legend\"><li>" + swatch(value_palette()[kRampSteps / 2]) +
           (s.no_flow > 0 ? "every active or constant-head cell" : "every cell") +
           (s.unreadable > 0 ? " that can be read" : "") + ": " + number_text(s.low, 7) + in_unit + "</li>" + no_flow;
  } else {
    const ValueScale& scale = map.scale;
    out += "<div class=\"scale\"><span class=\"bar\" style=\"background:linear-gradient(to right, " + ramp_gradient() +
           ")\"></span><span class=\"low\">" + number_text(scale.low(), 4) + "</span><span class=\"mid\">" +
           number_text(scale.value_at(0.5), 3) + "</span><span class=\"high\">" + number_text(scale.high(), 4) +
           "</span></div>\n<ul class=\"legend\"><li>" + (unit.empty() ? std::string("no unit") : "in" + in_unit) +
           (scale.logarithmic() ? ", on a logarithmic scale" : "") +
           (s.no_flow > 0 ? ", over the active and constant-head cells" : "") + "</li>" + no_flow;
  }
  if (s.unreadable > 0) {
    out += "<li>" + swatch(class_colour(CellClass::Other)) + "cannot be read: " + plural(s.unreadable, "cell", "cells") + "</li>";
  }
  if (map.no_flow_unknown) {
    out += "<li>scaled over every cell, no-flow cells included: the report has no room left to set them apart</li>";
  }
  out += finding_legend(model, map.layer) + "</ul>\n";
}

// Whether the maps of `layer` carry marks: drains in FOR013, or findings
// about its cells.
bool layer_has_marks(const ModelFacts& model, std::int64_t layer) {
  for (const DrainRecord& d : model.drains.drains) {
    if (d.layer == layer) return true;
  }
  for (const check::Diagnostic& f : model.findings.diagnostics) {
    if (!f.cell.empty() && f.cell.layer == layer) return true;
  }
  return false;
}

// An array of one value is said, not drawn: a swatch and the value. A
// boundary map that carries marks is drawn all the same.
void append_one_value(std::string& out, const MapPicture& map, const std::string& unit) {
  out += "<ul class=\"legend one-value\"><li>";
  if (map.kind == MapRaster::Kind::Boundary) {
    const auto value = static_cast<std::int32_t>(map.uniform_value);
    static constexpr const char* kWords[] = {"active", "no flow", "constant head", "other value"};
    const CellClass cls = cell_class(value);
    out += swatch(class_colour(cls)) + "every cell: " + std::to_string(value) + " (" +
           kWords[static_cast<std::size_t>(cls)] + ")";
  } else {
    out += swatch(value_palette()[kRampSteps / 2]) + "every cell: " +
           number_text(static_cast<float>(map.uniform_value)) + (unit.empty() ? "" : " " + html(unit));
  }
  out += "</li></ul>\n";
}

void append_figure(std::string& out, const ModelFacts& model, const MapPicture& map, std::size_t index) {
  const ArrayName name = array_name(map.label);
  const std::string unit = unit_text(name.unit, model.length_unit, model.basic.time_unit);
  const GridLayout& layout = model.layout;
  const std::string id = std::to_string(index);
  const bool drawn = !map.uniform || (map.kind == MapRaster::Kind::Boundary && layer_has_marks(model, map.layer));
  out += "<figure class=\"map" + std::string(drawn ? "" : " one-value") + "\" id=\"map-" + id +
         "\" style=\"--width:" + std::to_string(layout.columns.pixels()) +
         "px\">\n<figcaption><strong>" + html(name.name) +
         "</strong> <span class=\"source\">" + html(map.label) + " in " + map.file + ", line " +
         std::to_string(map.line) + "</span></figcaption>\n";
  if (!drawn) {
    append_one_value(out, map, unit);
    out += "</figure>\n";
    return;
  }
  out += "<div class=\"frame\">\n<div class=\"axis-title columns\" aria-hidden=\"true\">column</div>\n"
         "<div class=\"axis-title rows\" aria-hidden=\"true\">row</div>\n";
  append_ticks(out, layout.columns, true);
  append_ticks(out, layout.rows, false);
  out += "<div class=\"plot\" tabindex=\"0\" data-map=\"" + id + "\" role=\"img\" aria-label=\"" + html(name.name) +
         " of layer " + std::to_string(map.layer) +
         "; the arrow keys move from cell to cell and tell each cell's values\">"
         "<img alt=\"\" width=\"" + std::to_string(layout.columns.pixels()) + "\" height=\"" +
         std::to_string(layout.rows.pixels()) + "\" src=\"data:image/png;base64,";
  out += map.png_base64;
  out += "\"><canvas aria-hidden=\"true\"></canvas></div>\n</div>\n";
  if (map.kind == MapRaster::Kind::Boundary) {
    append_boundary_legend(out, model, map);
  } else {
    append_value_legend(out, model, map, unit);
  }
  std::string notes;
  if (layout.reduced()) {
    notes += "<p class=\"note\">Reduced: a pixel covers up to " +
             plural(layout.columns.most_cells_per_pixel(), "column", "columns") + " and " +
             plural(layout.rows.most_cells_per_pixel(), "row", "rows") +
             (map.kind == MapRaster::Kind::Boundary
                  ? "; it shows the first of other value, constant head, no flow and active among its cells."
                  : "; it shows the mean of its cells, or the colour of a cell that cannot be read if it has one.") +
             "</p>\n";
  }
  if (map.ended_early) {
    notes += "<p class=\"note warn\">" + swatch(class_colour(CellClass::NoData)) + map.file +
             " cannot be read to the end of this array: cells past that point have no data.</p>\n";
  }
  if (map.blocks_base64.empty() && !map.uniform) {
    notes += "<p class=\"note\">The tooltips give only the place here: the page has no room left for this map's values.</p>\n";
  }
  out += notes + "</figure>\n";
}

std::string layer_heading(const ModelFacts& model, std::int64_t layer) {
  std::string heading = "Layer " + std::to_string(layer);
  const auto& codes = model.flow.type_codes;
  if (layer >= 1 && layer <= static_cast<std::int64_t>(codes.size())) {
    heading += " <span class=\"words\">(" + html(layer_type_words(codes[static_cast<std::size_t>(layer - 1)])) + ")</span>";
  }
  return heading;
}

void append_axis(std::string& out, const AxisLayout& axis) {
  out += "{\"cells\":" + std::to_string(axis.cells()) + ",\"perBlock\":" + std::to_string(axis.cells_per_block()) +
         ",\"edges\":[";
  bool first = true;
  for (double e : axis.edges()) {
    if (!first) out += ',';
    first = false;
    out += number_text(e, 7);
  }
  out += "]}";
}

void put_le32(std::string& bytes, std::size_t at, std::uint32_t bits) {
  for (int k = 0; k < 4; ++k) bytes[at + static_cast<std::size_t>(k)] = static_cast<char>(bits >> (8 * k));
}

// The drains as five columns of 32-bit values: layers, rows, columns
// (integers), elevations, conductances (reals).
std::string drain_bytes(const std::vector<DrainRecord>& drains) {
  const std::size_t n = drains.size();
  std::string bytes(n * 20, '\0');
  for (std::size_t i = 0; i < n; ++i) {
    const DrainRecord& d = drains[i];
    std::uint32_t elevation, conductance;
    std::memcpy(&elevation, &d.elevation, 4);
    std::memcpy(&conductance, &d.conductance, 4);
    put_le32(bytes, i * 4, static_cast<std::uint32_t>(d.layer));
    put_le32(bytes, (n + i) * 4, static_cast<std::uint32_t>(d.row));
    put_le32(bytes, (2 * n + i) * 4, static_cast<std::uint32_t>(d.column));
    put_le32(bytes, (3 * n + i) * 4, elevation);
    put_le32(bytes, (4 * n + i) * 4, conductance);
  }
  return bytes;
}

}  // namespace

void append_maps(std::string& out, const ModelFacts& model) {
  out += "<section id=\"maps\" aria-labelledby=\"maps-title\">\n<h2 id=\"maps-title\">Maps</h2>\n";
  const GridLayout& layout = model.layout;
  if (layout.columns.cells() == 0 || layout.rows.cells() == 0) {
    out += "<p>The grid has no cells to draw.</p>\n</section>\n";
    return;
  }
  const auto& periods = model.drains.periods;
  out += "<p>Row 1 is at the top, column 1 at the left. " + html(model.layout_note);
  if (layout.short_side_widened) out += " The grid is so long and thin that its short side is drawn wider than its width.";
  // What to do for a cell's values, as each reader meets the page.
  out += " <span class=\"for-pointer\">Hover over a cell to see its values, or Tab to a map and move through its "
         "cells with the arrow keys.</span><span class=\"for-touch\">Tap a cell to see its values.</span>";
  if (!periods.empty()) {
    out += "<span class=\"for-print\">The drains marked are those of stress period <span class=\"period-now\">1</span>"
           " of " + std::to_string(periods.size()) + ".</span>";
  }
  out += "</p>\n";
  if (!periods.empty()) {
    const std::string last = std::to_string(periods.size());
    out += "<div class=\"period-picker\" role=\"group\" aria-label=\"Stress period of the drains shown\">"
           "<button type=\"button\" id=\"period-previous\" title=\"Previous stress period\">&#9664; Previous</button>"
           "<label for=\"period\">Drains of stress period</label> <input type=\"number\" id=\"period\" min=\"1\" max=\"" +
           last + "\" value=\"1\"> <span class=\"of\">of " + last +
           "</span><button type=\"button\" id=\"period-next\" title=\"Next stress period\">Next &#9654;</button>"
           " <span id=\"period-info\" aria-live=\"polite\"></span></div>\n";
    if (model.drains.periods_read > static_cast<std::int64_t>(periods.size()) ||
        model.drains.drains_read > static_cast<std::int64_t>(model.drains.drains.size())) {
      out += "<p class=\"note\">The maps show the drains of the first " +
             plural(static_cast<std::int64_t>(periods.size()), "stress period", "stress periods") + " and at most " +
             count_text(PageBudget::kMostDrains) + " drain records, to keep the page small.</p>\n";
    }
  }
  std::int64_t layer = 0;
  for (std::size_t i = 0; i < model.maps.size(); ++i) {
    const MapPicture& map = model.maps[i];
    if (map.layer != layer) {
      if (layer != 0) out += "</div>\n</section>\n";
      layer = map.layer;
      out += "<section class=\"layer\" id=\"layer-" + std::to_string(layer) + "\" aria-label=\"Layer " +
             std::to_string(layer) + "\">\n<h3>" + layer_heading(model, layer) + "</h3>\n<div class=\"figures\">\n";
    }
    append_figure(out, model, map, i);
  }
  if (layer != 0) out += "</div>\n</section>\n";
  if (model.maps_left_out > 0) {
    out += "<p class=\"note warn\">" + plural(model.maps_left_out, "more array is", "more arrays are") +
           " not drawn: the maps are drawn in file order until the page reaches its size limit (20 MB).</p>\n";
  }
  out += "</section>\n";
}

void append_data(std::string& out, const ModelFacts& model) {
  out += "{\"columns\":";
  append_axis(out, model.layout.columns);
  out += ",\"rows\":";
  append_axis(out, model.layout.rows);
  out += ",\"timeUnit\":";
  append_json_string(out, time_unit_symbol(model.basic.time_unit));
  out += ",\"lengthUnit\":";
  append_json_string(out, length_name(model.length_unit));
  out += ",\"maps\":[";
  for (std::size_t i = 0; i < model.maps.size(); ++i) {
    const MapPicture& map = model.maps[i];
    const ArrayName name = array_name(map.label);
    out += i > 0 ? ",{" : "{";
    out += "\"layer\":" + std::to_string(map.layer) + ",\"name\":";
    append_json_string(out, name.name);
    out += ",\"unit\":";
    append_json_string(out, unit_text(name.unit, model.length_unit, model.basic.time_unit));
    out += std::string(",\"boundary\":") + (map.kind == MapRaster::Kind::Boundary ? "true" : "false");
    if (map.uniform) {
      out += ",\"uniform\":" + (map.kind == MapRaster::Kind::Boundary
                                      ? std::to_string(static_cast<std::int32_t>(map.uniform_value))
                                      : number_text(static_cast<float>(map.uniform_value)));
    }
    out += ",\"blocks\":";
    if (map.blocks_base64.empty()) {
      out += "null";
    } else {
      out += '"' + map.blocks_base64 + '"';
    }
    out += "}";
  }
  out += "],\"drains\":";
  const DrainFacts& drains = model.drains;
  if (drains.periods.empty()) {
    out += "null";
  } else {
    out += "{\"count\":" + std::to_string(drains.drains.size()) + ",\"records\":\"" +
           base64(deflated(drain_bytes(drains.drains))) + "\",\"lists\":[";
    for (std::size_t i = 0; i < drains.lists.size(); ++i) {
      const DrainFacts::List& l = drains.lists[i];
      out += (i > 0 ? ",[" : "[") + std::to_string(l.first) + "," + std::to_string(l.count) + "," +
             std::to_string(l.period) + "]";
    }
    out += "],\"periods\":[";
    for (std::size_t i = 0; i < drains.periods.size(); ++i) {
      const DrainFacts::Period& period = drains.periods[i];
      out += (i > 0 ? ",[" : "[") + std::to_string(period.list) + "," +
             (period.unreadable_code.empty() ? std::to_string(period.use_code) : "null") + "]";
    }
    out += "]}";
  }
  out += ",\"findings\":[";
  {
    std::int64_t index = 0;
    for (const check::Diagnostic& f : model.findings.diagnostics) {
      if (index == PageBudget::kMostFindings) break;
      out += index++ > 0 ? ",{" : "{";
      if (!f.cell.empty()) {
        out += "\"layer\":" + std::to_string(f.cell.layer) + ",\"row\":" + std::to_string(f.cell.row) +
               ",\"column\":" + std::to_string(f.cell.column) + ",";
      }
      out += "\"text\":";
      append_json_string(out, f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + ": " + f.message);
      out += "}";
    }
  }
  out += "]}";
}

}  // namespace report
