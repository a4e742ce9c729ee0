#include "bench/varied_values.h"

#include <cmath>
#include <cstdio>

namespace bench {

std::uint64_t VariedValues::next() {  // splitmix64
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::int64_t VariedValues::integer(std::int64_t low, std::int64_t high) {
  auto span = static_cast<std::uint64_t>(high - low + 1);
  return low + static_cast<std::int64_t>(next() % span);
}

std::string VariedValues::real(int low_exponent, int high_exponent, bool may_be_negative) {
  int digits = static_cast<int>(integer(1, 6));
  // magnitude = mantissa * 10^(exponent - digits + 1), mantissa of `digits` digits
  int exponent = static_cast<int>(integer(low_exponent, high_exponent - 1));
  auto first = static_cast<std::int64_t>(std::pow(10, digits - 1));
  std::int64_t mantissa = integer(first, first * 10 - 1);
  double magnitude = static_cast<double>(mantissa) * std::pow(10.0, exponent - digits + 1);
  double value = may_be_negative && integer(0, 1) == 1 ? -magnitude : magnitude;
  char text[64];
  if (integer(0, 3) == 0) {
    std::snprintf(text, sizeof text, "%.*e", digits - 1, value);
  } else {
    int decimals = digits - 1 - exponent;
    std::snprintf(text, sizeof text, "%.*f", decimals > 0 ? decimals : 0, value);
  }
  return text;
}

}  // namespace bench
