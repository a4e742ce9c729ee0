// FOR001 for the report: the run header first, then (once the layout of
// the maps is known) the boundary and starting-head arrays, the no-flow
// head and the stress periods.
#include "format/basic_file.h"
#include "report/passes.h"

namespace report {

using inspect::Record;
using inspect::Section;

BasicPass::BasicPass(const std::string& path, BasicFacts& facts)
    : facts_(facts), file_(path), reader_(file_.fd()) {}

void BasicPass::stop(const std::string& problem) {
  stopped_ = true;
  facts_.file.problem = problem;
}

void BasicPass::read_header() {
  Record record;
  try {
    while (!stopped_ && facts_.records_read < 5) {
      if (!reader_.next(record)) {
        stop("it ends before " + reader_.expected());
        return;
      }
      const auto& f = record.fields;
      switch (record.section) {
        case Section::Title:
          (facts_.records_read == 0 ? facts_.title_1 : facts_.title_2) = std::string(f[0].text);
          break;
        case Section::Dimensions:
          facts_.grid = reader_.grid();
          facts_.period_count = reader_.period_count();
          facts_.time_unit = f[4].integer;
          break;
        case Section::ModuleUnits:
          for (std::size_t i = 0; i < facts_.module_units.size() && i < f.size(); ++i) {
            facts_.module_units[i] = f[i].is_value() ? f[i].integer : -1;
          }
          break;
        case Section::Options:
          facts_.memory_sharing = f[0].integer;
          facts_.save_heads = f[1].integer;
          break;
        default: break;
      }
      ++facts_.records_read;
    }
  } catch (const inspect::ReadError& e) {
    stop(problem_text(e));
  }
}

void BasicPass::read_rest(MapMaker& maps) {
  if (stopped_) return;
  Record record;
  try {
    while (reader_.next(record)) {
      switch (record.section) {
        case Section::ArrayControl: {
          const inspect::ArrayHeader& array = *record.array;
          MapPicture map;
          map.layer = array.layer_number;
          map.label = array.label_text;
          map.order = array.label_text == format::kBoundaryArray.label ? 0 : 1;
          map.kind = map.order == 0 ? MapRaster::Kind::Boundary : MapRaster::Kind::Values;
          map.file = facts_.file.name;
          map.line = array.line;
          maps.read(reader_, std::move(map));
          break;
        }
        case Section::NoFlowHead:
          facts_.no_flow_head_read = true;
          facts_.no_flow_head = shown_value(record.fields[0]);
          break;
        case Section::StressPeriod:
          if (facts_.periods_read++ < PageBudget::kMostTableRows) {
            const auto& f = record.fields;
            facts_.periods.push_back({shown_value(f[0]), shown_value(f[1]), shown_value(f[2])});
          }
          break;
        default: break;
      }
    }
    if (reader_.ended_early()) stop("it ends before " + reader_.expected());
  } catch (const inspect::ReadError& e) {
    stop(problem_text(e));
  }
}

}  // namespace report
