// The reading library where it has logic of its own: fields (value,
// asterisks, not a number), lines (LF, CR LF, a last line without its
// end), and the answer for a field, whose quick way must never accept a
// field that the plain way (convert, write again, compare) refuses.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <tuple>
#include <vector>
#include <string>

#include "tests/support/expected_text.h"
#include "inspect/field.h"
#include "format/field_answer.h"
#include "format/field_render.h"
#include "inspect/line_reader.h"
#include "format/number_parse.h"
#include "tests/support/program_runner.h"
#include "inspect/read_error.h"

namespace {

using format::Descriptor;
using inspect::Field;
using testing_support::blanks;

const format::Descriptor kI10{format::Descriptor::Kind::Integer, 10, 0};
const format::Descriptor kI3{format::Descriptor::Kind::Integer, 3, 0};
const format::Descriptor kG10{format::Descriptor::Kind::Real, 10, 3};

TEST(ReadBackFields, ValueAsterisksOrNotANumber) {
  struct Case {
    const char* line;
    format::Descriptor d;
    Field::Kind kind;
    double value;
  };
  const Case cases[] = {
      {"        -5", kI10, Field::Kind::Value, -5},
      {"**********", kI10, Field::Kind::Asterisks, 0},
      {"  *", kI3, Field::Kind::Asterisks, 0},   // right-justified asterisks read as asterisks
      {"   ", kI3, Field::Kind::Value, 0},       // a blank field reads as zero
      {" 1.5", kI10, Field::Kind::NotANumber, 0},
      {"2147483648", kI10, Field::Kind::NotANumber, 0},
      {"  1.00    ", kG10, Field::Kind::Value, 1.0},
      {"  .100E-02", kG10, Field::Kind::Value, 0.001},
      {" -.500    ", kG10, Field::Kind::Value, -0.5},
      {"  1.5D2   ", kG10, Field::Kind::Value, 150},
      {"  1.0x    ", kG10, Field::Kind::NotANumber, 0},
      {"  .400E+39", kG10, Field::Kind::NotANumber, 0},  // beyond the largest real
      {"  12", kG10, Field::Kind::Value, 12},            // the line ends inside the field
  };
  for (const Case& c : cases) {
    const Field f = inspect::read_field(c.line, 0, c.d);
    EXPECT_EQ(f.kind, c.kind) << c.line;
    if (f.kind == Field::Kind::Value) {
      EXPECT_FLOAT_EQ(c.d.kind == format::Descriptor::Kind::Real ? f.real : static_cast<float>(f.integer),
                      static_cast<float>(c.value)) << c.line;
    }
  }
}

TEST(ReadBackLines, LineEndsAndTheLastLine) {
  testing_support::Scratch dir;
  dir.write("f", "one\r\ntwo\nthree\r\r\nfour");
  const int fd = ::open(dir.file("f").c_str(), O_RDONLY);
  inspect::LineReader lines(fd);
  inspect::Line line;
  const char* expected[] = {"one", "two", "three\r", "four"};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(lines.next(line));
    EXPECT_EQ(line.text, expected[i]);
    EXPECT_EQ(line.number, i + 1);
    EXPECT_EQ(line.has_line_end, i < 3);
  }
  EXPECT_FALSE(lines.next(line));
  lines.go_to({5, 2});  // back to "two"
  ASSERT_TRUE(lines.next(line));
  EXPECT_EQ(line.text, "two");
  EXPECT_EQ(line.number, 2);
  ::close(fd);

  dir.write("long", std::string(inspect::LineReader::kLongestLine + 1, 'x') + "\n");
  const int long_fd = ::open(dir.file("long").c_str(), O_RDONLY);
  inspect::LineReader long_lines(long_fd);
  EXPECT_THROW(long_lines.next(line), inspect::ReadError);
  ::close(long_fd);
}

// The G10.3 field of `value` as the builder writes it.
std::string g10_3(float value) {
  char field[10];
  format::put_real_field(field, value, 10, 3);
  return std::string(field, 10);
}

bool answer_for(const Field& field, format::FieldAnswer& answer) {
  return format::answer_for_field(field.text, field.width, field.type, answer);
}

