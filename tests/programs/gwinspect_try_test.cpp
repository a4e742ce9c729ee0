// gwinspect try, end to end: the dialogue run on an answers file, nothing
// written, and what it tells of the answers; and the dialogue run in-process
// shows the very console bytes the program shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "dialogues/cindral.h"
#include "common/console.h"
#include "common/input_stream.h"
#include "common/output_file.h"
#include "common/process_end.h"
#include "dialogues/morvek.h"
#include "dialogues/quillet.h"
#include "tests/support/program_runner.h"
#include "tests/support/read_back_support.h"

namespace {

using namespace testing_support;

// Quillet's questions in order: drains, flow code, periods; per period the
// use code; per drain layer, row, column, elevation, conductance.
constexpr const char* kQuilletComplete = "5\n0\n1\n1\n2\n3\n4\n10.5\n0.01\n";

// Morvek on a grid of one layer, one row and two columns, one period: a
// title of 85 characters, the boundary cell by cell with "1 2" for its
// second cell.
std::string morvek_answers() {
  std::string lines = std::string(80, 'A') + "XYZ12\n" + "second title\n" + "1\n1\n2\n1\n4\n";
  for (int module = 0; module < 11; ++module) lines += "0\n";  // lines 8 to 18
  lines += "0\n0\n";                                           // memory sharing, save heads
  lines += "1\n1\n1 2\n";                                      // boundary cell by cell (21 to 23)
  lines += "999\n0\n100.0\n10\n1\n1.2\n";                      // lines 24 to 29
  return lines;
}

struct TryCase {
  const char* what;
  const char* builder;
  std::string answers;
  int status;
  std::string out;  // "a.txt" names the answers file
};

TEST(GwinspectTry, TellsWhereAnswersAndQuestionsPart) {
  const std::vector<TryCase> cases = {
      {"complete", "quillet", kQuilletComplete, 0, "a.txt: note: the answers make a complete FOR013\n"},
      {"notes after answers are no finding", "quillet",
       "5    drains\n0\tflow code\n0    periods\n", 0,
       "a.txt: note: the answers make a complete FOR013\n"},
      {"42,17", "quillet", "5,17\n0\n0\n", 0,
       "a.txt:1:3: warning: 17 is discarded after the answer 5 to \"Max number of drains "
       "(vertical line sinks/layer)\"\n"
       "a.txt: note: the answers make a complete FOR013\n"},
      {"a null answer and a value on one line", "quillet", "5\n , 7\n0\n", 0,
       "a.txt:2:4: warning: 7 is discarded after the null answer to \"Flow term output code\"\n"
       "a.txt: note: the answers make a complete FOR013\n"},
      {"answers left over", "quillet", std::string(kQuilletComplete) + "\n  7\n8\n", 0,
       "a.txt:11: warning: the dialogue ends before this line; it and the lines after it are not read\n"
       "a.txt: note: the answers make a complete FOR013\n"},
      {"a shifted answer: the column missing", "quillet", "5\n0\n1\n1\n1\n2\n10.5\n0.01\n", 1,
       "a.txt:7:1: error: run-time error F6101: an integer answer must be a whole number: '10.5' "
       "for \"Column :  (x axis)\"\n"},
      {"a quoted answer", "quillet", "5\n  'zero'\n", 1,
       "a.txt:2:3: error: run-time error F6504: a number was expected, not text in quotes or "
       "parentheses: ''zero'' for \"Flow term output code\"\n"},
      {"the answers end early", "quillet", "5\n0\n2\n-1\n", 1,
       "a.txt:4: error: the answers end before \"Drain data use code\" is answered (run-time "
       "error F6501)\n"},
      {"empty answers", "cindral", "", 1,
       "a.txt: error: the answers end before \"Enter Simulation Type;  0=Transient  1=Steady "
       "State\" is answered (run-time error F6501)\n"},
      {"a grid beyond the capacity", "morvek", "t\nt\n1\n100000\n100000\n", 1,
       "a.txt:5:1: error: Morvek: a grid of 100000 rows by 100000 columns has 10000000000 cells; "
       "the limit is 100000000 cells per array\n"},
      {"a title too long, a cell's rest", "morvek", morvek_answers(), 0,
       "a.txt:1:81: warning: the answer to \"Title Line # 1\" is cut to its 80 characters; XYZ12 "
       "is discarded\n"
       "a.txt:23:3: warning: 2 is discarded after the answer 1 to \"row 1, column 2 of Boundary "
       "Array of layer 1\"\n"
       "a.txt: note: the answers make a complete FOR001\n"},
  };
  for (const TryCase& c : cases) {
    SCOPED_TRACE(c.what);
    Scratch dir;
    dir.write("a.txt", c.answers);
    const GwinspectResult result = run_gwinspect({"try", "a.txt", "--as", c.builder}, dir);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exit_status, c.status);
    for (const char* file : {"FOR001", "FOR011", "FOR013"}) EXPECT_FALSE(dir.exists(file)) << file;
  }
}

