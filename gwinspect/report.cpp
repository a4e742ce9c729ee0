// gwinspect report [DIR] [-o FILE|-] [--length-unit NAME]
//
// Writes one self-contained HTML page (report.html by default) that shows
// the model in DIR: a summary of its files, the findings of check, and a
// map of every array of every layer with the drains of each stress period.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <string_view>

#include "report/model_facts.h"
#include "gwinspect/model_folder.h"
#include "report/model_files.h"
#include "report/page_budget.h"
#include "platform/platform.h"
#include "inspect/printable_text.h"
#include "inspect/read_error.h"
#include "report/report_page.h"
#include "gwinspect/subcommand_line.h"
#include "gwinspect/subcommands.h"
#include "platform/write_all.h"

namespace gwinspect {
namespace {

constexpr SubcommandUsage kReport = {
    "report", "usage: gwinspect report [DIR] [-o FILE|-] [--length-unit NAME]\n",
    "Writes one self-contained HTML page that shows the model in the folder DIR\n"
    "(default: here): the findings of check, a summary, the stress periods and a\n"
    "map of every array of every layer.\n"
    "  -o FILE   the page to write (default: report.html); - for standard output\n"
    "  --length-unit NAME   the model's length unit in the legends (default: length)\n"
    "Exit status: 0 the page is written, 2 it cannot be.\n"};

constexpr ValueOption kOptions[] = {
    {"--output", "-o needs a FILE", "-o"},  // first: the page
    {"--length-unit", "--length-unit needs a NAME"},
};

// Why the page may not go to `output` ("-": standard output): the file
// there is one the report reads. Empty when it may. Files are compared as
// files, not by name, so that another spelling or a link is caught too.
std::string written_over_model(const report::ModelFacts& model, const std::string& output) {
  namespace platform = platform;
  const bool to_standard_output = output == "-";
  const platform::FileLook destination =
      to_standard_output ? platform::look_at(platform::kStandardOutput) : platform::look_at(output);
  if (!destination.found || destination.kind != platform::FileKind::Regular) return {};
  for (const std::string& path : report::model_file_paths(model)) {
    const platform::FileLook file = platform::look_at(path);
    if (file.found && file.kind == platform::FileKind::Regular && file.identity == destination.identity) {
      return (to_standard_output ? std::string("standard output") : output) + " is " + path +
             ", a file of the model; the page is not written over it";
    }
  }
  return {};
}

// A unit's name goes into the page's text: a short word such as "m", "ft"
// or "µm", printable, no spaces.
bool usable_length_unit(std::string_view name) {
  if (name.empty() || name.size() > 16) return false;
  for (unsigned char c : name) {
    if (c <= ' ' || c == 0x7F) return false;
  }
  return true;
}

}  // namespace

int run_report(std::span<char* const> arguments) {
  answer_help(kReport, arguments);
  std::string output = "report.html", length_unit;
  bool output_given = false;
  OneOperand dir{"one DIR only"};
  ArgumentReader reader(arguments, kOptions, dir);
  for (Argument argument; reader.next(argument);) {
    if (argument.kind == Argument::Kind::Refused) return usage_error(kReport, argument.text);
    if (argument.option == &kOptions[0]) {
      // Two places for one page is a slip; neither is guessed at.
      if (output_given) return usage_error(kReport, "one -o FILE only");
      output = argument.text;
      output_given = true;
    } else {
      length_unit = argument.text;
      if (!usable_length_unit(length_unit)) {
        return usage_error(kReport, "--length-unit needs a short NAME without spaces, such as m or ft");
      }
    }
  }
  const std::string folder = dir.given ? dir.text : ".";
  if (output.empty() || platform::path_separators().find(output.back()) != std::string_view::npos) {
    return usage_error(kReport, "-o needs a file name");
  }

  if (const std::string problem = folder_problem(folder); !problem.empty()) return usage_error(kReport, problem);

  std::string page;
  try {
    report::ModelFacts model = report::read_model(folder);
    model.length_unit = length_unit;
    if (const std::string refusal = written_over_model(model, output); !refusal.empty()) {
      std::cerr << "gwinspect report: error: " << refusal << "\n";
      return kFailed;
    }
    page = report::report_page(model);
  } catch (const inspect::ReadError& e) {
    std::cerr << inspect::printable(folder + "/FOR001: error: " + e.what()) << "; the report needs it\n";
    return kFailed;
  } catch (const std::bad_alloc&) {
    throw;  // reported as every subcommand reports it
  } catch (const std::exception& e) {
    std::cerr << "gwinspect report: error: " << e.what() << "\n";
    return kFailed;
  }
  if (page.size() >= report::PageBudget::kPageLimit) {
    // The page's rooms add up to less; this would be a fault of the report.
    std::cerr << "gwinspect report: warning: the page has " << page.size() << " bytes, more than the "
              << report::PageBudget::kPageLimit << " it is meant to stay under\n";
  }
  if (output == "-") {
    // The page alone on standard output, for a pipe or a redirection.
    const platform::Written written =
        platform::write_all(platform::kStandardOutput, page.data(), page.size());
    if (written.count < page.size()) {
      std::cerr << "gwinspect report: error: cannot write the page to standard output: "
                << std::strerror(written.error != 0 ? written.error : ENOSPC) << "\n";
      return kFailed;
    }
    return kDone;
  }
  std::string error;
  if (!platform::replace_file(output, page, error)) {
    std::cerr << "gwinspect report: error: cannot write the page: " << inspect::printable(error) << "\n";
    return kFailed;
  }
  std::cout << "gwinspect report: wrote " << inspect::printable(output) << " (" << (page.size() + 1023) / 1024 << " kB)\n";
  return kDone;
}

}  // namespace gwinspect
