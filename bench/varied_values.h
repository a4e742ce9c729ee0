// Reproducible answer values of varied magnitude and typing, so that the
// builders meet both forms of a real field and no value repeats by design.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

class VariedValues {
 public:
  explicit VariedValues(std::uint64_t seed) : state_(seed) {}

  // A whole number from `low` to `high`.
  std::int64_t integer(std::int64_t low, std::int64_t high);

  // A real of 1 to 6 significant digits whose magnitude lies from
  // 10^low_exponent up to 10^high_exponent, typed in plain decimals or, one
  // time in four, with an exponent; negative half of the time if allowed.
  std::string real(int low_exponent, int high_exponent, bool may_be_negative);

 private:
  std::uint64_t next();

  std::uint64_t state_;
};

}  // namespace bench
