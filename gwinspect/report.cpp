// gwinspect report [DIR] [-o FILE] [--length-unit NAME]
//
// Writes one self-contained HTML page (report.html by default) that shows
// the model in DIR: a summary of its files, the findings of check, and a
// map of every array of every layer with the drains of each stress period.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "model_facts.h"
#include "page_budget.h"
#include "platform.h"
#include "read_error.h"
#include "report_page.h"
#include "subcommands.h"

namespace gwinspect {
namespace {

int usage_error(std::string_view message) {
  std::cerr << "gwinspect report: " << message << "\n"
            << "usage: gwinspect report [DIR] [-o FILE] [--length-unit NAME]\n";
  return kFailed;
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
  std::string folder = ".", output = "report.html", length_unit;
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
    } else if (argument == "--length-unit" || argument.starts_with("--length-unit=")) {
      if (argument == "--length-unit") {
        if (i + 1 == arguments.size()) return usage_error("--length-unit needs a NAME");
        length_unit = arguments[++i];
      } else {
        length_unit = std::string(argument.substr(14));
      }
      if (!usable_length_unit(length_unit)) {
        return usage_error("--length-unit needs a short NAME without spaces, such as m or ft");
      }
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

  std::string page;
  try {
    report::ModelFacts model = report::read_model(folder);
    model.length_unit = length_unit;
    page = report::report_page(model);
  } catch (const inspect::ReadError& e) {
    std::cerr << folder << "/FOR001: error: " << e.what() << "; the report needs it\n";
    return kFailed;
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
    std::cerr << "gwinspect report: error: cannot write the page: " << error << "\n";
    return kFailed;
  }
  std::cout << "gwinspect report: wrote " << output << " (" << (page.size() + 1023) / 1024 << " kB)\n";
  return kDone;
}

}  // namespace gwinspect
