// What the report shows of a model folder: what each file says in its
// headers and lists, the drains of each stress period, and the maps drawn
// from the arrays. Read by read_model(); tables are capped (PageBudget), the
// counts beside them say how much there was.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "check/diagnostic.h"
#include "report/axis_layout.h"
#include "report/map_raster.h"
#include "report/page_budget.h"
#include "inspect/record.h"

namespace report {

struct FileStatus {
  std::string name;  // "FOR001"
  bool present = false;
  // Why reading stopped before the end: "line 12, column 3: expected ...",
  // or "it ends before ..."; empty when the whole file was read.
  std::string problem;
};

// FOR001.
struct BasicFacts {
  FileStatus file{"FOR001", false, {}};
  int records_read = 0;  // of the five run-header records
  std::string title_1, title_2;
  inspect::GridCounts grid;
  std::int64_t period_count = 0;
  std::int32_t time_unit = 0;
  std::array<std::int32_t, 24> module_units{};
  std::array<bool, 24> module_file_present{};  // FOR0nn of slot nn - 10, in the folder
  std::int32_t memory_sharing = 0, save_heads = 0;
  bool no_flow_head_read = false;
  std::string no_flow_head;  // as shown_value() gives it
  struct Period {
    std::string length, steps, multiplier;
  };
  std::vector<Period> periods;  // the first kMostTableRows
  std::int64_t periods_read = 0;
};

// FOR011.
struct WidthFacts {
  std::int64_t entries = 0;
  std::int64_t unreadable = 0, not_above_zero = 0;
  double low = 0.0, high = 0.0;  // of the readable entries
};
struct FlowFacts {
  FileStatus file{"FOR011", false, {}};
  bool header_read = false;
  std::int32_t simulation_type = 0, cell_by_cell_code = 0;
  std::vector<std::int32_t> type_codes;  // the first kMostTableRows layers
  std::vector<std::string> type_code_texts;
  std::vector<std::string> anisotropy;
  std::int64_t layers_read = 0;          // type codes in the file
  bool lists_read = false;               // TRPY-, DELR- and DELC- complete
  WidthFacts along_rows, along_columns;  // DELR-, DELC-
  inspect::GridCounts own_grid{-1, -1, -1};
  // Why its arrays are not drawn (empty when they are).
  std::string arrays_left_out;
};

// FOR013.
struct DrainRecord {
  std::int32_t layer = 0, row = 0, column = 0;  // layer 0: its place cannot be read
  float elevation = 0.0f, conductance = 0.0f;   // NaN: cannot be read
};
struct DrainFacts {
  FileStatus file{"FOR013", false, {}};
  bool header_read = false;
  std::int32_t max_drains = 0, flow_code = 0;
  // Per stress period (the first kMostDrainPeriods): its use code and the
  // list of drains active in it (-1: none).
  struct Period {
    std::int32_t use_code = 0;
    std::int64_t list = -1;  // its own, or the one it reuses
    std::string unreadable_code;  // the use code as shown_value() gives it, when it holds no number
  };
  std::vector<Period> periods;
  std::int64_t periods_read = 0;
  struct List {
    std::int64_t period = 0;            // that lists them
    std::int32_t use_code = 0;          // the drains it announces
    std::int64_t first = 0, count = 0;  // those kept, in `drains`
  };
  std::vector<List> lists;
  std::vector<DrainRecord> drains;  // the first kMostDrains
  std::int64_t drains_read = 0;
};

// One map: a layer array's picture and the blocks behind its tooltips.
struct MapPicture {
  std::int64_t layer = 0;
  int order = 0;  // within the layer: boundary, starting head, then FOR011's arrays
  std::string label;  // of the array-control record
  std::string file;   // "FOR001"
  std::int64_t line = 0;  // of the array-control record
  MapRaster::Kind kind = MapRaster::Kind::Values;
  MapStats stats;
  ValueScale scale;
  bool ended_early = false;   // the file ends inside the array
  // A value map of a layer whose no-flow cells could not be kept (see
  // LayerNoFlowCells): scaled over every cell.
  bool no_flow_unknown = false;
  bool uniform = false;       // every cell is `uniform_value`
  double uniform_value = 0.0;
  std::string png_base64;     // empty: left out to keep the page small
  std::string blocks_base64;  // empty: the tooltips show no values (unless uniform)
};

struct ModelFacts {
  std::string folder;
  // The model's unit of length as the user names it (the files do not);
  // empty: unnamed, and the page says "length".
  std::string length_unit;
  BasicFacts basic;
  FlowFacts flow;
  DrainFacts drains;
  // What `gwinspect check` finds in the folder.
  check::CheckResult findings;
  GridLayout layout;
  std::string layout_note;    // why not, or how
  std::vector<MapPicture> maps;
  std::int64_t maps_left_out = 0;  // arrays not drawn, for the page's size
};

// A field as the page shows it: "365", "0.05", "****** (too wide for its
// field)", "'1.5x' (not a number)".
std::string shown_value(const inspect::Field& field);

// When check's findings are gathered: before the maps are drawn, or on a
// second thread while they are (the same findings, in less time where two
// processors are free).
enum class Checking : std::uint8_t { Before, Alongside };

// Reads the model in `folder`. Throws inspect::ReadError when there is no
// FOR001 to read; damage in any file stops the reading of that file only
// and is told in its FileStatus.
ModelFacts read_model(const std::string& folder, PageBudget budget = PageBudget(),
                      Checking checking = Checking::Alongside);

}  // namespace report
