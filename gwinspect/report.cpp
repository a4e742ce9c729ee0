// gwinspect report [DIR] [-o FILE]
//
// Writes one self-contained HTML page (report.html by default) that shows
// the model in DIR: a summary of its files, the findings of check, and a
// map of every array of every layer with the drains of each stress period.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <string_view>

#include "model_facts.h"
#include "model_folder.h"
#include "page_budget.h"
#include "platform.h"
#include "printable_text.h"
#include "read_error.h"
#include "report_page.h"
#include "subcommand_help.h"
#include "subcommands.h"

namespace gwinspect {
namespace {

constexpr std::string_view kUsage = "usage: gwinspect report [DIR] [-o FILE]\n";
// What --help adds to the usage line.
constexpr std::string_view kHelp =
    "Writes one self-contained HTML page that shows the model in the folder DIR\n"
    "(default: here): the findings of check, a summary, the stress periods and a\n"
    "map of every array of every layer.\n"
    "  -o FILE   the page to write (default: report.html)\n"
    "Exit status: 0 the page is written, 2 it cannot be.\n";

int usage_error(std::string_view message) {
  std::cerr << "gwinspect report: " << message << "\n" << kUsage;
  return kFailed;
}

}  // namespace

int run_report(std::span<char* const> arguments) {
  if (asks_for_help(arguments)) show_help("report", std::string(kUsage).append(kHelp));
  std::string folder = ".", output = "report.html";
  bool folder_given = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "-o" || argument == "--output") {
      if (i + 1 == arguments.size()) return usage_error("-o needs a FILE");
      output = arguments[++i];
    } else if (argument.starts_with("--output=")) {
      output = std::string(argument.substr(9));
    } else if (argument.starts_with("-o") && argument.size() > 2) {
      output = std::string(argument.substr(2));
    } else if (argument.starts_with("-") && argument.size() > 1) {
      std::string message = "unknown option ";
      message += argument;
      return usage_error(message);
    } else if (!folder_given) {
      folder = std::string(argument);
      folder_given = true;
    } else {
      return usage_error("one DIR only");
    }
  }
  if (output.empty() || builders::platform::path_separators().find(output.back()) != std::string_view::npos) {
    return usage_error("-o needs a file name");
  }

  if (const std::string problem = folder_problem(folder); !problem.empty()) return usage_error(problem);

  std::string page;
  try {
    page = report::report_page(report::read_model(folder));
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
  std::string error;
  if (!builders::platform::replace_file(output, page, error)) {
    std::cerr << "gwinspect report: error: cannot write the page: " << inspect::printable(error) << "\n";
    return kFailed;
  }
  std::cout << "gwinspect report: wrote " << inspect::printable(output) << " (" << (page.size() + 1023) / 1024 << " kB)\n";
  return kDone;
}

}  // namespace gwinspect