TEST(GwinspectTry, CannotRunWithoutItsBuilderOrAReadableFile) {
  Scratch dir;
  dir.write("a.txt", kQuilletComplete);
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"try", "a.txt"},
                                             {"try", "a.txt", "--as", "modflow"},
                                             {"try", "--as", "quillet"},
                                             {"try", "missing.txt", "--as", "quillet"},
                                             {"try", ".", "--as", "quillet"}}) {
    const GwinspectResult result = run_gwinspect(arguments, dir);
    EXPECT_EQ(result.exit_status, 2) << arguments[1];
    EXPECT_EQ(result.out, "") << arguments[1];
    EXPECT_NE(result.err, "") << arguments[1];
  }
}

// Every example answers file makes a complete file, with nothing to tell.
TEST(GwinspectTry, EveryExampleIsComplete) {
  for (const auto& [builder, file, output] : {std::tuple{"morvek", "morvek.txt", "FOR001"},
                                              std::tuple{"cindral", "cindral.txt", "FOR011"},
                                              std::tuple{"quillet", "quillet.txt", "FOR013"}}) {
    SCOPED_TRACE(file);
    Scratch dir;
    dir.write(file, example(file));
    const GwinspectResult result = run_gwinspect({"try", file, "--as", builder}, dir);
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.out, std::string(file) + ": note: the answers make a complete " + output + "\n");
    // With standard input closed, the file opened gets its descriptor, 0.
    const GwinspectResult closed_input = run_gwinspect({"try", file, "--as", builder}, dir, [] { ::close(0); });
    EXPECT_EQ(closed_input.exit_status, 0) << closed_input.err;
    EXPECT_EQ(closed_input.out, result.out);
  }
}

// In-process, the dialogue shows on its console the bytes the program
// shows with the same answers redirected, and ends with the program's exit
// status and standard error; the same with answers cut short, which end on
// the run-time error report.
TEST(DialogueInProcess, ShowsWhatTheProgramShows) {
  using Dialogue = void (*)(common::Console&, common::OutputFile&);
  for (const auto& [name, dialogue, file, status] :
       {std::tuple{"Morvek", Dialogue{dialogues::morvek::run_dialogue}, "morvek.txt", 0},
        std::tuple{"Cindral", Dialogue{dialogues::cindral::run_dialogue}, "cindral.txt", 0},
        std::tuple{"Quillet", Dialogue{dialogues::quillet::run_dialogue}, "quillet.txt", 0},
        std::tuple{"Morvek", Dialogue{dialogues::morvek::run_dialogue}, "morvek.txt:40", 1},
        std::tuple{"Cindral", Dialogue{dialogues::cindral::run_dialogue}, "cindral.txt:9", 1},
        std::tuple{"Quillet", Dialogue{dialogues::quillet::run_dialogue}, "quillet.txt:12", 1}}) {
    SCOPED_TRACE(file);
    // "NAME:N": the example's first N lines only.
    const std::string name_and_count(file);
    const std::size_t colon = name_and_count.find(':');
    std::string answers = example(name_and_count.substr(0, colon));
    if (colon != std::string::npos) {
      std::size_t at = 0;
      for (int lines = std::stoi(name_and_count.substr(colon + 1)); lines > 0; --lines) {
        at = answers.find('\n', at) + 1;
      }
      answers.resize(at);
    }
    Scratch dir;
    const RunResult program = run_redirected(builder(name).path, dir, answers);

    std::FILE* shown = std::tmpfile();
    ASSERT_NE(shown, nullptr);
    common::SessionEnd end;
    {
      common::Console console(answers, fileno(shown));
      common::OutputFile output(common::OutputFile::Writes::Nowhere);
      end = common::run_in_process([&] { dialogue(console, output); });
    }
    std::rewind(shown);
    std::string console_bytes;
    for (int c; (c = std::fgetc(shown)) != EOF;) console_bytes.push_back(static_cast<char>(c));
    std::fclose(shown);

    EXPECT_EQ(program.exit_status, status);
    EXPECT_EQ(console_bytes, program.out);
    EXPECT_EQ(end.status, program.exit_status);
    EXPECT_EQ(end.standard_error, program.err);
  }
}

// The place of a byte is its line and column however the input comes: from
// memory, or from a file read in blocks, with the line going on across
// the block's end.
TEST(InputPlace, LineAndColumnAcrossBlocks) {
  const std::string bytes = "ab\n" + std::string(70000, ' ') + "x\n\ny";
  Scratch dir;
  dir.write("in.txt", bytes);
  std::FILE* file = std::fopen(dir.file("in.txt").c_str(), "rb");
  ASSERT_NE(file, nullptr);
  common::InputStream from_file(fileno(file), false, {});
  common::InputStream from_memory(bytes);
  for (common::InputStream* input : {&from_file, &from_memory}) {
    std::vector<std::tuple<int, std::int64_t, std::int64_t>> places;  // byte, line, column
    for (int c; (c = input->peek()) != common::InputStream::kEnd; input->advance()) {
      if (c != ' ' && c != '\n') places.emplace_back(c, input->line_number(), input->column());
    }
    const std::vector<std::tuple<int, std::int64_t, std::int64_t>> expected = {
        {'a', 1, 1}, {'b', 1, 2}, {'x', 2, 70001}, {'y', 4, 1}};
    EXPECT_EQ(places, expected);
  }
  std::fclose(file);
}

}  // namespace
