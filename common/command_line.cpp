#include "command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform.h"

// The package and its version, set by the build for this file alone.
#ifndef BUILDERS_PACKAGE
#error "BUILDERS_PACKAGE must name the package"
#endif
#ifndef BUILDERS_VERSION
#error "BUILDERS_VERSION must give the package version"
#endif

namespace builders {
namespace {

// Sets errno when it fails.
bool write_all(int fd, std::string_view text) {
  std::size_t written = 0;
  const int err = platform::write_all(fd, text, written);
  if (err != 0) errno = err;
  return err == 0;
}

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

// Output that was asked for and could not be delivered is a failure, not a
// success: `Morvek --help > /dev/full` must not end with status 0.
[[noreturn]] void show_and_exit(const ProgramUsage& usage, std::string_view text) {
  errno = 0;
  if (!write_all(platform::kStandardOutput, text)) {
    std::string report(usage.name);
    report += ": cannot write to standard output: ";
    report += std::strerror(errno == 0 ? EIO : errno);
    report += '\n';
    write_all(platform::kStandardError, report);
    std::_Exit(1);
  }
  std::_Exit(0);
}

}  // namespace

void answer_help_or_version(int argc, const char* const* argv, const ProgramUsage& usage) {
  if (argc != 2 || argv[1] == nullptr) return;
  const std::string_view argument = argv[1];
  if (argument == "--help") {
    show_and_exit(usage, usage_line(usage) + std::string(usage.help));
  }
  if (argument == "--version") {
    std::string version(usage.name);
    version += " (" BUILDERS_PACKAGE ") " BUILDERS_VERSION "\n";
    show_and_exit(usage, version);
  }
}

void exit_with_usage(const ProgramUsage& usage) {
  write_all(platform::kStandardError, usage_line(usage));
  std::_Exit(2);
}

void take_no_arguments(int argc, const char* const* argv, const ProgramUsage& usage) {
  if (argc <= 1) return;
  answer_help_or_version(argc, argv, usage);
  exit_with_usage(usage);
}

}  // namespace builders
