// gwinspect, end to end, against what a folder may hold besides the files
// the builders write: FIFOs, directories and loops of links under the
// files' names, a file given where a folder is asked for, a missing path,
// and too little memory. Each run is a child process on real files, with an
// alarm, so that a subcommand that waits forever fails instead of hanging.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/gwinspect_usage.h"
#include "tests/support/read_back_support.h"

namespace {

using namespace testing_support;

constexpr unsigned kAlarmSeconds = 20;

const std::string kFifoRefused = "expected a regular file, found a device, pipe or socket";

// The example model, written by the three builders into `dir`.
void build_example(const Scratch& dir) {
  for (const auto& [path, answers] : {std::pair{MORVEK_PATH, "morvek.txt"}, std::pair{CINDRAL_PATH, "cindral.txt"},
                                      std::pair{QUILLET_PATH, "quillet.txt"}}) {
    ASSERT_EQ(run_redirected(path, dir, example(answers)).exit_status, 0) << answers;
  }
}

GwinspectResult run_with_alarm(const std::vector<std::string>& arguments, const Scratch& dir) {
  return run_gwinspect(arguments, dir, [] { ::alarm(kAlarmSeconds); });
}

bool is_fifo(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// What may stand under a file's name instead of the file.
enum class Standin { Fifo, Directory, LinkLoop };

void put(const Scratch& dir, const std::string& name, Standin standin) {
  const std::string path = dir.file(name);
  ::unlink(path.c_str());
  switch (standin) {
    case Standin::Fifo: ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); break;
    case Standin::Directory: ASSERT_EQ(::mkdir(path.c_str(), 0755), 0); break;
    case Standin::LinkLoop: ASSERT_EQ(::symlink(name.c_str(), path.c_str()), 0); break;
  }
}

// A FIFO under any of the three names: every subcommand that reads it
// refuses it at once, leaves it as it is, and the other files are still
// read where the subcommand goes on without it.
TEST(GwinspectSpecialFiles, AFifoUnderAFileNameIsRefusedWithoutWaiting) {
  for (const std::string name : {"FOR001", "FOR011", "FOR013"}) {
    SCOPED_TRACE(name);
    Scratch dir;
    build_example(dir);
    put(dir, name, Standin::Fifo);

    const GwinspectResult answers = run_with_alarm({"answers", name}, dir);
    EXPECT_EQ(answers.exit_status, 2);
    EXPECT_EQ(answers.out, "");
    EXPECT_EQ(answers.err, name + ":1:1: error: " + kFifoRefused + "\n");

    const GwinspectResult check = run_with_alarm({"check"}, dir);
    EXPECT_EQ(check.exit_status, 2);  // the check cannot be made whole
    EXPECT_NE(check.out.find(name + ": error: the file cannot be checked: " + kFifoRefused + "\n"),
              std::string::npos)
        << check.out;

    const GwinspectResult report = run_with_alarm({"report"}, dir);
    if (name == "FOR001") {
      EXPECT_EQ(report.exit_status, 2);
      EXPECT_EQ(report.err, "./FOR001: error: " + kFifoRefused + "; the report needs it\n");
      EXPECT_FALSE(dir.exists("report.html"));
    } else {
      EXPECT_EQ(report.exit_status, 0) << report.err;
      EXPECT_NE(dir.read("report.html").find(kFifoRefused), std::string::npos);
    }
    EXPECT_TRUE(is_fifo(dir.file(name)));
  }
}

// Counts FOR011 and FOR013 do not hold come from the FOR001 beside them;
// the note says why there are none, and the answers are those of the file
// alone.
TEST(GwinspectSpecialFiles, AFor001BesideThatCannotBeReadIsNamedAsSuch) {
  const std::string counted = "FOR013: note: the number of stress periods, 3, is counted in this file; ";
  const std::string unusable = "the FOR001 beside it gives no counts: ";
  struct Case {
    std::string what;
    std::function<void(const Scratch&)> make;
    std::string note;
  };
  const std::vector<Case> cases = {
      {"nothing", [](const Scratch&) {}, counted + "no FOR001 beside it\n"},
      {"a directory", [](const Scratch& d) { put(d, "FOR001", Standin::Directory); },
       counted + unusable + "FOR001:1:1: expected a file, found a directory\n"},
      {"a FIFO", [](const Scratch& d) { put(d, "FOR001", Standin::Fifo); },
       counted + unusable + "FOR001:1:1: " + kFifoRefused + "\n"},
      {"a loop of links", [](const Scratch& d) { put(d, "FOR001", Standin::LinkLoop); },
       counted + unusable + "FOR001:1:1: expected a readable file, found none: Too many levels of symbolic links\n"},
      // Two title lines and nothing more.
      {"titles only", [](const Scratch& d) { d.write("FOR001", "garbage\r\nmore\r\n"); },
       counted + unusable + "it ends before its grid counts\n"},
  };
  std::string alone;  // the answers with nothing beside
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scratch dir;
    ASSERT_EQ(run_redirected(QUILLET_PATH, dir, example("quillet.txt")).exit_status, 0);
    c.make(dir);
    const GwinspectResult run = run_with_alarm({"answers", "FOR013"}, dir);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.err, c.note);
    if (alone.empty()) alone = run.out;
    EXPECT_EQ(run.out, alone);
  }
}

