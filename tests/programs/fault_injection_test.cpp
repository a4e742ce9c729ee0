// Faults from outside, run end to end on every built program: an output file
// that cannot be opened or written or that another run holds, a full disk, a
// standard output that is closed, full or a broken pipe, a standard input
// that cannot be read. Each run ends through the run-time error
// report with status 1, and its output file keeps only complete records.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/built_programs.h"
#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"
#include "tests/support/run_checks.h"

namespace testing_support {
namespace {

// Runs as nobody when the tests run as root (who may write anywhere), from a
// copy of the program in the scratch folder, which nobody can reach.
std::string as_nobody(const Scratch& dir, const BuiltProgram& program, RunOptions& options) {
  if (geteuid() != 0) return program.path;
  const std::string path = dir.file(program.name);
  std::filesystem::copy_file(program.path, path);
  chmod(path.c_str(), 0755);
  options.in_child = [] {
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(126);
  };
  return path;
}

class FaultInjection : public ::testing::TestWithParam<BuiltProgram> {
 protected:
  const BuiltProgram& program() const { return GetParam(); }

  // The failed run ended as a failure should: status 1, not a signal, and
  // no stop line after the report.
  static void expect_failed_run(const RunResult& run) {
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_FALSE(has_stop_line(run.out));
  }

