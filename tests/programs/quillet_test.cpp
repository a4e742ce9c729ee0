// The drain builder end to end: answers in, console bytes, exit status and
// the drain file out, with answers from a file, a pipe or typed at a
// terminal, and the ways a run can fail.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"
#include "tests/support/run_checks.h"

namespace {

using testing_support::blanks;
using testing_support::with_crlf;

using testing_support::crlf;
using testing_support::is_report;
using testing_support::RunOptions;
using testing_support::RunResult;
using testing_support::Scratch;
using testing_support::run_on_terminal;
using testing_support::run_redirected;

const std::string kStop = "Stop - Program terminated.";

// The console lines of the dialogue, as shown (the carriage-control blank
// of each line already taken off).
const std::vector<std::string> kHeaderLines = {
    " Max number of drains (vertical line sinks/layer) ",
    " Flow term output code",
    "  -nn =  Drain disharge written to unit nn ",
    "    0 =  Cell by cell flow terms not printed",
    "   nn =  Cell by cell flow terms to unit nn",
    " Number of Stress Periods (same as in MORVEKGRID)",
};
const std::vector<std::string> kPeriodLines = {
    " Drain data use code ",
    " -1 = use drain data from previous stress period",
    " nn = #drains active current stress period",
};
const std::vector<std::string> kDrainLines = {
    " Layer :  (z axis)", " Row   :  (y axis)", "Column :  (x axis)",
    "Drain Elevation (+z direction)", "Drain Conductance",
};

// " For stress period ", the period in 11 columns, " Active drain :", the
// drain in 11 columns (numbers of one digit here).
std::string drain_heading(int period, int drain) {
  return " For stress period " + blanks(10) + std::to_string(period) + " Active drain :" + blanks(10) +
         std::to_string(drain);
}

// The lines of a run whose periods have these use codes.
std::vector<std::string> dialogue(const std::vector<int>& use_codes) {
  std::vector<std::string> lines = kHeaderLines;
  for (std::size_t p = 0; p < use_codes.size(); ++p) {
    lines.insert(lines.end(), kPeriodLines.begin(), kPeriodLines.end());
    for (int d = 1; d <= use_codes[p]; ++d) {
      lines.push_back(drain_heading(static_cast<int>(p) + 1, d));
      lines.insert(lines.end(), kDrainLines.begin(), kDrainLines.end());
    }
  }
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += lines[i];
  }
  return out;
}

// Redirected, every line end is owed: written in front of the next line,
// and at the end once after the stop line and once for the run.
std::string redirected_stop(const std::vector<std::string>& lines) {
  return joined(lines) + "\r\n" + kStop + "\r\n\r\n";
}
// At a terminal a read writes the prompt's line end; the run ends with a
// read, so the stop line comes alone.
std::string terminal_stop(const std::vector<std::string>& lines) {
  return joined(lines) + "\r\n" + kStop + "\r\n";
}

// A run ended by the report, without the stop line.
void expect_report(const RunResult& run, const char* number, const char* operation,
                   const char* name) {
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_TRUE(is_report(run.err, number, operation, name));
  EXPECT_EQ(run.out.find(kStop), std::string::npos);
}

// Three periods with use codes 2, -1 and 1.
const std::string kSessionAnswers =
    "20\n0\n3\n"
    "2\n1\n5\n7\n95.5\n1000.0\n2\n6\n7\n94.25\n0.05\n"
    "-1\n"
    "1\n0\n-3\n4\n88.0\n12.5\n";
const std::vector<int> kSessionUseCodes = {2, -1, 1};
const std::string kSessionFile = crlf({
    blanks(8) + "20" + blanks(9) + "0",
    blanks(9) + "2",
    blanks(9) + "1" + blanks(9) + "5" + blanks(9) + "7" + blanks(2) + "95.5" + blanks(4) + blanks(2) +
        ".100E+04",
    blanks(9) + "2" + blanks(9) + "6" + blanks(9) + "7" + blanks(2) + "94.3" + blanks(4) + blanks(2) +
        ".500E-01",
    blanks(8) + "-1",
    blanks(9) + "1",
    blanks(9) + "0" + blanks(8) + "-3" + blanks(9) + "4" + blanks(2) + "88.0" + blanks(4) + blanks(2) +
        "12.5" + blanks(4),
    "",
});

