#include "common/command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/write_all.h"

// The package and its version, set by the build for this file alone.
#ifndef BUILDERS_PACKAGE
#error "BUILDERS_PACKAGE must name the package"
#endif
#ifndef BUILDERS_VERSION
#error "BUILDERS_VERSION must give the package version"
#endif

namespace common {
namespace {

std::string usage_line(const ProgramUsage& usage) {
  std::string line = "Usage: ";
  line += usage.name;
  if (!usage.arguments.empty()) {
    line += ' ';
    line += usage.arguments;
  }
  line += '\n';
  return line;
}

}  // namespace

// Output that was asked for and could not be delivered is a failure, not a
// success: `Morvek --help > /dev/full` must not end with status 0. It ends
// with the status of a command line that cannot be answered, so that 1
// keeps meaning a failed run.
void show_and_exit(std::string_view program, std::string_view text) {
  if (const platform::Written written = platform::write_all(platform::kStandardOutput, text.data(), text.size());
      written.count < text.size()) {
    std::string report(program);
    report += ": cannot write to standard output: ";
    report += std::strerror(written.error != 0 ? written.error : EIO);
    report += '\n';
    platform::write_all(platform::kStandardError, report.data(), report.size());
    std::_Exit(kCommandLineFailed);
  }
  std::_Exit(0);
}

void answer_help_or_version(int argc, const char* const* argv, const ProgramUsage& usage) {
  if (argc != 2 || argv[1] == nullptr) return;
  const std::string_view argument = argv[1];
  if (argument == "--help") {
    show_and_exit(usage.name, usage_line(usage) + std::string(usage.help));
  }
  if (argument == "--version") {
    std::string version(usage.name);
    version += " (" BUILDERS_PACKAGE ") " BUILDERS_VERSION "\n";
    show_and_exit(usage.name, version);
  }
}

void exit_with_usage(const ProgramUsage& usage) {
  const std::string line = usage_line(usage);
  platform::write_all(platform::kStandardError, line.data(), line.size());
  std::_Exit(kCommandLineFailed);
}

void take_no_arguments(int argc, const char* const* argv, const ProgramUsage& usage) {
  if (argc <= 1) return;
  answer_help_or_version(argc, argv, usage);
  exit_with_usage(usage);
}

}  // namespace common
