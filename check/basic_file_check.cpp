// FOR001: the run header, the boundary and starting-head arrays and the
// stress periods.
#include <string>
#include <utility>

#include "format/basic_file.h"
#include "inspect/basic_file_reader.h"
#include "check/cell_rules.h"
#include "inspect/field.h"
#include "check/file_checks.h"
#include "check/side_by_side.h"

namespace check {
namespace {

constexpr std::string_view kFile = format::kBasicFileName;
using format::kBasicUnit;

std::string text_of(const inspect::Field& field) { return std::string(inspect::trimmed(field.text)); }

// A field the simulator reads as a number, for a message: its text, or for
// a blank field, or one its line ends before, the 0 it is read as.
std::string value_of(const inspect::Field& field) {
  const std::string text = text_of(field);
  return text.empty() ? "0" : text;
}
std::string blank_mark(const inspect::Field& field) {
  return text_of(field).empty() ? " (a blank field)" : "";
}

// A count or value that a rule checks: readable (a missing one gets its
// short-line warning), and then the value the simulator reads, which is 0
// for a blank field and for one its line ends before.
template <typename Words>
bool checked_value(Findings& findings, const inspect::Line& line, const inspect::Field& field,
                   Words&& words) {
  readable_field(findings, kFile, line, field, std::forward<Words>(words));
  return field.is_value();
}

void check_dimensions(const inspect::Record& record, BasicModel& model, Findings& findings) {
  const auto& f = record.fields;
  static constexpr std::string_view kCounts[] = {"layers", "rows", "columns"};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::string words = "the number of " + std::string(kCounts[i]);
    if (checked_value(findings, record.line, f[i], words) && f[i].integer <= 0) {
      findings.add(rules::kGridEmpty, place_of(kFile, record.line, f[i]),
                   "the grid has " + value_of(f[i]) + " " + std::string(kCounts[i]) +
                       blank_mark(f[i]) + "; it needs at least one");
    }
  }
  if (checked_value(findings, record.line, f[3], "the number of stress periods") &&
      f[3].integer <= 0) {
    findings.add(rules::kNoStressPeriod, place_of(kFile, record.line, f[3]),
                 "the model has " + value_of(f[3]) + " stress periods" + blank_mark(f[3]) +
                     "; it needs at least one");
  }
  if (readable_field(findings, kFile, record.line, f[4], "the time unit") &&
      (f[4].integer < 0 || f[4].integer > 5)) {
    findings.add(rules::kTimeUnit, place_of(kFile, record.line, f[4]),
                 "time unit " + text_of(f[4]) +
                     " is not one of 0 (undefined), 1 (seconds), 2 (minutes), 3 (hours), 4 (days), "
                     "5 (years), so the simulator cannot say what its times are in");
  }
  model.dimensions_read = true;
  model.dimensions_line = record.line.number;
}

void check_modules(const inspect::Record& record, BasicModel& model, Findings& findings) {
  for (std::size_t slot = 0; slot < record.fields.size() && slot < model.module_units.size(); ++slot) {
    const inspect::Field& f = record.fields[slot];
    if (readable_field(findings, kFile, record.line, f,
                       [&] { return "the unit of slot " + std::to_string(slot + 1); })) {
      model.module_units[slot] = f.integer;
    } else if (!f.text.empty()) {  // a field past the line's end reads as 0
      model.module_unit_unknown[slot] = true;
    }
  }
  model.modules_read = true;
  model.modules_line = record.line.number;
}

void check_period(const inspect::Record& record, Findings& findings) {
  const auto& f = record.fields;
  const auto period = [&] { return "stress period " + std::to_string(record.period); };
  if (checked_value(findings, record.line, f[0], [&] { return "the length of " + period(); }) &&
      !(f[0].real > 0.0f)) {
    findings.add_repeating(rules::kPeriodLength, kFile, place_of(kFile, record.line, f[0]),
                           period() + " has length " + value_of(f[0]) + blank_mark(f[0]) +
                               "; it must be above zero",
                           {"stress period has none", "stress periods have none"});
  }
  if (checked_value(findings, record.line, f[1], [&] { return "the time steps of " + period(); }) &&
      f[1].integer <= 0) {
    findings.add_repeating(rules::kTimeSteps, kFile, place_of(kFile, record.line, f[1]),
                           period() + " has " + value_of(f[1]) + " time steps" + blank_mark(f[1]) +
                               "; it needs at least one",
                           {"stress period has none", "stress periods have none"});
  }
  if (checked_value(findings, record.line, f[2],
                    [&] { return "the time-step multiplier of " + period(); }) &&
      !(f[2].real > 0.0f)) {
    findings.add_repeating(rules::kStepMultiplier, kFile, place_of(kFile, record.line, f[2]),
                           period() + " has time-step multiplier " + value_of(f[2]) + blank_mark(f[2]) +
                               "; it must be above zero",
                           {"stress period has none", "stress periods have none"});
  }
}

// The boundary array of one layer: fields the simulator cannot read, values
// other than -1, 0 and 1, and whether any cell is active.
WalkedArray check_boundary_array(int fd, const inspect::LinePlace& control, const BasicModel& model,
                                 std::int64_t layer, inspect::Reading reading, Findings& findings) {
  inspect::ArrayCursor cursor(fd, control, model.grid.rows, model.grid.columns, reading);
  FieldCounts fields;
  CellCount other_values, active;
  CellCount* counts[] = {&fields.asterisks, &fields.not_a_number, &fields.missing, &other_values, &active};
  inspect::ArrayCursor* cursors[] = {&cursor};
  walk_side_by_side(cursors, model.grid.rows, model.grid.columns, counts,
                    [&](std::int64_t, std::int64_t column, std::int64_t n,
                        std::span<const inspect::ValueLine* const> lines) {
                      const inspect::ValueLine& line = *lines[0];
                      fields.visit_values(line, layer, column, n, [&](std::int64_t c, float value) {
                        if (value > 0.0f) active.hit();
                        if (value != 0.0f && value != 1.0f && value != -1.0f && other_values.hit()) {
                          set_first(other_values, line, layer, c);
                        }
                      });
                    });
  fields.report(findings, kFile, format::kBoundaryArray.label);
  findings.add_cells(rules::kBoundaryValue, kFile, "the boundary value is not -1, 0 or 1", other_values,
                     "; the simulator takes any value above zero as active and any below zero as "
                     "constant head");
  if (active.count == 0 && model.grid.columns > 0) {
    findings.add(rules::kNoActiveCell, {std::string(kFile), control.number, 1},
                 "layer " + std::to_string(layer) + " has no active cell: no boundary value is above zero");
  }
  return {cursor.layout(), cursor.place()};
}

// The starting heads of one layer: fields the simulator cannot read. (They
// are compared with the cells' bottoms where FOR011 gives them.)
WalkedArray check_head_array(int fd, const inspect::LinePlace& control, const BasicModel& model,
                             std::int64_t layer, inspect::Reading reading, Findings& findings) {
  inspect::ArrayCursor cursor(fd, control, model.grid.rows, model.grid.columns, reading);
  FieldCounts fields;
  CellCount* counts[] = {&fields.asterisks, &fields.not_a_number, &fields.missing};
  inspect::ArrayCursor* cursors[] = {&cursor};
  walk_side_by_side(cursors, model.grid.rows, model.grid.columns, counts,
                    [&](std::int64_t, std::int64_t column, std::int64_t n,
                        std::span<const inspect::ValueLine* const> lines) {
                      for (std::int64_t c = column; c < column + n; ++c) fields.count(*lines[0], layer, c);
                    });
  fields.report(findings, kFile, format::kStartingHeadArray.label);
  return {cursor.layout(), cursor.place()};
}

}  // namespace