TEST(QuilletSession, FullSessionRedirected) {
  struct Variant {
    const char* name;
    std::string answers;
    bool pipe;
  };
  for (const auto& v : {Variant{"file, LF", kSessionAnswers, false},
                        Variant{"file, CR LF", with_crlf(kSessionAnswers), false},
                        Variant{"pipe", kSessionAnswers, true}}) {
    Scratch dir;
    RunOptions options;
    options.stdin_pipe = v.pipe;
    RunResult run = run_redirected(QUILLET_PATH, dir, v.answers, options);
    EXPECT_EQ(run.exit_status, 0) << v.name;
    EXPECT_EQ(run.err, "") << v.name;
    EXPECT_EQ(run.out, redirected_stop(dialogue(kSessionUseCodes))) << v.name;
    EXPECT_EQ(dir.read("FOR013"), kSessionFile) << v.name;
  }
}

TEST(QuilletSession, FullSessionAtATerminal) {
  Scratch dir;
  RunResult run = run_on_terminal(QUILLET_PATH, dir, kSessionAnswers);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, terminal_stop(dialogue(kSessionUseCodes)));
  EXPECT_EQ(dir.read("FOR013"), kSessionFile);
}

TEST(QuilletSession, EdgeCasesOfTheDialogue) {
  struct Case {
    const char* name;
    std::string answers;
    std::vector<int> use_codes;
    std::string file;
  };
  const std::string header = blanks(9) + "5" + blanks(9) + "1";
  const std::vector<Case> cases = {
      {"no periods", "5\n1\n0\n", {}, crlf({header, ""})},
      {"negative period count", "5\n1\n-2\n", {}, crlf({header, ""})},
      {"use codes -1, -7 and 0 ask no drains", "5\n1\n3\n-1\n-7\n0\n", {-1, -7, 0},
       crlf({header, blanks(8) + "-1", blanks(8) + "-7", blanks(9) + "0", ""})},
      {"more drains than the maximum", "1\n0\n1\n2\n1\n1\n1\n1\n1\n2\n2\n2\n2\n2\n", {2},
       crlf({blanks(9) + "1" + blanks(9) + "0", blanks(9) + "2",
             blanks(9) + "1" + blanks(9) + "1" + blanks(9) + "1" + blanks(2) + "1.00" + blanks(6) + "1.00" +
                 blanks(4),
             blanks(9) + "2" + blanks(9) + "2" + blanks(9) + "2" + blanks(2) + "2.00" + blanks(6) + "2.00" +
                 blanks(4),
             ""})},
      {"layer 0, row -3, conductance 0.05", "5\n1\n1\n1\n0\n-3\n12\n-0.5\n0.05\n", {1},
       crlf({header, blanks(9) + "1",
             blanks(9) + "0" + blanks(8) + "-3" + blanks(8) + "12" + blanks(1) + "-.500" + blanks(4) +
                 blanks(2) + ".500E-01",
             ""})},
      {"values written as entered", "-2147483648\n#FFFFFFFF\n1\n1\n2147483647\n-999\n1000\n1e20\n-0.0001\n",
       {1},
       crlf({std::string(10, '*') + blanks(8) + "-1", blanks(9) + "1",
             "2147483647" + blanks(6) + "-999" + blanks(6) + "1000" + blanks(2) + ".100E+21" + blanks(1) +
                 "-.100E-03",
             ""})},
  };
  for (const auto& c : cases) {
    Scratch dir;
    RunResult run = run_redirected(QUILLET_PATH, dir, c.answers);
    EXPECT_EQ(run.exit_status, 0) << c.name;
    EXPECT_EQ(run.out, redirected_stop(dialogue(c.use_codes))) << c.name;
    EXPECT_EQ(dir.read("FOR013"), c.file) << c.name;
  }
}

TEST(QuilletSession, ExistingFileIsReplacedOnlyOnceARecordIsWritten) {
  std::string old_file;
  for (int i = 1; i <= 10000; ++i) old_file += "old line " + std::to_string(i) + "\r\n";

  struct Case {
    const char* name;
    std::string answers;
    int exit_status;
    bool replaced;
    std::string file;
  };
  const std::vector<Case> cases = {
      {"no answer at all", "", 1, false, ""},
      {"the second answer fails", "20\nx\n", 1, false, ""},
      {"three records", "5\n0\n2\n-1\n0\n", 0, true,
       crlf({blanks(9) + "5" + blanks(9) + "0", blanks(8) + "-1", blanks(9) + "0", ""})},
      {"the third answer fails: the header stays", "5\n0\nthree\n", 1, true,
       crlf({blanks(9) + "5" + blanks(9) + "0", ""})},
  };
  for (const auto& c : cases) {
    Scratch dir;
    dir.write("FOR013", old_file);
    RunResult run = run_redirected(QUILLET_PATH, dir, c.answers);
    EXPECT_EQ(run.exit_status, c.exit_status) << c.name;
    EXPECT_EQ(dir.read("FOR013"), c.replaced ? c.file : old_file) << c.name;
  }
}

