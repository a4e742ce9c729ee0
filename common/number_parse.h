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

}  // namespace builders
