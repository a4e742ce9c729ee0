// gwinspect check [--format=text|json] [DIR]
//
// Checks that the files of DIR (default: the current folder) make one
// model the simulator can run. One diagnostic per line on standard output,
// as compilers write them, then a summary line; or one JSON document.
// Exit status: 0 no error (warnings alone), 1 at least one error, 2 the
// check could not be made (no FOR001, a file that cannot be read) or its
// report could not be written.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "check/diagnostic_output.h"
#include "check/model_check.h"
#include "gwinspect/model_folder.h"
#include "platform/platform.h"
#include "gwinspect/subcommand_help.h"
#include "gwinspect/subcommands.h"
#include "platform/write_all.h"

namespace gwinspect {
namespace {

constexpr int kErrorsFound = 1;

constexpr std::string_view kUsage = "usage: gwinspect check [--format=text|json] [DIR]\n";
// What --help adds to the usage line.
constexpr std::string_view kHelp =
    "Checks that the files of the folder DIR (default: here) make one model the\n"
    "simulator can run: FOR001 and the files of its module table.\n"
    "  --format=text   one finding a line, as compilers write them (the default)\n"
    "  --format=json   the same findings as one JSON document\n"
    "Exit status: 0 no error, 1 errors found, 2 the check could not be made.\n";

int usage_error(std::string_view message) {
  std::cerr << "gwinspect check: " << message << "\n" << kUsage;
  return kFailed;
}

// 0, or the errno of the write to standard output that failed.
int write_out(std::string_view bytes) {
  const platform::Written written =
      platform::write_all(platform::kStandardOutput, bytes.data(), bytes.size());
  if (written.count == bytes.size()) return 0;
  return written.error != 0 ? written.error : EIO;
}

}  // namespace

int run_check(std::span<char* const> arguments) {
  if (asks_for_help(arguments)) show_help("check", std::string(kUsage).append(kHelp));
  bool json = false;
  std::string folder;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    std::string_view format;
    if (argument == "--format") {
      if (i + 1 == arguments.size()) return usage_error("--format needs text or json");
      format = arguments[++i];
    } else if (argument.starts_with("--format=")) {
      format = argument.substr(9);
    } else if (argument.starts_with("-") && argument.size() > 1) {
      return usage_error("unknown option " + std::string(argument));
    } else if (folder.empty()) {
      folder = std::string(argument);
      continue;
    } else {
      return usage_error("one DIR only");
    }
    if (format == "json") {
      json = true;
    } else if (format == "text") {
      json = false;
    } else {
      return usage_error("--format takes text or json, not '" + std::string(format) + "'");
    }
  }
  // Diagnostics name the files as the user would reach them from here.
  if (folder.empty()) folder.push_back('.');
  std::string prefix;
  if (folder != ".") {
    prefix = folder;
    if (!prefix.ends_with('/')) prefix += '/';
  }

  if (const std::string problem = folder_problem(folder); !problem.empty()) return usage_error(problem);

  const check::CheckResult result = check::check_model(folder);

  std::string out;
  if (json) {
    out = check::json_document(result, folder);
  } else {
    for (const check::Diagnostic& d : result.diagnostics) {
      out += check::diagnostic_line(d, prefix);
      out += '\n';
    }
    out += check::summary_line(result);
    out += '\n';
  }
  if (const int error = write_out(out); error != 0) {
    std::cerr << "gwinspect check: error: the report cannot be written to standard output: "
              << std::strerror(error) << "\n";
    return kFailed;
  }
  if (!result.completed) return kFailed;
  return result.errors() > 0 ? kErrorsFound : kDone;
}

}  // namespace gwinspect
