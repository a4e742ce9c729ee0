#include "gwinspect/subcommand_help.h"

#include <string>

#include "common/command_line.h"

namespace gwinspect {

bool asks_for_help(std::span<char* const> arguments) {
  for (const char* argument : arguments) {
    const std::string_view a = argument;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

void show_help(std::string_view subcommand, std::string_view text) {
  std::string shown(text);
  shown += "\nThe manual: man gwinspect\n";
  common::show_and_exit("gwinspect " + std::string(subcommand), shown);
}

}  // namespace gwinspect
