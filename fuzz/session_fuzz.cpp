// Any bytes as the standard input of one builder (PROGRAM_PATH), run as a
// child in a scratch folder. The first byte picks how the answers arrive:
// from a file, through a pipe, or typed at a terminal (followed by a line
// end and Ctrl-D, so that every run ends). The rest is the input.
//
// Every run ends with the stop (status 0, the stop line last on standard
// output, nothing on standard error) or with status 1 and exactly one
// run-time error report of a console read with a documented number, or one
// line refusing a grid that is too large. Never by a signal: the builder is
// built with AddressSanitizer and UndefinedBehaviorSanitizer, set to abort.
// The output file then holds only complete records, each ending in CR LF,
// of the widths the program's descriptor lists give. After a stop with the
// answers in a file or a pipe, and after a failure too, the answers are
// given back from a line start, for the next program to read on.
//
// A few answers can ask for gigabytes of records (a grid of 10000 by 10000
// cells given one value, or 2147483647 rows of no columns), so each file the
// child writes is capped at kFileCap bytes; a run that reaches the cap must
// end with F6603 WRITE, its file cut back to whole records.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "tests/support/program_runner.h"

namespace {

using testing_support::RunResult;
using testing_support::Scratch;

constexpr std::string_view kProgram = PROGRAM_NAME;
constexpr std::string_view kOutputFile = OUTPUT_FILE_NAME;
constexpr std::string_view kStopLine = "Stop - Program terminated.\r\n";
constexpr std::size_t kFileCap = 16 << 20;

// The record widths each program's descriptor lists give, counting records
// with fewer values than the list has descriptors.
bool record_width_possible(std::size_t width) {
  if (kProgram == "Quillet") return width == 10 || width == 20 || width == 50;
  if (kProgram == "Morvek") {
    return (width <= 60 && width % 3 == 0) || (width <= 100 && width % 10 == 0) || width == 63 ||
           width == 72;
  }
  if (kProgram == "Cindral") {
    return (width <= 80 && width % 2 == 0) || (width <= 100 && width % 10 == 0) || width == 63;
  }
  return false;
}

// Quillet and Cindral open their file before the first question.
bool output_file_always_made() { return kProgram != "Morvek"; }

bool ends_with(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool is_read_report(std::string_view err) {
  constexpr std::string_view kHead = "\r\nrun-time error F";
  if (err.substr(0, kHead.size()) != kHead) return false;
  std::string_view number = err.substr(kHead.size(), 4);
  static constexpr std::string_view kNumbers[] = {"6100", "6101", "6102", "6103", "6104", "6302", "6303",
                                                  "6407", "6408", "6501", "6502", "6503", "6504"};
  bool documented = false;
  for (std::string_view n : kNumbers) documented = documented || n == number;
  if (!documented) return false;
  std::string_view rest = err.substr(kHead.size() + 4);
  constexpr std::string_view kOperation = ": READ(CON)\r\n- ";
  if (rest.substr(0, kOperation.size()) != kOperation) return false;
  std::string_view message = rest.substr(kOperation.size());
  return message.size() > 2 && ends_with(message, "\r\n") &&
         message.substr(0, message.size() - 2).find_first_of("\r\n") == std::string_view::npos;
}

// F6603 WRITE of the output file or the console, once one reached the cap.
bool is_write_report_at_cap(std::string_view err, const Scratch& dir, std::string_view out) {
  std::string file_head = "\r\nrun-time error F6603: WRITE(" + std::string(kOutputFile) + ")\r\n- ";
  constexpr std::string_view kConsoleHead = "\r\nrun-time error F6603: WRITE(CON)\r\n- ";
  constexpr std::size_t kLongestRecord = 102;
  if (err.substr(0, file_head.size()) == file_head) {
    return dir.exists(kOutputFile) && dir.read(kOutputFile).size() + kLongestRecord >= kFileCap;
  }
  return err.substr(0, kConsoleHead.size()) == kConsoleHead && out.size() + 4096 >= kFileCap;
}

bool is_grid_refusal(std::string_view err) {
  return kProgram != "Quillet" && err.substr(0, kProgram.size() + 2) == std::string(kProgram) + ": " &&
         err.find('\n') == err.size() - 1 && err.find("run-time error") == std::string_view::npos;
}

void check_output_file(const Scratch& dir) {
  if (!dir.exists(kOutputFile)) {
    FUZZ_CHECK(!output_file_always_made(), "%s was not made", std::string(kOutputFile).c_str());
    return;
  }
  std::string file = dir.read(kOutputFile);
  FUZZ_CHECK(file.empty() || ends_with(file, "\r\n"), "the file ends inside a record");
  std::size_t start = 0;
  while (start < file.size()) {
    std::size_t end = file.find("\r\n", start);
    std::string_view record = std::string_view(file).substr(start, end - start);
    FUZZ_CHECK(record.find('\n') == std::string_view::npos, "a line end inside a record");
    FUZZ_CHECK(record_width_possible(record.size()), "a record of %zu columns at byte %zu", record.size(),
               start);
    start = end + 2;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int how = data[0] % 3;
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

  Scratch dir;
  RunResult run;
  testing_support::RunOptions options;
  options.in_child = [] {
    struct rlimit cap {kFileCap, kFileCap};
    if (setrlimit(RLIMIT_FSIZE, &cap) != 0) _exit(126);
  };
  if (how == 2) {
    run = testing_support::run_on_terminal(PROGRAM_PATH, dir, std::string(input) + "\n\x04", options);
  } else {
    options.stdin_pipe = how == 1;
    run = testing_support::run_redirected(PROGRAM_PATH, dir, input, options);
  }

  FUZZ_CHECK(run.signal == 0, "killed by signal %d; standard error:\n%s", run.signal, run.err.c_str());
  if (run.exit_status == 0) {
    FUZZ_CHECK(run.err.empty(), "a stop with standard error:\n%s", run.err.c_str());
    FUZZ_CHECK(ends_with(run.out, kStopLine) || ends_with(run.out, std::string(kStopLine) + "\r\n"),
               "a stop without the stop line last");
  } else {
    FUZZ_CHECK(run.exit_status == 1, "exit status %d; standard error:\n%s", run.exit_status, run.err.c_str());
    FUZZ_CHECK(is_read_report(run.err) || is_grid_refusal(run.err) ||
                   is_write_report_at_cap(run.err, dir, run.out),
               "standard error:\n%s", run.err.c_str());
    FUZZ_CHECK(run.out.find("Stop - Program terminated.") == std::string::npos, "a stop line after a failure");
  }
  if (how != 2) {
    // Whatever ended the run, the next program reads on from a line start:
    // a file's offset is there, a pipe holds all from there and nothing else.
    long offset = run.stdin_offset;
    if (how == 1) {
      FUZZ_CHECK(run.stdin_left.size() <= input.size() &&
                     input.substr(input.size() - run.stdin_left.size()) == run.stdin_left,
                 "the pipe holds %zu bytes that are not the end of the answers", run.stdin_left.size());
      offset = static_cast<long>(input.size() - run.stdin_left.size());
    }
    FUZZ_CHECK(offset >= 0 && static_cast<std::size_t>(offset) <= input.size() &&
                   (offset == 0 || static_cast<std::size_t>(offset) == input.size() ||
                    input[static_cast<std::size_t>(offset) - 1] == '\n'),
               "answers given back at %ld of %zu", offset, input.size());
  }
  check_output_file(dir);
  return 0;
}