TEST(QuilletErrors, AnswerErrorMidRun) {
  const std::string answers = "20\n0\n2\n1\n1\n2\n3\n4.5\nabc\n";
  std::vector<std::string> lines = kHeaderLines;
  lines.insert(lines.end(), kPeriodLines.begin(), kPeriodLines.end());
  lines.push_back(drain_heading(1, 1));
  lines.insert(lines.end(), kDrainLines.begin(), kDrainLines.end());
  const std::string file = crlf({blanks(8) + "20" + blanks(9) + "0", blanks(9) + "1", ""});
  {
    Scratch dir;
    dir.write("FOR013", "old\r\n");
    RunResult run = run_redirected(QUILLET_PATH, dir, answers);
    expect_report(run, "F6103", "READ", "CON");
    // The owed line end of the last prompt, and nothing else.
    EXPECT_EQ(run.out, joined(lines) + "\r\n");
    EXPECT_EQ(dir.read("FOR013"), file);
  }
  {
    Scratch dir;
    RunResult run = run_on_terminal(QUILLET_PATH, dir, answers);
    expect_report(run, "F6103", "READ", "CON");
    // The read wrote the prompt's line end; the failed read still owes one.
    EXPECT_EQ(run.out, joined(lines) + "\r\n\r\n");
    EXPECT_EQ(dir.read("FOR013"), file);
  }
}

TEST(QuilletTerminal, TypedLineRules) {
  const std::string first_prompt = kHeaderLines[0] + "\r\n\r\n";
  const std::string up_to_flow_code = joined({kHeaderLines.begin(), kHeaderLines.begin() + 5}) + "\r\n\r\n";
  struct Case {
    const char* name;
    std::string typed;
    const char* number;
    std::string out;
  };
  const std::vector<Case> cases = {
      {"131-character line", std::string(131, '1') + "\n", "F6407", first_prompt},
      {"131 characters of blanks after the answer", "5" + blanks(130) + "\n", "F6407", first_prompt},
      {"Ctrl-D at a line start", "20\n\x04", "F6501", up_to_flow_code},
      {"Ctrl-D on the first line", "\x04", "F6501", first_prompt},
      {"line ending in Ctrl-Z", "20\x1A\n", "F6501", first_prompt},
      {"Ctrl-Z alone", "20\n\x1A\n", "F6501", up_to_flow_code},
  };
  for (const auto& c : cases) {
    Scratch dir;
    RunResult run = run_on_terminal(QUILLET_PATH, dir, c.typed);
    SCOPED_TRACE(c.name);
    expect_report(run, c.number, "READ", "CON");
    EXPECT_EQ(run.out, c.out);
    EXPECT_FALSE(dir.exists("FOR013") && dir.read("FOR013") != "");
  }

  // 130 characters are a whole typed line.
  Scratch dir;
  RunResult run = run_on_terminal(QUILLET_PATH, dir, "7" + blanks(129) + "\n0\n0\n");
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out, terminal_stop(kHeaderLines));
  EXPECT_EQ(dir.read("FOR013"), crlf({blanks(9) + "7" + blanks(9) + "0", ""}));
}

TEST(QuilletTerminal, TypedAnswersWithOutputRedirected) {
  struct Case {
    const char* name;
    std::string typed;
    const char* number;
  };
  for (const auto& c : {Case{"131-character line", std::string(131, '1') + "\n", "F6407"},
                        Case{"line ending in Ctrl-Z", "20\x1A\n", "F6501"},
                        Case{"Ctrl-D at a line start", "\x04", "F6501"}}) {
    Scratch dir;
    RunOptions options;
    options.stdout_path = dir.file("shown");
    RunResult run = run_on_terminal(QUILLET_PATH, dir, c.typed, options);
    SCOPED_TRACE(c.name);
    expect_report(run, c.number, "READ", "CON");
    // Output redirected: the read writes no line end; the end of the run does.
    EXPECT_EQ(dir.read("shown"), kHeaderLines[0] + "\r\n");
  }
  Scratch dir;
  RunOptions options;
  options.stdout_path = dir.file("shown");
  RunResult run = run_on_terminal(QUILLET_PATH, dir, "5\n0\n0\n", options);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(dir.read("shown"), redirected_stop(kHeaderLines));
}

