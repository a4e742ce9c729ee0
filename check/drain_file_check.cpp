// FOR013: the drain limits, and per stress period the use code and the
// drains, each in the grid of FOR001, in a cell the simulator computes,
// above its cell's bottom where the layer has one, and once per period.
#include <span>
#include <string>
#include <vector>

#include "format/drain_file.h"
#include "format/number_parse.h"

#include "check/cell_lookup.h"
#include "check/period_cells.h"
#include "inspect/drain_file_reader.h"
#include "inspect/field.h"
#include "check/file_checks.h"

namespace check {
namespace {

constexpr std::string_view kFile = format::kDrainFileName;

std::string text_of(const inspect::Field& field) { return std::string(inspect::trimmed(field.text)); }

std::string place_words(const Place& place) {
  return place.file + ":" + std::to_string(place.line) + ":" + std::to_string(place.column);
}

// The five fields of a drain record, "(3i10,2g10.3)". Quickly: a field of
// blanks, an optional minus and digits, or a short decimal number (the
// common forms) is converted at once, any other by the reading library;
// plainly, every one by the reading library.
class DrainFields {
 public:
  explicit DrainFields(inspect::Reading reading) : reading_(reading) {}

  std::span<const inspect::Field> read(std::string_view line) {
    for (std::size_t i = 0; i < kFields; ++i) {
      const std::size_t start = i * kWidth;
      const format::Descriptor& d = kDescriptors[i];
      if (reading_ == inspect::Reading::Plain || !read_quickly(line, start, d, fields_[i])) {
        fields_[i] = inspect::read_field(line, start, d);
      }
    }
    return fields_;
  }

 private:
  static constexpr std::size_t kFields = 5;
  static constexpr std::size_t kWidth = 10;
  static constexpr format::Descriptor kDescriptors[kFields] = {
      {format::Descriptor::Kind::Integer, 10, 0}, {format::Descriptor::Kind::Integer, 10, 0},
      {format::Descriptor::Kind::Integer, 10, 0}, {format::Descriptor::Kind::Real, 10, 3},
      {format::Descriptor::Kind::Real, 10, 3}};

  static bool read_quickly(std::string_view line, std::size_t start, const format::Descriptor& d,
                           inspect::Field& field) {
    if (start + kWidth > line.size()) return false;
    const char* begin = line.data() + start;
    const char* const end = begin + kWidth;
    while (begin < end && *begin == ' ') ++begin;
    if (begin == end) return false;
    field = inspect::Field{};
    field.type = d.kind;
    field.column = static_cast<std::int32_t>(start + 1);
    field.width = d.width;
    field.text = std::string_view(line.data() + start, kWidth);
    const char* stop = d.kind == format::Descriptor::Kind::Integer
                           ? format::parse_short_integer(begin, end, field.integer)
                           : format::parse_short_real(begin, end, field.real);
    if (stop == nullptr) return false;
    while (stop < end && *stop == ' ') ++stop;
    return stop == end;
  }

  inspect::Reading reading_;
  inspect::Field fields_[kFields];
};

// A file the drains are looked up in (FOR001, FOR011) failed while they
// were: its finding is added, naming that file, and the drain check stops.
struct LookupFailed {};

struct DrainCheck {
  const BasicModel& basic;
  const FlowModel& flow;
  Findings& findings;
  CellLookup boundary_cells;
  CellLookup bottom_cells;
  PeriodCells period_cells;
  DrainFields drain_fields;
  std::int64_t max_drains = 0;
  bool max_known = false;
  bool comparing_stopped = false;  // in a period of more drains than PeriodCells compares
  bool repeat_found = false;
  // Places other findings name: the counts of FOR001's dimension record
  // (layers, rows, columns, stress periods) and FOR013's header.
  Place grid_counts[3] = {{"FOR001", basic.dimensions_line, 1},
                          {"FOR001", basic.dimensions_line, 11},
                          {"FOR001", basic.dimensions_line, 21}};
  Place basic_periods{"FOR001", basic.dimensions_line, 31};
  Place drain_header{std::string(kFile), 1, 1};

  // The field of a drain's cell in `file`, found by `lookup`.
  template <typename Lookup>
  CellField looked_up(std::string_view file, Lookup&& lookup) {
    try {
      return lookup();
    } catch (const inspect::ReadError& e) {
      add_read_error(findings, file, e.line(), e.column(), e.what());
    } catch (const inspect::FileEndsEarly& e) {
      add_ends_early(findings, file, e.line, e.expected);
    }
    throw LookupFailed{};
  }

