// The command line of a program. The builders take everything they need
// from the dialogue; on the command line they know only --help and
// --version, so that they can be looked up like any installed tool.
#pragma once

#include <string_view>

namespace common {

struct ProgramUsage {
  std::string_view name;       // the program as typed: "Morvek"
  std::string_view arguments;  // what the usage line shows after the name
  std::string_view help;       // what --help shows after the usage line
};

// The exit status of a command line that is not taken (an unknown
// argument), or whose --help or --version cannot be written.
constexpr int kCommandLineFailed = 2;

// Writes `text` (asked for on the command line) to standard output and ends
// the process with status 0; when standard output cannot take it, with
// "PROGRAM: cannot write to standard output: REASON" on standard error and
// kCommandLineFailed.
[[noreturn]] void show_and_exit(std::string_view program, std::string_view text);

// With --help or --version as the only argument, shows the help (the usage
// line and `usage.help`) or the version on standard output and ends the
// process (show_and_exit). Returns for any other command line.
void answer_help_or_version(int argc, const char* const* argv, const ProgramUsage& usage);

// The one-line usage on standard error, then the end with kCommandLineFailed.
[[noreturn]] void exit_with_usage(const ProgramUsage& usage);

// For a program that takes no arguments: returns when started without
// any, answers --help and --version, and ends with the usage for anything
// else.
void take_no_arguments(int argc, const char* const* argv, const ProgramUsage& usage);

}  // namespace common
