// read_model(): the passes over the three files in the order the report
// needs them, and the maps they draw.
#include <algorithm>
#include <cstdio>
#include <future>
#include <system_error>

#include "check/model_check.h"
#include "format/flow_file.h"
#include "report/embedded_bytes.h"
#include "report/html_text.h"
#include "report/passes.h"
#include "platform/platform.h"

namespace report {
namespace {

bool is_present(const std::string& path) { return platform::exists(path); }

std::string widths_note(std::string_view list, const char* side, const WidthSums& sums,
                        std::int64_t cells) {
  if (sums.entries() != cells) {
    return "the " + std::string(list) + " list of FOR011 holds " + std::to_string(sums.entries()) +
           " widths for the " + std::to_string(cells) + " " + side + " of FOR001";
  }
  return "not every width in the " + std::string(list) + " list of FOR011 is a number above zero";
}

}  // namespace

std::string shown_value(const inspect::Field& field) {
  switch (field.kind) {
    case inspect::Field::Kind::Value:
      if (field.type == format::Descriptor::Kind::Integer) return std::to_string(field.integer);
      return number_text(field.real);
    case inspect::Field::Kind::Asterisks:
      return std::string(inspect::trimmed(field.text)) + " (too wide for its field)";
    case inspect::Field::Kind::NotANumber: break;
  }
  return inspect::quoted(inspect::trimmed(field.text)) + " (not a number)";
}

void take_header_codes(const inspect::Record& record, bool& read, std::int32_t& first, std::int32_t& second) {
  read = true;
  first = record.fields[0].integer;
  second = record.fields[1].integer;
}

std::string problem_text(const inspect::ReadError& error) {
  return "line " + std::to_string(error.line()) + ", column " + std::to_string(error.column()) +
         ": " + error.what();
}

bool MapMaker::drawable(const MapPicture& map) const {
  return !budget_.pictures_full() && map.layer >= 1 && map.layer <= facts_.basic.grid.layers &&
         layout_.columns.cells() > 0 && layout_.rows.cells() > 0;
}

void MapMaker::keep(MapPicture& map, const MapRaster& raster) {
  map.stats = raster.stats();
  map.scale = raster.scale();
  std::string picture = base64(encode_png(raster.render()));
  if (!budget_.take_picture(picture.size())) {
    ++facts_.maps_left_out;
    return;
  }
  map.png_base64 = std::move(picture);
  map.uniform = raster.uniform();
  map.uniform_value = raster.uniform_value();
  if (!map.uniform) {
    std::string blocks = base64(deflated(raster.block_bytes()));
    if (budget_.take_hover(blocks.size())) map.blocks_base64 = std::move(blocks);
  }
  facts_.maps.push_back(std::move(map));
}

ModelFacts read_model(const std::string& folder, PageBudget budget, Checking checking) {
  ModelFacts facts;
  facts.folder = folder;
  const std::string basic_path = folder + "/FOR001";
  const std::string flow_path = folder + "/FOR011";
  const std::string drain_path = folder + "/FOR013";

  BasicPass basic(basic_path, facts.basic);
  std::future<check::CheckResult> findings;
  if (checking == Checking::Alongside) {
    try {
      findings = std::async(std::launch::async, [folder] { return check::check_model(folder); });
    } catch (const std::system_error&) {
      // No second thread to be had: the findings come after the maps.
    }
  }
  facts.basic.file.present = true;
  basic.read_header();
  const inspect::GridCounts grid = facts.basic.grid;
  for (std::size_t slot = 1; slot <= facts.basic.module_units.size(); ++slot) {
    char name[16];
    std::snprintf(name, sizeof name, "/FOR%03zu", 10 + slot);
    // As check counts them: a directory of that name is not the module's file.
    facts.basic.module_file_present[slot - 1] = platform::is_regular_file(folder + name);
  }

  facts.layout.columns = AxisLayout(grid.columns);
  facts.layout.rows = AxisLayout(grid.rows);
  WidthSums along_rows(facts.layout.columns), along_columns(facts.layout.rows);
  std::optional<FlowPass> flow;
  facts.flow.file.present = is_present(flow_path);
  if (facts.flow.file.present) {
    flow.emplace(flow_path, facts.flow);
    flow->read_lists(along_rows, along_columns);
  }
  if (!facts.flow.file.present) {
    facts.layout_note = "Cells are drawn as squares: there is no FOR011 to give their widths.";
  } else if (!facts.flow.lists_read) {
    facts.layout_note = "Cells are drawn as squares: FOR011 could not be read as far as its cell widths.";
  } else if (!along_rows.usable() || !along_columns.usable()) {
    facts.layout_note = "Cells are drawn as squares: " +
                        (!along_rows.usable()
                             ? widths_note(format::kRowWidthList.label, "columns", along_rows, grid.columns)
                             : widths_note(format::kColumnWidthList.label, "rows", along_columns, grid.rows)) +
                        ".";
  } else {
    facts.layout.columns.set_widths(along_rows.block_widths());
    facts.layout.rows.set_widths(along_columns.block_widths());
    facts.layout_note = "Cells are drawn with their widths from FOR011 (DELR- along rows, DELC- along columns).";
  }
  if (grid.rows > 0 && grid.columns > 0) facts.layout.place();

  facts.drains.file.present = is_present(drain_path);
  if (facts.drains.file.present) read_drains(drain_path, facts.drains);

  MapMaker maps(facts.layout, budget, facts);
  basic.read_rest(maps);
  if (flow) flow->read_arrays(maps, grid);
  std::stable_sort(facts.maps.begin(), facts.maps.end(), [](const MapPicture& a, const MapPicture& b) {
    return a.layer != b.layer ? a.layer < b.layer : a.order < b.order;
  });

  facts.findings = findings.valid() ? findings.get() : check::check_model(folder);
  return facts;
}

}  // namespace report