  void header(const inspect::Record& record) {
    const auto& f = record.fields;
    if (readable_field(findings, kFile, record.line, f[0], "the maximum number of drains")) {
      max_drains = f[0].integer;
      max_known = true;
    }
    readable_field(findings, kFile, record.line, f[1], "the drain flow term output code");
  }

  void use_code(const inspect::Record& record) {
    const inspect::Field& f = record.fields[0];
    const auto period = [&] { return "stress period " + std::to_string(record.period); };
    const Place where = place_of(kFile, record.line, f);
    if (basic.dimensions_read && record.period > basic.periods) {
      findings.add_repeating(rules::kPeriodsExtra, kFile, where,
                             [&] {
                               return period() + " is beyond the " + std::to_string(basic.periods) +
                                      " of FOR001 (FOR001:" + std::to_string(basic.dimensions_line) +
                                      "): the simulator never reads it";
                             },
                             {"stress period is beyond them", "stress periods are beyond them"}, {},
                             &basic_periods);
    }
    if (!readable_field(findings, kFile, record.line, f, [&] { return "the use code of " + period(); })) return;
    if (record.period == 1 && f.integer < 0) {
      findings.add(rules::kReuseInFirstPeriod, where,
                   period() + " reuses the drains of the period before (use code " + text_of(f) +
                       "), but it is the first");
    }
    if (max_known && f.integer > max_drains) {
      findings.add_repeating(rules::kDrainsOverMaximum, kFile, where,
                             [&] {
                               return period() + " has " + text_of(f) + " drains; the maximum is " +
                                      std::to_string(max_drains) + " (FOR013:1)";
                             },
                             {"stress period has more than the maximum",
                              "stress periods have more than the maximum"},
                             {}, &drain_header);
    }
    if (f.integer >= 0) {
      period_cells.begin_period(f.integer);
      comparing_stopped = false;
    }
  }

