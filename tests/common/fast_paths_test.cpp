// The quick ways through answers and records give what the general ways
// give: short numbers at the edges of their form, G10.3 and Iw against the
// rules they implement, console lines and uniform rows rendered once.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "common/answer_scanner.h"
#include "common/console.h"
#include "common/input_stream.h"
#include "tests/support/console_on_files.h"
#include "format/descriptor_list.h"
#include "format/field_render.h"
#include "format/number_parse.h"
#include "common/output_file.h"
#include "tests/support/program_runner.h"
#include "format/record_render.h"
#include "format/uniform_row.h"

namespace common {
namespace {

using testing_support::Scratch;
using testing_support::shown_by;
using testing_support::Source;
using testing_support::with_console;

TEST(ShortNumbers, EdgesOfTheQuickFormReadAsAnyOther) {
  struct IntegerCase {
    const char* token;
    std::int32_t value;
  };
  const std::vector<IntegerCase> integers = {
      {"999999999", 999999999},     // nine digits: the quick form
      {"1234567890", 1234567890},   // ten: the general conversion
      {"-000000001", -1},           // leading zeros count as digits
      {"+0000000000012", 12},
      {"-0", 0},
  };
  for (const auto& c : integers) {
    auto parsed = format::parse_integer(c.token);
    EXPECT_EQ(parsed.error, 0) << c.token;
    EXPECT_EQ(parsed.value, c.value) << c.token;
  }

  struct RealCase {
    const char* token;
    float value;
  };
  const std::vector<RealCase> reals = {
      {"16777215", 16777215.0f},     // below 2^24: exact
      {"16777217", 16777216.0f},     // above: rounded to even
      {"0.000000001", 1e-9f},        // nine digits, scale 10^-9
      {"0.0000000001", 1e-10f},      // ten digits
      {"1e10", 1e10f},
      {"1e11", 1e11f},               // beyond the exact powers
      {"1.5e-10", 1.5e-10f},
      {"1.5e-11", 1.5e-11f},
      {"2.5D003", 2500.0f},          // three exponent digits
      {"2.5D0003", 2500.0f},         // four
      {"123456.7", 123456.7f},
      {"0.1", 0.1f},
      {"3.14159", 3.14159f},
      {"-87.079", -87.079f},
  };
  for (const auto& c : reals) {
    auto parsed = format::parse_real(c.token);
    EXPECT_EQ(parsed.error, 0) << c.token;
    EXPECT_EQ(parsed.value, c.value) << c.token;
  }
  auto negative_zero = format::parse_real("-0.0");
  EXPECT_TRUE(negative_zero.value == 0.0f && std::signbit(negative_zero.value));
}

TEST(QuickAnswers, ReadLikeTheGeneralScan) {
  constexpr std::size_t kBlock = 64 * 1024;
  struct Case {
    const char* name;
    std::string input;
    std::vector<float> after_each_read;
  };
  const std::vector<Case> cases = {
      {"ten digits and more", "1234567.891\n0.00000000012\n", {1234567.891f, 1.2e-10f}},
      {"a value followed by more on its line", "2.5 9\n-1.25,3\n7.5/\n1\n", {2.5f, -1.25f, 7.5f, 1.0f}},
      {"CR LF line ends", "2.5\r\n3.5\r\n", {2.5f, 3.5f}},
      {"a repeat count", "2*1.5\n4\n", {1.5f, 4.0f}},
      {"a value across two blocks", std::string(kBlock - 4, ' ') + "1.25e-3\n6\n", {1.25e-3f, 6.0f}},
      {"a line end on the first byte of a block", std::string(kBlock - 5, ' ') + "2.75\n6\n",
       {2.75f, 6.0f}},
  };
  for (const auto& c : cases) {
    std::vector<float> seen;
    with_console(c.input, Source::File, [&](Console& console) {
      float value = 0.0f;
      for (std::size_t i = 0; i < c.after_each_read.size(); ++i) {
        console.read_real(value);
        seen.push_back(value);
      }
    });
    EXPECT_EQ(seen, c.after_each_read) << c.name;
  }
}

// Reading the usual answers at once takes the same answers, consumes the
// same bytes and fails the same way as the general way; only the answer's
// place, kept for the report, is left alone.
TEST(QuickAnswers, ScannerReadsAtOnceWhatTheGeneralWayReads) {
  struct Case {
    const char* name;
    std::string input;
    const char* reads;  // 'i' an integer, 'r' a real, one per read
  };
  const std::vector<Case> cases = {
      {"one value a line", "5\n-7\n2.5\n", "iir"},
      {"nine digits and ten", "999999999\n1234567890\n123456789\n", "iir"},
      {"signs and leading zeros", "+0012\n-0\n-000.50\n", "iir"},
      {"more on the line", "4 9\n3,8\n1.5/\n2.5\t7\n6\n", "iirri"},
      {"CR LF", "3\r\n4.25\r\n", "ir"},
      {"blanks first, empty lines", "  6\n\n\n7\n", "ii"},
      {"null answers", ",\n/\n5\n", "iri"},
      {"repeat counts", "2*6\n3*\n1.5\n", "iir"},
      {"a real where an integer is asked", "2.5\n", "i"},
      {"exponents", "1e3\n2.5D-3\n1.5E+10\n", "rrr"},
      {"the last line without a line end", "8\n9", "ii"},
      {"a quote in the token", "5'\n", "i"},
      {"a typo after the digits", "12q\n", "i"},
      {"too large", "99999999999\n", "i"},
      {"end of input", "4\n", "ii"},
  };
  struct Outcome {
    std::vector<std::string> after_each_read;  // the value's bits, or the error
    AnswerScanner::Rest rest;
    std::int64_t next_line = 0;
  };
  for (const Case& c : cases) {
    for (const bool crlf : {false, true}) {
      std::string input = c.input;
      if (crlf) {
        for (std::size_t at = input.find('\n'); at != std::string::npos; at = input.find('\n', at + 2)) {
          if (at == 0 || input[at - 1] != '\r') input.insert(at++, 1, '\r');
        }
      }
      auto read_all = [&](bool at_once) {
        InputStream stream(input);
        AnswerScanner scanner(stream);
        scanner.read_usual_answers_at_once(at_once);
        Outcome outcome;
        for (const char* kind = c.reads; *kind != '\0'; ++kind) {
          std::int32_t integer = 77;
          float real = 77.0f;
          try {
            if (*kind == 'i') {
              scanner.read_integer(integer);
              outcome.after_each_read.push_back(std::to_string(integer));
            } else {
              scanner.read_real(real);
              outcome.after_each_read.push_back(std::to_string(std::bit_cast<std::uint32_t>(real)));
            }
          } catch (const AnswerError& e) {
            outcome.after_each_read.push_back("error " + std::to_string(e.code));
            break;
          }
        }
        outcome.rest = scanner.take_rest_of_line();
        outcome.next_line = scanner.next_unread_line();
        return outcome;
      };
      const Outcome general = read_all(false);
      const Outcome at_once = read_all(true);
      SCOPED_TRACE(std::string(c.name) + (crlf ? ", CR LF" : ""));
      EXPECT_EQ(at_once.after_each_read, general.after_each_read);
      EXPECT_EQ(at_once.rest.line, general.rest.line);
      EXPECT_EQ(at_once.rest.column, general.rest.column);
      EXPECT_EQ(at_once.rest.bytes, general.rest.bytes);
      EXPECT_EQ(at_once.next_line, general.next_line);
    }
  }

  // The usual answer does go the quick way: its place is not taken.
  for (const bool at_once : {false, true}) {
    InputStream stream(std::string_view("5\n"));
    AnswerScanner scanner(stream);
    scanner.read_usual_answers_at_once(at_once);
    std::int32_t value = 0;
    scanner.read_integer(value);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(scanner.answer_line(), at_once ? -1 : 1);
  }
}

// Gw.d by its rule, written from the rule alone: 17 significant digits of
// the widened value, rounded half up to d; the form chosen before the
// rounding; fixed form with four blanks after, or .d...dE+xx; right-justified
// in w columns, or w asterisks when longer.
std::string g_by_the_rule(float x, int width, int d) {
  std::string digits(17, '0');
  int exponent = 0;
  if (x != 0.0f) {
    char sci[40];
    std::snprintf(sci, sizeof sci, "%.16e", std::fabs(static_cast<double>(x)));
    digits[0] = sci[0];
    for (int i = 1; i < 17; ++i) digits[static_cast<std::size_t>(i)] = sci[i + 1];
    exponent = std::atoi(sci + 19) + 1;
  }
  const bool fixed = exponent >= 0 && exponent <= d;
  if (x != 0.0f && digits[static_cast<std::size_t>(d)] >= '5') {
    int i = d - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++digits[static_cast<std::size_t>(i)];
    } else {
      digits[0] = '1';
      ++exponent;
    }
  }
  std::string text = x < 0.0f ? "-" : "";
  if (fixed) {
    for (int i = 0; i < exponent; ++i) text += i < d ? digits[static_cast<std::size_t>(i)] : '0';
    text += '.';
    for (int i = exponent; i < d; ++i) text += digits[static_cast<std::size_t>(i)];
    text += "    ";
  } else {
    char tail[16];
    std::snprintf(tail, sizeof tail, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    text += '.' + digits.substr(0, static_cast<std::size_t>(d)) + tail;
  }
  const auto w = static_cast<std::size_t>(width);
  return text.size() > w ? std::string(w, '*') : std::string(w - text.size(), ' ') + text;
}

// Reals spread over every binade, around every power of ten, around the
// rounding ties of d digits in a few decades (where the quick rounding hands
// over to the exact one), and exact binary fractions such as 3.125, whose
// ties the quick way decides itself. `stride` thins the spread ones out.
std::vector<float> real_sample(int d, int stride) {
  std::vector<float> sample;
  for (std::uint64_t bits = 0; bits < (1ull << 32); bits += 65521ull * static_cast<unsigned>(stride)) {
    float x = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
    if (std::isfinite(x)) sample.push_back(x);
  }
  for (int e = -45; e <= 38; ++e) {
    float p = std::pow(10.0f, static_cast<float>(e));
    for (float x : {p, std::nextafter(p, 0.0f), std::nextafter(p, std::numeric_limits<float>::infinity())}) {
      sample.push_back(x);
    }
  }
  // Ties of d digits: d + 1 digits ending in 5, at 900 places of each decade.
  const double first = std::pow(10.0, d - 1);
  for (int step = 0; step < 900; ++step) {
    const double k = std::floor(first + step * (9.0 * first / 900.0));
    for (double scale : {1e-3, 1e-1, 1.0, 10.0}) {
      float tie = static_cast<float>((k * 10.0 + 5.0) * scale / (first * 100.0));
      for (float x : {tie, std::nextafter(tie, 0.0f), std::nextafter(tie, 1e9f)}) {
        sample.push_back(x);
        sample.push_back(-x);
      }
    }
  }
  for (int i = 1; i < (1 << 22); i += 97 * stride) {
    for (float scale : {1.0f / 1024, 1.0f / 65536, 1.0f / (1 << 26)}) sample.push_back(static_cast<float>(i) * scale);
  }
  return sample;
}

TEST(RealField, G10_3AgreesWithItsRuleOnASampleOfAllReals) {
  for (float x : real_sample(3, 1)) {
    std::string field;
    format::append_real_field(field, x, 10, 3);
    ASSERT_EQ(field, g_by_the_rule(x, 10, 3)) << std::hexfloat << x;
  }
}

// The other widths and digits take the general rendering: the exponent's
// two digits, carries into a new digit, fields too narrow for their text.
TEST(RealField, AnyWidthAndDigitsAgreeWithTheRule) {
  const std::vector<std::pair<int, int>> formats = {{12, 4}, {8, 2},  {9, 3},   {11, 3},  {15, 7},
                                                    {14, 9}, {6, 1},  {20, 10}, {25, 16}, {7, 3}};
  for (const auto& [width, d] : formats) {
    const format::DescriptorList list("(2G" + std::to_string(width) + "." + std::to_string(d) + ")");
    for (float x : real_sample(d, 4)) {
      std::string field;
      format::append_real_field(field, x, width, d);
      ASSERT_EQ(field, g_by_the_rule(x, width, d)) << "G" << width << "." << d << " of " << std::hexfloat << x;
      // Through a descriptor list: the same field twice in one record.
      const float pair[] = {x, x};
      std::string record;
      std::string scratch;
      format::render_records(list, std::span<const float>(pair), [&](std::string_view r) { record = r; }, scratch);
      ASSERT_EQ(record, field + field) << "G" << width << "." << d << " of " << std::hexfloat << x;
    }
  }
}

TEST(RealField, G10_3RoundsExactTiesUp) {
  struct Case {
    float value;
    const char* field;
  };
  const std::vector<Case> cases = {
      {3.125f, "  3.13    "}, {-3.125f, " -3.13    "}, {0.3125f, "  .313    "},
      {12.25f, "  12.3    "}, {999.5f, " 1000.    "}, {0.0009765625f, "  .977E-03"},
      {1.0f, "  1.00    "}, {100.0f, "  100.    "}, {0.5f, "  .500    "}};
  for (const auto& c : cases) {
    std::string field;
    format::append_real_field(field, c.value, 10, 3);
    EXPECT_EQ(field, c.field) << c.value;
  }
}

TEST(IntegerField, AgreesWithPrintfForEveryWidth) {
  const std::vector<std::int32_t> values = {0,         1,          -1,         9,         10,
                                            -9,        -10,        99,         100,       -99,
                                            -100,      999,        1000,       123456789, -123456789,
                                            999999999, 1000000000, 2147483647, INT32_MIN, -2147483647};
  for (int width = 1; width <= 13; ++width) {
    for (std::int32_t v : values) {
      char text[16];
      const int length = std::snprintf(text, sizeof text, "%d", v);
      const std::string expected = length > width
                                       ? std::string(static_cast<std::size_t>(width), '*')
                                       : std::string(static_cast<std::size_t>(width - length), ' ') + text;
      std::string field;
      format::append_integer_field(field, v, width);
      EXPECT_EQ(field, expected) << v << " in " << width;
    }
  }
}

TEST(ConsoleLines, ShowAsTheLinesThemselves) {
  const std::string_view legend = " -1 = Constant Head Cell           ";
  ConsoleLines lines;
  ASSERT_TRUE(lines.add({" Row ", std::int32_t{3}}));
  ASSERT_TRUE(lines.add({" Column ", std::int32_t{12}, " Boundary Condition"}));
  ASSERT_TRUE(lines.add({legend}));
  for (bool after_a_line : {false, true}) {
    auto one_by_one = shown_by(false, [&](Console& console) {
      if (after_a_line) console.write_line({"before"});
      console.write_line({" Row ", std::int32_t{3}});
      console.write_line({" Column ", std::int32_t{12}, " Boundary Condition"});
      console.write_line({legend});
    });
    auto rendered_once = shown_by(false, [&](Console& console) {
      if (after_a_line) console.write_line({"before"});
      console.write_lines(lines);
    });
    EXPECT_EQ(rendered_once, one_by_one) << (after_a_line ? "after a line" : "first on the console");
  }

  // Only lines that make one record beginning with a text are taken.
  ConsoleLines refused;
  EXPECT_FALSE(refused.add({std::int32_t{1}, " first"}));
  const std::string too_long(79, 'x');
  const std::string longest(78, 'x');
  EXPECT_FALSE(refused.add({std::string_view(too_long)}));
  EXPECT_TRUE(refused.add({std::string_view(longest)}));
}

TEST(UniformRow, SameRecordsAsRenderingEveryValue) {
  struct Case {
    const char* list;
    std::size_t count;
  };
  const std::vector<Case> cases = {{"(10G10.3)", 0}, {"(10G10.3)", 1},  {"(10G10.3)", 10},
                                   {"(10G10.3)", 25}, {"(20I3)", 20},   {"(20I3)", 45},
                                   {"(8I10)", 5},     {"(2I10,G10.3)", 7}};
  for (const auto& c : cases) {
    const format::DescriptorList list(c.list);
    std::vector<std::string> each, once;
    std::string scratch;
    if (list[0].kind == format::Descriptor::Kind::Real) {
      const std::vector<float> values(c.count, -2.5f);
      format::render_records(list, std::span<const float>(values), [&](std::string_view r) { each.emplace_back(r); },
                     scratch);
      format::UniformRow(list, -2.5f, c.count).for_each_record([&](std::string_view r) { once.emplace_back(r); });
    } else {
      const std::vector<std::int32_t> values(c.count, -7);
      format::render_records(list, std::span<const std::int32_t>(values),
                     [&](std::string_view r) { each.emplace_back(r); }, scratch);
      format::UniformRow(list, std::int32_t{-7}, c.count).for_each_record([&](std::string_view r) {
        once.emplace_back(r);
      });
    }
    EXPECT_EQ(once, each) << c.list << " with " << c.count << " values";
  }
}

// Records of values of known types are the records of the same items,
// also when the values fill more than one record or pair with the wrong
// descriptor.
TEST(OutputFile, FieldsOfKnownTypesWriteTheRecordsOfTheSameItems) {
  Scratch dir;
  auto written = [&](std::string_view name, auto&& write) {
    OutputFile file;
    file.open(13, dir.file(name), "UNKNOWN", "sequential");
    file.rewind();
    write(file);
    file.close();
    return dir.read(name);
  };
  const format::DescriptorList drain("(3i10,2g10.3)");
  const format::DescriptorList pair("(2i10)");
  const format::DescriptorList real_first("(g10.3,i10)");
  const auto fields = written("fields", [&](OutputFile& f) {
    f.write_fields(drain, std::int32_t{1}, std::int32_t{-20}, std::int32_t{300}, -9.30048f, 1.7485e-7f);
    f.write_fields(pair, std::int32_t{7}, std::int32_t{8}, std::int32_t{9});
    f.write_fields(real_first, std::int32_t{5}, 2.5f);
    f.write_fields(pair);
  });
  const auto items = written("items", [&](OutputFile& f) {
    f.write_record(drain, {std::int32_t{1}, std::int32_t{-20}, std::int32_t{300}, -9.30048f, 1.7485e-7f});
    f.write_record(pair, {std::int32_t{7}, std::int32_t{8}, std::int32_t{9}});
    f.write_record(real_first, {std::int32_t{5}, 2.5f});
    f.write_record(pair, std::span<const std::int32_t>());
  });
  EXPECT_EQ(fields, items);
  EXPECT_EQ(fields.substr(0, 52), "         1       -20       300" " -9.30    " "  .175E-06\r\n");
}

}  // namespace
}  // namespace common
