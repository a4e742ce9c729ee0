// The message line of the run-time error report for an answer that cannot
// be read: the answer as read, the question it answered, and where the
// answers come from a file or a pipe, the line it stands on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/answer_report.h"
#include "tests/support/program_runner.h"
#include "tests/support/run_checks.h"

namespace common {
namespace {

using testing_support::RunOptions;
using testing_support::RunResult;
using testing_support::Scratch;

TEST(AnswerReport, MessageParts) {
  struct Case {
    FailedAnswer failed;
    std::string message;
  };
  const std::string forty(40, '7');
  const std::string forty_two = forty + "89";
  const std::string controls(41, '\x01');
  const std::vector<Case> cases = {
      {{"bad", "1O", "Number of Grid Rows", 4, false}, "bad: '1O' for \"Number of Grid Rows\" (answers line 4)"},
      {{"bad", "1O", "Number of Grid Rows", -1, false}, "bad: '1O' for \"Number of Grid Rows\""},
      {{"bad", "", "Q", 7, false}, "bad for \"Q\" (answers line 7)"},
      {{"bad", "x", "", -1, false}, "bad: 'x'"},
      {{"end", "", "Q", 12, true}, "end for \"Q\" (answers end after line 12)"},
      {{"end", "", "Q", 0, true}, "end for \"Q\" (the answers are empty)"},
      {{"end", "", "Q", -1, true}, "end for \"Q\""},
      // Bytes beyond printable ASCII, and the backslash, are escaped.
      {{"bad", "\xC2\xA0" "5\t\\", "Q", -1, false}, "bad: '\\xC2\\xA05\\x09\\\\' for \"Q\""},
      // 40 bytes are quoted whole; a 41st is cut with "...".
      {{"long", forty, "Q", -1, false}, "long: '" + forty + "' for \"Q\""},
      {{"long", forty_two, "Q", -1, false}, "long: '" + forty + "...' for \"Q\""},
      // The cut counts the bytes of the answer, not of their escapes.
      {{"long", controls, "Q", -1, false},
       [] {
         std::string escaped;
         for (int i = 0; i < 40; ++i) escaped += "\\x01";
         return "long: '" + escaped + "...' for \"Q\"";
       }()},
  };
  for (const Case& c : cases) EXPECT_EQ(failed_answer_message(c.failed), c.message);

  EXPECT_EQ(question_of_prompt(" Layer :  (z axis)"), "Layer :  (z axis)");
  EXPECT_EQ(question_of_prompt("Number of Grid Rows     "), "Number of Grid Rows");
  EXPECT_EQ(question_of_prompt("   "), "");
}

std::string report(std::string_view number, std::string_view message) {
  return "\r\nrun-time error " + std::string(number) + ": READ(CON)\r\n- " + std::string(message) +
         "\r\n";
}

struct Session {
  const char* name;
  const char* program;
  std::string answers;
  const char* number;
  std::string message;  // from a file or a pipe
};

std::string lines(int count, std::string_view line) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(line) + "\n";
  return text;
}

// Morvek up to its first boundary cell: two titles, 1 layer, 2 rows, 2
// columns, 1 period, time unit 4, the eleven modules left out, the two
// options, cell by cell (lines 1 to 21).
const std::string kMorvekToCells = "t1\nt2\n1\n2\n2\n1\n4\n" + lines(11, "0") + "0\n0\n1\n";
// Cindral, steady state, 1 layer of 1 row and 2 columns of type 0, both
// width lists one value, the transmissivity cell by cell (lines 1 to 12).
const std::string kCindralToCells = "1\n0\n1\n1\n2\n0\n1\n0\n10\n0\n10\n1\n";
// Quillet up to the elevation of its first drain (lines 1 to 7).
const std::string kQuilletToElevation = "5\n0\n1\n1\n1\n2\n3\n";

const std::vector<Session> kSessions = {
    {"the example", MORVEK_PATH, "t1\nt2\n2\n1O\n", "F6101",
     "an integer answer must be a whole number: '1O' for \"Number of Grid Rows\" (answers line 4)"},
    {"a legend under the question", MORVEK_PATH, "t1\nt2\n1\n2\n2\n1\n4x\n", "F6101",
     "an integer answer must be a whole number: '4x' for \"Simulation Time Unit\" (answers line 7)"},
    {"a legend under a question with a blank at its end", MORVEK_PATH,
     "t1\nt2\n1\n2\n2\n1\n4\n" + lines(11, "0") + "0\n1.\n", "F6101",
     "an integer answer must be a whole number: '1.' for \"Save Starting Heads (i.e. Compute "
     "Drawdown?\" (answers line 20)"},
    {"a module", MORVEK_PATH, "t1\nt2\n1\n2\n2\n1\n4\n1\n1\n#1#\n", "F6302",
     "a number may contain only one #: '#1#' for \"Drains\" (answers line 10)"},
    {"a boundary cell", MORVEK_PATH, kMorvekToCells + "1\n1\n  x\n", "F6101",
     "an integer answer must be a whole number: 'x' for \"row 2, column 1 of Boundary Array of "
     "layer 1\" (answers line 24)"},
    {"the value of every cell", MORVEK_PATH, kMorvekToCells.substr(0, kMorvekToCells.size() - 2) + "0\n2*3*4\n",
     "F6503", "only one repeat count is allowed: '2*3*4' for \"Value? :\" (answers line 22)"},
    {"a layer type code", CINDRAL_PATH, "0\n0\n1\n2\n2\n'0'\n", "F6504",
     "a number was expected, not text in quotes or parentheses: ''0'' for \"Layer           1type "
     "code :\" (answers line 6)"},
    {"a transmissivity cell", CINDRAL_PATH, kCindralToCells + "5\n5x\n", "F6103",
     "a real answer must be a decimal number: '5x' for \"row 1, column 2 of Transmissivity Array "
     "of layer 1\" (answers line 14)"},
    {"a cell width", CINDRAL_PATH, "1\n0\n1\n1\n2\n0\n1\n1\n1e39\n", "F6104",
     "number too large for a real answer: '1e39' for \"Cell width (delta-x) along rows    Col:"
     "           1\" (answers line 9)"},
    {"a drain elevation", QUILLET_PATH, kQuilletToElevation + "1e400\n", "F6102",
     "number far too large for a real answer: '1e400' for \"Drain Elevation (+z direction)\" "
     "(answers line 8)"},
    {"a use code after blank lines and with CR LF", QUILLET_PATH, "5\r\n0\r\n\r\n 1\r\n\r\n\r\n0*7\r\n",
     "F6502", "a repeat count must not be 0: '0*7' for \"Drain data use code\" (answers line 7)"},
    {"an answer too long", QUILLET_PATH, std::string(300, '7') + "\n", "F6408",
     "answer longer than 260 characters: '" + std::string(40, '7') +
         "...' for \"Max number of drains (vertical line sinks/layer)\" (answers line 1)"},
    {"a radix", QUILLET_PATH, "5\n37#1\n", "F6303",
     "the radix before # must be from 2 to 36: '37#1' for \"Flow term output code\" (answers line 2)"},
    {"an integer too large", QUILLET_PATH, "5\n0\n2147483648\n", "F6100",
     "number too large for an integer answer: '2147483648' for \"Number of Stress Periods (same "
     "as in MORVEKGRID)\" (answers line 3)"},
    {"the end of the answers", QUILLET_PATH, "5\n0\n", "F6501",
     "end of input: no more answers for \"Number of Stress Periods (same as in MORVEKGRID)\" "
     "(answers end after line 2)"},
    {"the end after a line without its line end", QUILLET_PATH, "5\n0", "F6501",
     "end of input: no more answers for \"Number of Stress Periods (same as in MORVEKGRID)\" "
     "(answers end after line 2)"},
    {"the end after blank lines", QUILLET_PATH, "5\n0\n\n  \n", "F6501",
     "end of input: no more answers for \"Number of Stress Periods (same as in MORVEKGRID)\" "
     "(answers end after line 4)"},
    {"the end mark", QUILLET_PATH, "5\n\x1A\n7\n", "F6501",
     "end of input: no more answers for \"Flow term output code\" (answers end after line 1)"},
    {"no answers at all", QUILLET_PATH, "", "F6501",
     "end of input: no more answers for \"Max number of drains (vertical line sinks/layer)\" (the "
     "answers are empty)"},
    {"a title", MORVEK_PATH, "t1\n", "F6501",
     "end of input: no more answers for \"Title Line # 2\" (answers end after line 1)"},
};

// The same message from a file and from a pipe; the frame, the exit status
// and the file stay as they were.
TEST(AnswerReport, RedirectedSessions) {
  for (const Session& s : kSessions) {
    for (const bool pipe : {false, true}) {
      SCOPED_TRACE(std::string(s.name) + (pipe ? ", pipe" : ", file"));
      Scratch dir;
      RunOptions options;
      options.stdin_pipe = pipe;
      const RunResult run = testing_support::run_redirected(s.program, dir, s.answers, options);
      EXPECT_EQ(run.exit_status, 1);
      EXPECT_EQ(run.err, report(s.number, s.message));
    }
  }
}

// At a terminal the line numbers go; a question survives the flush of the
// console before every typed read.
TEST(AnswerReport, TypedSessions) {
  struct Typed {
    const char* program;
    std::string typed;
    const char* number;
    std::string message;
  };
  const std::vector<Typed> cases = {
      {MORVEK_PATH, "t1\nt2\n2\n1O\n", "F6101",
       "an integer answer must be a whole number: '1O' for \"Number of Grid Rows\""},
      {MORVEK_PATH, "t1\nt2\n1\n2\n2\n1\n4x\n", "F6101",
       "an integer answer must be a whole number: '4x' for \"Simulation Time Unit\""},
      {MORVEK_PATH, kMorvekToCells + "1\n1\n  x\n", "F6101",
       "an integer answer must be a whole number: 'x' for \"row 2, column 1 of Boundary Array of "
       "layer 1\""},
      {QUILLET_PATH, kQuilletToElevation + "9.5q\n", "F6103",
       "a real answer must be a decimal number: '9.5q' for \"Drain Elevation (+z direction)\""},
      {QUILLET_PATH, std::string(131, '1') + "\n", "F6407",
       "line longer than 130 characters for \"Max number of drains (vertical line sinks/layer)\""},
      {QUILLET_PATH, "5\n\x04", "F6501", "end of input: no more answers for \"Flow term output code\""},
  };
  for (const Typed& c : cases) {
    SCOPED_TRACE(c.typed.substr(0, 40));
    Scratch dir;
    const RunResult run = testing_support::run_on_terminal(c.program, dir, c.typed);
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.err, report(c.number, c.message));
  }
}

