// FOR011: the header, the layer type codes, the TRPY-, DELR- and DELC-
// lists (whose lengths give the file's own grid), and each layer's
// property arrays, compared where it matters with FOR001's boundary array
// (values only count in cells the simulator computes) and starting heads.
#include <string>

#include "check/cell_rules.h"
#include "format/flow_file.h"
#include "inspect/field.h"
#include "check/file_checks.h"
#include "inspect/flow_file_reader.h"
#include "check/side_by_side.h"

namespace check {
namespace {

constexpr std::string_view kFile = format::kFlowFileName;
using format::kFlowUnit;
constexpr std::string_view kTrpy = format::kAnisotropyList.label;
constexpr std::string_view kDelr = format::kRowWidthList.label;
constexpr std::string_view kDelc = format::kColumnWidthList.label;

std::string text_of(const inspect::Field& field) { return std::string(inspect::trimmed(field.text)); }

// One of the file's one-dimensional lists as it is read (the layer type
// codes, TRPY-, DELR-, DELC-): how many values, where the one beyond FOR001's
// count is, and where the list ends.
struct ListRead {
  std::string label;        // "" for the layer type codes
  std::int64_t expected = -1;  // FOR001's count for it, -1 when none applies
  std::int64_t values = 0;
  std::optional<Place> first_extra;
  Place end;  // just after its last value

