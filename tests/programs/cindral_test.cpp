// End-to-end sessions of Cindral, the flow-property builder: the answers go
// in redirected (or typed at a pseudo-terminal), and the console bytes and
// the FOR011 it writes are compared with records worked out by hand.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"
#include "tests/support/run_checks.h"

namespace {

using testing_support::blanks;
using testing_support::repeat;
using testing_support::records;
using testing_support::answers;
using testing_support::is_report;

using testing_support::run_on_terminal;
using testing_support::run_redirected;
using testing_support::RunResult;
using testing_support::Scratch;

const std::string kCindral = CINDRAL_PATH;

// Console lines as a redirected run shows them: each after the first
// preceded by the line end it owed.
std::string shown_lines(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) out += (i == 0 ? "" : "\r\n") + lines[i];
  return out;
}

std::vector<std::string> split_records(const std::string& file) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2) {
    out.push_back(file.substr(start, end - start));
  }
  EXPECT_EQ(start, file.size()) << "file does not end in CR LF";
  return out;
}

// A G10.3 field of a value with a four-character fixed-form text ("1.00",
// ".500", "12.5", "100."): two blanks before, four after.
std::string fixed(std::string_view text) { return blanks(2) + std::string(text) + blanks(4); }
// An exponent-form text of eight characters (".100E-02"): two blanks before.
std::string exponent(std::string_view text) { return blanks(2) + std::string(text); }

// The array-control record of FOR011: locator 11, multiplier 1.0, the format
// text in 20 columns, print code 0, then label and layer as written.
std::string control(std::string_view format_text, std::string_view label_field,
                    std::string_view layer_field) {
  return blanks(8) + "11" + blanks(2) + "1.00" + blanks(4) + std::string(format_text) +
         blanks(11) + blanks(9) + "0" + std::string(label_field) + std::string(layer_field);
}

const std::string kStopRedirected = "\r\nStop - Program terminated.\r\n\r\n";
const std::string kSameQuestion = "  Are all values the same? 0=yes 1=no ";
const std::string kValueQuestion = "  Value? :";

// The console lines of the flow header up to the grid dimensions.
std::vector<std::string> header_lines() {
  return {"Block Centered Flow   Input File Construction Module",
          "  ",
          " Enter Simulation Type;  0=Transient  1=Steady State",
          " ",
          " Enter Discharge Output Type ",
          "  -nn = Constant head flow terms printed to unit# nn",
          "    0 = Cell by cell flow terms not printed",
          "   nn = Cell by cell flow terms printed to unit# nn ",
          " Number of model layers (same as in MORVEKGRID)",
          blanks(39) + "Max = 79",
          " Number of model rows (same as in MORVEKGRID) ",
          " Number of model columns (same as in MORVEKGRID) "};
}

// The console lines that ask the type code and anisotropy of a layer with a
// one-digit number.
std::vector<std::string> layer_question_lines(char digit) {
  const std::string shown = "Layer" + blanks(11) + digit;
  return {shown + "type code :",
          "  0 = confined",
          "  1 = unconfined",
          "  2 = confined/unconfined constant T",
          "  3 = confined/unconfined variable T",
          " ",
          shown + " Column/Row Anisotropy Factor",
          "  Anisotropy Factor =  Tcol/Trow ",
          " "};
}

void append(std::vector<std::string>& to, const std::vector<std::string>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

void expect_clean_stop(const RunResult& run) {
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out.ends_with(kStopRedirected));
}

// Labels and layers of the array-control records after the cell widths.
std::vector<std::string> layer_array_controls(const std::string& file) {
  std::vector<std::string> found;
  std::vector<std::string> all = split_records(file);
  for (std::size_t i = 8; i < all.size(); ++i) {
    if (all[i].size() == 63) found.push_back(all[i].substr(50));
  }
  return found;
}

