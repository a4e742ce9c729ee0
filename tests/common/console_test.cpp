// What the console writes: console lines, carriage control of formatted
// records, the owed line end around reads, and the stop.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/console.h"
#include "tests/support/console_on_files.h"
#include "tests/support/expected_text.h"
#include "common/output_file.h"
#include "tests/support/program_runner.h"
#include "tests/support/run_checks.h"

namespace common {
namespace {

using testing_support::blanks;
using testing_support::ConsoleOnFiles;
using testing_support::report_pattern;
using testing_support::Scratch;
using testing_support::shown_by;

TEST(ConsoleLine, TextsAndIntegersShowAsTheyAreLaidOut) {
  std::string long_text;
  for (int i = 0; long_text.size() < 70; ++i) long_text += static_cast<char>('a' + i % 26);
  // An array, not a vector: each case's braced list of items then lives as
  // long as the array does.
  struct Case {
    std::initializer_list<format::Item> items;
    std::string shown;
  };
  const Case cases[] = {
      {{"Title Line # 1"}, "Title Line # 1"},
      {{" Enter Simulation Type;  0=Transient  1=Steady State"},
       " Enter Simulation Type;  0=Transient  1=Steady State"},
      {{" "}, " "},
      {{}, ""},
      // An integer after a text stands in 11 columns and touches what follows.
      {{"Layer ", std::int32_t{3}, "type code :"}, "Layer" + blanks(11) + "3type code :"},
      {{" For stress period ", std::int32_t{2}, " Active drain :", std::int32_t{5}},
       " For stress period" + blanks(11) + "2 Active drain :" + blanks(10) + "5"},
      {{"n=", std::int32_t{-42}}, "n=" + blanks(8) + "-42"},
      {{"a", std::int32_t{2147483647}, "b"}, "a 2147483647b"},
      {{"x", std::int32_t{INT32_MIN}}, "x-2147483648"},
      // A line that begins with a number: its first blank is the carriage
      // control; a second number in a row takes 12 columns.
      {{std::int32_t{1}, std::int32_t{2}}, blanks(9) + "1" + blanks(11) + "2"},
      // So does a second number after a text.
      {{"a", std::int32_t{1}, std::int32_t{2}}, "a" + blanks(10) + "1" + blanks(11) + "2"},
      {{"x", std::int32_t{-5}, std::int32_t{123}, "y"}, "x" + blanks(9) + "-5" + blanks(9) + "123y"},
      // An item fits only when narrower than the room left of 79 columns.
      // After 55 columns of text, 11 and 12 leave one column: one line.
      {{std::string_view(long_text).substr(0, 55), std::int32_t{1}, std::int32_t{2}},
       long_text.substr(0, 55) + blanks(10) + "1" + blanks(11) + "2"},
      // After 56 the second number moves whole to a record of its own, in
      // 11 columns, the first of them taken as carriage control.
      {{std::string_view(long_text).substr(0, 56), std::int32_t{1}, std::int32_t{2}},
       long_text.substr(0, 56) + blanks(10) + "1\r\n" + blanks(9) + "2"},
      {{std::string_view(long_text).substr(0, 67), std::int32_t{7}}, long_text.substr(0, 67) + blanks(10) + "7"},
      {{std::string_view(long_text).substr(0, 68), std::int32_t{7}},
       long_text.substr(0, 68) + "\r\n" + blanks(9) + "7"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shown_by(false, [&](Console& console) { console.write_line(c.items); }), c.shown)
        << "line shown as \"" << c.shown << "\"";
  }
}

TEST(ConsoleLine, LineEndIsWrittenInFrontOfTheNextLine) {
  EXPECT_EQ(shown_by(false,
                     [](Console& console) {
                       console.write_line({"first"});
                       console.write_line({" second"});
                       console.write_line({" "});
                       console.write_line({"last"});
                     }),
            "first\r\n second\r\n \r\nlast");
}

TEST(ConsoleRecord, CarriageControlOfTheFirstColumn) {
  const std::string form_feed = "\r\n\f\r \r";
  struct Case {
    const char* list;
    std::vector<format::Item> items;
    std::string after_nothing;   // the first thing on the console
    std::string after_a_line;    // after the console line "P"
  };
  const std::vector<Case> cases = {
      {"(20I3)", {std::int32_t{1}, std::int32_t{-1}, std::int32_t{0}}, " 1 -1  0", "P\r\n 1 -1  0"},
      {"(20I3)", {std::int32_t{-10}, std::int32_t{5}}, "10  5", "P\r\n10  5"},
      {"(20I3)", {std::int32_t{100}, std::int32_t{5}}, form_feed + "00  5", "P" + form_feed + "00  5"},
      {"(a4)", {"0abc"}, "\r\nabc", "P\r\n\r\nabc"},
      {"(a4)", {"+abc"}, "\rabc", "P\rabc"},
      {"(a4)", {"-abc"}, "abc", "P\r\nabc"},
      {"(a4)", {"1"}, "  1", "P\r\n  1"},
      // No values: an empty record, shown as an empty line.
      {"(20I3)", {}, "", "P\r\n"},
      // A first field that fills its columns loses its first character.
      {"(10G10.3)", {-999.96f, 0.5f}, "1000.    " + blanks(2) + ".500" + blanks(4),
       "P\r\n1000.    " + blanks(2) + ".500" + blanks(4)},
  };
  for (const auto& c : cases) {
    format::DescriptorList list(c.list);
    auto echo = [&](Console& console) { console.write_record(list, std::span<const format::Item>(c.items)); };
    EXPECT_EQ(shown_by(false, echo), c.after_nothing) << c.list << " first";
    EXPECT_EQ(shown_by(false,
                       [&](Console& console) {
                         console.write_line({"P"});
                         echo(console);
                       }),
              c.after_a_line)
        << c.list << " after a line";
  }
}

TEST(ConsoleRecord, EachRecordOfAReusedListIsShownOnItsOwn) {
  std::vector<float> values(11, 1.0f);
  std::string field = blanks(2) + "1.00" + blanks(4);
  std::string full;
  for (int i = 0; i < 10; ++i) full += field;
  EXPECT_EQ(shown_by(false,
                     [&](Console& console) {
                       console.write_record(format::DescriptorList("(10G10.3)"), std::span<const float>(values));
                     }),
            full.substr(1) + "\r\n" + field.substr(1));
}

TEST(ConsoleRead, OwedLineEndAtTheStartOfAReadOnlyWhenShared) {
  struct Case {
    bool shared;
    std::string after_read;  // flushed right after the read
    std::string after_next;  // after the next console line
  };
  for (const Case& c : {Case{true, "A\r\n", "A\r\nB"}, Case{false, "A", "A\r\nB"}}) {
    Scratch dir;
    ConsoleOnFiles files(dir, "5\n,\n7\n");
    std::string after_read;
    std::string after_next;
    std::string after_two_reads;
    {
      Console console(files.in(), files.out(), c.shared);
      std::int32_t value = 0;
      console.write_line({"A"});
      console.read_integer(value);
      console.flush();
      after_read = files.shown();
      console.write_line({"B"});
      console.flush();
      after_next = files.shown();
      console.read_integer(value);  // a null answer completes a read too
      console.read_integer(value);
      console.write_line({"C"});
      console.flush();
      after_two_reads = files.shown();
      EXPECT_EQ(value, 7);
    }
    EXPECT_EQ(after_read, c.after_read) << (c.shared ? "shared" : "redirected");
    EXPECT_EQ(after_next, c.after_next) << (c.shared ? "shared" : "redirected");
    EXPECT_EQ(after_two_reads, c.after_next + "\r\nC") << (c.shared ? "shared" : "redirected");
  }
}

TEST(ConsoleRead, EverythingWrittenIsHandedOverBeforeAReadThatMayWait) {
  Scratch dir;
  ConsoleOnFiles files(dir, "5\n", /*pipe_input=*/true);
  Console console(files.in(), files.out(), false);
  OutputFile file;
  file.open(13, dir.file("FOR013"), "UNKNOWN", "sequential");
  file.rewind();
  file.write_record(format::DescriptorList("(i10)"), {std::int32_t{42}});
  console.write_line({"Prompt"});
  std::int32_t value = 0;
  console.read_integer(value);
  EXPECT_EQ(value, 5);
  EXPECT_EQ(files.shown(), "Prompt");
  EXPECT_EQ(dir.read("FOR013"), blanks(8) + "42\r\n");
  file.close();
}

// The stop ends the process: run in a child, then look at what it left.
struct StopCase {
  const char* name;
  bool shared;
  bool write_first;
  bool read_last;
  std::string shown;
};

TEST(ConsoleStopDeathTest, StopLineInBothModes) {
  const std::string stop = "Stop - Program terminated.\r\n";
  const std::vector<StopCase> cases = {
      {"shared, after a read", true, true, true, "A\r\n" + stop},
      {"shared, after a write", true, true, false, "A\r\n" + stop + "\r\n"},
      {"redirected, after a read", false, true, true, "A\r\n" + stop + "\r\n"},
      {"redirected, after a write", false, true, false, "A\r\n" + stop + "\r\n"},
      {"nothing written", false, false, false, stop},
  };
  for (const auto& c : cases) {
    Scratch dir;
    ConsoleOnFiles files(dir, "5 7\n8\n");
    EXPECT_EXIT(
        {
          Console console(files.in(), files.out(), c.shared);
          if (c.write_first) console.write_line({"A"});
          std::int32_t value = 0;
          if (c.read_last) console.read_integer(value);
          console.stop();
        },
        ::testing::ExitedWithCode(0), "")
        << c.name;
    EXPECT_EQ(files.shown(), c.shown) << c.name;
    // Standard input given back: it stands after the line last read from.
    EXPECT_EQ(lseek(files.in(), 0, SEEK_CUR), c.read_last ? 4 : 0) << c.name;
  }
}

TEST(ConsoleStopDeathTest, AFailedReadOwesItsLineEnd) {
  for (bool shared : {true, false}) {
    Scratch dir;
    ConsoleOnFiles files(dir, "abc\n");
    EXPECT_EXIT(
        {
          Console console(files.in(), files.out(), shared);
          console.write_line({"A"});
          std::int32_t value = 0;
          console.read_integer(value);
        },
        ::testing::ExitedWithCode(1), report_pattern("F6101"));
    EXPECT_EQ(files.shown(), shared ? "A\r\n\r\n" : "A\r\n");
  }
}

}  // namespace
}  // namespace common
