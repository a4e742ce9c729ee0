// gwinspect on files that the builders write but that sit at the edges of
// what their records can say, run as a user runs it, on real files: blank
// counts, layers above 999, a FOR011 whose own grid disagrees with the
// FOR001 beside it, and files cut short between the lines that a builder
// writes together.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/expected_text.h"
#include "tests/support/read_back_support.h"
#include "tests/support/run_checks.h"

namespace {

using namespace testing_support;

// The first `count` lines of `file`, with their line ends.
std::string first_lines(const std::string& file, int count) {
  std::size_t end = 0;
  for (int i = 0; i < count; ++i) end = file.find('\n', end) + 1;
  return file.substr(0, end);
}

int occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Morvek's answers for a model of `layers` layers of one cell, one stress
// period, Block Centered Flow and SSOR its modules, every array one value.
std::string deep_morvek_session(int layers) {
  return answers({"Deep", "Model", std::to_string(layers), "1", "1", "1", "4", "1"}) +
         repeat("0\n", 7) + "1\n0\n0\n" +  // the other modules: SSOR alone
         "0\n0\n" + repeat("0\n1\n", layers) + "999\n" + repeat("0\n100\n", layers) + "365\n10\n1.2\n";
}

// Cindral's for the same grid: steady state, every layer confined, so
// each has a TRAN- array and all but the last a VCON- array.
std::string deep_cindral_session(int layers) {
  return answers({"1", "0", std::to_string(layers), "1", "1"}) + repeat("0\n1.0\n", layers) +
         "0\n10\n0\n10\n" + repeat("0\n100\n0\n0.5\n", layers - 1) + "0\n100\n";
}

// ---- gwinspect check: a count the simulator reads as 0

TEST(GwinspectOddFiles, BlankCountsAreTheErrorsOfZero) {
  Scratch zero;
  ASSERT_EQ(run_redirected(MORVEK_PATH, zero,
                           answers({"T", "U", "0", "0", "0", "0", "0"}) + repeat("0\n", 11) + "0\n0\n999\n")
                .exit_status,
            0);
  const std::string zero_file = zero.read("FOR001");
  Scratch one;
  ASSERT_EQ(run_redirected(MORVEK_PATH, one,
                           answers({"T", "U", "1", "1", "1", "1", "4"}) + repeat("0\n", 11) +
                               answers({"0", "0", "0", "1", "999", "0", "100", "365", "10", "1.2"}))
                .exit_status,
            0);
  // Lines 1-5 the run header, 6-7 IBOUND-, 8 the no-flow head, 9-10
  // SHEAD-, 11 the stress period.
  std::string blank_counts = zero_file, blank_period = one.read("FOR001");
  const std::string zeros = repeat(blanks(9) + "0", 5), period = "  365.            10  1.20    ";
  ASSERT_NE(blank_counts.find(zeros), std::string::npos);
  blank_counts.replace(blank_counts.find(zeros), zeros.size(), blanks(50));
  ASSERT_NE(blank_period.find(period), std::string::npos);
  blank_period.replace(blank_period.find(period), period.size(), "");

  const std::string missing = "FOR001:3:1: warning: the number of layers is missing: its line ends before its "
                              "columns, so the simulator reads 0; 29 more fields are missing\n";
  // No module is selected, so neither is a solver (a missing slot reads as 0).
  const std::string no_solver = "FOR001:4:25: error: no solver is selected: the simulator needs one, Strongly "
                                "Implicit (unit 19) or SSOR (unit 21)\n";
  struct Case {
    const char* what;
    std::string file;
    std::string expected;
  };
  const auto grid = [](const std::string& mark) {
    return "FOR001:3:1: error: the grid has 0 layers" + mark + "; it needs at least one\n"
           "FOR001:3:11: error: the grid has 0 rows" + mark + "; it needs at least one\n"
           "FOR001:3:21: error: the grid has 0 columns" + mark + "; it needs at least one\n"
           "FOR001:3:31: error: the model has 0 stress periods" + mark + "; it needs at least one\n";
  };
  const Case cases[] = {
      {"counts of 0", zero_file, grid("") + no_solver + "5 errors, 0 warnings\n"},
      {"counts of blanks", blank_counts, grid(" (a blank field)") + no_solver + "5 errors, 0 warnings\n"},
      // Dimensions (5 fields), module table (24) and no-flow head (1) missing.
      {"ten blank lines", repeat("\r\n", 10),
       missing + grid(" (a blank field)") + no_solver + "5 errors, 1 warning\n"},
      {"a stress period of an empty line", blank_period,
       no_solver + "FOR001:11:1: warning: the length of stress period 1 is missing: its line ends before its columns, so "
       "the simulator reads 0; 2 more fields are missing\n"
       "FOR001:11:1: error: stress period 1 has length 0 (a blank field); it must be above zero\n"
       "FOR001:11:11: error: stress period 1 has 0 time steps (a blank field); it needs at least one\n"
       "FOR001:11:21: error: stress period 1 has time-step multiplier 0 (a blank field); it must be above zero\n"
       "4 errors, 1 warning\n"},
  };
  for (const Case& c : cases) {
    Scratch dir;
    dir.write("FOR001", c.file);
    const GwinspectResult run = run_gwinspect({"check"}, dir);
    EXPECT_EQ(run.exit_status, 1) << c.what;
    EXPECT_EQ(run.out, c.expected) << c.what;
  }
}

// ---- layers above 999: asterisks in the layer field of array-control records

TEST(GwinspectOddFiles, LayersAboveNineHundredNinetyNine) {
  constexpr int kLayers = 1001;
  // FOR001: 1-5 the run header, IBOUND- of layer k at 6 + 2(k - 1) (one
  // row line each): layer 1000 at 2004.
  const RoundTrip basic = round_trip(builder("Morvek"), deep_morvek_session(kLayers));
  ASSERT_EQ(basic.built.exit_status, 0) << basic.built.err;
  EXPECT_EQ(first_lines(basic.file, 2004).substr(first_lines(basic.file, 2003).size()),
            "         1         1(20I3)                       3   IBOUND-***\r\n");
  EXPECT_EQ(basic.answers.exit_status, 0) << basic.answers.err;
  EXPECT_EQ(basic.rebuilt_file, basic.file);
  const std::string told = " is asterisks: a layer above 999 does not fit its three columns";
  EXPECT_EQ(occurrences(basic.answers.err, told), 1) << basic.answers.err;
  EXPECT_NE(basic.answers.err.find("FOR001:2004:61: warning: the layer number of the array-control record of "
                                   "IBOUND- of layer 1000" + told),
            std::string::npos)
      << basic.answers.err;

  // FOR011: 1 header, 2-27 the 1001 type codes, 28-129 TRPY-, 130-131
  // DELR-, 132-133 DELC-, then four lines a layer from 134: TRAN- of layer
  // 1000 at 4130.
  const RoundTrip flow = round_trip(builder("Cindral"), deep_cindral_session(kLayers));
  ASSERT_EQ(flow.built.exit_status, 0) << flow.built.err;
  EXPECT_EQ(flow.answers.exit_status, 0) << flow.answers.err;
  EXPECT_EQ(flow.rebuilt_file, flow.file);
  EXPECT_EQ(occurrences(flow.answers.err, told), 1) << flow.answers.err;
  EXPECT_NE(flow.answers.err.find("FOR011:4130:61: warning: the layer number of the array-control record of "
                                  "TRAN- of layer 1000" + told),
            std::string::npos)
      << flow.answers.err;

  // The two files make one model: the check warns once a file.
  Scratch model;
  model.write("FOR001", basic.file);
  model.write("FOR011", flow.file);
  model.write("FOR021", "the solver's file, made by other means\r\n");
  const GwinspectResult check = run_gwinspect({"check"}, model);
  EXPECT_EQ(check.exit_status, 0);
  const std::string why = " has asterisks for its layer number: a layer above 999 does not fit the three "
                          "columns, and the builders write asterisks there; the record is known by its place; ";
  EXPECT_EQ(check.out,
            "FOR001:2004:61: warning: the array-control record of IBOUND- of layer 1000" + why +
                "3 more array-control records have them\n"
                "FOR011:4130:61: warning: the array-control record of TRAN- of layer 1000" + why +
                "2 more array-control records have them\n"
                "0 errors, 2 warnings\n");
}

// ---- FOR011 beside a FOR001 of another grid: the file's own counts win

TEST(GwinspectOddFiles, TheFileCountsWhereFor001BesideDisagrees) {
  Scratch basic_dir;
  run_redirected(MORVEK_PATH, basic_dir, example("morvek.txt"));  // 2 layers, 6 rows, 7 columns
  const std::string basic = basic_dir.read("FOR001");

  // A session cut short after 2 columns' widths: the DELR- list ends the
  // file on a line with room for 8 more, so it is complete.
  const RoundTrip typo = round_trip(builder("Cindral"), "1\n0\n1\n6\n2\n0\n1.0\n1\n100\n200\n", basic);
  ASSERT_EQ(typo.built.exit_status, 1);
  EXPECT_EQ(typo.answers.exit_status, 0) << typo.answers.err;
  EXPECT_EQ(typo.answers.out,
            answers({"1    simulation type (0 = transient, other = steady state)", "0    cell-by-cell output code",
                     "1    layers", "6    rows", "2    columns",
                     "0    layer 1: type code (0 confined, 1 unconfined, 2 and 3 confined/unconfined)",
                     "1.00    layer 1: anisotropy factor", "1    cell widths along rows: all values the same? (1 = no)",
                     "100.    cell width along rows, column 1", "200.    cell width along rows, column 2"}));
  EXPECT_EQ(typo.rebuilt_file, typo.file);
  EXPECT_NE(typo.answers.err.find("FOR011: note: FOR001 beside it gives 7 columns, but the DELR- list here holds "
                                  "2: the answers follow this file\n"),
            std::string::npos)
      << typo.answers.err;

  // Ten widths fill the line: the list may go on, but it holds more than
  // the 7 of FOR001, so that count cannot be; the file's 10 stand in.
  const RoundTrip full_line =
      round_trip(builder("Cindral"), "1\n0\n1\n6\n10\n0\n1.0\n1\n" + repeat("50\n", 10), basic);
  EXPECT_EQ(full_line.answers.exit_status, 0) << full_line.answers.err;
  EXPECT_EQ(full_line.rebuilt_file, full_line.file);
  EXPECT_NE(full_line.answers.out.find("\n10    columns\n"), std::string::npos) << full_line.answers.out;
  EXPECT_NE(full_line.answers.err.find("FOR011: warning: the number of columns is not in this file, which ends "
                                       "before the end of its DELR- list, and FOR001 beside it gives 7, fewer than "
                                       "the list holds: answered 10, which writes the same records; put the "
                                       "intended number there before going on\n"),
            std::string::npos)
      << full_line.answers.err;
}

// ---- files cut between the lines that a builder writes together

// The file as it stands when a file-size limit of 3 KiB cuts Morvek's run:
// a 20 by 12 grid, the starting heads typed cell by cell, each row of them
// two lines (10 and 2 values) written together.
TEST(GwinspectOddFiles, ARowCutByAFileSizeLimit) {
  std::string head = answers({"Cut", "Row", "1", "20", "12", "1", "4"}) + repeat("0\n", 11) +
                     answers({"0", "1", "0", "1", "999", "1"});
  std::string heads, rest_of_row_15;
  for (int cell = 1; cell <= 240; ++cell) {
    (cell < 14 * 12 + 11 ? heads : rest_of_row_15) += std::to_string(cell) + ".5\n";
  }
  rest_of_row_15 += "365\n10\n1.2\n";
  RunOptions limited;
  limited.in_child = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {3072, 3072};
    setrlimit(RLIMIT_FSIZE, &limit);
  };
  Scratch cut;
  const RunResult run = run_redirected(MORVEK_PATH, cut, head + heads + rest_of_row_15, limited);
  ASSERT_TRUE(is_report(run.err, "F6603", "WRITE", "FOR001"));
  // Header 312 bytes, IBOUND- 65 + 20 rows of 38, no-flow head 12, SHEAD-
  // 65, then 124 bytes a row: 14 rows end at 2950, and line 57, the first
  // of row 15, at 3052; its second line would pass 3072.
  const std::string file = cut.read("FOR001");
  ASSERT_EQ(file.size(), 3052u);