// The answer for a field, typed back, gives the same field.
bool answer_rebuilds(const std::string& text, const format::Descriptor& d, bool quick) {
  const Field field = inspect::read_field(text, 0, d);
  format::FieldAnswer answer;
  const bool found =
      quick ? format::answer_for_field(field.text, field.width, field.type, answer)
            : format::field_answer_detail::answer_for_field_fallback(field.text, field.width, field.type, answer);
  if (!found) return false;
  const std::string typed(answer.view());
  char rendered[64];
  if (d.kind == format::Descriptor::Kind::Real) {
    const auto parsed = format::parse_real(typed);
    if (parsed.error != 0) return false;
    format::put_real_field(rendered, parsed.value, 10, 3);
  } else {
    const auto parsed = format::parse_integer(typed);
    if (parsed.error != 0) return false;
    format::put_integer_field(rendered, parsed.value, d.width);
  }
  return std::string(rendered, static_cast<std::size_t>(d.width)) == text;
}

// Every field the builder writes has an answer that writes it again, the
// quick way and the plain way alike: reals of every magnitude, the changes
// of form, the largest and the smallest.
TEST(ReadBackAnswers, EveryRealFieldHasItsAnswer) {
  std::vector<float> values = {0.0f, -0.0f, 0.1f, 0.09999f, 0.099996f, 999.96f, 999.99994f, -999.96f,
                               99.996f, 9.9996f, 0.9996f, 1000.0f, 9999.6f, 1.125f, -1.125f,
                               std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                               std::numeric_limits<float>::min(), std::numeric_limits<float>::denorm_min(),
                               3.0e-45f, 1.0e-37f, 9.9999e-38f, 3.3999e38f};
  std::mt19937 random(11);
  for (int i = 0; i < 200000; ++i) {
    std::uint32_t bits = random();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v)) values.push_back(v);
    values.push_back(static_cast<float>(std::ldexp(static_cast<double>(random() % 100000) / 100000.0,
                                                   static_cast<int>(random() % 80) - 40)));
  }
  for (float v : values) {
    const std::string field = g10_3(v);
    ASSERT_TRUE(answer_rebuilds(field, kG10, false)) << v << " '" << field << "'";
    ASSERT_TRUE(answer_rebuilds(field, kG10, true)) << v << " '" << field << "'";
  }
}

// The quick way never takes a field the plain way refuses: fields made by
// changing the builder's fields a byte at a time, and texts of its forms.
TEST(ReadBackAnswers, TheQuickWayAcceptsNoFieldThePlainWayRefuses) {
  std::mt19937 random(12);
  static const char kBytes[] = " 0123456789.-+E*x";
  int accepted = 0;
  for (int i = 0; i < 300000; ++i) {
    std::uint32_t bits = random();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    std::string field = g10_3(v);
    for (int changes = static_cast<int>(random() % 3); changes > 0; --changes) {
      field[random() % 10] = kBytes[random() % (sizeof kBytes - 1)];
    }
    if (format::field_answer_detail::is_builder_real_field(field)) {
      ++accepted;
      ASSERT_TRUE(answer_rebuilds(field, kG10, false)) << "'" << field << "'";
    }
    std::string integer(3, ' ');
    for (char& c : integer) c = kBytes[random() % 12];
    if (format::field_answer_detail::is_builder_integer_field(integer, 3)) {
      ASSERT_TRUE(answer_rebuilds(integer, kI3, false)) << "'" << integer << "'";
    }
  }
  EXPECT_GT(accepted, 100000);
  for (const char* refused : {"  .100E+00", " 1000.    ", "  .340E+39", "  .140E-44", " -.000    ",
                              "  .123E+02", "  0.10    ", " 1.00     "}) {
    EXPECT_FALSE(format::field_answer_detail::is_builder_real_field(refused)) << refused;
  }
}

// Fields of asterisks: the answer is a value that writes the same
// asterisks; in ten columns only the lowest integer does.
TEST(ReadBackAnswers, AsterisksGetAValueTooWide) {
  for (const auto& [text, d, answer] : {std::tuple{"***", kI3, "1000"}, std::tuple{"**", format::Descriptor{format::Descriptor::Kind::Integer, 2, 0}, "100"},
                                        std::tuple{"**********", kI10, "-2147483648"}}) {
    format::FieldAnswer a;
    ASSERT_TRUE(answer_for(inspect::read_field(text, 0, d), a)) << text;
    EXPECT_TRUE(a.asterisks);
    EXPECT_EQ(a.view(), answer);
  }
  format::FieldAnswer none;
  EXPECT_FALSE(answer_for(inspect::read_field("**********", 0, kG10), none));
  EXPECT_FALSE(answer_for(inspect::read_field(blanks(10), 0, kG10), none));
  EXPECT_FALSE(answer_for(inspect::read_field("       +05", 0, kI10), none));
}

}  // namespace
