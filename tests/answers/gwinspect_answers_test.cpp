// gwinspect answers, end to end: the answers it reads back from a file make
// the builder write that file again, byte for byte (in another folder).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>

#include "tests/support/expected_text.h"
#include "tests/support/read_back_support.h"
#include "tests/support/run_checks.h"
#include "tests/support/session_generator.h"

namespace {

using namespace testing_support;

// The round trip holds: gwinspect succeeded, and the builder wrote the
// same bytes from its answers.
void expect_round_trip(const RoundTrip& trip, const std::string& what) {
  ASSERT_FALSE(trip.file.empty()) << what << ": the builder wrote no file";
  EXPECT_EQ(trip.answers.exit_status, 0) << what << "\n" << trip.answers.err;
  EXPECT_EQ(trip.rebuilt_file, trip.file) << what << "\nanswers:\n" << trip.answers.out;
}

TEST(GwinspectAnswers, EveryExampleRoundTrips) {
  for (const auto& [name, answers] : {std::pair{"Morvek", "morvek.txt"}, std::pair{"Cindral", "cindral.txt"},
                                      std::pair{"Quillet", "quillet.txt"}}) {
    const RoundTrip trip = round_trip(builder(name), example(answers));
    expect_round_trip(trip, name);
    EXPECT_EQ(trip.built.exit_status, 0);
    EXPECT_EQ(trip.rebuilt.exit_status, 0) << name << ": " << trip.rebuilt.err;
    EXPECT_TRUE(has_stop_line(trip.rebuilt.out));
  }
}

// The example answers carry, after four blanks, the very notes gwinspect
// answers writes for the files they make (titles, read whole, carry none),
// and the notes change nothing: without them the builder writes the same
// file and the same dialogue.
TEST(GwinspectAnswers, ExamplesCarryTheNotesOfTheirAnswers) {
  for (const auto& [name, file, titles] : {std::tuple{"Morvek", "morvek.txt", 2u},
                                           std::tuple{"Cindral", "cindral.txt", 0u},
                                           std::tuple{"Quillet", "quillet.txt", 0u}}) {
    SCOPED_TRACE(name);
    const std::string annotated = example(file);
    const RoundTrip trip = round_trip(builder(name), annotated);
    const std::vector<std::string> lines = split_lines(annotated);
    const std::vector<std::string> read_back = split_lines(trip.answers.out);
    ASSERT_EQ(lines.size(), read_back.size());
    std::string bare;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::size_t note = lines[i].find("    ");
      const std::size_t expected_note = read_back[i].find("    ");
      if (i < titles) {
        EXPECT_EQ(note, std::string::npos) << lines[i];
        EXPECT_EQ(expected_note, std::string::npos) << read_back[i];
        bare += lines[i] + "\n";
        continue;
      }
      ASSERT_NE(note, std::string::npos) << "line " << i + 1 << " has no note: " << lines[i];
      ASSERT_NE(expected_note, std::string::npos) << read_back[i];
      EXPECT_EQ(lines[i].substr(note), read_back[i].substr(expected_note)) << "line " << i + 1;
      bare += lines[i].substr(0, note) + "\n";
    }
    const RoundTrip without_notes = round_trip(builder(name), bare);
    EXPECT_EQ(without_notes.file, trip.file);
    EXPECT_EQ(without_notes.built.out, trip.built.out);
    EXPECT_EQ(trip.built.exit_status, 0);
  }
}

// The drain example's answers, written out by hand: one answer a line,
// four blanks, then what it answers; reals as their fields show them.
TEST(GwinspectAnswers, AnswersCarryNotes) {
  const RoundTrip trip = round_trip(builder("Quillet"), example("quillet.txt"));
  const std::string drain_1 = "stress period 1, drain 1: ", drain_2 = "stress period 1, drain 2: ",
                    drain_3 = "stress period 3, drain 1: ";
  const std::string use = ": use code (negative: the previous drains again; else the number of drains)";
  EXPECT_EQ(trip.answers.out,
            answers({"20    maximum number of drains", "0    flow term output code", "3    stress periods",
                     "2    stress period 1" + use, "1    " + drain_1 + "layer", "5    " + drain_1 + "row",
                     "6    " + drain_1 + "column", "95.5    " + drain_1 + "elevation",
                     ".100E+04    " + drain_1 + "conductance", "1    " + drain_2 + "layer",
                     "4    " + drain_2 + "row", "7    " + drain_2 + "column", "94.3    " + drain_2 + "elevation",
                     ".500E-01    " + drain_2 + "conductance", "-1    stress period 2" + use,
                     "1    stress period 3" + use, "2    " + drain_3 + "layer", "3    " + drain_3 + "row",
                     "4    " + drain_3 + "column", "88.0    " + drain_3 + "elevation",
                     "12.5    " + drain_3 + "conductance"}));
}

