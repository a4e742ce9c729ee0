// gwinspect: reads the builders' files back. One program with subcommands;
// each subcommand is its own source file and one row of the table below.
#include <iostream>
#include <new>
#include <sstream>
#include <span>
#include <string_view>

#include "common/command_line.h"
#include "platform/platform.h"
#include "gwinspect/subcommands.h"

namespace {

struct Subcommand {
  std::string_view name;
  std::string_view synopsis;
  int (*run)(std::span<char* const> arguments);
};

constexpr Subcommand kSubcommands[] = {
    {"answers", "answers [--as morvek|cindral|quillet] FILE\n"
                "      write the answers that make the builder of FILE write it again",
     gwinspect::run_answers},
    {"check", "check [--format=text|json] [DIR]\n"
              "      check that the files of DIR (default: here) make one model the simulator can run",
     gwinspect::run_check},
    {"report", "report [DIR] [-o FILE|-] [--length-unit NAME]\n"
               "      write one HTML page (report.html, - for standard output) that shows the model in DIR, with maps",
     gwinspect::run_report},
    {"try", "try ANSWERS --as morvek|cindral|quillet\n"
            "      run the builder's dialogue on ANSWERS, writing nothing, and report where the answers and questions part",
     gwinspect::run_try},
};

int usage(std::ostream& out, int status) {
  out << "usage: gwinspect SUBCOMMAND [ARGUMENTS]\n";
  for (const Subcommand& s : kSubcommands) out << "  gwinspect " << s.synopsis << "\n";
  return status;
}

// --version as the builders answer it: the program, the package, the version.
constexpr common::ProgramUsage kVersionOnly = {"gwinspect", "SUBCOMMAND [ARGUMENTS]", ""};

}  // namespace

int main(int argc, char** argv) {
  // A reader that leaves makes writes fail, reported, instead of ending the
  // program silently; messages keep their line ends as written.
  platform::prepare_standard_streams();
  const std::span<char* const> arguments(argv, static_cast<std::size_t>(argc));
  if (arguments.size() < 2) return usage(std::cerr, gwinspect::kFailed);
  const std::string_view name = arguments[1];
  if (name == "--help" || name == "-h" || name == "help") {
    std::ostringstream help;
    usage(help, gwinspect::kDone);
    help << "\nThe manual: man gwinspect\n";
    common::show_and_exit("gwinspect", help.str());
  }
  if (name == "--version") common::answer_help_or_version(argc, argv, kVersionOnly);
  for (const Subcommand& s : kSubcommands) {
    if (s.name != name) continue;
    try {
      return s.run(arguments.subspan(2));
    } catch (const std::bad_alloc&) {
      // The one report of every subcommand that runs out of memory.
      std::cerr << "gwinspect " << s.name << ": error: out of memory\n";
      return gwinspect::kFailed;
    }
  }
  std::cerr << "gwinspect: no subcommand '" << name << "'\n";
  return usage(std::cerr, gwinspect::kFailed);
}
