// Conversion of one answer token to a 32-bit integer or real. Errors are
// returned as the run-time error number (error_codes.h), 0 meaning success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace builders {

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
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  const char* const digits = p;
  std::uint32_t magnitude = 0;  // a longer run may wrap around, but is refused by its length
  for (unsigned d; p < end && (d = static_cast<unsigned char>(*p) - '0') < 10; ++p) {
    magnitude = magnitude * 10 + d;
  }
  if (p == digits || p - digits > kMostDigits) return nullptr;
  value = static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
  return p;
}

inline const char* parse_short_real(const char* begin, const char* end, float& value) {
  constexpr std::uint32_t kExactLimit = 1u << 24;
  constexpr std::ptrdiff_t kMostDigits = 9;  // leading zeros included
  static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                      1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
  constexpr int kLargestPower = 10;
  const char* p = begin;
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  // The digits before and after the point make one whole number (a longer
  // run may wrap around, but is refused by its length).
  std::uint32_t digits = 0;
  const char* const whole_digits = p;
  for (unsigned d; p < end && (d = static_cast<unsigned char>(*p) - '0') < 10; ++p) {
    digits = digits * 10 + d;
  }
  std::ptrdiff_t digit_count = p - whole_digits;
  int scale = 0;  // the power of ten the digits are to be multiplied by
  if (p < end && *p == '.') {
    const char* const fraction_digits = ++p;
    for (unsigned d; p < end && (d = static_cast<unsigned char>(*p) - '0') < 10; ++p) {
      digits = digits * 10 + d;
    }
    digit_count += p - fraction_digits;
    scale = -static_cast<int>(p - fraction_digits);
  }
  if (digit_count == 0 || digit_count > kMostDigits || digits >= kExactLimit) return nullptr;
  if (p < end && (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd')) {
    ++p;
    const bool negative_exponent = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    const char* const exponent_digits = p;
    unsigned exponent = 0;  // as the digits above
    for (unsigned d; p < end && (d = static_cast<unsigned char>(*p) - '0') < 10; ++p) {
      exponent = exponent * 10 + d;
    }
    if (p == exponent_digits || p - exponent_digits > 3) return nullptr;
    scale += negative_exponent ? -static_cast<int>(exponent) : static_cast<int>(exponent);
  }
  if (scale < -kLargestPower || scale > kLargestPower) return nullptr;
  const auto magnitude = static_cast<float>(digits);
  const float result = scale >= 0 ? magnitude * kPowers[scale] : magnitude / kPowers[-scale];
  value = negative ? -result : result;
  return p;
}


}  // namespace builders