TEST(QuilletInput, StandardInputStopsAfterTheLastLineRead) {
  struct Case {
    const char* name;
    std::string first_run;
  };
  const std::string second_run = "7\n1\n1\n-1\n";
  for (const auto& c : {Case{"LF", "5\n0\n1\n-1\n"}, Case{"CR LF", "5\r\n0\r\n1\r\n-1\r\n"},
                        Case{"rest of the last line", "5\n0\n1\n-1 and more, 9\n"},
                        Case{"null last answer after blank lines", "5\n0\n1\n\n \n,\n"}}) {
    Scratch dir;
    RunResult run = run_redirected(QUILLET_PATH, dir, c.first_run + second_run);
    EXPECT_EQ(run.exit_status, 0) << c.name;
    EXPECT_EQ(run.stdin_offset, static_cast<long>(c.first_run.size())) << c.name;
  }

  // Two runs in a row on one answers file, as a shell would run them.
  Scratch dir;
  const std::string script = std::string("#!/bin/sh\n\"") + QUILLET_PATH + "\" || exit 9\nmv FOR013 FIRST013\nexec \"" +
                             QUILLET_PATH + "\"\n";
  dir.write("both.sh", script);
  ASSERT_EQ(chmod(dir.file("both.sh").c_str(), 0755), 0);
  RunResult run = run_redirected(dir.file("both.sh"), dir, "5\n0\n1\n-1 9\n" + second_run);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out, redirected_stop(dialogue({-1})) + redirected_stop(dialogue({-1})));
  EXPECT_EQ(dir.read("FIRST013"), crlf({blanks(9) + "5" + blanks(9) + "0", blanks(8) + "-1", ""}));
  EXPECT_EQ(dir.read("FOR013"), crlf({blanks(9) + "7" + blanks(9) + "1", blanks(8) + "-1", ""}));
}

// Answers written piece by piece, so the test never holds them whole (the
// program's peak memory is measured from a copy of this process).
void write_in_pieces(const std::string& path, const std::vector<std::pair<std::string, int>>& pieces) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const auto& [text, times] : pieces) {
    for (int i = 0; i < times; ++i) out << text;
  }
  ASSERT_TRUE(out.good());
}

TEST(QuilletInput, HugeLinesAndManyBlankLinesInLittleMemory) {
  Scratch base_dir;
  RunResult baseline = run_redirected(QUILLET_PATH, base_dir, "5\n0\n0\n");
  ASSERT_EQ(baseline.exit_status, 0);

  const std::string four_kib_of_x(4096, 'x');
  const std::string four_kib_of_blanks(4096, ' ');
  const int ten_mib = 10 * 256;  // pieces of 4 KiB
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, int>> pieces;
    bool pipe;
  };
  const std::vector<Case> cases = {
      {"10 MB after the answer", {{"5 ", 1}, {four_kib_of_x, ten_mib}, {"\n0\n0\n", 1}}, false},
      {"10 MB after the answer, through a pipe", {{"5 ", 1}, {four_kib_of_x, ten_mib}, {"\n0\n0\n", 1}}, true},
      {"10 MB of blanks before the answer", {{four_kib_of_blanks, ten_mib}, {"5\n0\n0\n", 1}}, false},
      {"a million blank lines before answers",
       {{" \t\r\n\n", 500000}, {"5\n", 1}, {"\r\n", 1000000}, {"0\n0\n", 1}}, false},
  };
  for (const auto& c : cases) {
    Scratch dir;
    write_in_pieces(dir.file("answers"), c.pieces);
    RunOptions options;
    options.stdin_pipe = c.pipe;
    options.stdin_path = dir.file("answers");
    RunResult run = run_redirected(QUILLET_PATH, dir, "", options);
    EXPECT_EQ(run.exit_status, 0) << c.name << run.err;
    EXPECT_EQ(dir.read("FOR013"), crlf({blanks(9) + "5" + blanks(9) + "0", ""})) << c.name;
    EXPECT_EQ(run.out, redirected_stop(kHeaderLines)) << c.name;
    EXPECT_LT(run.peak_kib, baseline.peak_kib + 4 * 1024) << c.name;
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(run.peak_kib, 16 * 1024) << c.name;
#endif
  }
}