// The smallest honest script: an array whose cells were typed one by one
// but are all equal is answered with one value.
TEST(GwinspectAnswers, AnArrayOfEqualCellsIsOneValue) {
  const std::string session = answers({"T", "U", "1", "2", "3", "0", "4"}) + repeat("0\n", 11) +
                              answers({"0", "0", "1", "1", "1", "1", "1", "1", "1", "999", "1",
                                       "5", "5.0", "5.00", "5", "5e0", "6"});
  const RoundTrip trip = round_trip(builder("Morvek"), session);
  expect_round_trip(trip, "equal cells");
  const std::vector<std::string> lines = split_lines(trip.answers.out);
  ASSERT_EQ(lines.size(), 2 + 5 + 11 + 2 + 2 + 1 + 1 + 6u);
  EXPECT_EQ(lines[20], "0    boundary, layer 1: all values the same? (0 = yes)");
  EXPECT_EQ(lines[21], "1    boundary, layer 1: the value of every cell");
  EXPECT_EQ(lines[23], "1    starting head, layer 1: all values the same? (1 = no)");
  EXPECT_EQ(lines[24], "5.00    starting head, layer 1, row 1, column 1");
  EXPECT_EQ(lines[29], "6.00    starting head, layer 1, row 2, column 3");
}

struct EdgeCase {
  const char* builder;
  const char* what;
  std::string session;
  const char* warning;  // "LINE:COLUMN" of a warning expected, or ""
};

std::string morvek_header(const std::string& counts) {
  return "Edge\nCase\n" + counts + repeat("0\n", 11) + "0\n1\n";
}

