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

#include "answers/answers.h"

#include "inspect/input_file.h"
#include "platform/platform.h"
#include "inspect/printable_text.h"
#include "inspect/read_error.h"
#include "gwinspect/subcommand_line.h"
#include "gwinspect/subcommands.h"

namespace gwinspect {
namespace {

std::string base_name(const std::string& path) {
  const std::size_t slash = path.find_last_of(platform::path_separators());
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr SubcommandUsage kAnswers = {
    "answers", "usage: gwinspect answers [--as morvek|cindral|quillet] FILE\n",
    "Writes to standard output the answers that make the builder of FILE write it\n"
    "again byte for byte: Morvek for FOR001, Cindral for FOR011, Quillet for FOR013.\n"
    "  --as morvek|cindral|quillet   the builder of a file with another name\n"
    "Exit status: 0 the answers are written, 2 they cannot be.\n"};

constexpr ValueOption kOptions[] = {{"--as", "--as needs morvek, cindral or quillet"}};

}  // namespace

int run_answers(std::span<char* const> arguments) {
  answer_help(kAnswers, arguments);
  std::optional<answers::Builder> as;
  OneOperand file{"one FILE only"};
  ArgumentReader reader(arguments, kOptions, file);
  for (Argument argument; reader.next(argument);) {
    if (argument.kind == Argument::Kind::Refused) return usage_error(kAnswers, argument.text);
    as.reset();
    for (const answers::BuilderFile& k : answers::kBuilderFiles) {
      if (k.as == argument.text) as = k.builder;
    }
    if (!as) return usage_error(kAnswers, "--as takes morvek, cindral or quillet, not '" + argument.text + "'");
  }
  const std::string& path = file.text;
  if (path.empty()) return usage_error(kAnswers, "no FILE given");

  const answers::BuilderFile* known = nullptr;
  for (const answers::BuilderFile& k : answers::kBuilderFiles) {
    const bool named = platform::same_file_name(base_name(path), k.file);
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

  return answers::write_answers(known->builder, path, platform::kStandardOutput, std::cerr);
}

}  // namespace gwinspect
