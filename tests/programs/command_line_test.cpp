// The command line of every built program, end to end: --help and
// --version answer on standard output; anything else gets the one-line
// usage on standard error and status 2. In every case no question is
// asked, no answer is read and an existing output file stays as it was.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/built_programs.h"
#include "tests/support/gwinspect_usage.h"
#include "tests/support/program_runner.h"
#include "tests/support/read_back_support.h"

namespace testing_support {
namespace {

const std::string kOldContents = "an earlier run's file\r\n";

enum class Shows { Help, Version, Usage, WriteError };

struct CommandLine {
  std::vector<std::string> arguments;
  Shows shows;
  std::string stdout_path;  // standard output to this file instead of a capture
};

const std::vector<CommandLine> kCommandLines = {
    {{"--help"}, Shows::Help, ""},
    {{"--version"}, Shows::Version, ""},
    {{"-h"}, Shows::Usage, ""},
    {{"--versio"}, Shows::Usage, ""},
    {{"--HELP"}, Shows::Usage, ""},
    {{"help"}, Shows::Usage, ""},
    {{""}, Shows::Usage, ""},
    {{"--"}, Shows::Usage, ""},
    {{"--help", "--version"}, Shows::Usage, ""},
    {{"--version", "extra"}, Shows::Usage, ""},
    {{"answers.txt"}, Shows::Usage, ""},
    // Asked-for output that cannot be delivered is not a success.
    {{"--help"}, Shows::WriteError, "/dev/full"},
    {{"--version"}, Shows::WriteError, "/dev/full"},
};

class CommandLineTest : public ::testing::TestWithParam<BuiltProgram> {};

TEST_P(CommandLineTest, AnswersHelpAndVersionAndRefusesEverythingElse) {
  const BuiltProgram& program = GetParam();
  const std::string usage = "Usage: " + program.name + " [--help | --version]\n";
  for (const CommandLine& line : kCommandLines) {
    std::string shown;
    for (const std::string& argument : line.arguments) shown += " '" + argument + "'";
    SCOPED_TRACE(program.name + shown);
    Scratch dir;
    dir.write(program.output_file, kOldContents);
    RunOptions options;
    options.arguments = line.arguments;
    options.stdout_path = line.stdout_path;
    RunResult run = run_redirected(program.path, dir, program.session, options);

    EXPECT_EQ(run.signal, 0);
    switch (line.shows) {
      case Shows::Help:
        EXPECT_EQ(run.exit_status, 0);
        EXPECT_EQ(run.out.substr(0, usage.size()), usage);
        EXPECT_NE(run.out.find(program.output_file), std::string::npos);
        EXPECT_NE(run.out.find("man " + program.name + "\n"), std::string::npos);
        EXPECT_EQ(run.err, "");
        break;
      case Shows::Version:
        EXPECT_EQ(run.exit_status, 0);
        EXPECT_EQ(run.out, program.name + " (groundwater-input-builders) " BUILDERS_VERSION "\n");
        EXPECT_EQ(run.err, "");
        break;
      case Shows::Usage:
        EXPECT_EQ(run.exit_status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, usage);
        break;
      case Shows::WriteError:
        // The status of a command line that cannot be answered, as for
        // gwinspect: 1 is kept for a run that fails.
        EXPECT_EQ(run.exit_status, 2);
        EXPECT_EQ(run.err, program.name + ": cannot write to standard output: " +
                               "No space left on device\n");
        break;
    }
    EXPECT_EQ(run.stdin_offset, 0) << "an answer was read";
    EXPECT_EQ(dir.read(program.output_file), kOldContents);
  }
}

INSTANTIATE_TEST_SUITE_P(Built, CommandLineTest, ::testing::ValuesIn(built_programs()),
                         ProgramName());

// gwinspect takes a subcommand; its own options are --help and --version.
TEST(GwinspectCommandLine, HelpVersionAndUsage) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string out_starts, err_starts;
  };
  const std::string usage = "usage: gwinspect SUBCOMMAND [ARGUMENTS]\n";
  const std::vector<Case> cases = {
      {{"--help"}, 0, usage, ""},
      {{"--version"}, 0, "gwinspect (groundwater-input-builders) " BUILDERS_VERSION "\n", ""},
      {{}, 2, "", usage},
      {{"--versio"}, 2, "", "gwinspect: no subcommand '--versio'\n" + usage},
      {{"--version", "extra"}, 2, "", "gwinspect: no subcommand '--version'\n" + usage},
      {{"FOR001"}, 2, "", "gwinspect: no subcommand 'FOR001'\n" + usage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments[0]);
    Scratch dir;
    GwinspectResult run = run_gwinspect(c.arguments, dir);
    EXPECT_EQ(run.exit_status, c.status);
    EXPECT_EQ(run.out.substr(0, c.out_starts.size()), c.out_starts);
    if (c.out_starts.empty()) {
      EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(run.err.substr(0, c.err_starts.size()), c.err_starts);
    if (c.err_starts.empty()) {
      EXPECT_EQ(run.err, "");
    }
  }
}

// Each subcommand answers --help (or -h), wherever it stands, with its
// usage on standard output and status 0, and does nothing else: no page is
// written, no file is read. Help that cannot be written ends with status
// 2, as in every program.
TEST(GwinspectCommandLine, EachSubcommandShowsItsHelp) {
  struct Case {
    std::vector<std::string> arguments;
    std::string usage;  // the first line of standard output
  };
  const std::vector<Case> cases = {
      {{"answers", "--help"}, kAnswersUsage},
      {{"answers", "FOR001", "-h"}, kAnswersUsage},
      {{"answers", "--as", "morvek", "--help"}, kAnswersUsage},
      {{"check", "--help"}, kCheckUsage},
      {{"check", "--format=json", "nowhere", "--help"}, kCheckUsage},
      {{"report", "--help"}, kReportUsage},
      {{"report", ".", "-h"}, kReportUsage},
  };
  const auto to_full = [] {
    const int full = ::open("/dev/full", O_WRONLY);
    if (full < 0 || ::dup2(full, 1) < 0) _exit(126);
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& argument : c.arguments) shown += " " + argument;
    SCOPED_TRACE(shown);
    Scratch dir;
    const GwinspectResult run = run_gwinspect(c.arguments, dir);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.out.substr(0, c.usage.size()), c.usage);
    EXPECT_TRUE(run.out.ends_with("\nThe manual: man gwinspect\n")) << run.out;
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(dir.exists("report.html"));

