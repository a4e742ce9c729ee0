#include "inspect/field.h"

#include <limits>

#include "format/number_parse.h"
#include "inspect/read_error.h"

namespace inspect {
namespace {

bool all_asterisks(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c != '*') return false;
  }
  return true;
}

// An optional sign and decimal digits, within 32 bits.
bool read_decimal(std::string_view text, std::int32_t& value) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  if (i == text.size()) return false;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const unsigned digit = static_cast<unsigned char>(text[i]) - '0';
    if (digit > 9) return false;
    magnitude = magnitude * 10 + digit;
    if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return false;
  }
  const std::int64_t signed_value = negative ? -magnitude : magnitude;
  if (signed_value > std::numeric_limits<std::int32_t>::max()) return false;
  value = static_cast<std::int32_t>(signed_value);
  return true;
}

}  // namespace

std::string_view trimmed(std::string_view text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  while (begin < end && *begin == ' ') ++begin;
  while (end > begin && end[-1] == ' ') --end;
  return {begin, static_cast<std::size_t>(end - begin)};
}

std::string found_in(const Field& field) {
  if (field.text.empty()) return "the end of the line";
  std::string found = trimmed(field.text).empty() ? "blanks" : quoted(field.text);
  if (field.text.size() < static_cast<std::size_t>(field.width)) found += " cut short by the line end";
  return found;
}

Field slice_field(std::string_view line, std::size_t start, const format::Descriptor& d) {
  Field field;
  field.type = d.kind;
  field.column = static_cast<std::int32_t>(start + 1);
  field.width = d.width;
  field.text = start < line.size() ? line.substr(start, static_cast<std::size_t>(d.width))
                                   : std::string_view();
  field.converted = false;
  return field;
}

Field convert(const Field& field) {
  if (field.converted) return field;
  Field converted = read_field(field.text, 0, {field.type, field.width, 3});
  converted.column = field.column;
  return converted;
}

Field read_field(std::string_view line, std::size_t start, const format::Descriptor& d) {
  Field field = slice_field(line, start, d);
  field.converted = true;
  if (d.kind == format::Descriptor::Kind::Text) return field;
  const std::string_view number = trimmed(field.text);
  if (all_asterisks(number)) {
    field.kind = Field::Kind::Asterisks;
    return field;
  }
  if (number.empty()) return field;  // a blank field reads as zero
  const char* const end = number.data() + number.size();
  if (d.kind == format::Descriptor::Kind::Integer) {
    if (format::parse_short_integer(number.data(), end, field.integer) == end) return field;
    if (!read_decimal(number, field.integer)) field.kind = Field::Kind::NotANumber;
    return field;
  }
  // The common forms at once, exactly as the general conversion reads them.
  if (format::parse_short_real(number.data(), end, field.real) == end) return field;
  const auto parsed = format::parse_real(number);
  if (parsed.error != 0) {
    field.kind = Field::Kind::NotANumber;
  } else {
    field.real = parsed.value;
  }
  return field;
}

}  // namespace inspect
