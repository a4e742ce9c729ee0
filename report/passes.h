// The reading of each file of a model for the report, in the order the
// report needs it: FOR001's run header, FOR011's lists (the cell widths
// shape every map), FOR013's drains, then the arrays of FOR001 and FOR011,
// drawn as they pass. Damage in a file stops that file's pass and is told
// in its FileStatus; the other files are still read.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/array_rows.h"
#include "inspect/basic_file_reader.h"
#include "inspect/drain_file_reader.h"
#include "inspect/flow_file_reader.h"
#include "inspect/input_file.h"
#include "report/model_facts.h"
#include "report/no_flow_cells.h"
#include "report/page_budget.h"

namespace report {

// Draws each array as it is read, while the page has room.
class MapMaker {
 public:
  MapMaker(const GridLayout& layout, PageBudget& budget, ModelFacts& facts)
      : layout_(layout), budget_(budget), facts_(facts), no_flow_(layout.rows.cells(), layout.columns.cells()) {}

  // After the array-control record of `map`: reads the array's rows with
  // `reader` and draws them; only passes them once the page is full.
  // Returns false when the file ends inside the array.
  template <typename Reader>
  bool read(Reader& reader, MapPicture map);

 private:
  bool drawable(const MapPicture& map) const;
  void keep(MapPicture& map, const MapRaster& raster);

  const GridLayout& layout_;
  PageBudget& budget_;
  ModelFacts& facts_;
  // From the boundary arrays, which FOR001 gives ahead of every value array.
  LayerNoFlowCells no_flow_;
};

class BasicPass {
 public:
  // Throws inspect::ReadError when FOR001 cannot be opened.
  BasicPass(const std::string& path, BasicFacts& facts);
  void read_header();
  void read_rest(MapMaker& maps);

 private:
  void stop(const std::string& problem);
  BasicFacts& facts_;
  inspect::InputFile file_;
  inspect::BasicFileReader reader_;
  bool stopped_ = false;
};

class FlowPass {
 public:
  FlowPass(const std::string& path, FlowFacts& facts);
  // Up to the first layer array: the header, type codes, anisotropy
  // factors and cell widths, summed by block into `along_rows` (DELR-) and
  // `along_columns` (DELC-).
  void read_lists(WidthSums& along_rows, WidthSums& along_columns);
  // The layer arrays, drawn when the file's own grid is FOR001's.
  void read_arrays(MapMaker& maps, const inspect::GridCounts& basic_grid);

 private:
  void stop(const std::string& problem);
  FlowFacts& facts_;
  std::optional<inspect::InputFile> file_;
  std::unique_ptr<inspect::FlowFileReader> reader_;
  bool stopped_ = false;
};

void read_drains(const std::string& path, DrainFacts& facts);

// The header record of FOR011 or FOR013, two codes (I10): that it is read,
// and each code as its field holds it.
void take_header_codes(const inspect::Record& record, bool& read, std::int32_t& first, std::int32_t& second);

// "line 12, column 3: expected ..."
std::string problem_text(const inspect::ReadError& error);

template <typename Reader>
bool MapMaker::read(Reader& reader, MapPicture map) {
  if (!drawable(map)) {
    if (budget_.pictures_full()) ++facts_.maps_left_out;
    return read_array_rows(reader, static_cast<MapRaster*>(nullptr));
  }
  MapRaster raster(map.kind, layout_);
  if (map.kind == MapRaster::Kind::Boundary) {
    raster.record_no_flow(&no_flow_.start(map.layer));
  } else {
    raster.scale_without(no_flow_.of(map.layer));
    map.no_flow_unknown = no_flow_.unknown(map.layer);
  }
  bool complete = false;
  try {
    complete = read_array_rows(reader, &raster);
  } catch (const inspect::ReadError&) {
    // The rows before the damage are still worth a picture.
    raster.finish();
    if (map.kind == MapRaster::Kind::Boundary) no_flow_.finish(map.layer);
    map.ended_early = true;
    keep(map, raster);
    throw;
  }
  raster.finish();
  if (map.kind == MapRaster::Kind::Boundary) no_flow_.finish(map.layer);
  map.ended_early = !complete;
  keep(map, raster);
  return complete;
}

}  // namespace report
