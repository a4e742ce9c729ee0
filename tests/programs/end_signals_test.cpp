// A run ended by SIGINT, SIGTERM, SIGHUP or SIGQUIT: its output file ends
// on a whole record (the first records of the run it would have written),
// the unread answers are left for the next program, the owed line end is
// written at a terminal, and the process still ends by the signal.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/built_programs.h"
#include "tests/support/expected_text.h"
#include "tests/support/program_runner.h"
#include "tests/support/run_checks.h"

namespace testing_support {
namespace {

constexpr int kEndSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The program starts with the end signals at their defaults (or `ignored`
// ignored, as nohup leaves SIGHUP), and leaves no core file.
std::function<void()> child_signals(int ignored = 0) {
  return [ignored] {
    for (int signal : kEndSignals) std::signal(signal, signal == ignored ? SIG_IGN : SIG_DFL);
    struct rlimit no_core {0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
  };
}

long size_of(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

bool has_ended(pid_t pid) {
  siginfo_t info {};
  return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

// Sends `signal` to the program once its file has grown past `bytes`.
std::function<void(pid_t)> signal_once_written(const Scratch& dir, const std::string& file, long bytes,
                                               int signal) {
  return [&dir, file, bytes, signal](pid_t group) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (size_of(dir.file(file)) < bytes && !has_ended(group) &&
           std::chrono::steady_clock::now() < give_up) {
    }
    kill(-group, signal);
  };
}

// One layer of 1000 by 1000 cells, every array one value: about 13 MB of
// records written in blocks, little work between the writes. The boundary
// array is written after its value is read, the starting heads after theirs.
const std::string kUpToBoundary = answers({"Large grid", "Signal test", "1", "1000", "1000", "1", "4"}) +
                                  repeat("0\n", 11) + answers({"0", "0", "0", "1"});
const std::string kUpToHeads = kUpToBoundary + answers({"999", "0", "10"});
const std::string kLargeGrid = kUpToHeads + answers({"365", "10", "1.2"});

TEST(EndSignals, FileEndsOnAWholeRecordAndTheRestOfTheAnswersStays) {
  const std::string input = kLargeGrid + "for the next program\n";
  Scratch whole;
  RunOptions quiet;
  quiet.stdout_path = "/dev/null";
  RunResult complete = run_redirected(MORVEK_PATH, whole, input, quiet);
  ASSERT_EQ(complete.exit_status, 0) << complete.err;
  const std::string full = whole.read("FOR001");
  ASSERT_GT(full.size(), 10'000'000u);

  // A signal that lands inside a block being written used to cut it at a
  // page boundary now and then; so each signal is sent several times, early
  // in the 13 MB of writes.
  constexpr int kTrials = 6;
  int cut_short = 0;
  for (int signal : kEndSignals) {
    for (int trial = 0; trial < kTrials; ++trial) {
      SCOPED_TRACE("signal " + std::to_string(signal) + ", trial " + std::to_string(trial));
      Scratch dir;
      RunOptions options;
      options.stdout_path = "/dev/null";
      options.in_child = child_signals();
      options.while_running = signal_once_written(dir, "FOR001", 65536 + trial * 200'000, signal);
      RunResult run = run_redirected(MORVEK_PATH, dir, input, options);
      const std::string file = dir.read("FOR001");
      const auto offset = static_cast<std::size_t>(run.stdin_offset);
      if (run.signal == 0) {  // the run was over before the signal came
        EXPECT_EQ(run.exit_status, 0) << run.err;
        EXPECT_TRUE(file == full);
        EXPECT_EQ(offset, kLargeGrid.size());
        continue;
      }
      EXPECT_EQ(run.signal, signal) << "exit status " << run.exit_status << ": " << run.err;
      EXPECT_GT(complete_records(file), 0) << "the file ends inside a record";
      EXPECT_TRUE(file == full.substr(0, file.size())) << "not the first records of the complete run";
      // The answers are left from the line after the last one read. Every
      // answer up to the boundary value was read before the file could reach
      // the size that sends the signal; after that, the signal may land while
      // an array is written (the boundary value or the heads' value last
      // read) or between two answers read with no write between them (the
      // no-flow head, the heads' same-value answer, the period's answers).
      // So any line start from the boundary value's line end on is right,
      // and nothing else: never inside a line, never before an answer that
      // was used.
      const bool at_line_start = offset > 0 && offset <= input.size() && input[offset - 1] == '\n';
      EXPECT_TRUE(at_line_start && offset >= kUpToBoundary.size() && offset <= kLargeGrid.size())
          << "standard input left at " << offset;
      if (file.size() < full.size()) ++cut_short;
    }
  }
  EXPECT_GT(cut_short, 0) << "no signal came while the file was being written";
}

TEST(EndSignals, SignalIgnoredAtStartStaysIgnored) {
  Scratch dir;
  RunOptions options;
  options.stdout_path = "/dev/null";
  options.in_child = child_signals(SIGHUP);
  options.while_running = signal_once_written(dir, "FOR001", 1'000'000, SIGHUP);
  RunResult run = run_redirected(MORVEK_PATH, dir, kLargeGrid, options);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_GT(complete_records(dir.read("FOR001")), 1'000'000 / 102);
}

// At a terminal, a signal while the program waits for an answer ends the
// console as the end of input there does: with the owed line end.
TEST(EndSignals, TerminalGetsTheOwedLineEnd) {
  const std::string first_prompt = " Max number of drains (vertical line sinks/layer) ";
  Scratch at_end;
  RunResult ended_by_input = run_on_terminal(QUILLET_PATH, at_end, "\x04");
  ASSERT_EQ(ended_by_input.exit_status, 1);
  ASSERT_EQ(ended_by_input.out, first_prompt + "\r\n\r\n");
  for (int signal : kEndSignals) {
    SCOPED_TRACE("signal " + std::to_string(signal));
    Scratch dir;
    RunOptions options;
    options.in_child = child_signals();
    options.interrupt = {signal, first_prompt};
    RunResult run = run_on_terminal(QUILLET_PATH, dir, "", options);
    EXPECT_EQ(run.signal, signal);
    EXPECT_EQ(run.out, ended_by_input.out);
    EXPECT_EQ(dir.read("FOR013"), "") << "opened, no record written yet";
  }
}

}  // namespace
}  // namespace testing_support
