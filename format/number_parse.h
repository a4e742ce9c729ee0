// Conversion of one answer token to a 32-bit integer or real. Errors are
// returned as the run-time error number (error_codes.h), 0 meaning success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace format {

template <typename T>
struct Parsed {
  T value{};
  int error = 0;
};

// Optional sign, decimal digits; "r#digits" or "#digits" for radix r (16 by
// default), taken as an unsigned 32-bit pattern; "+" or "-" alone is 0.
Parsed<std::int32_t> parse_integer(std::string_view token);

// Optional sign, digits with an optional point, optional exponent letter
// E, e, D or d with optional sign and digits. Rounded to single precision.
Parsed<float> parse_real(std::string_view token);

// Steps of the short conversions below.
namespace short_number {

// An optional "+" or "-" at `p`, passed over; true for "-".
inline bool take_sign(const char*& p, const char* end) {
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  return negative;
}

// Decimal digits at `p`, passed over and added to `value`; returns how many.
// A run too long for `value` wraps around: the callers refuse it by its
// length.
template <typename Unsigned>
inline std::ptrdiff_t take_digits(const char*& p, const char* end, Unsigned& value) {
  const char* const first = p;
  for (unsigned d; p < end && (d = static_cast<unsigned char>(*p) - '0') < 10; ++p) {
    value = value * 10 + d;
  }
  return p - first;
}

inline bool is_exponent_letter(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

}  // namespace short_number

// The common forms, converted at once. Each reads a number from `begin`
// and returns where it ends, or nullptr when the text there does not start
// with a number of its form (the general conversions above then decide):
// - a short integer: an optional sign and one to nine decimal digits;
// - a short real: an optional sign, at most nine digits with an optional
//   point, their value below 2^24, and an optional exponent (E, e, D or d)
//   of up to three digits that leaves a power of ten from 10^-10 to 10^10;
//   both numbers are exact in single precision, so one rounded
//   multiplication or division is correct.
// (Inline: they run for nearly every answer of a scripted session.)
inline const char* parse_short_integer(const char* begin, const char* end, std::int32_t& value) {
  constexpr std::ptrdiff_t kMostDigits = 9;  // no overflow possible
  const char* p = begin;
  // 1. An optional sign.
  const bool negative = short_number::take_sign(p, end);
  // 2. One to nine decimal digits (leading zeros count).
  std::uint32_t magnitude = 0;
  const std::ptrdiff_t digit_count = short_number::take_digits(p, end, magnitude);
  if (digit_count == 0 || digit_count > kMostDigits) return nullptr;
  // 3. The sign applied to the magnitude, which is below 10^9.
  value = static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
  return p;
}

inline const char* parse_short_real(const char* begin, const char* end, float& value) {
  constexpr std::uint32_t kExactLimit = 1u << 24;
  constexpr std::ptrdiff_t kMostDigits = 9;  // leading zeros included
  constexpr std::ptrdiff_t kMostExponentDigits = 3;
  static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                      1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
  constexpr int kLargestPower = 10;
  const char* p = begin;
  // 1. An optional sign.
  const bool negative = short_number::take_sign(p, end);
  // 2. The digits before and after the point make one whole number, to be
  //    multiplied by 10^-(digits after the point); at most nine digits and
  //    below 2^24, so that it is exact in single precision.
  std::uint32_t digits = 0;
  std::ptrdiff_t digit_count = short_number::take_digits(p, end, digits);
  int scale = 0;
  if (p < end && *p == '.') {
    ++p;
    const std::ptrdiff_t fraction_count = short_number::take_digits(p, end, digits);
    digit_count += fraction_count;
    scale = -static_cast<int>(fraction_count);
  }
  if (digit_count == 0 || digit_count > kMostDigits || digits >= kExactLimit) return nullptr;
  // 3. An optional exponent: a letter E, e, D or d, an optional sign and one
  //    to three digits, added to the scale.
  if (p < end && short_number::is_exponent_letter(*p)) {
    ++p;
    const bool negative_exponent = short_number::take_sign(p, end);
    unsigned exponent = 0;
    const std::ptrdiff_t exponent_count = short_number::take_digits(p, end, exponent);
    if (exponent_count == 0 || exponent_count > kMostExponentDigits) return nullptr;
    scale += negative_exponent ? -static_cast<int>(exponent) : static_cast<int>(exponent);
  }
  // 4. A scale from 10^-10 to 10^10, a power exact in single precision, so
  //    that one rounded multiplication or division gives the nearest value.
  if (scale < -kLargestPower || scale > kLargestPower) return nullptr;
  const auto magnitude = static_cast<float>(digits);
  const float result = scale >= 0 ? magnitude * kPowers[scale] : magnitude / kPowers[-scale];
  value = negative ? -result : result;
  return p;
}

}  // namespace format