  const GwinspectResult answers_run = run_gwinspect({"answers", "FOR001"}, cut);
  EXPECT_EQ(answers_run.exit_status, 0);
  EXPECT_EQ(answers_run.err,
            "FOR001:57:1: warning: the file ends inside row 15 of starting head, layer 1, which Morvek writes "
            "only once the last of its values is answered: these answers do not rebuild the file from this "
            "line on\n"
            "FOR001: note: the file ends early; the answers stop where it ends, and Morvek asks next for "
            "starting head, layer 1, row 15, column 11\n");
  // What they rebuild is the file before line 57; with the rest of the
  // row answered, the whole file that the run without a limit writes.
  Scratch rebuilt, resumed, whole;
  run_redirected(MORVEK_PATH, rebuilt, answers_run.out);
  EXPECT_EQ(rebuilt.read("FOR001"), file.substr(0, 2950));
  EXPECT_EQ(run_redirected(MORVEK_PATH, resumed, answers_run.out + rest_of_row_15).exit_status, 0);
  run_redirected(MORVEK_PATH, whole, head + heads + rest_of_row_15);
  EXPECT_EQ(resumed.read("FOR001"), whole.read("FOR001"));
  EXPECT_EQ(resumed.read("FOR001").substr(0, 3052), file);
}

