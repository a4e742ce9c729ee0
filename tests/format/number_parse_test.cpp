// Conversion of one answer token to an integer or a real, with the error
// number each malformed answer ends the run with.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "format/error_codes.h"
#include "format/number_parse.h"

namespace common {
namespace {

struct IntegerCase {
  std::string token;
  std::int32_t value;
};

TEST(IntegerAnswer, EveryAcceptedForm) {
  const std::vector<IntegerCase> cases = {
      {"42", 42},
      {"+42", 42},
      {"-42", -42},
      {"0", 0},
      {"-0", 0},
      {"007", 7},
      {"2147483647", 2147483647},
      {"0000000000002147483647", 2147483647},
      {"-2147483647", -2147483647},
      {"-2147483648", INT32_MIN},
      // A sign alone is zero.
      {"+", 0},
      {"-", 0},
      // "#" alone, or after 0, is radix 16; letters in either case.
      {"#1F", 31},
      {"#1f", 31},
      {"0#FF", 255},
      {"0#1F", 31},
      {"16#ff", 255},
      {"2#101", 5},
      {"8#777", 511},
      {"36#Zz", 35 * 36 + 35},
      {"10#2147483647", 2147483647},
      {"-2#101", -5},
      {"+#10", 16},
      {"-#1F", -31},
      // Other radixes make an unsigned 32-bit pattern taken as signed.
      {"#7FFFFFFF", 2147483647},
      {"#80000000", INT32_MIN},
      {"-#80000000", INT32_MIN},
      {"#FFFFFFFF", -1},
      {"2#11111111111111111111111111111111", -1},
      {"36#ZZZZZZ", -2118184961},  // 36^6 - 1 = 2176782335
  };
  for (const auto& c : cases) {
    auto parsed = format::parse_integer(c.token);
    EXPECT_EQ(parsed.error, 0) << c.token;
    EXPECT_EQ(parsed.value, c.value) << c.token;
  }
}

struct ErrorCase {
  std::string token;
  int error;
};

TEST(IntegerAnswer, EveryErrorRow) {
  const std::vector<ErrorCase> cases = {
      // Outside the 32-bit range.
      {"2147483648", format::errors::kIntegerOverflow},
      {"+2147483648", format::errors::kIntegerOverflow},
      {"-2147483649", format::errors::kIntegerOverflow},
      {"21474836470", format::errors::kIntegerOverflow},
      {"99999999999", format::errors::kIntegerOverflow},
      {"-02147483648", format::errors::kIntegerOverflow},  // only the exact token is the minimum
      {"-10#2147483648", format::errors::kIntegerOverflow},
      {"10#2147483648", format::errors::kIntegerOverflow},
      {"#100000000", format::errors::kIntegerOverflow},
      {"-#100000000", format::errors::kIntegerOverflow},
      {"2#100000000000000000000000000000000", format::errors::kIntegerOverflow},
      // Not a digit of its radix, or a misplaced sign.
      {"1.5", format::errors::kIntegerInvalid},
      {"1e3", format::errors::kIntegerInvalid},
      {"3E2", format::errors::kIntegerInvalid},
      {"abc", format::errors::kIntegerInvalid},
      {"12a", format::errors::kIntegerInvalid},
      {"1-2", format::errors::kIntegerInvalid},
      {"5+", format::errors::kIntegerInvalid},
      {"--5", format::errors::kIntegerInvalid},
      {"+-5", format::errors::kIntegerInvalid},
      {"2#102", format::errors::kIntegerInvalid},
      {"8#8", format::errors::kIntegerInvalid},
      {"#G", format::errors::kIntegerInvalid},
      {"10#A", format::errors::kIntegerInvalid},
      {"#-5", format::errors::kIntegerInvalid},
      {"\x1A", format::errors::kIntegerInvalid},
      // A second "#".
      {"#1#2", format::errors::kSecondRadixMark},
      {"2#1#0", format::errors::kSecondRadixMark},
      {"##", format::errors::kSecondRadixMark},
      // A radix outside 2 to 36.
      {"1#0", format::errors::kRadixOutOfRange},
      {"37#1", format::errors::kRadixOutOfRange},
      {"100#5", format::errors::kRadixOutOfRange},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format::parse_integer(c.token).error, c.error) << c.token;
  }
}

struct RealCase {
  std::string token;
  float value;
};

TEST(RealAnswer, EveryAcceptedForm) {
  const float above_one = std::nextafter(1.0f, 2.0f);
  const std::vector<RealCase> cases = {
      {"3", 3.0f},
      {"-3", -3.0f},
      {"+3", 3.0f},
      {"1.5", 1.5f},
      {".5", 0.5f},
      {"5.", 5.0f},
      {"-.5", -0.5f},
      {"+.5", 0.5f},
      {"1.5D2", 150.0f},
      {"1.5d2", 150.0f},
      {"1.5e2", 150.0f},
      {"1.5E2", 150.0f},
      {"1.5E+2", 150.0f},
      {"15E-1", 1.5f},
      {"15.e-1", 1.5f},
      {".5D1", 5.0f},
      {"0.05", 0.05f},
      {"0.1", 0.1f},
      {"95.5", 95.5f},
      {"0e0", 0.0f},
      // Tiny magnitudes become zero or subnormal, without error.
      {"1e-400", 0.0f},
      {"1e-45", 1.4e-45f},
      // Up to and including the largest 32-bit real.
      {"3.402823466385289e38", FLT_MAX},
      {"-3.4028234e38", -FLT_MAX},
      {"3.4028234e38", FLT_MAX},  // the shortest spelling accepted
      // Rounded from the decimal text itself: just above the midpoint
      // between 1 and the next real, so it rounds up.
      {"1.000000059604644775390625000001", above_one},
  };
  for (const auto& c : cases) {
    auto parsed = format::parse_real(c.token);
    EXPECT_EQ(parsed.error, 0) << c.token;
    EXPECT_EQ(parsed.value, c.value) << c.token;
  }
}

TEST(RealAnswer, EveryErrorRow) {
  const std::vector<ErrorCase> cases = {
      // Not entirely a decimal number.
      {"abc", format::errors::kRealInvalid},
      {"1.5.3", format::errors::kRealInvalid},
      {"1.5q3", format::errors::kRealInvalid},
      {"1.5x", format::errors::kRealInvalid},
      {".", format::errors::kRealInvalid},
      {"+", format::errors::kRealInvalid},
      {"-", format::errors::kRealInvalid},
      {"--1", format::errors::kRealInvalid},
      {"e5", format::errors::kRealInvalid},
      {"1e", format::errors::kRealInvalid},
      {"1e+", format::errors::kRealInvalid},
      {"1.5e2.0", format::errors::kRealInvalid},
      {"1.5+2", format::errors::kRealInvalid},
      {"1e5e5", format::errors::kRealInvalid},
      {"#1F", format::errors::kRealInvalid},
      {"0x10", format::errors::kRealInvalid},
      {"inf", format::errors::kRealInvalid},
      {"nan", format::errors::kRealInvalid},
      // Beyond double precision.
      {"1e400", format::errors::kRealBeyondDouble},
      {"-1e400", format::errors::kRealBeyondDouble},
      {"1.8e308", format::errors::kRealBeyondDouble},
      {"1D99999999999999999999", format::errors::kRealBeyondDouble},
      // Beyond the largest 32-bit real.
      {"1e39", format::errors::kRealBeyondSingle},
      {"-1e39", format::errors::kRealBeyondSingle},
      {"3.4028236e38", format::errors::kRealBeyondSingle},
      // The shortest spelling of the largest 32-bit real is just above it.
      {"3.4028235e38", format::errors::kRealBeyondSingle},
      {"3.402823466385290e38", format::errors::kRealBeyondSingle},
      {"1.7e308", format::errors::kRealBeyondSingle},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format::parse_real(c.token).error, c.error) << c.token;
  }
}

}  // namespace
}  // namespace common