// Records 1 to 8 of the worked example: two layers of type 1 and 3, three
// columns of 100 and rows of 50 and 25.
const std::string kWorkedRecord1 = blanks(9) + "0" + blanks(8) + "50";
std::vector<std::string> worked_header_records() {
  return {kWorkedRecord1,
          " 1 3",
          control("(10G10.3)", blanks(5) + "TRPY-", blanks(2) + "0"),
          fixed("1.00") + fixed("1.00"),
          control("(10G10.3)", blanks(5) + "DELR-", blanks(2) + "0"),
          repeat(fixed("100."), 3),
          control("(10g10.3)", blanks(5) + "DELC-", blanks(2) + "0"),
          fixed("50.0") + fixed("25.0")};
}

// A layer array of the worked example's 2 by 3 grid given one value: its
// control record, then the value's field three times in each of two rows.
std::vector<std::string> one_value_array(std::string_view label_field, std::string_view layer,
                                         const std::string& field) {
  return {control("(10G10.3)", label_field, blanks(2) + std::string(layer)), repeat(field, 3),
          repeat(field, 3)};
}

TEST(Cindral, WorkedExampleContinuedWithNineArrays) {
  Scratch dir;
  RunResult run = run_redirected(
      kCindral, dir,
      answers({"0", "50", "2", "2", "3", "1", "1.0", "3", "1.0", "0", "100.0", "1", "50.0",
               "25.0",
               "0", "0.001",                                          // SF1 1
               "1", "1.5", "2.5", "3.5", "12.5", "-0.5", "1000",      // HYDCON 1
               "0", "95.5",                                           // BOT 1
               "0", "0.05",                                           // VCON 1
               "0", "0.0001",                                         // SF1 2
               "0", "999.96",                                         // HYDCON 2
               "0", "-999",                                           // BOT 2
               "0", "0.5",                                            // SF2 2
               "0", "123.456"}));                                     // TOP 2
  expect_clean_stop(run);

  std::vector<std::string> expected = worked_header_records();
  append(expected, one_value_array(blanks(6) + "SF1-", "1", exponent(".100E-02")));
  append(expected, {
    control("(10G10.3)", blanks(3) + "HYDCON-", blanks(2) + "1"),
    fixed("1.50") + fixed("2.50") + fixed("3.50"),
    fixed("12.5") + " -.500" + blanks(4) + exponent(".100E+04"),
  });
  append(expected, one_value_array(blanks(6) + "BOT-", "1", fixed("95.5")));
  append(expected, one_value_array(blanks(5) + "VCON-", "1", exponent(".500E-01")));
  append(expected, one_value_array(blanks(6) + "SF1-", "2", exponent(".100E-03")));
  append(expected, one_value_array(blanks(3) + "HYDCON-", "2", " 1000." + blanks(4)));
  append(expected, one_value_array(blanks(6) + "BOT-", "2", " -999." + blanks(4)));
  append(expected, one_value_array(blanks(6) + "SF2-", "2", fixed(".500")));
  append(expected, one_value_array(blanks(6) + "TOP-", "2", fixed("123.")));
  EXPECT_EQ(dir.read("FOR011"), records(expected));
}

// The texts of each property array: title line, heading suffix, cell suffix.
struct ArrayTexts {
  std::string label;
  std::string title;
  std::string heading;
  std::string cell;
};
const std::vector<ArrayTexts> kArrayTexts = {
    {"SF1-", " Primary Storage Coefficient", " Primary Storage Array", " Primary Storage"},
    {"TRAN-", " Transmissivity", " Transmissivity Array", " Transmissivity"},
    {"HYDCON-", " Hydraulic Conductivtiy", " Hydraulic Conductivtiy Array",
     " Hydraulic Conductivity"},
    {"BOT-", " Bottom Elevation", " Bottom Elevation Array", " Bottom Elevation"},
    {"VCON-", " Vertical Hydraulic Conductivtiy (Conductance)", " Vertical Conductance Array",
     " Vertical Conductance"},
    {"SF2-", " Secondary Storage Coefficient", " Secondary Storage Array",
     " Secondary Storage Array"},
    {"TOP-", " Top of Layer Elevations", " Top Elevation Array", " Top Elevation"},
};

const ArrayTexts& texts_of(const std::string& label) {
  for (const auto& t : kArrayTexts) {
    if (t.label == label) return t;
  }
  throw std::invalid_argument("no array " + label);
}

