#include "inspect/flow_file_reader.h"

#include <string>

#include "format/flow_file.h"

namespace inspect {
namespace {

using format::DescriptorList;

const format::DescriptorList& layer_type_layout() { return layout_of<format::kLayerTypeFormat>(); }

constexpr std::string_view kTrpy = format::kAnisotropyList.label;
constexpr std::string_view kDelr = format::kRowWidthList.label;
constexpr std::string_view kDelc = format::kColumnWidthList.label;

// "the DELR- list"
std::string list_name(std::string_view label) { return "the " + std::string(label) + " list"; }

// The values a line of a list holds: as many of the list's fields as begin
// before the line's last non-blank column.
std::size_t values_on_list_line(std::string_view text, const format::DescriptorList& format) {
  std::size_t length = text.size();
  while (length > 0 && text[length - 1] == ' ') --length;
  std::size_t count = 0;
  while (count < format.size() && format.columns_of_first(count) < length) ++count;
  return count;
}

}  // namespace

bool FlowFileReader::next(Record& record) {
  record = Record{};
  FlowFileState& s = state_;
  if (s.step == Step::Done) {
    while (in_.read_line()) {
      if (!trimmed(in_.line().text).empty()) in_.fail(1, "the end of the file after the last array");
    }
    return false;
  }
  if (!in_.read_line()) {
    // The last list may end the file, once its line of values is there
    // (a list of no values is one blank line).
    if (s.step == Step::DelcValues && s.list_lines > 0) {
      s.grid.rows = s.list_length;
      begin_layers();
    }
    return false;
  }
  record.line = in_.line();
  const std::string_view text = record.line.text;
  switch (s.step) {
    case Step::Header:
      record.section = Section::FlowHeader;
      record.fields = in_.read_fields(layout_of<format::kFlowHeaderFormat>());
      s.simulation_type = in_.integer_of(record.fields[0], "the simulation type (I10)");
      in_.integer_of(record.fields[1], "the cell-by-cell output code (I10)");
      s.step = Step::LayerTypes;
      s.first_type_line = in_.place();
      s.list_length = 0;
      s.list_line_short = false;
      return true;
    case Step::LayerTypes:
      if (looks_like_array_control(text)) {
        s.grid.layers = s.list_length;
        return list_control(record, kTrpy, Step::TrpyValues);
      }
      record.section = Section::LayerTypes;
      record.fields = in_.read_fields(layer_type_layout(), 0,
                                      values_on_list_line(text, layer_type_layout()));
      for (const Field& f : record.fields) in_.integer_of(f, "a layer type code (I2)");
      record.first = s.list_length + 1;
      s.list_length += static_cast<std::int64_t>(record.fields.size());
      s.list_line_short = record.fields.size() < layer_type_layout().size();
      return true;
    case Step::TrpyValues:
      if (looks_like_array_control(text)) {
        if (s.list_length != s.grid.layers) {
          throw ReadError(record.line.number, 1,
                          "expected one anisotropy factor per layer type code (" +
                              std::to_string(s.grid.layers) + ") before " + list_name(kDelr) + ", found " +
                              std::to_string(s.list_length));
        }
        return list_control(record, kDelr, Step::DelrValues);
      }
      return list_line(record);
    case Step::DelrValues:
      if (looks_like_array_control(text)) {
        s.grid.columns = s.list_length;
        return list_control(record, kDelc, Step::DelcValues);
      }
      return list_line(record);
    case Step::DelcValues:
      if (!looks_like_array_control(text)) return list_line(record);
      s.grid.rows = s.list_length;
      begin_layers();
      if (s.step == Step::Done) in_.fail(1, "the end of the file after " + list_name(kDelc));
      [[fallthrough]];
    case Step::LayerArrayControl: {
      s.values.read_control(in_, s.expected_label, s.layer, s.grid.rows, s.grid.columns, record);
      s.step = Step::LayerArrayValues;
      if (s.values.done()) after_values();
      return true;
    }
    case Step::LayerArrayValues:
      s.values.read_line(in_, record);
      if (s.values.done()) after_values();
      return true;
    case Step::Done: break;
  }
  return false;
}

bool FlowFileReader::list_control(Record& record, std::string_view label, Step values_step) {
  FlowFileState& s = state_;
  s.values.array = in_.read_array_header("the array-control record of " + list_name(label));
  if (s.values.array.label_text != label || s.values.array.layer_number != 0) {
    in_.fail_at_field(s.values.array.label_text != label ? s.values.array.label : s.values.array.layer,
                      "the array-control record of " + list_name(label));
  }
  s.values.array.is_list = true;
  s.values.array.rows = 1;
  s.values.array.columns = -1;
  s.list_length = 0;
  s.list_line_short = false;
  s.list_lines = 0;
  s.step = values_step;
  record.section = Section::ArrayControl;
  record.array = &s.values.array;
  record.fields = in_.fields();
  return true;
}

bool FlowFileReader::list_line(Record& record) {
  FlowFileState& s = state_;
  record.section = Section::ArrayValues;
  record.array = &s.values.array;
  record.row = 1;
  record.first = s.list_length + 1;
  record.fields = in_.read_fields(s.values.array.values_format, 0,
                                  values_on_list_line(record.line.text, s.values.array.values_format),
                                  in_.converts_values());
  s.list_length += static_cast<std::int64_t>(record.fields.size());
  s.list_line_short = record.fields.size() < s.values.array.values_format.size();
  ++s.list_lines;
  return true;
}

void FlowFileReader::begin_layers() {
  FlowFileState& s = state_;
  s.layer = 1;
  s.next_array = 0;
  s.type_layer = 0;
  s.type_place = s.first_type_line;
  s.type_index_on_line = 0;
  s.step = find_next_array() ? Step::LayerArrayControl : Step::Done;
}

void FlowFileReader::after_values() {
  FlowFileState& s = state_;
  ++s.next_array;
  s.step = find_next_array() ? Step::LayerArrayControl : Step::Done;
}

bool FlowFileReader::find_next_array() {
  FlowFileState& s = state_;
  for (; s.layer <= s.grid.layers; ++s.layer, s.next_array = 0) {
    if (s.type_layer != s.layer) {
      s.type_code = read_type_code();
      s.type_layer = s.layer;
    }
    for (; s.next_array < format::kLayerArrays.size(); ++s.next_array) {
      const format::LayerArray& a = format::kLayerArrays[s.next_array];
      if (format::is_selected(a.selection, s.simulation_type, s.type_code, s.layer,
                              static_cast<std::int32_t>(s.grid.layers))) {
        s.expected_label = std::string(a.entry.label);
        return true;
      }
    }
  }
  return false;
}

// The type code of the next layer, from the second cursor over record 2.
std::int32_t FlowFileReader::read_type_code() {
  FlowFileState& s = state_;
  types_.lines().go_to(s.type_place);
  if (!types_.read_line()) throw ReadError(s.type_place.number, 1, "the layer type codes cannot be read again");
  const auto index = static_cast<std::size_t>(s.type_index_on_line);
  const Field code = types_.read_fields(layer_type_layout(), index, 1)[0];
  const std::int32_t value = types_.integer_of(code, "a layer type code (I2)");
  if (++s.type_index_on_line == static_cast<std::int64_t>(layer_type_layout().size())) {
    s.type_index_on_line = 0;
    s.type_place = types_.place();
  }
  return value;
}

std::string_view FlowFileReader::list_being_read() const {
  switch (state_.step) {
    case Step::LayerTypes: return "LAYER TYPES";
    case Step::TrpyValues: return kTrpy;
    case Step::DelrValues: return kDelr;
    case Step::DelcValues: return kDelc;
    default: return "";
  }
}

bool FlowFileReader::ended_early() const { return state_.step != Step::Done; }

std::string FlowFileReader::expected() const {
  const FlowFileState& s = state_;
  switch (s.step) {
    case Step::Header: return "the header record";
    case Step::LayerTypes: return "the layer type codes or " + list_name(kTrpy);
    case Step::TrpyValues:
      // One factor per layer: once they are all there, the next list begins.
      if (s.list_lines > 0 && s.list_length == s.grid.layers) return "the array-control record of " + list_name(kDelr);
      return "the anisotropy factors of " + list_name(kTrpy);
    case Step::DelrValues: return "the cell widths of " + list_name(kDelr);
    case Step::DelcValues: return "the cell widths of " + list_name(kDelc);
    case Step::LayerArrayControl:
      return "the array-control record of " + array_name(s.expected_label, s.layer);
    case Step::LayerArrayValues:
      return s.values.expected_row();
    case Step::Done: break;
  }
  return "the end of the file";
}

}  // namespace inspect