  // Whatever the output file holds is complete records, the first ones of
  // `full` (the file that the run would have written).
  void expect_records_prefix(const Scratch& dir, std::string_view full) const {
    if (!dir.exists(program().output_file)) return;
    std::string file = dir.read(program().output_file);
    EXPECT_GE(complete_records(file), 0) << "a record is cut short";
    EXPECT_EQ(file, full.substr(0, file.size())) << "the file is not the run's first records";
  }
};

TEST_P(FaultInjection, OutputFileNameTakenByDirectory) {
  Scratch dir;
  ASSERT_EQ(mkdir(dir.file(program().output_file).c_str(), 0755), 0);
  RunResult run = run_redirected(program().path, dir, program().session);
  expect_failed_run(run);
  EXPECT_TRUE(is_report(run.err, "F6601", "OPEN", program().output_file));
  struct stat st {};
  ASSERT_EQ(stat(dir.file(program().output_file).c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_P(FaultInjection, OutputFileThatCannotBeWritten) {
  Scratch dir;
  const std::string old_contents = "old contents\r\n";
  dir.write(program().output_file, old_contents);
  ASSERT_EQ(chmod(dir.file(program().output_file).c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);  // only the file refuses
  RunOptions options;
  const std::string path = as_nobody(dir, program(), options);
  RunResult run = run_redirected(path, dir, program().session, options);
  expect_failed_run(run);
  EXPECT_TRUE(is_report(run.err, "F6603", "WRITE", program().output_file));
  EXPECT_EQ(dir.read(program().output_file), old_contents);
}

TEST_P(FaultInjection, FullDisk) {
  Scratch dir;
  ASSERT_EQ(symlink("/dev/full", dir.file(program().output_file).c_str()), 0);
  RunResult run = run_redirected(program().path, dir, program().session);
  expect_failed_run(run);
  EXPECT_TRUE(is_report(run.err, "F6603", "WRITE", program().output_file));
  EXPECT_FALSE(run.out.empty()) << "the dialogue before the failure is shown";
}

// A disk that fills in the middle of a record (here a limit on the file
// size): the file is cut back to the last record that fits whole.
TEST_P(FaultInjection, DiskFillsInTheMiddleOfARecord) {
  constexpr std::size_t kRoom = 1000;
  Scratch dir;
  RunOptions options;
  options.stdout_path = "/dev/null";  // only the output file meets the limit
  options.in_child = [] {
    struct rlimit limit {kRoom, kRoom};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
  };
  RunResult run = run_redirected(program().path, dir, program().talkative_session, options);
  expect_failed_run(run);
  EXPECT_TRUE(is_report(run.err, "F6603", "WRITE", program().output_file));
  const std::string& full = program().talkative_file;
  std::size_t whole = full.rfind("\r\n", kRoom - 2) + 2;
  EXPECT_EQ(dir.read(program().output_file), full.substr(0, whole));
}

// Standard output fails; the answers come from a file (everything is written
// at the end) or a pipe (written before every read that waits).
struct ConsoleFault {
  std::string name;
  bool stdin_pipe;
  bool closed;
  std::string stdout_path;
  long reader_closes_after;
  bool talkative;
};

const ConsoleFault kConsoleFaults[] = {
    {"ClosedWithFileInput", false, true, "", -1, false},
    {"ClosedWithPipeInput", true, true, "", -1, false},
    {"FullWithFileInput", false, false, "/dev/full", -1, false},
    {"FullWithPipeInput", true, false, "/dev/full", -1, false},
    // `program < answers | head -c 10`, the output passing what a pipe holds.
    {"BrokenPipeWithFileInput", false, false, "", 10, true},
    {"BrokenPipeWithPipeInput", true, false, "", 10, false},
};

TEST_P(FaultInjection, StandardOutputFails) {
  for (const ConsoleFault& fault : kConsoleFaults) {
    SCOPED_TRACE(fault.name);
    Scratch dir;
    RunOptions options;
    options.stdin_pipe = fault.stdin_pipe;
    options.close_stdout = fault.closed;
    options.stdout_path = fault.stdout_path;
    options.stdout_reader_closes_after = fault.reader_closes_after;
    const std::string& answers = fault.talkative ? program().talkative_session : program().session;
    const std::string& full = fault.talkative ? program().talkative_file : program().session_file;
    RunResult run = run_redirected(program().path, dir, answers, options);
    EXPECT_NE(run.signal, SIGPIPE);
    expect_failed_run(run);
    EXPECT_TRUE(is_report(run.err, "F6603", "WRITE", "CON"));
    expect_records_prefix(dir, full);
    if (!fault.stdin_pipe && !fault.talkative) {
      // Nothing is written to the console before the stop, so the file was
      // complete and closed first.
      EXPECT_EQ(dir.read(program().output_file), program().session_file);
    }
  }
}

// With standard error closed, the output file must not take its number and
// receive the report.
TEST_P(FaultInjection, StandardErrorClosed) {
  Scratch dir;
  RunOptions options;
  options.in_child = [] { ::close(2); };
  RunResult run = run_redirected(program().path, dir, "abc\n", options);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exit_status, 1);
  expect_records_prefix(dir, program().session_file);
}

// A folder where the file cannot be made: the report gives the reason the
// system gave for it.
TEST_P(FaultInjection, FolderThatCannotBeWritten) {
  Scratch dir;
  RunOptions options;
  const std::string path = as_nobody(dir, program(), options);
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  RunResult run = run_redirected(path, dir, program().session, options);
  expect_failed_run(run);
  EXPECT_TRUE(is_report(run.err, "F6601", "OPEN", program().output_file));
  EXPECT_TRUE(run.err.ends_with(std::string(": ") + std::strerror(EACCES) + "\r\n")) << run.err;
  EXPECT_FALSE(dir.exists(program().output_file));
}

// Another run holds the file: this one stops at its opening, with the other
// run's process, and leaves the file as it was.
TEST_P(FaultInjection, OutputFileHeldByAnotherRun) {
  Scratch dir;
  const std::string old_contents = "the other run's records\r\n";
  dir.write(program().output_file, old_contents);
  int held = ::open(dir.file(program().output_file).c_str(), O_RDWR);
  ASSERT_GE(held, 0);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  ASSERT_EQ(fcntl(held, F_SETLK, &lock), 0);
  RunResult run = run_redirected(program().path, dir, program().session);
  ::close(held);
  expect_failed_run(run);
  EXPECT_TRUE(is_report(run.err, "F6601", "OPEN", program().output_file));
  EXPECT_NE(run.err.find("- another run is writing this file (process " + std::to_string(getpid()) + ")\r\n"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(dir.read(program().output_file), old_contents);
}

// Standard input that cannot be read at all: the end of input, with the
// reason.
TEST_P(FaultInjection, StandardInputThatCannotBeRead) {
  struct Case {
    const char* what;
    bool directory;
    int error;
  };
  for (const Case& c : {Case{"a directory", true, EISDIR}, Case{"closed", false, EBADF}}) {
    SCOPED_TRACE(c.what);
    Scratch dir;
    RunOptions options;
    if (c.directory) {
      options.stdin_path = dir.path();
    } else {
      options.in_child = [] { ::close(0); };
    }
    RunResult run = run_redirected(program().path, dir, "", options);
    expect_failed_run(run);
    EXPECT_TRUE(is_report(run.err, "F6501", "READ", "CON"));
    // The reason, then the first question, which no answer reached.
    const std::string reason = std::string("- standard input cannot be read: ") + std::strerror(c.error);
    EXPECT_NE(run.err.find(reason + " for \""), std::string::npos) << run.err;
    EXPECT_TRUE(run.err.ends_with("\"\r\n")) << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Built, FaultInjection, ::testing::ValuesIn(built_programs()), ProgramName());

// Two runs started one after the other in one folder: the first opens the
// file and waits for its answers; the second stops at its opening, naming
// the first; the first then ends with its own records alone.
TEST(TwoRuns, SecondRunStopsWhileTheFirstHoldsTheFile) {
  Scratch dir;
  RunOptions first;
  first.stdin_pieces = {"5\n0\n1\n-1\n"};
  RunResult second;
  pid_t holder = 0;
  first.while_running = [&](pid_t) {
    struct flock probe {};
    for (int tries = 0; tries < 2000 && holder == 0; ++tries) {  // up to 20 s
      int fd = ::open(dir.file("FOR013").c_str(), O_RDONLY);
      probe = {};
      probe.l_type = F_WRLCK;
      probe.l_whence = SEEK_SET;
      if (fd >= 0 && fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) holder = probe.l_pid;
      if (fd >= 0) ::close(fd);
      if (holder == 0) usleep(10000);
    }
    second = run_redirected(QUILLET_PATH, dir, "7\n0\n1\n-1\n");
  };
  RunResult run = run_redirected(QUILLET_PATH, dir, "", first);
  ASSERT_NE(holder, 0) << "the first run never held its file";
  EXPECT_EQ(second.exit_status, 1);
  EXPECT_TRUE(is_report(second.err, "F6601", "OPEN", "FOR013"));
  EXPECT_NE(second.err.find("another run is writing this file (process " + std::to_string(holder) + ")"),
            std::string::npos)
      << second.err;
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(dir.read("FOR013"), blanks(9) + "5" + blanks(9) + "0\r\n" + blanks(8) + "-1\r\n");
}

}  // namespace
}  // namespace testing_support