TEST(QuilletFileErrors, OutputFileCannotBeOpenedOrWritten) {
  const std::string answers = "5\n0\n1\n-1\n";
  const std::vector<std::string> lines = dialogue({-1});
  {
    SCOPED_TRACE("a directory named FOR013");
    Scratch dir;
    ASSERT_EQ(mkdir(dir.file("FOR013").c_str(), 0755), 0);
    RunResult run = run_redirected(QUILLET_PATH, dir, answers);
    expect_report(run, "F6601", "OPEN", "FOR013");
    EXPECT_EQ(run.out, "");  // the file is opened before the first question
    struct stat st {};
    EXPECT_TRUE(stat(dir.file("FOR013").c_str(), &st) == 0 && S_ISDIR(st.st_mode));
  }
  {
    SCOPED_TRACE("a read-only FOR013");
    Scratch dir;
    dir.write("FOR013", "old contents\r\n");
    ASSERT_EQ(chmod(dir.file("FOR013").c_str(), 0444), 0);
    RunOptions options;
    std::string program = QUILLET_PATH;
    if (geteuid() == 0) {
      // Root writes any file: run as nobody, from a copy inside the scratch
      // folder, which nobody reaches however private the folders above are.
      ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
      std::filesystem::copy_file(QUILLET_PATH, dir.file("Quillet"));
      ASSERT_EQ(chmod(dir.file("Quillet").c_str(), 0755), 0);
      program = "./Quillet";
      options.in_child = [] {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(126);
      };
    }
    RunResult run = run_redirected(program, dir, answers, options);
    expect_report(run, "F6603", "WRITE", "FOR013");
    // It fails at the first record, after the answers that make it.
    EXPECT_EQ(run.out, joined({lines.begin(), lines.begin() + 5}) + "\r\n");
    EXPECT_EQ(dir.read("FOR013"), "old contents\r\n");
  }
  {
    SCOPED_TRACE("FOR013 on a full disk");
    Scratch dir;
    ASSERT_EQ(symlink("/dev/full", dir.file("FOR013").c_str()), 0);
    RunResult run = run_redirected(QUILLET_PATH, dir, answers);
    expect_report(run, "F6603", "WRITE", "FOR013");
    EXPECT_EQ(run.out, joined(lines) + "\r\n");
    struct stat st {};
    EXPECT_TRUE(lstat(dir.file("FOR013").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
  }
  {
    SCOPED_TRACE("FOR013 reaching the file size limit keeps its whole records");
    Scratch dir;
    RunOptions options;
    options.stdout_path = "/dev/null";
    options.in_child = [] {
      signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit {120, 120};
      setrlimit(RLIMIT_FSIZE, &limit);
    };
    // Records of 22, 12, 52 and 52 bytes: the limit falls inside the last.
    RunResult run = run_redirected(QUILLET_PATH, dir, "5\n0\n1\n2\n1\n1\n1\n1\n1\n2\n2\n2\n2\n2\n", options);
    expect_report(run, "F6603", "WRITE", "FOR013");
    EXPECT_EQ(dir.read("FOR013"),
              crlf({blanks(9) + "5" + blanks(9) + "0", blanks(9) + "2",
                    blanks(9) + "1" + blanks(9) + "1" + blanks(9) + "1" + blanks(2) + "1.00" + blanks(6) + "1.00" +
                        blanks(4),
                    ""}));
  }
}

TEST(QuilletFileErrors, StandardOutputOrErrorUnusable) {
  const std::string answers = "5\n0\n1\n-1\n";
  const std::string file = crlf({blanks(9) + "5" + blanks(9) + "0", blanks(8) + "-1", ""});
  struct Case {
    const char* name;
    RunOptions options;
    std::string file;
  };
  std::vector<Case> cases;
  {
    // With answers from a file, console output is handed over at the end,
    // after the drain file is complete.
    RunOptions closed;
    closed.close_stdout = true;
    cases.push_back({"standard output closed", closed, file});
    // Through a pipe it is handed over before the first read, which fails.
    closed.stdin_pipe = true;
    cases.push_back({"standard output closed, answers through a pipe", closed, ""});
    RunOptions full;
    full.stdout_path = "/dev/full";
    cases.push_back({"standard output full", full, file});
    RunOptions broken;
    broken.in_child = [] {
      int ends[2];
      if (pipe(ends) != 0) _exit(126);
      ::close(ends[0]);
      dup2(ends[1], 1);
      ::close(ends[1]);
    };
    cases.push_back({"standard output a pipe nobody reads", broken, file});
  }
  for (const auto& c : cases) {
    Scratch dir;
    RunResult run = run_redirected(QUILLET_PATH, dir, answers, c.options);
    SCOPED_TRACE(c.name);
    EXPECT_EQ(run.signal, 0);
    expect_report(run, "F6603", "WRITE", "CON");
    EXPECT_EQ(dir.read("FOR013"), c.file);
  }

  // With standard error closed the report is lost, but the file is intact.
  Scratch dir;
  RunOptions options;
  options.in_child = [] { ::close(2); };
  RunResult run = run_redirected(QUILLET_PATH, dir, "5\n0\n1\nwrong\n", options);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(dir.read("FOR013"), crlf({blanks(9) + "5" + blanks(9) + "0", ""}));
}

}  // namespace
