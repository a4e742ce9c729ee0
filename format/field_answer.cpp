#include "format/field_answer.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "format/field_number.h"
#include "format/field_render.h"
#include "format/number_parse.h"

namespace format {
namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

using Kind = Descriptor::Kind;

// A field's columns, with the number they hold.
struct Field {
  std::string_view text;
  std::int32_t width = 0;
  FieldNumber number;
};

// The field as the builder writes `value`, against the field's text.
template <typename Value>
bool same_field(Value value, const Field& field) {
  char rendered[64];
  if (field.width > static_cast<std::int32_t>(sizeof rendered)) return false;
  if constexpr (std::is_same_v<Value, float>) {
    put_real_field(rendered, value, field.width, 3);
  } else {
    put_integer_field(rendered, value, field.width);
  }
  const std::size_t present = field.text.size();
  if (present == 10 && field.width == 10) {  // the usual field, in two loads
    std::uint64_t a, b;
    std::uint16_t c, d;
    std::memcpy(&a, rendered, 8);
    std::memcpy(&b, field.text.data(), 8);
    std::memcpy(&c, rendered + 8, 2);
    std::memcpy(&d, field.text.data() + 8, 2);
    return a == b && c == d;
  }
  // (A plain loop: fields are a few bytes, shorter than a call of memcmp.)
  unsigned differences = 0;
  for (std::size_t i = 0; i < present; ++i) differences |= static_cast<unsigned char>(rendered[i] ^ field.text[i]);
  for (std::size_t i = present; i < static_cast<std::size_t>(field.width); ++i) {
    differences |= static_cast<unsigned char>(rendered[i] ^ ' ');
  }
  return differences == 0;
}

void set_text(FieldAnswer& answer, std::string_view text) {
  answer.size = std::min(text.size(), sizeof answer.text);
  std::memcpy(answer.text, text.data(), answer.size);
}

bool integer_answer(const Field& field, FieldAnswer& answer) {
  std::int32_t value = field.number.integer;
  if (field.number.kind == FieldNumber::Kind::Asterisks) {
    // The smallest value too wide for the field; in ten columns only the
    // lowest integer is.
    value = std::numeric_limits<std::int32_t>::min();
    if (field.width < 10) {
      value = 1;
      for (int i = 0; i < field.width; ++i) value *= 10;
    }
    answer.asterisks = true;
  }
  if (!same_field(value, field)) return false;
  auto result = std::to_chars(answer.text, answer.text + sizeof answer.text, value);
  answer.size = static_cast<std::size_t>(result.ptr - answer.text);
  return true;
}

// A real answer as typed, read as the builder reads it.
bool reads_back_as(std::string_view typed, const Field& field) {
  const auto parsed = parse_real(typed);
  return parsed.error == 0 && same_field(parsed.value, field);
}

bool real_answer(const Field& field, FieldAnswer& answer) {
  if (field.number.kind != FieldNumber::Kind::Value || field.width != 10 || field.text.empty()) return false;
  // The field's own digits are the answer, except where G10.3 rounded a
  // value up into the next power of ten at the change of form (.100E+00
  // from just below 0.1, 1000. from just below 1000): the value just below,
  // with every digit, writes the same field.
  // (number.real is the field's own text read as the builder reads answers.)
  const float real = field.number.real;
  if (same_field(real, field)) {
    answer.field_text = trimmed(field.text);
    return true;
  }
  const float below = std::nextafter(real, 0.0f);
  char typed[32];
  const int length = std::snprintf(typed, sizeof typed, "%.9g", static_cast<double>(below));
  if (length <= 0 || !reads_back_as(std::string_view(typed, static_cast<std::size_t>(length)), field)) {
    return false;
  }
  set_text(answer, std::string_view(typed, static_cast<std::size_t>(length)));
  return true;
}

}  // namespace

namespace field_answer_detail {

bool is_builder_real_field(std::string_view field) {
  if (field.size() != 10) return false;
  std::size_t i = 0;
  while (i < 10 && field[i] == ' ') ++i;
  if (i == 10 || i == 0) return false;  // blank, or no room before it: never written so
  const bool negative = field[i] == '-';
  if (negative) ++i;
  const std::string_view text = field.substr(i);  // what follows the sign
  if (text.size() == 8 && text[0] == '.' && text[4] == 'E') {  // ".dddE+ee"
    if (text[1] == '0' || !digit(text[1]) || !digit(text[2]) || !digit(text[3])) return false;
    if ((text[5] != '+' && text[5] != '-') || !digit(text[6]) || !digit(text[7])) return false;
    const int exponent = (text[6] - '0') * 10 + (text[7] - '0');
    if (text[5] == '-') return exponent >= 1 && exponent <= 36;
    return exponent >= 4 && exponent <= 38;
  }
  if (text.size() != 8 || text.substr(4) != "    ") return false;  // "x.xx" and four blanks
  const std::string_view number = text.substr(0, 4);
  const std::size_t point = number.find('.');
  if (point == std::string_view::npos) return false;
  for (std::size_t k = 0; k < 4; ++k) {
    if (k != point && !digit(number[k])) return false;
  }
  if (point == 0) {  // ".ddd": a first digit of 0 only in .000, which has no sign
    return number[1] != '0' || (number == ".000" && !negative);
  }
  return number[0] != '0';  // "d.dd", "dd.d", "ddd."
}

bool is_builder_integer_field(std::string_view field, int width) {
  if (static_cast<int>(field.size()) != width || width < 1) return false;
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  if (i == field.size()) return false;
  const bool negative = field[i] == '-';
  if (negative) ++i;
  if (i == field.size() || (field[i] == '0' && field.size() - i > 1) || (negative && field[i] == '0')) {
    return false;
  }
  std::int64_t magnitude = 0;
  for (; i < field.size(); ++i) {
    if (!digit(field[i])) return false;
    magnitude = magnitude * 10 + (field[i] - '0');
    if (magnitude > 2147483648LL) return false;
  }
  return negative || magnitude <= 2147483647LL;
}



bool answer_for_field_fallback(std::string_view text, int width, Kind type, FieldAnswer& answer) {
  answer = FieldAnswer{};
  if (type == Kind::Text) return false;
  const Field field{text, width, read_field_number(trimmed(text), type)};
  if (field.number.kind == FieldNumber::Kind::NotANumber) return false;
  if (type == Kind::Integer) return integer_answer(field, answer);
  return real_answer(field, answer);
}

}  // namespace field_answer_detail

bool answer_for_field(std::string_view text, int width, Kind type, FieldAnswer& answer) {
  using field_answer_detail::is_builder_integer_field;
  using field_answer_detail::is_builder_real_field;
  const bool own_answer = type == Kind::Real ? width == 10 && is_builder_real_field(text)
                                             : type == Kind::Integer && is_builder_integer_field(text, width);
  if (!own_answer) return field_answer_detail::answer_for_field_fallback(text, width, type, answer);
  answer = FieldAnswer{};
  answer.field_text = trimmed(text);
  return true;
}

}  // namespace format