  void drain(const inspect::Record& record) {
    const std::span<const inspect::Field> f = drain_fields.read(record.line.text);
    const auto name = [&] {
      return "drain " + std::to_string(record.drain) + " of stress period " + std::to_string(record.period);
    };
    static constexpr std::string_view kParts[] = {"the layer", "the row", "the column", "the elevation",
                                                  "the conductance"};
    bool readable[5];
    for (std::size_t i = 0; i < 5; ++i) {
      readable[i] = readable_field(findings, kFile, record.line, f[i],
                                   [&] { return std::string(kParts[i]) + " of " + name(); });
    }
    if (readable[4] && !(f[4].real > 0.0f)) {
      findings.add_repeating(rules::kDrainConductance, kFile, place_of(kFile, record.line, f[4]),
                             [&] {
                               return name() + " has conductance " + text_of(f[4]) +
                                      "; it must be above zero for the drain to take water out";
                             },
                             {"drain has none", "drains have none"});
    }
    if (!readable[0] || !readable[1] || !readable[2] || !basic.dimensions_read) return;

    // Inside the grid: layer, row and column.
    const Cell cell{f[0].integer, f[1].integer, f[2].integer};
    const std::int64_t limits[] = {basic.grid.layers, basic.grid.rows, basic.grid.columns};
    static constexpr std::string_view kCounts[] = {"layers", "rows", "columns"};
    static constexpr std::string_view kOne[] = {"layer", "row", "column"};
    const std::int64_t coordinates[] = {cell.layer, cell.row, cell.column};
    for (std::size_t i = 0; i < 3; ++i) {
      if (coordinates[i] >= 1 && coordinates[i] <= limits[i]) continue;
      findings.add_repeating(rules::kDrainOutsideGrid, kFile, place_of(kFile, record.line, f[i]),
                             [&] {
                               return name() + " is in " + std::string(kOne[i]) + " " + text_of(f[i]) +
                                      "; the grid has " + counted(limits[i], kOne[i], kCounts[i]) + " (FOR001:" +
                                      std::to_string(basic.dimensions_line) + ")";
                             },
                             {"drain lies outside the grid", "drains lie outside the grid"}, {},
                             &grid_counts[i]);
      return;
    }

    const Place where = place_of(kFile, record.line, f[0]);
    switch (period_cells.add(cell, record.line.number)) {
      case PeriodCells::Outcome::New: break;
      case PeriodCells::Outcome::NotCompared:
        if (!comparing_stopped) {
          findings.add(Rule{rules::kDrainListedTwice.name, Severity::Note}, where,
                       "the drains of stress period " + std::to_string(record.period) +
                           " are compared for repeated cells up to the " +
                           std::to_string(PeriodCells::kMostDrains) + "th only");
        }
        comparing_stopped = true;
        break;
      case PeriodCells::Outcome::Repeated: {
        // The first drain in the cell is looked for once: only the first
        // finding of the kind is shown whole.
        const std::int64_t first = repeat_found ? 0 : period_cells.first_line_of(cell);
        repeat_found = true;
        const Place first_place{std::string(kFile), first, 1};
        findings.add_repeating(rules::kDrainListedTwice, kFile, where,
                               [&] {
                                 return name() + " is in the same cell as the drain on line " +
                                        std::to_string(first) + " (" + cell_words(cell) +
                                        "): the simulator takes both";
                               },
                               {"drain repeats a cell", "drains repeat a cell"}, cell, &first_place);
        break;
      }
    }

    const auto index = static_cast<std::size_t>(cell.layer - 1);
    if (index < basic.boundary.size()) {
      const CellField b =
          looked_up("FOR001", [&] { return boundary_cells.field(basic.boundary[index], cell.row, cell.column); });
      const Place at{"FOR001", b.line, b.column};
      if (b.kind == inspect::CellKind::Value && b.value == 0.0f) {
        findings.add_repeating(rules::kDrainInNoFlowCell, kFile, where,
                               [&] {
                                 return name() + " is in a no-flow cell (boundary value " + std::string(b.text) + " at " +
                                        place_words(at) + "): the simulator ignores it";
                               },
                               {"drain is in a no-flow cell", "drains are in no-flow cells"}, cell, &at);
      } else if (b.kind == inspect::CellKind::Value && b.value < 0.0f) {
        findings.add_repeating(rules::kDrainInConstantHeadCell, kFile, where,
                               [&] {
                                 return name() + " is in a constant-head cell (boundary value " + std::string(b.text) +
                                        " at " + place_words(at) +
                                        "): the head there stays as it is, whatever it drains";
                               },
                               {"drain is in a constant-head cell", "drains are in constant-head cells"},
                               cell, &at);
      }
    }

    // A layer has a BOT- array only for type codes 1 and 3.
    const inspect::ArrayLayout* bottoms = flow.same_grid_as_basic ? flow.bottom_of(cell.layer) : nullptr;
    if (readable[3] && bottoms != nullptr) {
      const CellField bottom =
          looked_up("FOR011", [&] { return bottom_cells.field(*bottoms, cell.row, cell.column); });
      if (bottom.kind == inspect::CellKind::Value && f[3].real < bottom.value) {
        const Place at{"FOR011", bottom.line, bottom.column};
        findings.add_repeating(rules::kDrainBelowBottom, kFile, place_of(kFile, record.line, f[3]),
                               [&] {
                                 return name() + " has elevation " + text_of(f[3]) + ", below the bottom " +
                                        std::string(bottom.text) + " of its cell (" + place_words(at) + ")";
                               },
                               {"drain lies below its cell's bottom", "drains lie below their cells' bottoms"},
                               cell, &at);
      }
    }
  }
};

}  // namespace

void check_drain_file(int drain_fd, const BasicModel& basic, int basic_fd, const FlowModel& flow,
                      int flow_fd, inspect::Reading reading, Findings& findings) {
  DrainCheck check{basic,
                   flow,
                   findings,
                   CellLookup(basic_fd, basic.grid.rows, basic.grid.columns, reading),
                   CellLookup(flow_fd, flow.grid.rows, flow.grid.columns, reading),
                   PeriodCells(basic.grid, reading),
                   DrainFields(reading)};
  inspect::DrainFileReader reader(drain_fd);
  reader.set_drain_fields_read(false);  // read here, the quick way
  try {
    walk_records(
        reader, kFile, findings,
        [&](const inspect::Record& record, std::int64_t& /*next_line*/) {
          switch (record.section) {
            case inspect::Section::DrainHeader: check.header(record); break;
            case inspect::Section::UseCode: check.use_code(record); break;
            case inspect::Section::Drain: check.drain(record); break;
            default: break;
          }
        },
        [&](std::int64_t next_line) {
          if (reader.ended_early()) {
            add_ends_early(findings, kFile, next_line, reader.expected());
          } else if (basic.dimensions_read && reader.periods_read() < basic.periods) {
            findings.add(rules::kPeriodsMissing, {std::string(kFile), next_line, 1},
                         "the file ends after stress period " + std::to_string(reader.periods_read()) +
                             "; FOR001 has " + counted(basic.periods, "stress period", "stress periods") + " (FOR001:" +
                             std::to_string(basic.dimensions_line) + ")",
                         {}, Place{"FOR001", basic.dimensions_line, 31});
          }
        });
  } catch (const LookupFailed&) {
  }
}

}  // namespace check
