// Conversion of one answer token to a 32-bit integer or real. Errors are
// returned as the run-time error number (error_codes.h), 0 meaning success.
#pragma once

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
const char* parse_short_integer(const char* begin, const char* end, std::int32_t& value);
const char* parse_short_real(const char* begin, const char* end, float& value);

}  // namespace builders