    const GwinspectResult full = run_gwinspect(c.arguments, dir, to_full);
    EXPECT_EQ(full.exit_status, 2);
    EXPECT_EQ(full.err, "gwinspect " + c.arguments[0] + ": cannot write to standard output: No space left on device\n");
  }
  for (const std::string option : {"--help", "--version"}) {
    SCOPED_TRACE(option);
    Scratch dir;
    const GwinspectResult full = run_gwinspect({option}, dir, to_full);
    EXPECT_EQ(full.exit_status, 2);
    EXPECT_EQ(full.err, "gwinspect: cannot write to standard output: No space left on device\n");
  }
}

}  // namespace
}  // namespace testing_support

namespace testing_support {
namespace {

// A subcommand's command line that is not taken: one line that says why,
// the subcommand's usage, status 2, nothing on standard output and no
// file written. The options that take a value take it as the next
// argument or after "=" (-o also glued on: -oFILE).
TEST(GwinspectCommandLine, EachSubcommandRefusesABadCommandLine) {
  const std::string& answers = kAnswersUsage;
  const std::string& check = kCheckUsage;
  const std::string& report = kReportUsage;
  const std::string& try_usage = kTryUsage;
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"answers"}, "gwinspect answers: no FILE given\n" + answers},
      {{"answers", "FOR001", "--as"}, "gwinspect answers: --as needs morvek, cindral or quillet\n" + answers},
      {{"answers", "--as=mor", "FOR001"}, "gwinspect answers: --as takes morvek, cindral or quillet, not 'mor'\n" + answers},
      {{"answers", "--as", "", "FOR001"}, "gwinspect answers: --as takes morvek, cindral or quillet, not ''\n" + answers},
      {{"answers", "--ask", "FOR001"}, "gwinspect answers: unknown option --ask\n" + answers},
      {{"answers", "FOR001", "FOR011"}, "gwinspect answers: one FILE only\n" + answers},
      // In the order given: the first thing wrong is the one said.
      {{"answers", "a", "b", "--as", "x"}, "gwinspect answers: one FILE only\n" + answers},
      {{"answers", "--as", "x", "a", "b"}, "gwinspect answers: --as takes morvek, cindral or quillet, not 'x'\n" + answers},
      {{"check", "--format"}, "gwinspect check: --format needs text or json\n" + check},
      {{"check", "--format", "html"}, "gwinspect check: --format takes text or json, not 'html'\n" + check},
      {{"check", "--format=", "."}, "gwinspect check: --format takes text or json, not ''\n" + check},
      {{"check", "-q"}, "gwinspect check: unknown option -q\n" + check},
      {{"check", "a", "b"}, "gwinspect check: one DIR only\n" + check},
      // An empty operand is still one: the one after it is refused, as by try.
      {{"answers", "", "FOR001"}, "gwinspect answers: one FILE only\n" + answers},
      {{"check", "", "."}, "gwinspect check: one DIR only\n" + check},
      {{"report", "-o"}, "gwinspect report: -o needs a FILE\n" + report},
      {{"report", "--output"}, "gwinspect report: -o needs a FILE\n" + report},
      {{"report", "-o", "a.html", "--output=b.html"}, "gwinspect report: one -o FILE only\n" + report},
      {{"report", "-oa.html", "-o", "b.html"}, "gwinspect report: one -o FILE only\n" + report},
      {{"report", "--output="}, "gwinspect report: -o needs a file name\n" + report},
      {{"report", "-o", "pages/"}, "gwinspect report: -o needs a file name\n" + report},
      {{"report", "--length-unit"}, "gwinspect report: --length-unit needs a NAME\n" + report},
      {{"report", "--length-unit", "cubic metre"},
       "gwinspect report: --length-unit needs a short NAME without spaces, such as m or ft\n" + report},
      {{"report", "--length-unit="},
       "gwinspect report: --length-unit needs a short NAME without spaces, such as m or ft\n" + report},
      {{"report", "--length"}, "gwinspect report: unknown option --length\n" + report},
      {{"report", "a", "b"}, "gwinspect report: one DIR only\n" + report},
      {{"try"}, "gwinspect try: the answers file is missing\n" + try_usage},
      {{"try", "answers.txt"}, "gwinspect try: --as is required: the answers do not name their builder\n" + try_usage},
      {{"try", "answers.txt", "--as"}, "gwinspect try: --as needs morvek, cindral or quillet\n" + try_usage},
      {{"try", "--as=Morvek", "answers.txt"},
       "gwinspect try: --as takes morvek, cindral or quillet, not 'Morvek'\n" + try_usage},
      {{"try", "-x", "answers.txt"}, "gwinspect try: unknown option -x\n" + try_usage},
      {{"try", "", "answers.txt", "--as", "quillet"}, "gwinspect try: one ANSWERS file only\n" + try_usage},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& argument : c.arguments) shown += " '" + argument + "'";
    SCOPED_TRACE(shown);
    Scratch dir;
    const GwinspectResult run = run_gwinspect(c.arguments, dir);
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(dir.exists("report.html"));
  }
}

}  // namespace
}  // namespace testing_support
