// gwinspect check [--format=text|json] [DIR]
//
// Checks that the files of DIR (default: the current folder) make one
// model the simulator can run. One diagnostic per line on standard output,
// as compilers write them, then a summary line; or one JSON document.
// Exit status: 0 no error (warnings alone), 1 at least one error, 2 the
// check could not be made (no FOR001, a file that cannot be read) or its
// report could not be written.
#include <string>
#include <string_view>

#include "check/diagnostic_output.h"
#include "check/model_check.h"
#include "gwinspect/findings_output.h"
#include "gwinspect/model_folder.h"
#include "gwinspect/subcommand_line.h"
#include "gwinspect/subcommands.h"

namespace gwinspect {
namespace {

constexpr int kErrorsFound = 1;

constexpr SubcommandUsage kCheck = {
    "check", "usage: gwinspect check [--format=text|json] [DIR]\n",
    "Checks that the files of the folder DIR (default: here) make one model the\n"
    "simulator can run: FOR001 and the files of its module table.\n"
    "  --format=text   one finding a line, as compilers write them (the default)\n"
    "  --format=json   the same findings as one JSON document\n"
    "Exit status: 0 no error, 1 errors found, 2 the check could not be made.\n"};

constexpr ValueOption kOptions[] = {{"--format", "--format needs text or json"}};

}  // namespace

int run_check(std::span<char* const> arguments) {
  answer_help(kCheck, arguments);
  bool json = false;
  OneOperand dir{"one DIR only"};
  ArgumentReader reader(arguments, kOptions, dir);
  for (Argument argument; reader.next(argument);) {
    if (argument.kind == Argument::Kind::Refused) return usage_error(kCheck, argument.text);
    if (argument.text == "json") {
      json = true;
    } else if (argument.text == "text") {
      json = false;
    } else {
      return usage_error(kCheck, "--format takes text or json, not '" + argument.text + "'");
    }
  }
  // Diagnostics name the files as the user would reach them from here.
  std::string folder = dir.text;
  if (folder.empty()) folder.push_back('.');
  std::string prefix;
  if (folder != ".") {
    prefix = folder;
    if (!prefix.ends_with('/')) prefix += '/';
  }

  if (const std::string problem = folder_problem(folder); !problem.empty()) return usage_error(kCheck, problem);

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
  if (!write_findings("check", out)) return kFailed;
  if (!result.completed) return kFailed;
  return result.errors() > 0 ? kErrorsFound : kDone;
}

}  // namespace gwinspect
