// The ends of a run. Whatever ends it (the stop, an answer that cannot be
// read, a file that cannot be written, a signal that asks it to end), every
// open output file is closed with its completed records, the console's owed
// line end is written and unread input is left for the next program.
#pragma once

#include <string_view>

namespace common {

class Console;
class OutputFile;

namespace process {

void attach_console(Console* console);
void detach_console(Console* console);
void attach_file(OutputFile* file);
void detach_file(OutputFile* file);

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

// The run-time error report on standard error, then the end with status 1:
// CR LF, "run-time error F<code>: <operation>(<name>)", CR LF, "- ",
// the message, CR LF.
[[noreturn]] void runtime_error(int code, std::string_view operation, std::string_view name,
                                std::string_view message);

// The end when storage for the counts given cannot be had: one line on
// standard error, then the end with status 1. Allocates nothing itself.
[[noreturn]] void out_of_memory();

// A refusal that is not an answer error: one line on standard error, then
// the end with status 1.
[[noreturn]] void refuse(std::string_view line);

}  // namespace process
}  // namespace common
