// Conversion of one answer token to an integer or a real, with the error
// number each malformed answer ends the run with.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "error_codes.h"
#include "number_parse.h"

namespace builders {
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
    auto parsed = parse_integer(c.token);
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
      {"2147483648", errors::kIntegerOverflow},
      {"+2147483648", errors::kIntegerOverflow},
      {"-2147483649", errors::kIntegerOverflow},
      {"21474836470", errors::kIntegerOverflow},
      {"99999999999", errors::kIntegerOverflow},
      {"-02147483648", errors::kIntegerOverflow},  // only the exact token is the minimum
      {"-10#2147483648", errors::kIntegerOverflow},
      {"10#2147483648", errors::kIntegerOverflow},
      {"#100000000", errors::kIntegerOverflow},
      {"-#100000000", errors::kIntegerOverflow},
      {"2#100000000000000000000000000000000", errors::kIntegerOverflow},
      // Not a digit of its radix, or a misplaced sign.
      {"1.5", errors::kIntegerInvalid},
      {"1e3", errors::kIntegerInvalid},
      {"3E2", errors::kIntegerInvalid},
      {"abc", errors::kIntegerInvalid},
      {"12a", errors::kIntegerInvalid},
      {"1-2", errors::kIntegerInvalid},
      {"5+", errors::kIntegerInvalid},
      {"--5", errors::kIntegerInvalid},
      {"+-5", errors::kIntegerInvalid},
      {"2#102", errors::kIntegerInvalid},
      {"8#8", errors::kIntegerInvalid},
      {"#G", errors::kIntegerInvalid},
      {"10#A", errors::kIntegerInvalid},
      {"#-5", errors::kIntegerInvalid},
      {"\x1A", errors::kIntegerInvalid},
      // A second "#".
      {"#1#2", errors::kSecondRadixMark},
      {"2#1#0", errors::kSecondRadixMark},
      {"##", errors::kSecondRadixMark},
      // A radix outside 2 to 36.
      {"1#0", errors::kRadixOutOfRange},
      {"37#1", errors::kRadixOutOfRange},
      {"100#5", errors::kRadixOutOfRange},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parse_integer(c.token).error, c.error) << c.token;
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
    auto parsed = parse_real(c.token);
    EXPECT_EQ(parsed.error, 0) << c.token;
    EXPECT_EQ(parsed.value, c.value) << c.token;
  }
}

TEST(RealAnswer, EveryErrorRow) {
  const std::vector<ErrorCase> cases = {
      // Not entirely a decimal number.
      {"abc", errors::kRealInvalid},
      {"1.5.3", errors::kRealInvalid},
      {"1.5q3", errors::kRealInvalid},
      {"1.5x", errors::kRealInvalid},
      {".", errors::kRealInvalid},
      {"+", errors::kRealInvalid},
      {"-", errors::kRealInvalid},
      {"--1", errors::kRealInvalid},
      {"e5", errors::kRealInvalid},
      {"1e", errors::kRealInvalid},
      {"1e+", errors::kRealInvalid},
      {"1.5e2.0", errors::kRealInvalid},
      {"1.5+2", errors::kRealInvalid},
      {"1e5e5", errors::kRealInvalid},
      {"#1F", errors::kRealInvalid},
      {"0x10", errors::kRealInvalid},
      {"inf", errors::kRealInvalid},
      {"nan", errors::kRealInvalid},
      // Beyond double precision.
      {"1e400", errors::kRealBeyondDouble},
      {"-1e400", errors::kRealBeyondDouble},
      {"1.8e308", errors::kRealBeyondDouble},
      {"1D99999999999999999999", errors::kRealBeyondDouble},
      // Beyond the largest 32-bit real.
      {"1e39", errors::kRealBeyondSingle},
      {"-1e39", errors::kRealBeyondSingle},
      {"3.4028236e38", errors::kRealBeyondSingle},
      // The shortest spelling of the largest 32-bit real is just above it.
      {"3.4028235e38", errors::kRealBeyondSingle},
      {"3.402823466385290e38", errors::kRealBeyondSingle},
      {"1.7e308", errors::kRealBeyondSingle},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parse_real(c.token).error, c.error) << c.token;
  }
}

}  // namespace
}  // namespace builders
