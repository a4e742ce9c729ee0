// The free-form reader over real input: a console reading a file or a pipe,
// one value per read, as the programs read their answers.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/console.h"
#include "tests/support/console_on_files.h"
#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"
#include "tests/support/run_checks.h"

namespace common {
namespace {

using testing_support::is_report;
using testing_support::report_pattern;
using testing_support::Scratch;
using testing_support::Source;
using testing_support::with_console;
using testing_support::with_crlf;

struct IntegerReads {
  const char* name;
  std::string input;           // with LF line ends; also tried with CR LF
  std::vector<std::int32_t> after_each_read;  // the variable after each read, from 0
};

TEST(AnswerReader, IntegerAnswerForms) {
  const std::vector<IntegerReads> cases = {
      {"blanks and tabs around", "  \t 42 \t \n", {42}},
      {"empty and blank lines skipped", "\n\n   \n\t \n42\n", {42}},
      {"one value per line", "5\n7\n", {5, 7}},
      {"the rest of the line is lost", "5 7\n9\n", {5, 9}},
      {"a tab ends the value", "5\t7\n9\n", {5, 9}},
      {"a comma ends the value", "42,17\n9\n", {42, 9}},
      {"a slash ends the value", "5/\n9\n", {5, 9}},
      {"lone comma is null", "7\n,\n8\n", {7, 7, 8}},
      {"comma before a value is null", "7\n,5\n8\n", {7, 7, 8}},
      {"blanks then comma is null", "7\n  , 5\n8\n", {7, 7, 8}},
      {"lone slash is null", "7\n/\n8\n", {7, 7, 8}},
      {"blanks then slash is null", "7\n  / 5\n8\n", {7, 7, 8}},
      {"null at the very first read keeps 0", ",\n8\n", {0, 8}},
      {"repeat count gives its value once", "3*7\n9\n", {7, 9}},
      {"repeat count with a sign", "+3*-7\n", {-7}},
      {"repeat count alone is null", "4\n2*\n9\n", {4, 4, 9}},
      {"repeat count then blank is null", "4\n2* 8\n9\n", {4, 4, 9}},
      {"repeat count then comma is null", "4\n2*,8\n9\n", {4, 4, 9}},
      {"last line without line end", "1\n2\n3", {1, 2, 3}},
      {"260-character answer", std::string(250, '0') + "2147483647\n", {2147483647}},
      {"radix forms", "#1F\n2#101\n-2147483648\n", {31, 5, INT32_MIN}},
  };
  for (const auto& c : cases) {
    for (Source source : {Source::File, Source::Pipe}) {
      for (bool crlf : {false, true}) {
        std::string input = crlf ? with_crlf(c.input) : c.input;
        std::vector<std::int32_t> seen;
        with_console(input, source, [&](Console& console) {
          std::int32_t value = 0;
          for (std::size_t i = 0; i < c.after_each_read.size(); ++i) {
            console.read_integer(value);
            seen.push_back(value);
          }
        });
        EXPECT_EQ(seen, c.after_each_read)
            << c.name << (crlf ? " (CR LF)" : " (LF)") << (source == Source::Pipe ? " from a pipe" : "");
      }
    }
  }
}

struct RealReads {
  const char* name;
  std::string input;
  std::vector<float> after_each_read;
};

TEST(AnswerReader, RealAnswerForms) {
  const std::vector<RealReads> cases = {
      {"integer token", "3\n", {3.0f}},
      {"exponent letters", " 1.5D2\n1.5e2 \n", {150.0f, 150.0f}},
      {"no digit before the point", ".5\n", {0.5f}},
      {"null keeps the previous real", "94.25\n,\n/\n2*\n12.5\n", {94.25f, 94.25f, 94.25f, 94.25f, 12.5f}},
      {"repeat count", "2*0.05\n", {0.05f}},
      {"rest of the line lost", "1.5 2.5\n3.5,4.5\n", {1.5f, 3.5f}},
      {"260-character answer", std::string(257, '0') + "1.5\n", {1.5f}},
  };
  for (const auto& c : cases) {
    for (bool crlf : {false, true}) {
      std::vector<float> seen;
      with_console(crlf ? with_crlf(c.input) : c.input, Source::File, [&](Console& console) {
        float value = 0.0f;
        for (std::size_t i = 0; i < c.after_each_read.size(); ++i) {
          console.read_real(value);
          seen.push_back(value);
        }
      });
      EXPECT_EQ(seen, c.after_each_read) << c.name << (crlf ? " (CR LF)" : " (LF)");
    }
  }
}

std::string padded(std::string text, std::size_t length) {
  text.resize(length, ' ');
  return text;
}

TEST(AnswerReader, TextLines) {
  struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> texts;  // 80 characters each
  };
  const std::vector<Case> cases = {
      {"short line blank-filled", "Title\n", {padded("Title", 80)}},
      {"empty line all blanks", "\nnext\n", {padded("", 80), padded("next", 80)}},
      {"blanks, tabs, commas and slashes kept", "  a\tb, c/d \n", {padded("  a\tb, c/d ", 80)}},
      {"quotes kept", "'x' \"y\" (z)\n", {padded("'x' \"y\" (z)", 80)}},
      {"longer than 80: the rest of the line is lost",
       std::string(80, 'x') + std::string(20, 'y') + "\nnext\n",
       {std::string(80, 'x'), padded("next", 80)}},
      {"exactly 80", std::string(80, 'z') + "\nnext\n", {std::string(80, 'z'), padded("next", 80)}},
      {"last line without line end", "one\ntwo", {padded("one", 80), padded("two", 80)}},
  };
  for (const auto& c : cases) {
    for (bool crlf : {false, true}) {
      std::vector<std::string> seen;
      with_console(crlf ? with_crlf(c.input) : c.input, Source::File, [&](Console& console) {
        for (std::size_t i = 0; i < c.texts.size(); ++i) {
          std::string text(80, '?');
          console.read_text(text.data(), text.size());
          seen.push_back(text);
        }
      });
      EXPECT_EQ(seen, c.texts) << c.name << (crlf ? " (CR LF)" : " (LF)");
    }
  }
}

TEST(AnswerReader, EveryReadStartsOnAFreshLine) {
  for (bool crlf : {false, true}) {
    std::string input = "5 7\nTitle line\n\n8 9\n";
    if (crlf) input = with_crlf(input);
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::string title(10, '?');
    std::string empty(4, '?');
    with_console(input, Source::File, [&](Console& console) {
      console.read_integer(first);
      console.read_text(title.data(), title.size());
      console.read_text(empty.data(), empty.size());
      console.read_integer(second);
    });
    EXPECT_EQ(first, 5);
    EXPECT_EQ(title, "Title line");
    EXPECT_EQ(empty, "    ");
    EXPECT_EQ(second, 8);
  }
}

// Input arrives in blocks; values, line ends and the end-of-input mark that
// straddle two blocks read the same as any other.
constexpr std::size_t kBlock = 64 * 1024;

TEST(AnswerReader, ValuesAcrossBlockBoundaries) {
  std::int32_t value = 0;
  with_console(std::string(kBlock - 3, ' ') + "12345\n", Source::File,
               [&](Console& console) { console.read_integer(value); });
  EXPECT_EQ(value, 12345);

  // A text line whose CR falls on the last byte of a block and its LF on
  // the first of the next.
  std::string first_line = std::string(kBlock - 6, ' ') + "5\n";
  std::string text(8, '?');
  std::int32_t after = 0;
  with_console(first_line + "abc\r\n9\n", Source::File, [&](Console& console) {
    console.read_integer(value);
    console.read_text(text.data(), text.size());
    console.read_integer(after);
  });
  ASSERT_EQ(first_line.size() + 3, kBlock - 1);
  EXPECT_EQ(value, 5);
  EXPECT_EQ(text, "abc     ");
  EXPECT_EQ(after, 9);

  // A long line skipped over many blocks.
  with_console("1 " + std::string(5 * kBlock, 'x') + "\n77\n", Source::File, [&](Console& console) {
    console.read_integer(value);
    console.read_integer(value);
  });
  EXPECT_EQ(value, 77);
}

// Wherever a block of input ends, before an answer, inside it or on its
// line end, the answer reads the same and its line is used up the same way:
// the read after it takes the next line. A title line as long as needed
// first puts the answer at that place, at the start of its line.
TEST(AnswerReader, AnAnswerReadsTheSameWhereverABlockEnds) {
  struct Case {
    std::string answer;    // its line, without the line end
    bool real;             // read as a real, else as an integer
    float expected;        // the value read (integers here are exact as floats)
  };
  constexpr float kBefore = -1.0f;  // the variable before the read
  const std::vector<Case> cases = {
      {"12345", false, 12345.0f},
      {"-987654321", false, -987654321.0f},
      {"+0000000042", false, 42.0f},  // eleven characters: the general conversion
      {"3*77", false, 77.0f},
      {"2#101", false, 5.0f},
      {"  5 9", false, 5.0f},  // blanks first; the rest of the line is lost
      {"7,8", false, 7.0f},
      {"2*", false, kBefore},  // a null value
      {",5", false, kBefore},
      {"1.25e-3", true, 1.25e-3f},
      {"-.5D1", true, -5.0f},
      {"2*0.5", true, 0.5f},
      {"123456789012", true, 123456789012.0f},
      {"1.5\r", true, 1.5f},  // a CR before the line end
  };
  for (const Case& c : cases) {
    for (std::size_t in_first_block = 0; in_first_block <= c.answer.size() + 1; ++in_first_block) {
      const std::size_t title_length = kBlock - in_first_block - 1;
      const std::string input = std::string(title_length, 'x') + "\n" + c.answer + "\n9\n";
      ASSERT_EQ(input.find(c.answer), kBlock - in_first_block);
      float value = kBefore;
      std::int32_t next = 0;
      with_console(input, Source::File, [&](Console& console) {
        char title[80];
        console.read_text(title, sizeof title);
        if (c.real) {
          console.read_real(value);
        } else {
          std::int32_t integer = static_cast<std::int32_t>(kBefore);
          console.read_integer(integer);
          value = static_cast<float>(integer);
        }
        console.read_integer(next);
      });
      EXPECT_EQ(value, c.expected) << c.answer << ", " << in_first_block << " bytes in the first block";
      EXPECT_EQ(next, 9) << c.answer << ", " << in_first_block << " bytes in the first block";
    }
  }
}

TEST(AnswerReaderDeathTest, ATooLongAnswerAcrossABlockBoundary) {
  const std::string input = std::string(kBlock - 100, ' ') + std::string(261, '1') + "\n";
  EXPECT_EXIT(with_console(input, Source::File,
                           [](Console& console) {
                             std::int32_t value = 0;
                             console.read_integer(value);
                           }),
              ::testing::ExitedWithCode(1), report_pattern("F6408"));
}

// Reads that end the run: the report frame on standard error and status 1.
TEST(AnswerReaderDeathTest, EndOfInputForATextRead) {
  EXPECT_EXIT(with_console("", Source::File,
                           [](Console& console) {
                             char text[80];
                             console.read_text(text, sizeof text);
                           }),
              ::testing::ExitedWithCode(1), report_pattern("F6501"));
  EXPECT_EXIT(with_console("first\n\x1A\n", Source::File,
                           [](Console& console) {
                             char text[80];
                             console.read_text(text, sizeof text);
                             console.read_text(text, sizeof text);
                           }),
              ::testing::ExitedWithCode(1), report_pattern("F6501"));
}

TEST(AnswerReaderDeathTest, EndOfInputMarkAcrossABlockBoundary) {
  std::string input = std::string(kBlock - 3, ' ') + "5\n\x1A\n";
  ASSERT_EQ(input.find('\x1A'), kBlock - 1);
  EXPECT_EXIT(with_console(input, Source::File,
                           [](Console& console) {
                             std::int32_t value = 0;
                             console.read_integer(value);
                             console.read_integer(value);
                           }),
              ::testing::ExitedWithCode(1), report_pattern("F6501"));
}

// Every row of the error table, as a user of the drain builder meets it:
// the integer answers come first, the elevation is the first real.
struct AnswerError {
  const char* number;
  std::string answers;
};

TEST(AnswerReaderErrors, EndTheRunWithTheReport) {
  const std::string to_elevation = "1\n0\n1\n1\n1\n2\n3\n";
  const std::vector<AnswerError> cases = {
      {"F6100", "2147483648\n"},
      {"F6100", "-2147483649\n"},
      {"F6100", "2147483648*5\n"},
      {"F6101", "1.5\n"},
      {"F6101", "1e3\n"},
      {"F6101", "abc\n"},
      {"F6101", "x*5\n"},
      {"F6102", to_elevation + "1e400\n"},
      {"F6103", to_elevation + "1.5x\n"},
      {"F6103", to_elevation + "abc\n"},
      {"F6104", to_elevation + "1e39\n"},
      {"F6302", "#1#2\n"},
      {"F6303", "37#1\n"},
      {"F6303", "1#1\n"},
      {"F6408", std::string(261, '1') + "\n"},
      {"F6408", "  " + std::string(260, '0') + "1 \n"},
      {"F6408", to_elevation + std::string(258, '0') + "1.5\n"},
      {"F6501", ""},
      {"F6501", "\n  \n\t\n"},
      {"F6501", "20\n"},
      {"F6501", "20\n\x1A\n"},
      {"F6501", "20\r\n\x1A\r\n"},
      {"F6501", "20\n\n\x1A"},
      {"F6502", "0*7\n"},
      {"F6503", "2*3*4\n"},
      {"F6504", "'5'\n"},
      {"F6504", "\"5\"\n"},
      {"F6504", "(1,2)\n"},
      {"F6504", "3*'x'\n"},
      {"F6504", to_elevation + "(1.5,2.5)\n"},
  };
  for (const auto& c : cases) {
    Scratch dir;
    auto result = testing_support::run_redirected(QUILLET_PATH, dir, c.answers);
    std::string label = std::string(c.number) + " for \"" + c.answers.substr(0, 40) + "\"";
    EXPECT_EQ(result.exit_status, 1) << label;
    EXPECT_TRUE(is_report(result.err, c.number, "READ", "CON")) << label;
    EXPECT_EQ(result.out.find("Stop"), std::string::npos) << label;
    // The failing answer's line counts as read: a program run next on the
    // same answers reads on from the line after it.
    if (std::string_view(c.number) != "F6501") {
      EXPECT_EQ(result.stdin_offset, static_cast<long>(c.answers.size())) << label;
    }
  }
}

// A byte that no number is written with, often invisible where the answers
// were typed (a byte-order mark, a non-breaking space), is named.
TEST(AnswerReaderErrors, ReportNamesAnUnexpectedByte) {
  const std::string to_elevation = "1\n0\n1\n1\n1\n2\n3\n";
  struct Case {
    std::string answers;
    const char* number;
    std::string message;
  };
  // The message line goes on with the answer (its bytes beyond printable
  // ASCII escaped), the question and the line of the answers.
  const std::string first = " for \"Max number of drains (vertical line sinks/layer)\" (answers line 1)";
  const std::string elevation = " for \"Drain Elevation (+z direction)\" (answers line 8)";
  const std::vector<Case> cases = {
      {"\xEF\xBB\xBF" "20\n", "F6101",
       "unexpected byte 0xEF at the start of the answer: '\\xEF\\xBB\\xBF20'" + first},
      {"\xC2\xA0" "20\n", "F6101", "unexpected byte 0xC2 at the start of the answer: '\\xC2\\xA020'" + first},
      {"20\xC2\xA0\n", "F6101", "unexpected byte 0xC2 in the answer: '20\\xC2\\xA0'" + first},
      {"2*\x01" "5\n", "F6101", "unexpected byte 0x01 in the answer: '2*\\x015'" + first},
      {to_elevation + "\xC2\xA0" "95.5\n", "F6103",
       "unexpected byte 0xC2 at the start of the answer: '\\xC2\\xA095.5'" + elevation},
      {to_elevation + "95.5\x7F\n", "F6103", "unexpected byte 0x7F in the answer: '95.5\\x7F'" + elevation},
      // Printable characters keep the message of their error.
      {"abc\n", "F6101", "an integer answer must be a whole number: 'abc'" + first},
      {to_elevation + "1.5x\n", "F6103", "a real answer must be a decimal number: '1.5x'" + elevation},
  };
  for (const Case& c : cases) {
    Scratch dir;
    auto result = testing_support::run_redirected(QUILLET_PATH, dir, c.answers);
    EXPECT_EQ(result.exit_status, 1) << c.message;
    EXPECT_EQ(result.err, std::string("\r\nrun-time error ") + c.number + ": READ(CON)\r\n- " + c.message + "\r\n");
  }
}

}  // namespace
}  // namespace common
