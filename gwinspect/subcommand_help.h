// --help of a subcommand: `gwinspect check --help` shows that subcommand's
// usage and options on standard output and exits, as `gwinspect --help`
// does for the program.
#pragma once

#include <span>
#include <string_view>

namespace gwinspect {

// Whether --help or -h is among the arguments. Help wins over every other
// argument, so that it is shown whatever else the command line holds.
bool asks_for_help(std::span<char* const> arguments);

// Writes `text` and "The manual: man gwinspect" to standard output and ends
// the process with status 0; when standard output cannot take it, with one
// line on standard error and the status of a failed command line (2).
[[noreturn]] void show_help(std::string_view subcommand, std::string_view text);

}  // namespace gwinspect
