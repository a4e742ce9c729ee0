#include "format/number_parse.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "format/error_codes.h"

namespace format {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The value of c as a digit of any radix up to 36, or 99.
unsigned digit_value(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c - 'A' + 10);
  return 99;
}

// The digits of an integer token after its sign, read one character at a
// time; a "#" starts them over in the radix it names.
class IntegerDigits {
 public:
  // "#": the digits before it name the radix, none or 0 meaning 16; a radix
  // outside 2 to 36 is F6303 and a second "#" F6302.
  int mark_radix() {
    if (radix_marked_) return errors::kSecondRadixMark;
    if (!any_digit_ || value_ == 0) {
      radix_ = 16;
    } else if (value_ >= 2 && value_ <= 36) {
      radix_ = static_cast<unsigned>(value_);
    } else {
      return errors::kRadixOutOfRange;
    }
    radix_marked_ = true;
    any_digit_ = false;
    value_ = 0;
    return 0;
  }

  // One more digit: a character that is no digit of the radix is F6101. In
  // radix 10 the value may reach 2147483647, in any other 4294967295 (an
  // unsigned 32-bit pattern); beyond is F6100. (At most 4294967295 times 36
  // plus 35 before the check: no overflow of the 64 bits.)
  int add(char c) {
    const unsigned digit = digit_value(c);
    if (digit >= radix_) return errors::kIntegerInvalid;
    any_digit_ = true;
    value_ = value_ * radix_ + digit;
    const std::uint64_t limit = radix_ == 10 ? 2147483647u : 4294967295u;
    return value_ > limit ? errors::kIntegerOverflow : 0;
  }

  // The 32-bit pattern of the digits, negated for a leading "-".
  std::int32_t value(bool negative) const {
    auto bits = static_cast<std::uint32_t>(value_);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
  }

 private:
  unsigned radix_ = 10;
  bool radix_marked_ = false;
  bool any_digit_ = false;
  std::uint64_t value_ = 0;
};

constexpr double kLargestSingle = 3.402823466385289e38;
// Tokens are at most 260 characters (longer ones are refused before this).
constexpr std::size_t kLongestForm = 264;

// Where the parts of a real token stand, once its form is known to be right.
struct RealForm {
  bool valid = false;
  bool plus_sign = false;  // a leading "+"
  std::size_t exponent_letter = std::string_view::npos;
};

// Optional sign; digits with an optional point, at least one digit in all;
// optionally an exponent letter E, e, D or d, an optional sign and at least
// one digit; nothing else.
RealForm real_form(std::string_view token) {
  RealForm form;
  std::size_t i = 0;
  auto digits = [&] {
    std::size_t start = i;
    while (i < token.size() && is_digit(token[i])) ++i;
    return i - start;
  };
  auto sign = [&] {
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
  };
  form.plus_sign = !token.empty() && token[0] == '+';
  sign();
  std::size_t mantissa_digits = digits();
  if (i < token.size() && token[i] == '.') {
    ++i;
    mantissa_digits += digits();
  }
  if (mantissa_digits == 0) return form;
  if (i < token.size() && short_number::is_exponent_letter(token[i])) {
    form.exponent_letter = i++;
    sign();
    if (digits() == 0) return form;
  }
  form.valid = i == token.size();
  return form;
}

// A number of the right form well inside the single range, converted with
// correct rounding straight from the text; false near or beyond the ends of
// the range (from_chars reports tiny values as out of range). It takes no
// "+" and no D exponent, so the text is passed without the one and with the
// other made an "e".
bool convert_inside_range(std::string_view token, const RealForm& form, float& single) {
  char text[kLongestForm];
  const std::string_view plain = form.plus_sign ? token.substr(1) : token;
  if (plain.size() > sizeof text) return false;
  std::copy(plain.begin(), plain.end(), text);
  if (form.exponent_letter != std::string_view::npos) {
    text[form.exponent_letter - (form.plus_sign ? 1 : 0)] = 'e';
  }
  auto [end, ec] = std::from_chars(text, text + plain.size(), single);
  return ec == std::errc() && end == text + plain.size() &&
         std::fabs(single) < std::numeric_limits<float>::max();
}

// A number of the right form near or beyond the ends of the ranges: beyond
// double precision is F6102, above the largest single F6104; what is left
// (the largest singles, tiny values becoming zero or subnormal) is rounded
// straight from the decimal text, not through the double.
Parsed<float> convert_at_range_ends(std::string_view token, const RealForm& form) {
  std::string text(token);
  if (form.exponent_letter != std::string_view::npos) text[form.exponent_letter] = 'e';
  errno = 0;
  const double wide = std::strtod(text.c_str(), nullptr);
  if (errno == ERANGE && std::isinf(wide)) return {0.0f, errors::kRealBeyondDouble};
  if (std::fabs(wide) > kLargestSingle) return {0.0f, errors::kRealBeyondSingle};
  return {std::strtof(text.c_str(), nullptr), 0};
}

}  // namespace

Parsed<std::int32_t> parse_integer(std::string_view token) {
  const char* const end = token.data() + token.size();
  // 1. The common form, a sign and up to nine decimal digits, at once.
  Parsed<std::int32_t> quick;
  if (!token.empty() && parse_short_integer(token.data(), end, quick.value) == end) return quick;
  // 2. The most negative integer. The digits are accumulated as a magnitude
  //    that may not pass 2147483647 (step 4), so the one value whose
  //    magnitude is 2147483648 is recognised as a whole token. Only this
  //    spelling: with a leading zero or "+" sign it is F6100 like any other
  //    magnitude beyond the limit.
  if (token == "-2147483648") return {INT32_MIN, 0};
  // 3. An optional sign.
  const char* p = token.data();
  const bool negative = short_number::take_sign(p, end);
  // 4. The digits, with at most one radix mark; a sign alone gives 0.
  IntegerDigits digits;
  for (; p < end; ++p) {
    if (int error = *p == '#' ? digits.mark_radix() : digits.add(*p); error != 0) return {0, error};
  }
  // 5. The sign applied to the 32-bit pattern.
  return {digits.value(negative), 0};
}

Parsed<float> parse_real(std::string_view token) {
  const char* const end = token.data() + token.size();
  // 1. The common form, short and exact in single precision, at once.
  Parsed<float> quick;
  if (!token.empty() && parse_short_real(token.data(), end, quick.value) == end) return quick;
  // 2. The form, checked first, so that the conversions never see anything
  //    but a number: any other token is F6103.
  const RealForm form = real_form(token);
  if (!form.valid) return {0.0f, errors::kRealInvalid};
  // 3. Well inside the single range, the nearest single from the text.
  if (float single = 0.0f; convert_inside_range(token, form, single)) return {single, 0};
  // 4. Near or beyond the ends of the ranges, the errors or the nearest single.
  return convert_at_range_ends(token, form);
}

}  // namespace format
