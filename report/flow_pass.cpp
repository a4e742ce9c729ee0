// FOR011 for the report: its lists first (the cell widths shape every
// map), then its layer arrays.
#include <algorithm>
#include <cmath>

#include "format/flow_file.h"
#include "report/passes.h"

namespace report {
namespace {

using inspect::Record;
using inspect::Section;

void add_width(WidthFacts& facts, WidthSums& sums, std::int64_t index, const inspect::Field& field) {
  const bool readable = field.is_value();
  const double width = field.type == format::Descriptor::Kind::Integer ? field.integer : field.real;
  sums.add(index, readable, width);
  ++facts.entries;
  if (!readable) {
    ++facts.unreadable;
    return;
  }
  if (!(width > 0.0)) ++facts.not_above_zero;
  const bool first = facts.entries - facts.unreadable == 1;
  facts.low = first ? width : std::min(facts.low, width);
  facts.high = first ? width : std::max(facts.high, width);
}

// The place of an array among a layer's maps: after the boundary and the
// starting heads, in the order Cindral asks them.
int map_order(std::string_view label) {
  for (std::size_t i = 0; i < format::kLayerArrays.size(); ++i) {
    if (format::kLayerArrays[i].entry.label == label) return 2 + static_cast<int>(i);
  }
  return 2 + static_cast<int>(format::kLayerArrays.size());
}

}  // namespace

FlowPass::FlowPass(const std::string& path, FlowFacts& facts) : facts_(facts) {
  try {
    file_.emplace(path);
    reader_ = std::make_unique<inspect::FlowFileReader>(file_->fd());
  } catch (const inspect::ReadError& e) {
    stop(problem_text(e));
  }
}

void FlowPass::stop(const std::string& problem) {
  stopped_ = true;
  facts_.file.problem = problem;
}

void FlowPass::read_lists(WidthSums& along_rows, WidthSums& along_columns) {
  if (stopped_) return;
  inspect::FlowFileReader& reader = *reader_;
  Record record;
  std::string list;  // label of the list being read
  try {
    for (;;) {
      const auto before = reader.checkpoint();
      if (!reader.next(record)) break;
      const auto& f = record.fields;
      switch (record.section) {
        case Section::FlowHeader:
          take_header_codes(record, facts_.header_read, facts_.simulation_type, facts_.cell_by_cell_code);
          break;
        case Section::LayerTypes:
          for (std::size_t i = 0; i < f.size(); ++i) {
            if (facts_.layers_read++ < PageBudget::kMostTableRows) {
              facts_.type_codes.push_back(f[i].is_value() ? f[i].integer : -1);
              facts_.type_code_texts.push_back(shown_value(f[i]));
            }
          }
          break;
        case Section::ArrayControl:
          if (!record.array->is_list) {
            // The first layer array: left for read_arrays().
            facts_.own_grid = reader.grid();
            facts_.lists_read = true;
            reader.resume(before);
            return;
          }
          list = record.array->label_text;
          break;
        case Section::ArrayValues:
          for (std::size_t i = 0; i < f.size(); ++i) {
            const std::int64_t index = record.first + static_cast<std::int64_t>(i);
            if (list == format::kAnisotropyList.label) {
              if (index <= PageBudget::kMostTableRows) facts_.anisotropy.push_back(shown_value(f[i]));
            } else if (list == format::kRowWidthList.label) {
              add_width(facts_.along_rows, along_rows, index, f[i]);
            } else if (list == format::kColumnWidthList.label) {
              add_width(facts_.along_columns, along_columns, index, f[i]);
            }
          }
          break;
        default: break;
      }
    }
    // The file ends with its lists, or before.
    facts_.own_grid = reader.grid();
    facts_.lists_read = facts_.own_grid.rows >= 0;
    if (reader.ended_early()) stop("it ends before " + reader.expected());
  } catch (const inspect::ReadError& e) {
    stop(problem_text(e));
  }
}

void FlowPass::read_arrays(MapMaker& maps, const inspect::GridCounts& basic_grid) {
  if (stopped_) return;
  const inspect::GridCounts& own = facts_.own_grid;
  if (own.rows != basic_grid.rows || own.columns != basic_grid.columns) {
    facts_.arrays_left_out = "its arrays are not drawn: its lists give a grid of " +
                             std::to_string(own.rows) + " rows by " + std::to_string(own.columns) +
                             " columns, FOR001 one of " + std::to_string(basic_grid.rows) + " by " +
                             std::to_string(basic_grid.columns);
    return;
  }
  inspect::FlowFileReader& reader = *reader_;
  Record record;
  try {
    while (reader.next(record)) {
      if (record.section != Section::ArrayControl) continue;
      const inspect::ArrayHeader& array = *record.array;
      MapPicture map;
      map.layer = array.layer_number;
      map.label = array.label_text;
      map.order = map_order(array.label_text);
      map.kind = MapRaster::Kind::Values;
      map.file = facts_.file.name;
      map.line = array.line;
      maps.read(reader, std::move(map));
    }
    if (reader.ended_early()) stop("it ends before " + reader.expected());
  } catch (const inspect::ReadError& e) {
    stop(problem_text(e));
  }
}

}  // namespace report