// The locator and multiplier of an array-control record: the values must
// follow in the file itself, as they are.
void check_array_control(const inspect::Record& record, std::string_view file, std::int32_t own_unit,
                         Findings& findings) {
  const inspect::ArrayHeader& a = *record.array;
  const std::string name = inspect::array_name(a.label_text, a.layer_number);
  if (a.locator.integer != own_unit) {
    findings.add(rules::kLocator, place_of(file, record.line, a.locator),
                 "the array-control record of " + name + " has locator " + text_of(a.locator) +
                     ", but its values follow in this file: the simulator reads them here only with "
                     "locator " + std::to_string(own_unit));
  }
  if (a.layer.kind == inspect::Field::Kind::Asterisks) {
    findings.add_repeating(rules::kLayerNumber, file, place_of(file, record.line, a.layer),
                           "the array-control record of " + name +
                               " has asterisks for its layer number: a layer above 999 does not fit the "
                               "three columns, and the builders write asterisks there; the record is "
                               "known by its place",
                           {"array-control record has them", "array-control records have them"});
  }
  if (a.multiplier.real != 1.0f) {
    findings.add(rules::kMultiplier, place_of(file, record.line, a.multiplier),
                 "the array-control record of " + name + " has multiplier " + text_of(a.multiplier) +
                     ": the simulator multiplies every value of the array by it");
  }
}

BasicModel check_basic_file(int fd, inspect::Reading reading, Findings& findings) {
  BasicModel model;
  inspect::BasicFileReader reader(fd);
  walk_records(
      reader, kFile, findings,
      [&](const inspect::Record& record, std::int64_t& next_line) {
        switch (record.section) {
          case inspect::Section::Dimensions:
            check_dimensions(record, model, findings);
            model.grid = reader.grid();
            model.periods = reader.period_count();
            break;
          case inspect::Section::ModuleUnits: check_modules(record, model, findings); break;
          case inspect::Section::ArrayControl: {
            check_array_control(record, kFile, kBasicUnit, findings);
            const std::int64_t layer = record.array->layer_number;
            const inspect::LinePlace control{record.line.offset, record.line.number};
            if (model.grid.rows == 0) break;  // no values follow
            const bool boundary = record.array->label_text == format::kBoundaryArray.label;
            const WalkedArray walked =
                boundary ? check_boundary_array(fd, control, model, layer, reading, findings)
                         : check_head_array(fd, control, model, layer, reading, findings);
            reader.pass_values(walked.after);
            next_line = walked.after.number;
            (boundary ? model.boundary : model.heads).push_back(walked.layout);
            break;
          }
          case inspect::Section::StressPeriod: check_period(record, findings); break;
          case inspect::Section::NoFlowHead:
            readable_field(findings, kFile, record.line, record.fields[0], "the head at no-flow cells");
            break;
          default: break;
        }
      },
      [&](std::int64_t next_line) {
        if (reader.ended_early()) add_ends_early(findings, kFile, next_line, reader.expected());
      });
  return model;
}

}  // namespace check
