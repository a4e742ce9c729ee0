#include "inspect/record_reader.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace inspect {

bool layer_fits(const ArrayHeader& array, std::int64_t layer) {
  if (array.layer_number == kLayerAsterisks) return layer > kLargestLayerShown;
  return array.layer_number == layer;
}

void ArrayWalk::start(const ArrayHeader& array) {
  row = 1;
  line_in_row = 0;
  const auto per_line = static_cast<std::int64_t>(array.values_format.size());
  lines_per_row = array.columns > 0 && per_line > 0 ? (array.columns + per_line - 1) / per_line : 1;
}

std::int64_t ArrayWalk::first_column(const ArrayHeader& array) const {
  return line_in_row * static_cast<std::int64_t>(array.values_format.size()) + 1;
}

std::int64_t ArrayWalk::values_on_line(const ArrayHeader& array) const {
  if (array.columns <= 0) return 0;
  const auto per_line = static_cast<std::int64_t>(array.values_format.size());
  const std::int64_t left = array.columns - line_in_row * per_line;
  return left < per_line ? left : per_line;
}

void ArrayWalk::advance() {
  if (++line_in_row == lines_per_row) {
    line_in_row = 0;
    ++row;
  }
}

void cut_fields(std::string_view text, const format::DescriptorList& list, std::size_t first,
                std::size_t count, bool convert, std::vector<Field>& fields) {
  fields.clear();
  std::size_t start = list.columns_of_first(first);
  for (std::size_t i = first; i < first + count; ++i) {
    fields.push_back(convert ? read_field(text, start, list[i]) : slice_field(text, start, list[i]));
    start += static_cast<std::size_t>(list[i].width);
  }
}

ArrayHeader RecordReader::read_array_header(std::string_view what_was_expected) {
  if (!looks_like_array_control(line_.text)) fail(1, what_was_expected);
  const std::span<const Field> f = read_fields(format::array_control_layout());
  ArrayHeader array;
  array.line = line_.number;
  array.locator = f[format::kLocatorField];
  array.multiplier = f[format::kMultiplierField];
  array.format = f[format::kFormatTextField];
  array.print_code = f[format::kPrintCodeField];
  array.label = f[format::kLabelField];
  array.layer = f[format::kLayerField];
  if (!array.locator.is_value()) fail_at_field(array.locator, "the unit of the values (I10)");
  if (!array.multiplier.is_value()) fail_at_field(array.multiplier, "the multiplier (G10.3)");
  if (!array.print_code.is_value()) fail_at_field(array.print_code, "the print code (I10)");
  // A layer number above 999 does not fit its three columns: the builders
  // write asterisks, and the file's reader knows the layer by its place.
  if (array.layer.kind == Field::Kind::Asterisks) {
    array.layer_number = kLayerAsterisks;
  } else if (!array.layer.is_value()) {
    fail_at_field(array.layer, "the layer number (I3)");
  } else {
    array.layer_number = array.layer.integer;
  }
  array.label_text = std::string(trimmed(array.label.text));
  std::string_view format = array.format.text;
  while (!format.empty() && format.back() == ' ') format.remove_suffix(1);
  array.format_text = std::string(format);
  try {
    array.values_format = format::DescriptorList(array.format_text);
  } catch (const std::invalid_argument&) {
    fail_at_field(array.format, "a format of I or G descriptors such as (10G10.3)");
  }
  for (const format::Descriptor& d : array.values_format.descriptors()) {
    if (d.kind == format::Descriptor::Kind::Text) {
      fail_at_field(array.format, "a format of I or G descriptors such as (10G10.3)");
    }
  }
  return array;
}

std::span<const Field> RecordReader::read_values(const ArrayHeader& array, const ArrayWalk& walk,
                                                 bool convert) {
  if (looks_like_array_control(line_.text)) fail(1, expected_row(array, walk.row));
  const std::int64_t count = walk.values_on_line(array);
  if (count > 0 && array.values_format.size() == 0) {
    fail_at_field(array.format, "a format with room for the values, such as (10G10.3)");
  }
  return read_fields(array.values_format, 0, static_cast<std::size_t>(count), convert);
}

std::int32_t RecordReader::integer_of(const Field& field, std::string_view what) const {
  switch (field.kind) {
    case Field::Kind::Value: return field.integer;
    case Field::Kind::Asterisks: return std::numeric_limits<std::int32_t>::min();
    case Field::Kind::NotANumber: break;
  }
  fail_at_field(field, what);
}

void RecordReader::fail(std::int64_t column, std::string_view what) const {
  const std::size_t from = static_cast<std::size_t>(column - 1);
  const std::string_view rest = from < line_.text.size() ? line_.text.substr(from) : std::string_view();
  std::string found = rest.empty() ? (column == 1 ? "an empty line" : "the end of the line")
                                   : quoted(rest);
  throw ReadError(line_.number, column, "expected " + std::string(what) + ", found " + found);
}

void RecordReader::fail_at_field(const Field& field, std::string_view what) const {
  throw ReadError(line_.number, field.column, "expected " + std::string(what) + ", found " + found_in(field));
}

bool RecordReader::skip_row_if_equal(std::string_view full_line, std::int64_t full_lines,
                                     std::string_view last_line) {
  constexpr std::size_t kBlockBytes = 64 * 1024;
  const LinePlace start = lines_.place();
  if (full_lines > 0) {
    if (block_unit_ != full_line.size() || block_.compare(0, full_line.size(), full_line) != 0) {
      const std::size_t copies = std::max<std::size_t>(1, kBlockBytes / full_line.size());
      block_.clear();
      for (std::size_t i = 0; i < copies; ++i) block_ += full_line;
      block_unit_ = full_line.size();
    }
    const auto copies = static_cast<std::int64_t>(block_.size() / block_unit_);
    for (std::int64_t left = full_lines; left > 0;) {
      const std::int64_t now = left < copies ? left : copies;
      const std::string_view bytes(block_.data(), static_cast<std::size_t>(now) * block_unit_);
      if (!lines_.skip_if_equal(bytes, now)) {
        lines_.go_to(start);
        return false;
      }
      left -= now;
    }
  }
  if (!lines_.skip_if_equal(last_line, 1)) {
    lines_.go_to(start);
    return false;
  }
  return true;
}

std::string array_name(std::string_view label, std::int64_t layer) {
  if (layer == 0) return "the " + std::string(label) + " list";
  if (layer == kLayerAsterisks) return std::string(label) + " of a layer above 999";
  return std::string(label) + " of layer " + std::to_string(layer);
}

std::string expected_row(const ArrayHeader& array, std::int64_t row) {
  return "row " + std::to_string(row) + " of " + array_name(array.label_text, array.layer_number);
}

}  // namespace inspect
