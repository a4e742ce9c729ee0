// Resource bounds, run end to end on every built program: huge answer
// lines, a million blank lines, extreme counts and a grid above the size
// limit. Each run ends as it should with its peak memory (measured apart
// from the test runner) within a small bound: at most kPeakAboveIdleKib
// above the same program's peak on an answer file that ends at once, and
// under kPeakBoundKib in all.
#include <gtest/gtest.h>

#include <map>
#include <vector>
#include <string>

#include "tests/support/built_programs.h"
#include "tests/support/program_runner.h"
#include "tests/support/run_checks.h"

namespace testing_support {
namespace {

constexpr std::size_t kTenMegabytes = 10 * 1000 * 1000;

class ResourceBounds : public ::testing::TestWithParam<BuiltProgram> {
 protected:
  const BuiltProgram& program() const { return GetParam(); }

  // The peak of a run that meets the end of input at the first question.
  long idle_peak_kib() const {
    static std::map<std::string, long> measured;
    auto found = measured.find(program().name);
    if (found != measured.end()) return found->second;
    Scratch dir;
    RunResult run = run_redirected(program().path, dir, "");
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_GT(run.peak_kib, 0);
    return measured[program().name] = run.peak_kib;
  }

  void expect_small_peak(const RunResult& run) const {
    EXPECT_LE(run.peak_kib, idle_peak_kib() + kPeakAboveIdleKib);
    EXPECT_LE(run.peak_kib, kPeakBoundKib);
  }

  // Where the session's first free-form number begins.
  std::size_t first_number() const {
    std::size_t number = 0;
    for (int i = 0; i < program().text_answers; ++i) number = program().session.find('\n', number) + 1;
    return number;
  }

  // The session with `before` put in front of its first free-form number
  // and `after` behind that number on the same line.
  std::string session_with(std::string_view before, std::string_view after) const {
    const std::string& session = program().session;
    std::size_t number = first_number();
    std::size_t line_end = session.find('\n', number);
    return session.substr(0, number) + std::string(before) +
           session.substr(number, line_end - number) + std::string(after) + session.substr(line_end);
  }

  void expect_session_completed(const RunResult& run, const Scratch& dir) const {
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_TRUE(run.err.empty());
    EXPECT_TRUE(has_stop_line(run.out));
    EXPECT_EQ(dir.read(program().output_file), program().session_file);
    expect_small_peak(run);
  }
};

TEST_P(ResourceBounds, TenMegabyteAnswerLines) {
  const std::string huge_token(kTenMegabytes, '7');
  const std::string huge_blanks(kTenMegabytes, ' ');
  const std::string huge_text = " " + std::string(kTenMegabytes, 'x');
  for (bool pipe : {false, true}) {
    SCOPED_TRACE(pipe ? "answers through a pipe" : "answers from a file");
    RunOptions options;
    options.stdin_pipe = pipe;
    {
      SCOPED_TRACE("a 10 MB number is refused");
      Scratch dir;
      std::string answers = program().session.substr(0, first_number()) + huge_token + "\n";
      RunResult run = run_redirected(program().path, dir, answers, options);
      EXPECT_EQ(run.signal, 0);
      EXPECT_EQ(run.exit_status, 1);
      EXPECT_TRUE(is_report(run.err, "F6408", "READ", "CON"));
      if (!pipe) {
        EXPECT_EQ(run.stdin_offset, static_cast<long>(answers.size())) << "the line is read past";
      }
      expect_small_peak(run);
    }
    {
      SCOPED_TRACE("10 MB of blanks before a number");
      Scratch dir;
      expect_session_completed(run_redirected(program().path, dir, session_with(huge_blanks, ""), options), dir);
    }
    {
      SCOPED_TRACE("10 MB of other text after a number, discarded with its line");
      Scratch dir;
      expect_session_completed(run_redirected(program().path, dir, session_with("", huge_text), options), dir);
    }
  }
}

TEST_P(ResourceBounds, AMillionBlankLinesBeforeAnAnswer) {
  for (std::string_view blank_line : {"\n", " \t\r\n"}) {
    Scratch dir;
    std::string blank_lines;
    blank_lines.reserve(1000000 * blank_line.size());
    for (int i = 0; i < 1000000; ++i) blank_lines += blank_line;
    expect_session_completed(run_redirected(program().path, dir, session_with(blank_lines, "")), dir);
  }
}

TEST_P(ResourceBounds, ExtremeCountsAndAnswers) {
  for (const ExtremeCase& extreme : program().extremes) {
    SCOPED_TRACE(extreme.what);
    Scratch dir;
    RunResult run = run_redirected(program().path, dir, extreme.answers);
    EXPECT_EQ(run.signal, 0);
    switch (extreme.end) {
      case End::Stop:
        EXPECT_EQ(run.exit_status, 0) << run.err;
        EXPECT_TRUE(has_stop_line(run.out));
        break;
      case End::EndOfInput:
        EXPECT_EQ(run.exit_status, 1);
        EXPECT_TRUE(is_report(run.err, "F6501", "READ", "CON"));
        break;
      case End::Refused:
        EXPECT_EQ(run.exit_status, 1);
        EXPECT_TRUE(is_refusal(run.err, program().name)) << run.err;
        break;
    }
    std::string file = dir.exists(program().output_file) ? dir.read(program().output_file) : "";
    EXPECT_EQ(complete_records(file), extreme.records);
    expect_small_peak(run);
  }
}

// Only the programs that ask grids.
class GridLimit : public ResourceBounds {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GridLimit);

std::vector<BuiltProgram> programs_with_grids() {
  std::vector<BuiltProgram> with_grids;
  for (BuiltProgram& p : built_programs()) {
    if (!p.oversized_grid.empty()) with_grids.push_back(std::move(p));
  }
  return with_grids;
}

TEST_P(GridLimit, GridJustAboveTheLimitIsRefused) {
  Scratch dir;
  RunResult run = run_redirected(program().path, dir, program().oversized_grid);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_TRUE(is_refusal(run.err, program().name)) << run.err;
  expect_small_peak(run);
}

INSTANTIATE_TEST_SUITE_P(Built, ResourceBounds, ::testing::ValuesIn(built_programs()), ProgramName());
INSTANTIATE_TEST_SUITE_P(Built, GridLimit, ::testing::ValuesIn(programs_with_grids()), ProgramName());

}  // namespace
}  // namespace testing_support