// The module table selects Strongly Implicit (unit 19, the slot at column
// 25 of line 4); what stands as FOR019 is its file only when it is a file.
TEST(GwinspectSpecialFiles, AModuleFileMustBeAFile) {
  const std::string head = "FOR001:4:25: error: Strongly Implicit is selected (unit 19), but ";
  const std::string tail = ": these builders do not write it, so it must be made by other means\n";
  struct Case {
    std::string what;
    std::function<void(const Scratch&)> make;
    std::string out;
    int status;
  };
  const std::vector<Case> cases = {
      {"nothing", [](const Scratch&) {}, head + "there is no FOR019" + tail + "1 error, 0 warnings\n", 1},
      {"a directory", [](const Scratch& d) { put(d, "FOR019", Standin::Directory); },
       head + "FOR019 here is not a file (a directory)" + tail + "1 error, 0 warnings\n", 1},
      {"a FIFO", [](const Scratch& d) { put(d, "FOR019", Standin::Fifo); },
       head + "FOR019 here is not a file (a device, pipe or socket)" + tail + "1 error, 0 warnings\n", 1},
      {"a loop of links", [](const Scratch& d) { put(d, "FOR019", Standin::LinkLoop); },
       head + "FOR019 here is not a file (Too many levels of symbolic links)" + tail + "1 error, 0 warnings\n", 1},
      {"a file", [](const Scratch& d) { d.write("FOR019", "made elsewhere\r\n"); }, "0 errors, 0 warnings\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scratch dir;
    build_example(dir);
    std::string basic = dir.read("FOR001");
    const std::size_t line_4 = basic.find("\r\n", basic.find("\r\n", basic.find("\r\n") + 2) + 2) + 2;
    ASSERT_EQ(basic.substr(line_4 + 24, 3), "  0");
    basic.replace(line_4 + 24, 3, " 19");
    dir.write("FOR001", basic);
    c.make(dir);

    const GwinspectResult check = run_with_alarm({"check"}, dir);
    EXPECT_EQ(check.exit_status, c.status);
    EXPECT_EQ(check.out, c.out);
    const GwinspectResult report = run_with_alarm({"report"}, dir);
    EXPECT_EQ(report.exit_status, 0);
    const bool missing = dir.read("report.html").find("FOR019: missing") != std::string::npos;
    EXPECT_EQ(missing, c.status != 0);
  }
}

// check and report take the model's folder; answers takes a file, and a
// path that leads nowhere is told as such whatever its name.
TEST(GwinspectSpecialFiles, PathsThatAreNotWhatTheSubcommandTakes) {
  Scratch dir;
  build_example(dir);
  ASSERT_EQ(::mkdir(dir.file("some").c_str(), 0755), 0);
  dir.write("some/FOR001", dir.read("FOR001"));
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"answers", "/nonexistent/FOR001"},
       "/nonexistent/FOR001:1:1: error: expected a readable file, found none: No such file or directory\n"},
      {{"answers", "/nonexistent/model.txt"},
       "/nonexistent/model.txt:1:1: error: expected a readable file, found none: No such file or directory\n"},
      {{"check", "some/FOR001"},
       "gwinspect check: some/FOR001 is not a folder: name the folder of the model, such as some\n" + kCheckUsage},
      {{"check", "--format=json", "FOR001"},
       "gwinspect check: FOR001 is not a folder: name the folder of the model, such as .\n" + kCheckUsage},
      {{"check", "nowhere"}, "gwinspect check: nowhere: No such file or directory\n" + kCheckUsage},
      {{"report", "some/FOR001"},
       "gwinspect report: some/FOR001 is not a folder: name the folder of the model, such as some\n" +
           kReportUsage},
      {{"report", "nowhere", "-o", "nowhere.html"},
       "gwinspect report: nowhere: No such file or directory\n" + kReportUsage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments[1]);
    const GwinspectResult run = run_with_alarm(c.arguments, dir);
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
  }
  EXPECT_FALSE(dir.exists("report.html"));
  EXPECT_FALSE(dir.exists("nowhere.html"));
}

// Under an address-space limit every subcommand either does its work as
// without one, or ends with status 2 and the one line every subcommand
// gives; never a crash. The report of a 1000 by 1000 grid needs more than
// the lower limits allow, so that line is seen.
TEST(GwinspectSpecialFiles, RunningOutOfMemoryGivesOneMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer cannot run under an address-space limit";
#endif
  Scratch dir;
  // One layer of 1000 by 1000 cells, no module, both arrays one value.
  std::string session = "Big grid\nOne value\n1\n1000\n1000\n1\n4\n";
  for (int slot = 0; slot < 11; ++slot) session += "0\n";
  session += "0\n0\n0\n1\n999\n0\n10\n365\n10\n1.2\n";
  ASSERT_EQ(run_redirected(MORVEK_PATH, dir, session).exit_status, 0);

  const std::vector<std::vector<std::string>> commands = {{"report"}, {"check"}, {"answers", "FOR001"}};
  for (const auto& command : commands) {
    SCOPED_TRACE(command[0]);
    const GwinspectResult free_run = run_with_alarm(command, dir);
    ASSERT_NE(free_run.exit_status, 2) << free_run.err;
    int out_of_memory = 0;
    for (const long mib : {8L, 12L, 16L, 24L, 48L}) {
      SCOPED_TRACE(std::to_string(mib) + " MiB");
      const GwinspectResult run = run_gwinspect(command, dir, [mib] {
        ::alarm(kAlarmSeconds);
        const struct rlimit limit {static_cast<rlim_t>(mib) << 20, static_cast<rlim_t>(mib) << 20};
        ::setrlimit(RLIMIT_AS, &limit);
      });
      if (run.exit_status == 2) {
        ++out_of_memory;
        EXPECT_EQ(run.err, "gwinspect " + command[0] + ": error: out of memory\n");
      } else {
        EXPECT_EQ(run.exit_status, free_run.exit_status) << run.err;
        EXPECT_EQ(run.out, free_run.out);
        EXPECT_EQ(run.err, free_run.err);
      }
    }
    if (command[0] == "report") {
      EXPECT_GT(out_of_memory, 0);
    }
  }
}

}  // namespace
