#include "answers/canonical_field.h"

#include <cstdint>

namespace answers {
namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

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

}  // namespace answers