// Other records written together, cut after a line: the answers rebuild
// exactly the lines before the first of them, and say so.
TEST(GwinspectOddFiles, RecordsWrittenTogetherCutShort) {
  Scratch basic_dir;
  run_redirected(MORVEK_PATH, basic_dir, example("morvek.txt"));
  struct Case {
    const char* builder;
    std::string session;
    int keep_lines;     // of the builder's file
    int held_line;      // the first line the answers cannot rebuild
    const char* held;   // what it begins
  };
  const Case cases[] = {
      // Morvek writes its first five records once the options are in.
      {"Morvek", example("morvek.txt"), 3, 1, "the run header (titles, counts, module table and options)"},
      {"Morvek", example("morvek.txt"), 1, 1, "the run header (titles, counts, module table and options)"},
      // Cindral writes the type codes with the TRPY- list (lines 2-4), and
      // a list's array-control record with its values (DELR-: 5-6); the
      // example's FOR001 beside it gives the counts the file does not.
      {"Cindral", example("cindral.txt"), 2, 2, "the layer type codes and the TRPY- list"},
      {"Cindral", example("cindral.txt"), 5, 5, "the DELR- list"},
  };
  for (const Case& c : cases) {
    const Builder& b = builder(c.builder);
    Scratch full, cut, rebuilt;
    run_redirected(b.path, full, c.session);
    const std::string file = first_lines(full.read(b.output_file), c.keep_lines);
    cut.write(b.output_file, file);
    if (b.output_file != "FOR001") cut.write("FOR001", basic_dir.read("FOR001"));
    const GwinspectResult run = run_gwinspect({"answers", b.output_file}, cut);
    const std::string what = std::string(c.builder) + " cut after line " + std::to_string(c.keep_lines);
    EXPECT_EQ(run.exit_status, 0) << what << ": " << run.err;
    EXPECT_NE(run.err.find(b.output_file + ":" + std::to_string(c.held_line) + ":1: warning: the file ends inside " +
                           c.held + ", which " + c.builder + " writes only once the last of its values is answered"),
              std::string::npos)
        << what << ": " << run.err;
    run_redirected(b.path, rebuilt, run.out);
    const std::string before = first_lines(file, c.held_line - 1);
    EXPECT_EQ(rebuilt.exists(b.output_file) ? rebuilt.read(b.output_file) : "", before) << what;
  }
}

}  // namespace
