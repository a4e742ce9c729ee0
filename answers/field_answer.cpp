#include "answers/field_answer.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "answers/canonical_field.h"
#include "format/field_render.h"
#include "format/number_parse.h"

namespace answers {
namespace {

using inspect::Field;
using Kind = format::Descriptor::Kind;

// The field as the builder writes `value`, against the field's text.
template <typename Value>
bool same_field(Value value, const Field& field) {
  char rendered[64];
  if (field.width > static_cast<std::int32_t>(sizeof rendered)) return false;
  if constexpr (std::is_same_v<Value, float>) {
    format::put_real_field(rendered, value, field.width, 3);
  } else {
    format::put_integer_field(rendered, value, field.width);
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
  std::int32_t value = field.integer;
  if (field.kind == Field::Kind::Asterisks) {
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
  const auto parsed = format::parse_real(typed);
  return parsed.error == 0 && same_field(parsed.value, field);
}

bool real_answer(const Field& field, FieldAnswer& answer) {
  if (field.kind != Field::Kind::Value || field.width != 10 || field.text.empty()) return false;
  // The field's own digits are the answer, except where G10.3 rounded a
  // value up into the next power of ten at the change of form (.100E+00
  // from just below 0.1, 1000. from just below 1000): the value just below,
  // with every digit, writes the same field.
  // (field.real is the field's own text read as the builder reads answers.)
  if (same_field(field.real, field)) {
    answer.field_text = inspect::trimmed(field.text);
    return true;
  }
  const float below = std::nextafter(field.real, 0.0f);
  char typed[32];
  const int length = std::snprintf(typed, sizeof typed, "%.9g", static_cast<double>(below));
  if (length <= 0 || !reads_back_as(std::string_view(typed, static_cast<std::size_t>(length)), field)) {
    return false;
  }
  set_text(answer, std::string_view(typed, static_cast<std::size_t>(length)));
  return true;
}

}  // namespace

bool answer_for_field_plain(const Field& unconverted, FieldAnswer& answer) {
  answer = FieldAnswer{};
  const Field field = inspect::convert(unconverted);
  if (field.kind == Field::Kind::NotANumber) return false;
  if (field.type == Kind::Integer) return integer_answer(field, answer);
  if (field.type == Kind::Real) return real_answer(field, answer);
  return false;
}

bool answer_for_field(const Field& field, FieldAnswer& answer) {
  const bool own_answer = field.type == Kind::Real ? field.width == 10 && is_builder_real_field(field.text)
                                                   : field.type == Kind::Integer &&
                                                         is_builder_integer_field(field.text, field.width);
  if (!own_answer) return answer_for_field_plain(field, answer);
  answer = FieldAnswer{};
  answer.field_text = inspect::trimmed(field.text);
  return true;
}


}  // namespace answers