// A file cut between the rows of an array ends with its last complete
// record: the answers rebuild it whole, and only a note says what Morvek
// asks next. Cut inside a row of two lines, the row is held from its first
// line. The model: 1 layer, 3 rows, 12 columns; the boundary (20I3) a line a
// row at lines 7-9, the starting heads (10G10.3) two lines a row from line 12.
TEST(GwinspectAnswers, AnArrayCutBetweenOrInsideItsRows) {
  std::string session = morvek_header(answers({"1", "3", "12", "1", "4"})) + answers({"0", "1", "999", "1"});
  for (int cell = 1; cell <= 36; ++cell) session += std::to_string(cell) + ".5\n";
  session += answers({"365", "10", "1.2"});
  Scratch full;
  run_redirected(builder("Morvek").path, full, session);
  const std::string file = full.read("FOR001");
  const auto first_lines = [&file](int count) {
    std::size_t end = 0;
    for (int i = 0; i < count; ++i) end = file.find('\n', end) + 1;
    return file.substr(0, end);
  };
  const std::string next = "FOR001: note: the file ends early; the answers stop ";
  struct Case {
    int keep_lines;
    std::string err;
    int rebuilt_lines;
  };
  const Case cases[] = {
      {8, next + "with its last complete record, and Morvek asks next for boundary, layer 1, row 3, column 1\n", 8},
      {15, next + "with its last complete record, and Morvek asks next for starting head, layer 1, row 3, column 1\n",
       15},
      {12, "FOR001:12:1: warning: the file ends inside row 1 of starting head, layer 1, which Morvek writes only "
           "once the last of its values is answered: these answers do not rebuild the file from this line on\n" +
               next + "where it ends, and Morvek asks next for starting head, layer 1, row 1, column 11\n",
       11},
      {14, "FOR001:14:1: warning: the file ends inside row 2 of starting head, layer 1, which Morvek writes only "
           "once the last of its values is answered: these answers do not rebuild the file from this line on\n" +
               next + "where it ends, and Morvek asks next for starting head, layer 1, row 2, column 11\n",
       13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("cut after line " + std::to_string(c.keep_lines));
    Scratch cut, rebuilt;
    cut.write("FOR001", first_lines(c.keep_lines));
    const GwinspectResult read_back = run_gwinspect({"answers", "FOR001"}, cut);
    EXPECT_EQ(read_back.exit_status, 0);
    EXPECT_EQ(read_back.err, c.err);
    run_redirected(builder("Morvek").path, rebuilt, read_back.out);
    EXPECT_EQ(rebuilt.read("FOR001"), first_lines(c.rebuilt_lines));
  }
}

TEST(GwinspectAnswers, EdgeCasesRoundTrip) {
  const std::string header_1x2x3 = morvek_header(answers({"1", "2", "3", "1", "4"}));
  const EdgeCase cases[] = {
      {"Morvek", "zero and negative counts", morvek_header(answers({"0", "-3", "0", "-1", "9"})) + "999\n", ""},
      {"Morvek", "rows without columns", morvek_header(answers({"2", "3", "0", "0", "4"})) +
                                             answers({"0", "1", "1", "999", "1", "0", "7"}), ""},
      {"Morvek", "columns without rows", morvek_header(answers({"1", "0", "3", "0", "4"})) +
                                             answers({"0", "1", "999", "0", "7"}), ""},
      {"Morvek", "titles blank, indented, with tabs",
       answers({"", "   indented\ttab\t", "0", "0", "0", "0", "0"}) + repeat("0\n", 11) + "0\n0\n999\n", ""},
      {"Morvek", "a title of 80 columns and more", std::string(85, 'x') + "\n" + std::string(80, ' ') + "x\n" +
                                                      answers({"0", "0", "0", "0", "0"}) + repeat("0\n", 11) +
                                                      "0\n0\n999\n", ""},
      {"Morvek", "reals at the changes of form and the largest real",
       header_1x2x3 + answers({"0", "1", "999", "1", "0.09999", "999.99", "-999.996", "-0.099996",
                               "3.4028234e38", "-3.4028234e38", "365", "10", "1.2"}), ""},
      {"Morvek", "boundary values too wide: asterisks",
       header_1x2x3 + answers({"1", "1000", "1", "-100", "1", "1", "1", "999", "0", "5", "1", "1", "1"}), "7:1"},
      {"Morvek", "a uniform boundary of asterisks",
       header_1x2x3 + answers({"0", "-999", "999", "0", "5", "1", "1", "1"}), "7:1"},
      // Larger than the reader's buffer: the one value must outlast it.
      {"Morvek", "uniform arrays of a megabyte", morvek_header(answers({"1", "300", "300", "1", "4"})) +
                                                    answers({"0", "1", "999", "0", "12.5", "365", "10", "1.2"}), ""},
      {"Cindral", "a uniform list of 40000 entries",
       answers({"1", "0", "1", "1", "40000", "0", "1.0", "0", "2.5", "1", "100", "0", "7.5"}), ""},
      {"Morvek", "counts of the lowest integer: asterisks",
       morvek_header(answers({"-2147483648", "1", "1", "-2147483648", "-2147483648"})) + "999\n", "3:1"},
      {"Cindral", "no layers", answers({"0", "0", "0", "2", "3", "0", "1.5", "1", "1", "2"}), ""},
      {"Cindral", "no rows, no columns", answers({"0", "0", "2", "0", "0", "1", "1", "3", "2", "1", "1"}) +
                                              repeat("0\n1\n", 7), ""},
      {"Cindral", "layer types too wide, and out of range",
       answers({"1", "-2147483648", "3", "1", "2", "100", "1", "-10", "2", "7", "3", "0", "10", "0", "20"}) +
           answers({"0", "1", "0", "2"}), "1:11"},
      {"Cindral", "lists of 10, 11 and 45 entries, typed", [] {
         std::string s = answers({"0", "50", "45", "11", "10"});
         for (int l = 1; l <= 45; ++l) s += answers({std::to_string(l % 5), std::to_string(l) + ".5"});
         s += "1\n" + repeat("7.25\n", 10) + "1\n" + repeat("3\n", 10) + "4\n";
         return s;  // ends among the layer arrays: cut short
       }(), ""},
      {"Quillet", "use codes and drains of the lowest integer",
       answers({"5", "-2147483648", "3", "-2147483648", "1", "-2147483648", "2147483647", "0", "1e-45",
                "-3.4028234e38", "-7"}), "1:11"},
      {"Quillet", "no stress periods", answers({"0", "0", "-5"}), ""},
      {"Quillet", "reuse in the first period, zero drains", answers({"3", "40", "3", "-1", "0", "0"}), ""},
  };
  for (const EdgeCase& c : cases) {
    const RoundTrip trip = round_trip(builder(c.builder), c.session);
    expect_round_trip(trip, c.what);
    if (*c.warning != '\0') {
      const Builder& b = builder(c.builder);
      EXPECT_NE(trip.answers.err.find(b.output_file + ":" + c.warning + ": warning: "), std::string::npos)
          << c.what << ": " << trip.answers.err;
    }
  }
  // Ten warnings are told; the rest are counted in one note.
  std::string session = answers({"12", "0", "1", "12"});
  for (int d = 0; d < 12; ++d) session += answers({"-2147483648", "1", "1", "1.0", "1.0"});
  const RoundTrip trip = round_trip(builder("Quillet"), session);
  expect_round_trip(trip, "twelve drains whose layer is asterisks");
  EXPECT_EQ(count(trip.answers.err, ": warning: "), 10u) << trip.answers.err;
  EXPECT_NE(trip.answers.err.find("FOR013: note: 2 more warnings like these\n"), std::string::npos) << trip.answers.err;
}

// Property: generated sessions of every builder, cut short now and then.
TEST(GwinspectAnswers, GeneratedSessionsRoundTrip) {
  using Generator = std::string (*)(std::uint32_t);
  const std::pair<const char*, Generator> generators[] = {{"Morvek", random_morvek_session},
                                                          {"Cindral", random_cindral_session},
                                                          {"Quillet", random_quillet_session}};
  for (const auto& [name, generate] : generators) {
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
      const std::string session = generate(seed);
      const RoundTrip trip = round_trip(builder(name), session);
      if (trip.file.empty()) continue;  // Morvek ended before its file
      expect_round_trip(trip, std::string(name) + " seed " + std::to_string(seed) + "\nsession:\n" + session);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

// After a typo ends a typed session, the answers of the partial file, then
// the rest typed again, give the file the session was meant to give.
TEST(GwinspectAnswers, RecoveryAfterATypo) {
  const std::string head = morvek_header(answers({"1", "3", "2", "1", "4"})) +
                           answers({"1", "-1", "1", "1", "0"});  // boundary rows 1 and 2 of 3
  const std::string rest = answers({"1", "1", "999", "0", "50", "365", "10", "1.2"});
  const Builder& morvek = builder("Morvek");
  Scratch typed, intended;
  const RunResult failed = run_redirected(morvek.path, typed, head + "1\n1x\n");  // typo in row 3
  ASSERT_EQ(failed.exit_status, 1);
  const GwinspectResult recovered = run_gwinspect({"answers", "FOR001"}, typed);
  EXPECT_EQ(recovered.exit_status, 0);
  EXPECT_NE(recovered.err.find("Morvek asks next for boundary, layer 1, row 3, column 1"), std::string::npos)
      << recovered.err;
  Scratch resumed;
  const RunResult again = run_redirected(morvek.path, resumed, recovered.out + rest);
  const RunResult whole = run_redirected(morvek.path, intended, head + rest);
  EXPECT_EQ(again.exit_status, 0);
  EXPECT_EQ(resumed.read("FOR001"), intended.read("FOR001"));
}

// A file that went through an editor (LF line ends, trailing blanks
// gone) gives the same answers as the file itself.
TEST(GwinspectAnswers, LineFeedsAndTrimmedBlanksReadAlike) {
  for (const auto& [name, answers_file] : {std::pair{"Morvek", "morvek.txt"}, std::pair{"Cindral", "cindral.txt"},
                                           std::pair{"Quillet", "quillet.txt"}}) {
    const Builder& b = builder(name);
    Scratch dir;
    run_redirected(b.path, dir, example(answers_file));
    const std::string original = dir.read(b.output_file);
    const GwinspectResult from_original = run_gwinspect({"answers", b.output_file}, dir);
    std::string edited = std::regex_replace(original, std::regex(" *\r\n"), "\n");
    dir.write(b.output_file, edited);
    const GwinspectResult from_edited = run_gwinspect({"answers", b.output_file}, dir);
    EXPECT_EQ(from_edited.exit_status, 0) << name << ": " << from_edited.err;
    EXPECT_EQ(from_edited.out, from_original.out) << name;
  }
}

// FOR011 and FOR013 hold no grid or period counts: FOR001 beside them is
// used where they do not show one, and each run says where its counts
// came from.
TEST(GwinspectAnswers, CountsFromTheBasicFileBeside) {
  Scratch basic_dir;
  run_redirected(builder("Morvek").path, basic_dir, example("morvek.txt"));  // 2 layers, 6 by 7, 3 periods
  const std::string basic = basic_dir.read("FOR001");

  const RoundTrip alone = round_trip(builder("Cindral"), example("cindral.txt"));
  EXPECT_NE(alone.answers.err.find("grid counts from this file's own records (2 layers, 6 rows, 7 columns); "
                                   "no FOR001 beside it"), std::string::npos) << alone.answers.err;
  // The faulty example's own grid has 8 columns: the file wins, and says so.
  const RoundTrip beside = round_trip(builder("Cindral"), example("faulty/cindral.txt"), basic);
  expect_round_trip(beside, "FOR011 beside FOR001");
  EXPECT_NE(beside.answers.err.find("FOR001 beside it gives 7 columns, but the DELR- list here holds 8"),
            std::string::npos) << beside.answers.err;

  // A FOR011 that ends after its header: FOR001 gives the counts, and the
  // answers go on to the first layer type code.
  const RoundTrip cut = round_trip(builder("Cindral"), answers({"0", "50", "2", "6", "7", "1"}), basic);
  expect_round_trip(cut, "FOR011 cut after its header");
  EXPECT_NE(cut.answers.out.find("2    layers\n6    rows\n7    columns\n"), std::string::npos) << cut.answers.out;
  EXPECT_NE(cut.answers.err.find("asks next for the type code of layer 1"), std::string::npos) << cut.answers.err;

  // FOR013 with fewer periods than FOR001 gives: the answers ask for all of
  // them and stop where the file does.
  const RoundTrip drains = round_trip(builder("Quillet"), answers({"20", "0", "3", "-1"}), basic);
  expect_round_trip(drains, "FOR013 cut after one period");
  EXPECT_NE(drains.answers.out.find("\n3    stress periods\n"), std::string::npos) << drains.answers.out;
  EXPECT_NE(drains.answers.err.find("asks next for the use code of stress period 2"), std::string::npos)
      << drains.answers.err;
}

// Bad input: one line "FILE:LINE:COLUMN: error: expected ..., found ...",
// exit status 2, no answers.
TEST(GwinspectAnswers, BadInputGetsOneClearLine) {
  Scratch dir;
  run_redirected(builder("Quillet").path, dir, example("quillet.txt"));
  const std::string drains = dir.read("FOR013");
  std::string cut_line = drains.substr(0, drains.size() - 10);  // the last record cut off mid-line
  std::string stray_text = drains;  // text after the header's two I10 fields
  stray_text.insert(stray_text.find("\r\n"), "   stray");
  run_redirected(builder("Morvek").path, dir, example("morvek.txt"));
  std::string locator_changed = dir.read("FOR001");  // layer 1's boundary locator 1 made 7
  locator_changed[locator_changed.find("         1         1(20I3)") + 9] = '7';
  std::string last_module_slot = dir.read("FOR001");  // slot 24 of the module table, never asked, made 34
  std::size_t module_table = 0;
  for (int line = 1; line < 4; ++line) module_table = last_module_slot.find('\n', module_table) + 1;
  last_module_slot.replace(module_table + 69, 3, " 34");
  const std::string basic = dir.read("FOR001");  // a mark in the column right after the no-flow head's F10
  const std::size_t no_flow_end = basic.find("  999.    \r\n") + 10;
  const std::string no_flow_mark = basic.substr(0, no_flow_end) + "x" + basic.substr(no_flow_end);
  struct Bad {
    const char* what;
    std::string name;
    std::string bytes;  // written as `name`, unless the case makes its own
    std::string expected;  // a regular expression for the error line
  };
  const Bad cases[] = {
      {"a drain file named FOR001", "FOR001", drains,
       "FOR001:3:31: error: expected the number of stress periods \\(I10\\), found '  95.5    '"},
      {"a binary file", "FOR011", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "FOR011:1:1: error: expected the simulation type .*"},
      {"a line cut short", "FOR013", cut_line, "FOR013:7:41: error: expected the drain's conductance as Quillet writes it \\(G10.3\\), found blanks cut short by the line end"},
      {"text after a record's last field", "FOR013", stray_text,
       "FOR013:1:24: error: expected the end of the drain header record after column 20, found 'stray'"},
      {"text right after the no-flow head", "FOR001", no_flow_mark,
       "FOR001:20:11: error: expected the end of the no-flow head record after column 10, found 'x'"},
      // The record from the first byte that differs, 30 bytes of it at most.
      {"a record other than the builder writes", "FOR001", locator_changed,
       "FOR001:6:10: error: expected .* as Morvek writes it, '1         1\\(20I3\\)             '\\.\\.\\. from "
       "here, found '7         1\\(20I3\\)             '\\.\\.\\."},
      {"a unit in the last slot of the module table", "FOR001", last_module_slot,
       "FOR001:4:70: error: expected 0 \\(slot 24 is never asked\\), found ' 34'"},
      {"no line end for 5000 bytes", "FOR013", std::string(5000, '7'), "FOR013:1:1: error: expected a record of at most 100 columns.*"},
      {"a directory", "FOR001", "", "FOR001:1:1: error: expected a file, found a directory"},
      {"a missing file", "FOR011", "", "FOR011:1:1: error: expected a readable file, found none: .*"},
  };
  for (const Bad& c : cases) {
    Scratch here;
    if (std::string_view(c.what) == "a directory") {
      std::filesystem::create_directory(here.file(c.name));
    } else if (std::string_view(c.what) != "a missing file") {
      here.write(c.name, c.bytes);
    }
    const GwinspectResult result = run_gwinspect({"answers", c.name}, here);
    EXPECT_EQ(result.exit_status, 2) << c.what;
    EXPECT_EQ(result.out, "") << c.what;
    EXPECT_TRUE(std::regex_match(result.err, std::regex(c.expected + "\n"))) << c.what << ": " << result.err;
  }
  const GwinspectResult unnamed = run_gwinspect({"answers", "drains.txt"}, dir);
  EXPECT_EQ(unnamed.exit_status, 2);
  // Linux file names keep their case: for013 is not the file Quillet writes.
  std::filesystem::copy_file(dir.file("FOR013"), dir.file("for013"));
  const GwinspectResult lower_case = run_gwinspect({"answers", "for013"}, dir);
  EXPECT_EQ(lower_case.exit_status, 2);
  EXPECT_NE(lower_case.err.find("for013: error: cannot tell which builder wrote it"), std::string::npos)
      << lower_case.err;
  std::filesystem::rename(dir.file("FOR013"), dir.file("drains.txt"));
  const GwinspectResult named = run_gwinspect({"answers", "--as", "quillet", "drains.txt"}, dir);
  EXPECT_EQ(named.exit_status, 0) << named.err;
  EXPECT_EQ(run_gwinspect({"answers", "--as", "gravel", "drains.txt"}, dir).exit_status, 2);
  EXPECT_EQ(run_gwinspect({"nonsense"}, dir).exit_status, 2);
}

// A model of one layer of 12 rows by 12 columns (FOR001), and the FOR011
// of it whose widths along rows are typed one by one (1.5 to 12.5) and
// along columns given as one value (50). FOR011: 1 header, 2 type code, 3-4
// TRPY-, 5 DELR- and 6-7 its widths, 8 DELC- and 9-10, 11 TRAN-.
struct TwelveByTwelve {
  std::string basic, flow;
};
const TwelveByTwelve& twelve_by_twelve() {
  static const TwelveByTwelve files = [] {
    Scratch dir;
    run_redirected(builder("Morvek").path, dir,
                   morvek_header(answers({"1", "12", "12", "1", "4"})) +
                       answers({"0", "1", "999", "0", "100", "365", "10", "1.2"}));
    std::string widths;
    for (int c = 1; c <= 12; ++c) widths += std::to_string(c) + ".5\n";
    run_redirected(builder("Cindral").path, dir,
                   answers({"1", "0", "1", "12", "12", "0", "1.0", "1"}) + widths + answers({"0", "50", "0", "100"}));
    return TwelveByTwelve{dir.read("FOR001"), dir.read("FOR011")};
  }();
  return files;
}

std::string first_lines(const std::string& file, int count) {
  std::size_t end = 0;
  for (int i = 0; i < count; ++i) end = file.find('\n', end) + 1;
  return file.substr(0, end);
}

// A file named by a path with folders: its builder is told from the base
// name, and the FOR001 beside it is looked for in its folder. A FOR011 cut
// after the first full line of a list of 12 widths: the FOR001 beside gives
// the count, the answers give the ten widths there are, and the note names
// the first one missing. Given them, Cindral writes the file up to the list.
TEST(GwinspectAnswers, AFileInAFolderAndAListCutShort) {
  const TwelveByTwelve& model = twelve_by_twelve();
  ASSERT_FALSE(model.flow.empty());
  struct Case {
    const char* what;
    std::string file;   // in model/
    std::string bytes;
    std::string note;   // the last line on standard error
    int rebuilt_lines;  // that the builder writes again from the answers
  };
  const std::string cindral_next = "model/FOR011: note: the file ends early; the answers stop where it ends, and "
                                   "Cindral asks next for ";
  const Case cases[] = {
      {"a whole FOR001", "FOR001", model.basic, "", -1},
      {"a whole FOR011", "FOR011", model.flow, "", -1},
      {"DELR- cut after a line of 10", "FOR011", first_lines(model.flow, 6),
       cindral_next + "cell width along rows, column 11", 4},
      // One value on the line kept: it must still be answered width by width.
      {"DELC- of one value cut after a line of 10", "FOR011", first_lines(model.flow, 9),
       cindral_next + "cell width along columns, row 11", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scratch here, again;
    std::filesystem::create_directory(here.file("model"));
    here.write("model/FOR001", model.basic);
    here.write("model/" + c.file, c.bytes);
    const GwinspectResult in_folder = run_gwinspect({"answers", "model/" + c.file}, here);
    ASSERT_EQ(in_folder.exit_status, 0) << in_folder.err;
    if (!c.note.empty()) {
      EXPECT_TRUE(in_folder.err.ends_with("\n" + c.note + "\n")) << in_folder.err;
    }
    const Builder& b = builder(c.file == "FOR001" ? "Morvek" : "Cindral");
    run_redirected(b.path, again, in_folder.out);
    const std::string expected = c.rebuilt_lines < 0 ? c.bytes : first_lines(c.bytes, c.rebuilt_lines);
    EXPECT_EQ(again.read(c.file), expected) << in_folder.out;
  }
}

// gwinspect started with two of its standard streams closed: a file it
// opens may take the number of one, and must not be written through it.
// Without standard output the answers and the check end with status 2 and
// the files stay as they are; the report, which writes a file, writes it.
TEST(GwinspectAnswers, TwoStandardStreamsClosedAtStart) {
  struct Case {
    const char* what;
    std::vector<int> closed;
    std::vector<std::string> arguments;
    int status;
    std::string err;  // where standard error is open
  };
  const Case cases[] = {
      {"answers without input and output", {0, 1}, {"answers", "FOR001"}, 2,
       "gwinspect answers: error: the answers cannot be written to standard output: Bad file descriptor\n"},
      {"answers without output and error", {1, 2}, {"answers", "FOR011"}, 2, ""},
      {"check without input and output", {0, 1}, {"check"}, 2,
       "gwinspect check: error: the report cannot be written to standard output: Bad file descriptor\n"},
      {"check without output and error", {1, 2}, {"check"}, 2, ""},
      {"report without output and error", {1, 2}, {"report"}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scratch dir;
    run_redirected(builder("Morvek").path, dir, example("morvek.txt"));
    run_redirected(builder("Cindral").path, dir, example("cindral.txt"));
    const std::string basic = dir.read("FOR001"), flow = dir.read("FOR011");
    RunOptions options;
    options.arguments = c.arguments;
    options.in_child = [&c] {
      for (int fd : c.closed) ::close(fd);
    };
    const RunResult run = run_redirected(GWINSPECT_PATH, dir, "", options);
    EXPECT_EQ(run.exit_status, c.status);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(dir.read("FOR001"), basic);
    EXPECT_EQ(dir.read("FOR011"), flow);
    EXPECT_EQ(dir.exists("report.html"), c.arguments[0] == "report");
  }
}

}  // namespace