  void value(const inspect::Line& line, const inspect::Field& field) {
    ++values;
    if (values == expected + 1) first_extra = place_of(kFile, line, field);
    end = {std::string(kFile), line.number, field.column + field.width};
  }
};

// Compares the length of a list with the grid of FOR001.
void compare_with_grid(const ListRead& list, const BasicModel& basic, Findings& findings) {
  if (list.expected < 0 || list.values == list.expected) return;
  struct Words {
    std::string_view label, one, many;
    std::int64_t column;  // of the count in FOR001's dimension record
  };
  static constexpr Words kWords[] = {
      {"", "layer", "layers", 1},
      {kDelr, "column", "columns", 21},
      {kDelc, "row", "rows", 11},
  };
  for (const Words& w : kWords) {
    if (w.label != list.label) continue;
    const Place other{"FOR001", basic.dimensions_line, w.column};
    const std::string gives = w.label.empty() ? std::string("the layer type codes are for")
                                              : "the " + std::string(w.label) + " list gives widths of";
    findings.add(rules::kGridDiffers, list.first_extra ? *list.first_extra : list.end,
                 gives + " " + counted(list.values, w.one, w.many) + "; the grid has " +
                     counted(list.expected, w.one, w.many) + " (FOR001:" +
                     std::to_string(basic.dimensions_line) + ")",
                 {}, other);
  }
}

// The value of one list entry: index `entry` of the list.
void check_list_value(const ListRead& list, std::int64_t entry, const inspect::Line& line,
                      const inspect::Field& field, Findings& findings) {
  struct Words {
    std::string_view label, entry;
    const Rule* rule;
    Findings::More more;
  };
  static const Words kWords[] = {
      {kTrpy, "layer", &rules::kAnisotropy, {"layer has none", "layers have none"}},
      {kDelr, "column", &rules::kCellWidth, {"column has none", "columns have none"}},
      {kDelc, "row", &rules::kCellWidth, {"row has none", "rows have none"}},
  };
  for (const Words& w : kWords) {
    if (w.label != list.label) continue;
    const auto words = [&] {
      return std::string(value_words(w.label)) + " of " + std::string(w.entry) + " " + std::to_string(entry);
    };
    if (readable_field(findings, kFile, line, field, words) && !(field.real > 0.0f)) {
      findings.add_repeating(*w.rule, w.label, place_of(kFile, line, field),
                             words() + " is " + text_of(field) + "; it must be above zero", w.more);
    }
  }
}

void check_layer_type(std::int64_t layer, const inspect::Line& line, const inspect::Field& field,
                      Findings& findings) {
  if (readable_field(findings, kFile, line, field,
                     [&] { return "the type code of layer " + std::to_string(layer); })) {
    const std::int32_t code = field.integer;
    if (code < 0 || code > 3) {
      findings.add_repeating(rules::kLayerType, kFile, place_of(kFile, line, field),
                             "layer " + std::to_string(layer) + " has type code " + text_of(field) +
                                 ", which the simulator does not know (0 to 3); Cindral wrote neither "
                                 "transmissivity nor conductivity for it",
                             {"layer has such a code", "layers have such codes"});
    }
  }
}

// The rules of a property array's values, by its label.
struct ValueRule {
  std::string_view label;
  const Rule* rule;
  std::string_view what;
  bool zero_allowed;  // only negative values break it
};
constexpr ValueRule kValueRules[] = {
    {format::kPrimaryStorageArray.label, &rules::kStorage, "the primary storage coefficient is negative", true},
    {format::kSecondaryStorageArray.label, &rules::kStorage, "the secondary storage coefficient is negative", true},
    {format::kTransmissivityArray.label, &rules::kTransmissivity, "the transmissivity is not above zero", false},
    {format::kConductivityArray.label, &rules::kConductivity, "the hydraulic conductivity is not above zero", false},
};

const ValueRule* value_rule(std::string_view label) {
  for (const ValueRule& r : kValueRules) {
    if (r.label == label) return &r;
  }
  return nullptr;
}

std::string compared(std::string_view value, std::string_view bottom, const Place& bottom_place) {
  return std::string(value) + " against a bottom of " + std::string(bottom) + " at " + bottom_place.file +
         ":" + std::to_string(bottom_place.line);
}

// One layer array of `layer`, with FOR001's boundary array of the layer
// beside it where the grids are the same (values then count only in cells
// that are computed), and the array it is compared with: the starting heads
// beside a bottom, the bottom beside a top.
WalkedArray check_layer_array(int fd, const inspect::LinePlace& control, std::string_view label,
                              std::int64_t layer, const FlowModel& model, const BasicModel& basic,
                              int basic_fd, inspect::Reading reading, Findings& findings) {
  const std::int64_t rows = model.grid.rows, columns = model.grid.columns;
  inspect::ArrayCursor main(fd, control, rows, columns, reading);
  std::optional<inspect::ArrayCursor> boundary, heads, bottom;
  const auto index = static_cast<std::size_t>(layer - 1);
  if (model.same_grid_as_basic && index < basic.boundary.size()) {
    boundary.emplace(basic_fd, basic.boundary[index], rows, columns, reading);
  }
  if (label == format::kBottomArray.label && model.same_grid_as_basic && index < basic.heads.size()) {
    heads.emplace(basic_fd, basic.heads[index], rows, columns, reading);
  }
  if (const inspect::ArrayLayout* b = label == format::kTopArray.label ? model.bottom_of(layer) : nullptr) {
    bottom.emplace(fd, *b, rows, columns, reading);
  }
  inspect::ArrayCursor* cursors[3] = {&main};
  std::size_t n_cursors = 1;
  const std::size_t boundary_at = boundary ? n_cursors++ : 0;
  if (boundary) cursors[boundary_at] = &*boundary;
  inspect::ArrayCursor* compared_with = heads ? &*heads : bottom ? &*bottom : nullptr;
  const std::size_t compared_at = compared_with ? n_cursors++ : 0;
  if (compared_with) cursors[compared_at] = compared_with;

  FieldCounts fields;
  CellCount broken, head_below, top_below;
  CellCount* counts[] = {&fields.asterisks, &fields.not_a_number, &fields.missing, &broken,
                         &head_below, &top_below};
  const ValueRule* rule = value_rule(label);
  walk_side_by_side(
      std::span<inspect::ArrayCursor* const>(cursors, n_cursors), rows, columns, counts,
      [&](std::int64_t, std::int64_t column, std::int64_t n, std::span<const inspect::ValueLine* const> lines) {
        const inspect::ValueLine& line = *lines[0];
        fields.visit_values(line, layer, column, n, [&](std::int64_t c, float value) {
          if (boundary_at != 0) {
            const inspect::ValueLine& b = *lines[boundary_at];
            const std::int64_t j = c - b.first_column;
            if (b.kinds[j] == inspect::CellKind::Value && b.values[j] == 0.0f) return;  // not computed
          }
          if (rule != nullptr && (rule->zero_allowed ? value < 0.0f : !(value > 0.0f)) && broken.hit()) {
            set_first(broken, line, layer, c);
          }
          if (compared_at == 0) return;
          const inspect::ValueLine& o = *lines[compared_at];
          const std::int64_t j = c - o.first_column;
          if (o.kinds[j] != inspect::CellKind::Value) return;
          if (heads && o.values[j] < value && head_below.hit()) {
            // Found at the head, in FOR001; the bottom is the other place.
            set_first(head_below, o, layer, c);
            const Place bottom_place{std::string(kFile), line.line_number, line.field_column(c)};
            head_below.value = compared(o.field_text(c), line.field_text(c), bottom_place);
            head_below.other = bottom_place;
          }
          if (bottom && value < o.values[j] && top_below.hit()) {
            set_first(top_below, line, layer, c);
            const Place bottom_place{std::string(kFile), o.line_number, o.field_column(c)};
            top_below.value = compared(line.field_text(c), o.field_text(c), bottom_place);
            top_below.other = bottom_place;
          }
        });
      });
  fields.report(findings, kFile, label);
  if (rule != nullptr) findings.add_cells(*rule->rule, kFile, rule->what, broken);
  findings.add_cells(rules::kHeadBelowBottom, "FOR001", "the starting head is below the cell's bottom",
                     head_below, "; such a cell starts dry");
  findings.add_cells(rules::kTopBelowBottom, kFile, "the top elevation is below the cell's bottom",
                     top_below);
  return {main.layout(), main.place()};
}

}  // namespace

FlowModel check_flow_file(int fd, const BasicModel& basic, int basic_fd, inspect::Reading reading,
                          Findings& findings) {
  FlowModel model;
  inspect::FlowFileReader reader(fd);
  ListRead list;
  bool lists_done = false;
  auto finish_lists = [&] {
    compare_with_grid(list, basic, findings);
    const inspect::GridCounts& g = reader.grid();
    model.grid_known = g.layers >= 0 && g.rows >= 0 && g.columns >= 0;
    model.grid = g;
    model.same_grid_as_basic = model.grid_known && basic.dimensions_read && g.layers == basic.grid.layers &&
                               g.rows == basic.grid.rows && g.columns == basic.grid.columns;
    lists_done = true;
  };
  walk_records(
      reader, kFile, findings,
      [&](const inspect::Record& record, std::int64_t& next_line) {
        switch (record.section) {
          case inspect::Section::FlowHeader:
            list.expected = basic.dimensions_read ? basic.grid.layers : -1;
            list.end = {std::string(kFile), record.line.number + 1, 1};
            break;
          case inspect::Section::LayerTypes:
            for (std::size_t i = 0; i < record.fields.size(); ++i) {
              check_layer_type(record.first + static_cast<std::int64_t>(i), record.line, record.fields[i],
                               findings);
              list.value(record.line, record.fields[i]);
            }
            break;
          case inspect::Section::ArrayControl: {
            check_array_control(record, kFile, kFlowUnit, findings);
            const inspect::ArrayHeader& a = *record.array;
            if (a.is_list) {
              compare_with_grid(list, basic, findings);
              list = ListRead{};
              list.label = a.label_text;
              list.end = {std::string(kFile), record.line.number + 1, 1};
              if (basic.dimensions_read) {
                if (list.label == kDelr) list.expected = basic.grid.columns;
                if (list.label == kDelc) list.expected = basic.grid.rows;
              }
              break;
            }
            if (!lists_done) finish_lists();
            if (model.grid.rows <= 0) break;  // no values follow
            const inspect::LinePlace control{record.line.offset, record.line.number};
            const WalkedArray walked = check_layer_array(fd, control, a.label_text, a.layer_number, model,
                                                         basic, basic_fd, reading, findings);
            reader.pass_values(walked.after);
            next_line = walked.after.number;
            if (a.label_text == format::kBottomArray.label) model.add_bottom(a.layer_number, walked.layout);
            break;
          }
          case inspect::Section::ArrayValues:  // of a list: layer arrays are read by their cursors
            for (std::size_t i = 0; i < record.fields.size(); ++i) {
              check_list_value(list, record.first + static_cast<std::int64_t>(i), record.line,
                               record.fields[i], findings);
              list.value(record.line, record.fields[i]);
            }
            break;
          default: break;
        }
      },
      [&](std::int64_t next_line) {
        if (!lists_done) finish_lists();
        if (reader.ended_early()) add_ends_early(findings, kFile, next_line, reader.expected());
      });
  return model;
}

}  // namespace check
