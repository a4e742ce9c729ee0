// Record rendering: fields, descriptor lists, record breaks.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/expected_text.h"
#include "format/descriptor_list.h"
#include "format/field_render.h"
#include "format/record_render.h"

namespace common {
namespace {

using testing_support::blanks;

std::string g103(float x) {
  std::string out;
  format::append_real_field(out, x, 10, 3);
  return out;
}

struct RealCase {
  float value;
  std::string expected;
};

TEST(RealField, WorkedExamplesAndRoundingEdges) {
  const std::vector<RealCase> cases = {
      {0.0f, blanks(2) + ".000" + blanks(4)},
      {-0.0f, blanks(2) + ".000" + blanks(4)},
      {1.0f, blanks(2) + "1.00" + blanks(4)},
      {5.0f, blanks(2) + "5.00" + blanks(4)},
      {0.5f, blanks(2) + ".500" + blanks(4)},
      {-0.5f, blanks(1) + "-.500" + blanks(4)},
      {0.1f, blanks(2) + ".100" + blanks(4)},
      {12.5f, blanks(2) + "12.5" + blanks(4)},
      {123.456f, blanks(2) + "123." + blanks(4)},
      {-999.0f, blanks(1) + "-999." + blanks(4)},
      {0.05f, blanks(2) + ".500E-01"},
      {0.0001f, blanks(2) + ".100E-03"},
      {-0.0001f, blanks(1) + "-.100E-03"},
      {1000.0f, blanks(2) + ".100E+04"},
      {1234.0f, blanks(2) + ".123E+04"},
      {1.0e20f, blanks(2) + ".100E+21"},
      {3.0e38f, blanks(2) + ".300E+39"},
      // Form chosen before rounding; the carry adds a digit.
      {999.96f, blanks(1) + "1000." + blanks(4)},
      {99.996f, blanks(2) + "100." + blanks(4)},
      {999.49f, blanks(2) + "999." + blanks(4)},
      {0.09996f, blanks(2) + ".100E+00"},
      {0.9996f, blanks(2) + "1.00" + blanks(4)},
      // Half up, away from zero.
      {1.125f, blanks(2) + "1.13" + blanks(4)},
      {-1.125f, blanks(1) + "-1.13" + blanks(4)},
      {95.5f, blanks(2) + "95.5" + blanks(4)},
      {999.0f, blanks(2) + "999." + blanks(4)},
      {0.001f, blanks(2) + ".100E-02"},
      {-1000.0f, blanks(1) + "-.100E+04"},
      {-999.96f, "-1000." + blanks(4)},
      {1.4e-45f, blanks(2) + ".140E-44"},
      {3.4028235e38f, blanks(2) + ".340E+39"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(g103(c.value), c.expected) << "value " << c.value;
  }
}

// Widths and digits other than G10.3, worked out by hand from the rule.
TEST(RealField, OtherWidthsAndDigits) {
  struct Case {
    float value;
    int width;
    int digits;
    std::string expected;
  };
  const std::vector<Case> cases = {
      // 1234.5 is exact: E = 4 = d, fixed form, the tie rounds up.
      {1234.5f, 12, 4, blanks(3) + "1235." + blanks(4)},
      // 0.05 is 0.0500000007...: E = -1, exponent form.
      {0.05f, 12, 4, blanks(3) + ".5000E-01"},
      // -9.99996 is -9.9999599...: fixed form (E = 1), the carry adds an
      // integer digit and takes one fraction digit.
      {-9.99996f, 12, 4, blanks(2) + "-10.00" + blanks(4)},
      // Exponents of nine and more, both signs.
      {1.5e8f, 12, 4, blanks(3) + ".1500E+09"},
      {5.0e9f, 12, 4, blanks(3) + ".5000E+10"},
      {2.5e-9f, 12, 4, blanks(3) + ".2500E-08"},  // 2.4999999...e-9, rounded up
      {3.0e38f, 12, 4, blanks(3) + ".3000E+39"},
      // 123 in two digits: E = 3 > d, exponent form.
      {123.0f, 8, 2, blanks(1) + ".12E+03"},
      // 1e-20 is 9.99999968e-21: rounding carries, E goes from -20 to -19;
      // with the sign the text fills eight columns, and is too long for seven.
      {-1.0e-20f, 8, 2, "-.10E-19"},
      {-1.0e-20f, 7, 2, std::string(7, '*')},
      // G9.3: -1000. and four blanks are ten characters.
      {-999.96f, 9, 3, std::string(9, '*')},
      {-0.0001f, 9, 3, "-.100E-03"},
      // Ten digits: 0.1 is 0.10000000149..., rounded up at the eleventh.
      {0.1f, 20, 10, blanks(5) + ".1000000015" + blanks(4)},
      {-0.0f, 12, 4, blanks(3) + ".0000" + blanks(4)},
  };
  for (const auto& c : cases) {
    std::string out;
    format::append_real_field(out, c.value, c.width, c.digits);
    EXPECT_EQ(out, c.expected) << "G" << c.width << "." << c.digits << " of " << c.value;
  }
}

// Leaves digits in the stack memory that the next call's locals will get.
[[gnu::noinline]] void fill_stack_with_digits() {
  volatile char junk[4096];
  for (auto& c : junk) c = '9';
}

// A field depends on its value alone, never on what its buffers held before.
TEST(RealField, SameWhateverTheStackHeldBefore) {
  const std::vector<RealCase> cases = {
      {0.5f, blanks(2) + ".500" + blanks(4)},
      {12.5f, blanks(2) + "12.5" + blanks(4)},
      {1000.0f, blanks(2) + ".100E+04"},
      {0.05f, blanks(2) + ".500E-01"},
  };
  for (const RealCase& c : cases) {
    fill_stack_with_digits();
    EXPECT_EQ(g103(c.value), c.expected) << c.value;
  }
}

TEST(IntegerField, RightJustifiedOrAsterisks) {
  struct Case {
    int value;
    int width;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {0, 10, blanks(9) + "0"},
      {-5, 10, blanks(8) + "-5"},
      {2147483647, 10, "2147483647"},
      {-1234567890, 10, std::string(10, '*')},
      {INT32_MIN, 10, std::string(10, '*')},
      {-99, 3, "-99"},
      {1000, 3, "***"},
      {-100, 3, "***"},
      {-9, 2, "-9"},
      {10, 2, "10"},
      {-10, 2, "**"},
      {100, 2, "**"},
  };
  for (const auto& c : cases) {
    std::string out;
    format::append_integer_field(out, c.value, c.width);
    EXPECT_EQ(out, c.expected) << c.value << " in I" << c.width;
  }
}

TEST(TextField, RightJustifiedOrCut) {
  std::string out;
  format::append_text_field(out, "TRPY-", 10);
  EXPECT_EQ(out, blanks(5) + "TRPY-");
  out.clear();
  format::append_text_field(out, " ", 4);
  EXPECT_EQ(out, blanks(4));
  out.clear();
  format::append_text_field(out, "IBOUND-", 10);
  EXPECT_EQ(out, blanks(3) + "IBOUND-");
  out.clear();
  format::append_text_field(out, "abcdef", 4);
  EXPECT_EQ(out, "abcd");
}

template <typename Value>
std::vector<std::string> records(std::string_view list, const std::vector<Value>& values) {
  std::vector<std::string> out;
  std::string scratch;
  format::render_records(format::DescriptorList(list), std::span<const Value>(values),
                 [&](std::string_view r) { out.emplace_back(r); }, scratch);
  return out;
}

TEST(Records, ListReuseShortRecordsAndEmptyWrite) {
  auto three = records<float>("(10G10.3)", std::vector<float>(25, 1.0f));
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(three[0].size(), 100u);
  EXPECT_EQ(three[1].size(), 100u);
  EXPECT_EQ(three[2].size(), 50u);

  EXPECT_EQ(records<float>("(10G10.3)", std::vector<float>(10, 1.0f)).size(), 1u);
  auto eleven = records<float>("(10G10.3)", std::vector<float>(11, 1.0f));
  ASSERT_EQ(eleven.size(), 2u);
  EXPECT_EQ(eleven[1].size(), 10u);

  auto empty = records<float>("(10G10.3)", {});
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(empty[0], "");

  auto ints = records<std::int32_t>("(20I3)", std::vector<std::int32_t>(25, 7));
  ASSERT_EQ(ints.size(), 2u);
  EXPECT_EQ(ints[0].size(), 60u);
  EXPECT_EQ(ints[1].size(), 15u);

  EXPECT_EQ(records<std::int32_t>("(8I10)", {1, 2, 3, 4, 5})[0].size(), 50u);
  EXPECT_EQ(records<std::int32_t>("(40i2)", {1, 2, 3})[0], " 1 2 3");
}

TEST(Records, CaseOfDescriptorLettersDoesNotMatter) {
  std::vector<float> values = {0.5f, 12.5f, 1000.0f};
  EXPECT_EQ(records<float>("(10g10.3)", values), records<float>("(10G10.3)", values));
}

TEST(Records, MixedItemsAndTextAfterTheList) {
  std::vector<format::Item> drain = {std::int32_t{1}, std::int32_t{5}, std::int32_t{7}, 95.5f, 1000.0f};
  auto r = records<format::Item>("(3i10,2g10.3)", drain);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], blanks(9) + "1" + blanks(9) + "5" + blanks(9) + "7" + blanks(2) + "95.5" +
                      blanks(6) + ".100E+04");
  // Only the list up to its closing parenthesis counts.
  EXPECT_EQ(records<std::int32_t>("(2I10) and more", {1, 2})[0], blanks(9) + "1" + blanks(9) + "2");
}

TEST(DescriptorList, RejectsWhatTheProgramsNeverUse) {
  for (const char* bad : {"2i10", "(2i10", "(F10.3)", "(G10)", "(2(i10))", "(i)", "(0i10)"}) {
    EXPECT_THROW(format::DescriptorList{bad}, std::invalid_argument) << bad;
  }
  EXPECT_EQ(format::DescriptorList("( 2 i 10 , g10.3 )").size(), 3u);
}

}  // namespace
}  // namespace common
