// The ends of a run. Whatever ends it (the stop, an answer that cannot be
// read, a file that cannot be written, a signal that asks it to end), every
// open output file is closed with its completed records, the console's owed
// line end is written and unread input is left for the next program.
//
// A program ends its process there. A session run in-process
// (run_in_process) ends the same way, its console and file finished alike,
// but then returns to its caller: nothing is written to standard error and
// the process goes on.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/run_participant.h"

namespace common {
namespace process {

// The console and the output file of the run, which take part in its ends.
void attach_console(RunParticipant* console);
void detach_console(RunParticipant* console);
void attach_file(RunParticipant* file);
void detach_file(RunParticipant* file);

// The program's start-up: from now on every end of the run goes through
// the ends below. A reader of standard output that went away and a file
// size limit reached surface as write errors (SIGPIPE and SIGXFSZ ignored),
// storage that cannot be had as out_of_memory(), and SIGINT, SIGTERM, SIGHUP
// and SIGQUIT end the run like its other ends (the output file closed on its
// last whole record, the owed line end written at a terminal, unread input
// given back) and then as the signal asks, by its default action.
void handle_failures_and_end_signals();

// Hands the console output and every open file's records to the system;
// called before any read that may wait for the user.
void flush_everything();

// Closes what is open and ends the process with `status`.
[[noreturn]] void end_run(int status);

// Where the answer that could not be read stands, for a session run
// in-process: the report's message without the line, and the place.
struct AnswerPlace {
  std::string message;       // what is wrong, the answer, the question
  std::string question;      // the question it answered (or that waits)
  std::int64_t line = -1;    // of the answers, from 1; -1 for typed answers
  std::int64_t column = -1;  // of the answer's first byte; -1 where none applies
  bool at_end = false;       // the answers ended: `line` is the number there were
};

// The run-time error report on standard error, then the end with status 1:
// CR LF, "run-time error F<code>: <operation>(<name>)", CR LF, "- ",
// the message, CR LF. `answer` (optional) tells an in-process caller where
// the answer stands.
[[noreturn]] void runtime_error(int code, std::string_view operation, std::string_view name,
                                std::string_view message, const AnswerPlace* answer = nullptr);

// The end when storage for the counts given cannot be had: one line on
// standard error, then the end with status 1. Allocates nothing itself.
[[noreturn]] void out_of_memory();

// A refusal that is not an answer error: one line on standard error, then
// the end with status 1.
[[noreturn]] void refuse(std::string_view line);

}  // namespace process

// How a session run in-process ended.
struct SessionEnd {
  enum class Kind {
    Stop,          // "Stop - Program terminated.": the dialogue is complete
    RuntimeError,  // the run-time error report
    Refusal,       // a refusal line (counts beyond the capacity)
  };
  Kind kind = Kind::Stop;
  int status = 0;              // the exit status the program would have
  int code = 0;                // the run-time error number, 0 for none
  std::string standard_error;  // what the program would have written there
  std::optional<process::AnswerPlace> answer;  // an answer that could not be read
};

// Runs `session` (a dialogue on a console and an output file, ending with
// the console's stop) with every end of the run, normal or not, returning
// here instead of ending the process. No signal handler is installed and
// nothing is written to standard error. One session at a time.
SessionEnd run_in_process(const std::function<void()>& session);

}  // namespace common