struct SequenceCase {
  std::string name;
  std::string simulation_type;
  std::vector<std::string> type_codes;  // one per layer
  // Per layer, the labels of its arrays in the order they are asked.
  std::vector<std::vector<std::string>> arrays;
};

// The arrays of one layer that is not the bottom one, and of the bottom one.
std::vector<std::vector<std::string>> two_layers(std::vector<std::string> upper) {
  std::vector<std::string> bottom;
  for (const auto& label : upper) {
    if (label != "VCON-") bottom.push_back(label);
  }
  return {upper, bottom};
}

TEST(Cindral, SequenceOfArraysBySimulationTypeTypeCodeAndPosition) {
  const std::vector<SequenceCase> cases = {
      {"transient 0", "0", {"0", "0"}, two_layers({"SF1-", "TRAN-", "VCON-"})},
      {"transient 1", "0", {"1", "1"}, two_layers({"SF1-", "HYDCON-", "BOT-", "VCON-"})},
      {"transient 2", "0", {"2", "2"}, two_layers({"SF1-", "TRAN-", "VCON-", "SF2-", "TOP-"})},
      {"transient 3", "0", {"3", "3"},
       two_layers({"SF1-", "HYDCON-", "BOT-", "VCON-", "SF2-", "TOP-"})},
      {"transient 7", "0", {"7", "7"}, two_layers({"SF1-", "VCON-"})},
      {"transient -1", "0", {"-1", "-1"}, two_layers({"SF1-", "VCON-"})},
      {"steady 0", "1", {"0", "0"}, two_layers({"TRAN-", "VCON-"})},
      {"steady 1", "1", {"1", "1"}, two_layers({"HYDCON-", "BOT-", "VCON-"})},
      {"steady 2", "1", {"2", "2"}, two_layers({"TRAN-", "VCON-", "TOP-"})},
      {"steady 3", "1", {"3", "3"}, two_layers({"HYDCON-", "BOT-", "VCON-", "TOP-"})},
      {"steady 4", "1", {"4", "4"}, two_layers({"VCON-"})},
      // Any simulation type other than 0 is steady state.
      {"type 5 as steady 3", "5", {"3", "3"}, two_layers({"HYDCON-", "BOT-", "VCON-", "TOP-"})},
      {"one transient layer of type 0", "0", {"0"}, {{"SF1-", "TRAN-"}}},
      {"steady 0, 1, 2", "1", {"0", "1", "2"},
       {{"TRAN-", "VCON-"}, {"HYDCON-", "BOT-", "VCON-"}, {"TRAN-", "TOP-"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const char layer_count = static_cast<char>('0' + c.type_codes.size());
    std::vector<std::string> input = {c.simulation_type, "0", std::string(1, layer_count), "1",
                                      "1"};
    std::vector<std::string> console = header_lines();
    for (std::size_t k = 0; k < c.type_codes.size(); ++k) {
      append(input, {c.type_codes[k], "1.0"});
      append(console, layer_question_lines(static_cast<char>('1' + k)));
    }
    append(input, {"0", "10", "0", "20"});
    append(console, {"Cell width (delta-x) along rows", kSameQuestion, kValueQuestion,
                     " Cell width (delta-y) along columns", kSameQuestion, kValueQuestion});

    std::vector<std::string> expected_controls;
    for (std::size_t k = 0; k < c.arrays.size(); ++k) {
      const std::string layer_digit(1, static_cast<char>('1' + k));
      for (const auto& label : c.arrays[k]) {
        // One cell, asked by itself ("2" acts as "1").
        append(input, {"2", "4.5"});
        const ArrayTexts& t = texts_of(label);
        append(console, {t.title, "Layer" + blanks(11) + layer_digit + t.heading, kSameQuestion,
                         " Row" + blanks(11) + "1", " Column" + blanks(11) + "1" + t.cell,
                         " 4.50" + blanks(4)});
        expected_controls.push_back(blanks(10 - static_cast<int>(label.size())) + label +
                                    blanks(2) + layer_digit);
      }
    }

    Scratch dir;
    RunResult run = run_redirected(kCindral, dir, answers(input));
    expect_clean_stop(run);
    EXPECT_EQ(run.out, shown_lines(console) + kStopRedirected);
    const std::string file = dir.read("FOR011");
    EXPECT_EQ(layer_array_controls(file), expected_controls);
    // Each array: its control record and one row.
    EXPECT_EQ(split_records(file).size(), 8 + 2 * expected_controls.size());
  }
}

TEST(Cindral, NoLayersAndNoColumns) {
  Scratch dir;
  RunResult run = run_redirected(kCindral, dir,
                                 answers({"1", "-50", "0", "2", "0", "1", "1", "7.5", "-2"}));
  expect_clean_stop(run);
  std::vector<std::string> console = header_lines();
  append(console, {"Cell width (delta-x) along rows", kSameQuestion,
                   " Cell width (delta-y) along columns", kSameQuestion,
                   " Cell width (delta-y) along columns Row:" + blanks(11) + "1",
                   " Cell width (delta-y) along columns Row:" + blanks(11) + "2"});
  EXPECT_EQ(run.out, shown_lines(console) + kStopRedirected);
  EXPECT_EQ(dir.read("FOR011"),
            records({blanks(9) + "1" + blanks(7) + "-50", "",
                     control("(10G10.3)", blanks(5) + "TRPY-", blanks(2) + "0"), "",
                     control("(10G10.3)", blanks(5) + "DELR-", blanks(2) + "0"), "",
                     control("(10g10.3)", blanks(5) + "DELC-", blanks(2) + "0"),
                     fixed("7.50") + " -2.00" + blanks(4)}));
}

TEST(Cindral, ArrayOfNoColumnsWritesAnEmptyRecordPerRow) {
  Scratch dir;
  RunResult run = run_redirected(
      kCindral, dir, answers({"1", "0", "1", "2", "0", "0", "1", "0", "3", "0", "4", "0", "5"}));
  expect_clean_stop(run);
  // The width question and "Value? :" are asked although there are no columns.
  EXPECT_TRUE(run.out.find("Cell width (delta-x) along rows\r\n" + kSameQuestion + "\r\n" +
                           kValueQuestion + "\r\n Cell width (delta-y)") != std::string::npos);
  // The transmissivity array echoes its two empty rows as empty lines.
  EXPECT_TRUE(run.out.ends_with(kValueQuestion + "\r\n\r\n" + kStopRedirected));
  EXPECT_EQ(dir.read("FOR011"),
            records({blanks(9) + "1" + blanks(9) + "0", " 0",
                     control("(10G10.3)", blanks(5) + "TRPY-", blanks(2) + "0"), fixed("1.00"),
                     control("(10G10.3)", blanks(5) + "DELR-", blanks(2) + "0"), "",
                     control("(10g10.3)", blanks(5) + "DELC-", blanks(2) + "0"),
                     fixed("4.00") + fixed("4.00"),
                     control("(10G10.3)", blanks(5) + "TRAN-", blanks(2) + "1"), "", ""}));
}

TEST(Cindral, FifteenColumnsAndTwentyOneRowsWithOneValue) {
  Scratch dir;
  RunResult run = run_redirected(
      kCindral, dir,
      answers({"1", "0", "1", "21", "15", "0", "1", "0", "0.5", "0", "2", "0", "1.25"}));
  expect_clean_stop(run);

  std::vector<std::string> expected = {
      blanks(9) + "1" + blanks(9) + "0",
      " 0",
      control("(10G10.3)", blanks(5) + "TRPY-", blanks(2) + "0"),
      fixed("1.00"),
      control("(10G10.3)", blanks(5) + "DELR-", blanks(2) + "0"),
      repeat(fixed(".500"), 10),
      repeat(fixed(".500"), 5),
      control("(10g10.3)", blanks(5) + "DELC-", blanks(2) + "0"),
      repeat(fixed("2.00"), 10),
      repeat(fixed("2.00"), 10),
      fixed("2.00"),
      control("(10G10.3)", blanks(5) + "TRAN-", blanks(2) + "1"),
  };
  for (int row = 1; row <= 21; ++row) {
    append(expected, {repeat(fixed("1.25"), 10), repeat(fixed("1.25"), 5)});
  }
  EXPECT_EQ(dir.read("FOR011"), records(expected));

  // One value question per list and array, no entry or cell prompts.
  std::size_t value_questions = 0;
  for (std::size_t at = 0; (at = run.out.find(kValueQuestion, at)) != std::string::npos; ++at) {
    ++value_questions;
  }
  EXPECT_EQ(value_questions, 3u);
  EXPECT_EQ(run.out.find("Col:"), std::string::npos);
  EXPECT_EQ(run.out.find(" Row "), std::string::npos);
  // Each row is echoed as its two records, without their first column.
  const std::string echo = "\r\n 1.25" + blanks(4) + repeat(fixed("1.25"), 9) + "\r\n 1.25" +
                           blanks(4) + repeat(fixed("1.25"), 4);
  EXPECT_TRUE(run.out.ends_with(kValueQuestion + repeat(echo, 21) + kStopRedirected));
}

TEST(Cindral, NullAnswersCarryTheSharedCellsBetweenListsAndArrays) {
  Scratch dir;
  RunResult run = run_redirected(kCindral, dir,
                                 answers({"1", "0", "2", "1", "2",
                                          ",", ",",         // layer 1: type 0, factor 0.0
                                          "0", "2.0",       // layer 2
                                          ",", ",",         // DELR: same 0, width 0.0
                                          "0", "30.0",      // DELC
                                          ",", ",",         // TRAN 1: one value, 30.0
                                          "1", "0.5", ",",  // VCON 1: cell 2 never set
                                          ",", ",", "7"})); // TRAN 2: cell by cell
  expect_clean_stop(run);
  EXPECT_EQ(dir.read("FOR011"),
            records({blanks(9) + "1" + blanks(9) + "0", " 0 0",
                     control("(10G10.3)", blanks(5) + "TRPY-", blanks(2) + "0"),
                     fixed(".000") + fixed("2.00"),
                     control("(10G10.3)", blanks(5) + "DELR-", blanks(2) + "0"),
                     fixed(".000") + fixed(".000"),
                     control("(10g10.3)", blanks(5) + "DELC-", blanks(2) + "0"), fixed("30.0"),
                     control("(10G10.3)", blanks(5) + "TRAN-", blanks(2) + "1"),
                     fixed("30.0") + fixed("30.0"),
                     control("(10G10.3)", blanks(5) + "VCON-", blanks(2) + "1"),
                     fixed(".500") + fixed(".000"),
                     // The first cell keeps what layer 1 left in the same array.
                     control("(10G10.3)", blanks(5) + "TRAN-", blanks(2) + "2"),
                     fixed("30.0") + fixed("7.00")}));
}

TEST(Cindral, TypeCodesTooWideForTheirFieldAndMoreThanFortyLayers) {
  std::vector<std::string> codes = {"100", "-10", "7", "-9", "99"};
  while (codes.size() < 40) codes.push_back("9");
  codes.push_back("12");
  std::vector<std::string> input = {"1", "0", "41", "1", "1"};
  for (const auto& code : codes) append(input, {code, "2"});
  append(input, {"0", "1", "0", "1"});
  for (int layer = 1; layer <= 40; ++layer) append(input, {"0", "3"});

  Scratch dir;
  RunResult run = run_redirected(kCindral, dir, answers(input));
  expect_clean_stop(run);
  std::vector<std::string> file = split_records(dir.read("FOR011"));
  ASSERT_EQ(file.size(), 1 + 2 + 1 + 5 + 2 + 2 + 40 * 2u);
  EXPECT_EQ(file[1], "****" + std::string(" 7-999") + repeat(" 9", 35));
  EXPECT_EQ(file[2], "12");
  EXPECT_EQ(file[4], repeat(fixed("2.00"), 10));
  EXPECT_EQ(file[7], repeat(fixed("2.00"), 10));
  EXPECT_EQ(file[8], fixed("2.00"));
  // Codes outside 0..3 select only the vertical conductance, which the
  // bottom layer never gets.
  std::vector<std::string> vcon;
  for (std::size_t i = 13; i < file.size(); i += 2) vcon.push_back(file[i].substr(50));
  ASSERT_EQ(vcon.size(), 40u);
  EXPECT_EQ(vcon[0], blanks(5) + "VCON-" + blanks(2) + "1");
  EXPECT_EQ(vcon[39], blanks(5) + "VCON-" + blanks(1) + "40");
  EXPECT_EQ(file.back(), fixed("3.00"));
}

struct AnswerErrorCase {
  std::string name;
  std::vector<std::string> input;
  std::string number;  // the report's error number
  std::vector<std::string> kept;
};

TEST(Cindral, AnAnswerErrorKeepsTheCompletedRecords) {
  const std::string& record1 = kWorkedRecord1;
  const std::vector<std::string> worked_header = worked_header_records();
  std::vector<std::string> in_array = worked_header;
  append(in_array, {control("(10G10.3)", blanks(6) + "SF1-", blanks(2) + "1"),
                    repeat(fixed("1.00"), 3), repeat(fixed("1.00"), 3),
                    control("(10G10.3)", blanks(3) + "HYDCON-", blanks(2) + "1"),
                    fixed("1.50") + fixed("2.50") + fixed("3.50")});
  const std::vector<AnswerErrorCase> cases = {
      {"layer count", {"0", "50", "2.5"}, "F6101", {record1}},
      {"end of input among the factors",
       {"0", "50", "2", "2", "3", "1"},
       "F6501",
       {record1}},
      // The control record of a list follows its entries: it is not written.
      {"second row width",
       {"0", "50", "2", "2", "3", "1", "1.0", "3", "1.0", "0", "100.0", "1", "50.0", "1.5q3"},
       "F6103",
       {worked_header.begin(), worked_header.begin() + 6}},
      {"second row of an array",
       {"0", "50", "2", "2", "3", "1", "1.0", "3", "1.0", "0", "100.0", "1", "50.0", "25.0", "0",
        "1", "1", "1.5", "2.5", "3.5", "abc"},
       "F6103",
       in_array},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    RunResult run = run_redirected(kCindral, dir, answers(c.input));
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_TRUE(is_report(run.err, c.number, "READ", "CON"));
    EXPECT_EQ(run.out.find("Stop"), std::string::npos);
    EXPECT_TRUE(run.out.ends_with("\r\n"));
    EXPECT_EQ(dir.read("FOR011"), records(c.kept));
  }
}

TEST(Cindral, FileIsOpenedBeforeTheFirstQuestionAndCutByRecordOne) {
  Scratch empty_dir;
  RunResult run = run_redirected(kCindral, empty_dir, "");
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_TRUE(is_report(run.err, "F6501", "READ", "CON"));
  EXPECT_EQ(empty_dir.read("FOR011"), "");

  Scratch old_dir;
  const std::string old = repeat("an earlier flow file\r\n", 500);
  old_dir.write("FOR011", old);
  run_redirected(kCindral, old_dir, answers({"0"}));
  EXPECT_EQ(old_dir.read("FOR011"), old);
}

struct RefusalCase {
  std::string name;
  std::vector<std::string> dimensions;  // layers, rows, columns as far as asked
  std::string last_prompt;
  std::string message;
};

TEST(Cindral, CountsBeyondTheLimitAreRefusedAtOnce) {
  const std::vector<RefusalCase> cases = {
      {"layers", {"100000001"}, blanks(39) + "Max = 79",
       "Cindral: 100000001 layers exceed the limit of 100000000\n"},
      {"rows", {"2", "100000001"}, " Number of model rows (same as in MORVEKGRID) ",
       "Cindral: 100000001 rows exceed the limit of 100000000\n"},
      {"grid", {"2", "20000", "20000"}, " Number of model columns (same as in MORVEKGRID) ",
       "Cindral: a grid of 20000 rows by 20000 columns has 400000000 cells; the limit is "
       "100000000 cells per array\n"},
      // No rows means no grid, but the column widths would still be stored.
      {"columns without rows", {"2", "0", "2147483647"},
       " Number of model columns (same as in MORVEKGRID) ",
       "Cindral: 2147483647 columns exceed the limit of 100000000\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch dir;
    dir.write("FOR011", repeat("an earlier flow file\r\n", 100));
    std::vector<std::string> input = {"1", "3"};
    append(input, c.dimensions);
    append(input, {"5", "5", "1", "1.0"});  // would be the next answers
    RunResult run = run_redirected(kCindral, dir, answers(input));
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.err, c.message);
    EXPECT_TRUE(run.out.ends_with(c.last_prompt + "\r\n")) << run.out;
    EXPECT_EQ(dir.read("FOR011"), records({blanks(9) + "1" + blanks(9) + "3"}));
  }
}

TEST(Cindral, RunningOutOfMemoryEndsTheRunWithTheFileClosed) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer cannot run under an address-space limit";
#endif
  // A grid of 10000 by 10000 is within the limit, but a working grid of
  // 400 MB cannot be had under a 300 MB address space.
  testing_support::RunOptions limited;
  limited.in_child = [] {
    struct rlimit limit {300L << 20, 300L << 20};
    setrlimit(RLIMIT_AS, &limit);
  };
  Scratch dir;
  RunResult run = run_redirected(
      kCindral, dir, answers({"1", "0", "1", "10000", "10000", "0", "1", "0", "1", "0", "2", "0",
                              "5"}),
      limited);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.err, "out of memory: the counts given need more storage than is available\n");
  EXPECT_TRUE(run.out.ends_with(kValueQuestion + "\r\n"));

  std::vector<std::string> expected = {
      blanks(9) + "1" + blanks(9) + "0", " 0",
      control("(10G10.3)", blanks(5) + "TRPY-", blanks(2) + "0"), fixed("1.00"),
      control("(10G10.3)", blanks(5) + "DELR-", blanks(2) + "0")};
  for (int line = 0; line < 1000; ++line) expected.push_back(repeat(fixed("1.00"), 10));
  expected.push_back(control("(10g10.3)", blanks(5) + "DELC-", blanks(2) + "0"));
  for (int line = 0; line < 1000; ++line) expected.push_back(repeat(fixed("2.00"), 10));
  expected.push_back(control("(10G10.3)", blanks(5) + "TRAN-", blanks(2) + "1"));
  EXPECT_EQ(dir.read("FOR011"), records(expected));
}

TEST(Cindral, TerminalSessionEndsLinesAtEachRead) {
  Scratch dir;
  RunResult run =
      run_on_terminal(kCindral, dir, "1\n-1\n0\n1\n1\n0\n12.5\n1\n8\n");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out,
            "Block Centered Flow   Input File Construction Module\r\n"
            "  \r\n"
            " Enter Simulation Type;  0=Transient  1=Steady State\r\n"
            " \r\n"
            " Enter Discharge Output Type \r\n"
            "  -nn = Constant head flow terms printed to unit# nn\r\n"
            "    0 = Cell by cell flow terms not printed\r\n"
            "   nn = Cell by cell flow terms printed to unit# nn \r\n"
            " Number of model layers (same as in MORVEKGRID)\r\n" +
                blanks(39) + "Max = 79\r\n"
                " Number of model rows (same as in MORVEKGRID) \r\n"
                " Number of model columns (same as in MORVEKGRID) \r\n"
                "Cell width (delta-x) along rows\r\n"
                "  Are all values the same? 0=yes 1=no \r\n"
                "  Value? :\r\n"
                " Cell width (delta-y) along columns\r\n"
                "  Are all values the same? 0=yes 1=no \r\n"
                " Cell width (delta-y) along columns Row:" +
                blanks(11) + "1\r\n" + "Stop - Program terminated.\r\n");
  EXPECT_EQ(dir.read("FOR011"),
            records({blanks(9) + "1" + blanks(8) + "-1", "",
                     control("(10G10.3)", blanks(5) + "TRPY-", blanks(2) + "0"), "",
                     control("(10G10.3)", blanks(5) + "DELR-", blanks(2) + "0"), fixed("12.5"),
                     control("(10g10.3)", blanks(5) + "DELC-", blanks(2) + "0"),
                     fixed("8.00")}));
}

}  // namespace
