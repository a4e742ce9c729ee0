#include "number_parse.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "error_codes.h"

namespace builders {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The value of c as a digit of any radix up to 36, or 99.
unsigned digit_value(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c - 'A' + 10);
  return 99;
}

constexpr double kLargestSingle = 3.402823466385289e38;
// Tokens are at most 260 characters (longer ones are refused before this).
constexpr std::size_t kLongestForm = 264;

}  // namespace

Parsed<std::int32_t> parse_integer(std::string_view token) {
  Parsed<std::int32_t> quick;
  const char* end = token.data() + token.size();
  if (parse_short_integer(token.data(), end, quick.value) == end && !token.empty()) return quick;
  if (token == "-2147483648") return {INT32_MIN, 0};
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
    negative = token[i] == '-';
    ++i;
  }
  unsigned radix = 10;
  bool radix_marked = false;
  bool digits_seen = false;
  std::uint64_t value = 0;
  for (; i < token.size(); ++i) {
    char c = token[i];
    if (c == '#') {
      if (radix_marked) return {0, errors::kSecondRadixMark};
      // Digits before the mark name the radix; none, or 0, mean 16.
      if (!digits_seen || value == 0) {
        radix = 16;
      } else if (value >= 2 && value <= 36) {
        radix = static_cast<unsigned>(value);
      } else {
        return {0, errors::kRadixOutOfRange};
      }
      radix_marked = true;
      digits_seen = false;
      value = 0;
      continue;
    }
    unsigned digit = digit_value(c);
    if (digit >= radix) return {0, errors::kIntegerInvalid};
    digits_seen = true;
    if (radix == 10) {
      if (value > 214748364) return {0, errors::kIntegerOverflow};
      value = value * 10 + digit;
      if (value > 2147483647) return {0, errors::kIntegerOverflow};
    } else {
      value = value * radix + digit;
      if (value > 4294967295u) return {0, errors::kIntegerOverflow};
    }
  }
  auto bits = static_cast<std::uint32_t>(value);
  if (negative) bits = 0u - bits;
  return {static_cast<std::int32_t>(bits), 0};
}

Parsed<float> parse_real(std::string_view token) {
  Parsed<float> quick;
  const char* end = token.data() + token.size();
  if (parse_short_real(token.data(), end, quick.value) == end && !token.empty()) return quick;

  // Check the form first, so that strtod never sees anything but a number.
  std::size_t i = 0;
  auto digits = [&] {
    std::size_t start = i;
    while (i < token.size() && is_digit(token[i])) ++i;
    return i - start;
  };
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
  std::size_t mantissa_digits = digits();
  if (i < token.size() && token[i] == '.') {
    ++i;
    mantissa_digits += digits();
  }
  if (mantissa_digits == 0) return {0.0f, errors::kRealInvalid};
  std::size_t exponent_letter = std::string_view::npos;
  if (i < token.size() && std::string_view("EeDd").find(token[i]) != std::string_view::npos) {
    exponent_letter = i++;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    if (digits() == 0) return {0.0f, errors::kRealInvalid};
  }
  if (i != token.size()) return {0.0f, errors::kRealInvalid};

  // The common case: a number well inside the single range, converted with
  // correct rounding straight from the text. (from_chars takes no "+" and
  // no D exponent, and reports tiny values as out of range.)
  char text_buffer[kLongestForm];
  std::string_view plain = token;
  if (!plain.empty() && plain[0] == '+') plain.remove_prefix(1);
  if (plain.size() <= sizeof text_buffer) {
    std::copy(plain.begin(), plain.end(), text_buffer);
    if (exponent_letter != std::string_view::npos) {
      text_buffer[exponent_letter - (token.size() - plain.size())] = 'e';
    }
    float single = 0.0f;
    auto [end, ec] = std::from_chars(text_buffer, text_buffer + plain.size(), single);
    if (ec == std::errc() && end == text_buffer + plain.size() &&
        std::fabs(single) < std::numeric_limits<float>::max()) {
      return {single, 0};
    }
  }

  // Near or beyond the ends of the ranges: decide between the errors and
  // the tiny values that become zero or subnormal.
  std::string text(token);
  if (exponent_letter != std::string_view::npos) text[exponent_letter] = 'e';
  errno = 0;
  double wide = std::strtod(text.c_str(), nullptr);
  if (errno == ERANGE && std::isinf(wide)) return {0.0f, errors::kRealBeyondDouble};
  if (std::fabs(wide) > kLargestSingle) return {0.0f, errors::kRealBeyondSingle};
  // Rounded straight from the decimal text, not through the double.
  float single = std::strtof(text.c_str(), nullptr);
  return {single, 0};
}

}  // namespace builders
