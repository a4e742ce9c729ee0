// The number a field of a record holds, read the way the simulator reads
// it: a value, a field of asterisks (a value that was too wide for its
// columns when written), or a field that is not a number at all.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

#include "format/descriptor_list.h"
#include "format/number_parse.h"

namespace format {

struct FieldNumber {
  enum class Kind : std::uint8_t { Value, Asterisks, NotANumber };
  Kind kind = Kind::Value;
  std::int32_t integer = 0;  // the value of an I field
  float real = 0.0f;         // the value of a G field
};

// The text of a field without the blanks around it.
inline std::string_view trimmed(std::string_view text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  while (begin < end && *begin == ' ') ++begin;
  while (end > begin && end[-1] == ' ') --end;
  return {begin, static_cast<std::size_t>(end - begin)};
}

namespace field_number_detail {

// An optional sign and decimal digits, within 32 bits.
inline bool read_decimal(std::string_view text, std::int32_t& value) {
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

inline bool all_asterisks(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c != '*') return false;
  }
  return true;
}

}  // namespace field_number_detail

// The number of an I or G field whose text, without the blanks around it,
// is `number`. I: an optional sign and decimal digits (nothing reads as 0).
// G: a decimal number as an answer would be typed (1.5, .5E-3, 1.5D2;
// nothing reads as 0.0). Nothing but asterisks is Asterisks; anything else,
// or a number out of range, is NotANumber.
// (Inline: it runs for every field of every line read.)
inline FieldNumber read_field_number(std::string_view number, Descriptor::Kind type) {
  FieldNumber field;
  if (field_number_detail::all_asterisks(number)) {
    field.kind = FieldNumber::Kind::Asterisks;
    return field;
  }
  if (number.empty()) return field;  // a blank field reads as zero
  const char* const end = number.data() + number.size();
  if (type == Descriptor::Kind::Integer) {
    if (parse_short_integer(number.data(), end, field.integer) == end) return field;
    if (!field_number_detail::read_decimal(number, field.integer)) field.kind = FieldNumber::Kind::NotANumber;
    return field;
  }
  // The common forms at once, exactly as the general conversion reads them.
  if (parse_short_real(number.data(), end, field.real) == end) return field;
  const auto parsed = parse_real(number);
  if (parsed.error != 0) {
    field.kind = FieldNumber::Kind::NotANumber;
  } else {
    field.real = parsed.value;
  }
  return field;
}

}  // namespace format