// A long answers file, read in many blocks: a typo anywhere is reported on
// the line it stands on, whether the answers around it are read the quick
// way (a number at a line start) or the general one (blanks first, blank
// lines, CR LF).
TEST(AnswerReport, LineOfATypoInALongFile) {
  constexpr int kDrains = 60000;  // 300 004 lines and more, about 1.2 MB
  const char* const questions[] = {"Layer :  (z axis)", "Row   :  (y axis)", "Column :  (x axis)",
                                   "Drain Elevation (+z direction)", "Drain Conductance"};
  for (const std::string eol : {"\n", "\r\n"}) {
    struct Field {
      std::size_t end;  // just after its token
      std::size_t line;
    };
    std::string answers = "5" + eol + "0" + eol + "1" + eol + std::to_string(kDrains) + eol;
    std::size_t line = 5;
    std::vector<Field> fields;
    for (int d = 1; d <= kDrains; ++d) {
      for (int f = 0; f < 5; ++f) {
        if ((d + f) % 11 == 0) {
          answers += eol;  // a blank line
          ++line;
        }
        if ((d + f) % 7 == 0) answers += "  ";
        answers += f < 3 ? std::to_string(d % 9 + 1) : "95.5";
        fields.push_back({answers.size(), line});
        answers += eol;
        ++line;
      }
    }
    for (const std::size_t field : {std::size_t{7}, std::size_t{150003}, fields.size() - 1}) {
      std::string text = answers;
      const std::size_t token_start = text.find_last_of(" \n", fields[field].end - 1) + 1;
      text.insert(fields[field].end, 1, 'q');
      const std::string typo = text.substr(token_start, fields[field].end + 1 - token_start);
      const bool real = field % 5 >= 3;
      const std::string expected =
          report(real ? "F6103" : "F6101",
                 std::string(real ? "a real answer must be a decimal number"
                                  : "an integer answer must be a whole number") +
                     ": '" + typo + "' for \"" + questions[field % 5] + "\" (answers line " +
                     std::to_string(fields[field].line) + ")");
      for (const bool pipe : {false, true}) {
        SCOPED_TRACE("field " + std::to_string(field) + (eol.size() == 2 ? ", CR LF" : "") +
                     (pipe ? ", pipe" : ", file"));
        Scratch dir;
        RunOptions options;
        options.stdin_pipe = pipe;
        const RunResult run = testing_support::run_redirected(QUILLET_PATH, dir, text, options);
        EXPECT_EQ(run.exit_status, 1);
        EXPECT_EQ(run.err, expected);
      }
    }
  }
}

}  // namespace
}  // namespace common
