// gwinspect answers [--as morvek|cindral|quillet] FILE
//
// Writes to standard output the answers that make the builder of FILE write
// it again byte for byte. A file that ends early gives the answers of its
// complete records and a note on what the builder asks next.
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "answers.h"

#include "answer_session.h"
#include "basic_file_reader.h"
#include "file_answers.h"
#include "input_file.h"
#include "platform.h"
#include "printable_text.h"
#include "read_error.h"
#include "subcommand_help.h"
#include "subcommands.h"

namespace gwinspect {
namespace {

struct Known {
  std::string_view as, file, name;
  Builder builder;
};
constexpr Known kBuilders[] = {
    {"morvek", "FOR001", "Morvek", Builder::Morvek},
    {"cindral", "FOR011", "Cindral", Builder::Cindral},
    {"quillet", "FOR013", "Quillet", Builder::Quillet},
};

std::string base_name(const std::string& path) {
  const std::size_t slash = path.find_last_of(builders::platform::path_separators());
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.find_last_of(builders::platform::path_separators());
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

constexpr std::string_view kUsage = "usage: gwinspect answers [--as morvek|cindral|quillet] FILE\n";
// What --help adds to the usage line.
constexpr std::string_view kHelp =
    "Writes to standard output the answers that make the builder of FILE write it\n"
    "again byte for byte: Morvek for FOR001, Cindral for FOR011, Quillet for FOR013.\n"
    "  --as morvek|cindral|quillet   the builder of a file with another name\n"
    "Exit status: 0 the answers are written, 2 they cannot be.\n";

int usage_error(std::string_view message) {
  std::cerr << "gwinspect answers: " << message << "\n" << kUsage;
  return kFailed;
}

// The counts of the FOR001 beside `path`, or why it gives none: nothing by
// that name, or something that is not a FOR001 that reads as far as its
// counts (a directory, a FIFO, a loop of links, another file).
Beside counts_beside(const std::string& path) {
  const std::string basic_path = folder_of(path) + "/FOR001";
  if (!builders::platform::exists(basic_path)) return {std::nullopt, "no FOR001 beside it"};
  const std::string unusable = "the FOR001 beside it gives no counts: ";
  try {
    inspect::InputFile basic(basic_path);
    inspect::BasicFileReader reader(basic.fd());
    inspect::Record record;
    while (reader.next(record)) {
      if (record.section == inspect::Section::Dimensions) {
        return {BasicCounts{reader.grid(), reader.period_count()}, {}};
      }
    }
    return {std::nullopt, unusable + "it ends before its grid counts"};
  } catch (const inspect::ReadError& e) {
    return {std::nullopt, unusable + "FOR001:" + std::to_string(e.line()) + ":" + std::to_string(e.column()) +
                              ": " + e.what()};
  }
}

}  // namespace

int run_answers(std::span<char* const> arguments) {
  if (asks_for_help(arguments)) show_help("answers", std::string(kUsage).append(kHelp));
  std::optional<Builder> as;
  std::string path;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i];
    std::string_view value;
    if (argument == "--as") {
      if (i + 1 == arguments.size()) return usage_error("--as needs morvek, cindral or quillet");
      value = arguments[++i];
    } else if (argument.starts_with("--as=")) {
      value = argument.substr(5);
    } else if (argument.starts_with("-") && argument.size() > 1) {
      return usage_error("unknown option " + std::string(argument));
    } else if (path.empty()) {
      path = std::string(argument);
      continue;
    } else {
      return usage_error("one FILE only");
    }
    as.reset();
    for (const Known& k : kBuilders) {
      if (k.as == value) as = k.builder;
    }
    if (!as) return usage_error("--as takes morvek, cindral or quillet, not '" + std::string(value) + "'");
  }
  if (path.empty()) return usage_error("no FILE given");

  const Known* known = nullptr;
  for (const Known& k : kBuilders) {
    const bool named = builders::platform::same_file_name(base_name(path), k.file);
    if ((as && *as == k.builder) || (!as && named)) known = &k;
  }
  if (known == nullptr) {
    // A file that is not there is reported as such, whatever its name.
    try {
      inspect::InputFile file(path);
    } catch (const inspect::ReadError& e) {
      std::cerr << inspect::printable(path) << ":" << e.line() << ":" << e.column() << ": error: " << inspect::printable(e.what()) << "\n";
      return kFailed;
    }
    std::cerr << inspect::printable(path) << ": error: cannot tell which builder wrote it: a file named FOR001, "
              << "FOR011 or FOR013, or --as morvek|cindral|quillet, says so\n";
    return kFailed;
  }

  return write_answers(known->builder, path, builders::platform::kStandardOutput, std::cerr);
}

int write_answers(Builder builder, const std::string& path, int out_fd, std::ostream& messages) {
  const Known& known = kBuilders[static_cast<std::size_t>(builder)];
  AnswerWriter out(out_fd);
  // Messages name the file as given, escaped (one message, one line).
  AnswerSession session(inspect::printable(path), std::string(known.name), out);
  try {
    inspect::InputFile file(path);
    try {
      switch (builder) {
        case Builder::Morvek: answer_basic_file(session, file.fd()); break;
        case Builder::Cindral: answer_flow_file(session, file.fd(), counts_beside(path)); break;
        case Builder::Quillet: answer_drain_file(session, file.fd(), counts_beside(path)); break;
      }
    } catch (const FileEndsEarly& end) {
      session.ends_early(end.question);
    }
    out.flush();
  } catch (const inspect::ReadError& e) {
    messages << inspect::printable(path) << ":" << e.line() << ":" << e.column()
             << ": error: " << inspect::printable(e.what()) << "\n";
    return kFailed;
  } catch (const WriteError& e) {
    messages << "gwinspect answers: error: the answers cannot be written to standard output: "
             << std::strerror(e.error_number) << "\n";
    return kFailed;
  }
  session.finish(messages);
  return kDone;
}

}  // namespace gwinspect
