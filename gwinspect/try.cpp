// gwinspect try ANSWERS --as morvek|cindral|quillet
//
// Runs the builder's dialogue in-process on an answers file, its console
// going nowhere and no file written, and tells where the answers and the
// questions part: each line whose rest the read discarded, each text cut
// to its field, and where and why the session stops, or that the answers
// make a complete file. One finding a line, as `check` writes them.
// Exit status: 0 complete without errors, 1 errors, 2 it could not run.
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogues/cindral.h"
#include "common/answer_report.h"
#include "common/answer_watcher.h"
#include "common/console.h"
#include "common/output_file.h"
#include "common/process_end.h"
#include "common/builder_program.h"
#include "gwinspect/findings_output.h"
#include "gwinspect/subcommand_line.h"
#include "gwinspect/subcommands.h"
#include "inspect/printable_text.h"
#include "dialogues/morvek.h"
#include "platform/platform.h"
#include "dialogues/quillet.h"

namespace gwinspect {
namespace {

constexpr int kErrorsFound = 1;

constexpr SubcommandUsage kTry = {
    "try", "usage: gwinspect try ANSWERS --as morvek|cindral|quillet\n",
    "Runs the builder's dialogue on the answers file ANSWERS (- for standard\n"
    "input) without writing anything, and reports each answer line whose rest\n"
    "is discarded, each title cut to its 80 characters, and where and why the\n"
    "session stops, or that the answers make a complete file.\n"
    "  --as morvek|cindral|quillet   the builder whose questions the answers answer\n"
    "Exit status: 0 complete without errors, 1 errors, 2 the answers could not be tried.\n"};

constexpr ValueOption kOptions[] = {{"--as", "--as needs morvek, cindral or quillet"}};

struct Builder {
  std::string_view name;
  common::Dialogue dialogue;
};

constexpr Builder kBuilders[] = {
    {"morvek", dialogues::morvek::run_dialogue},
    {"cindral", dialogues::cindral::run_dialogue},
    {"quillet", dialogues::quillet::run_dialogue},
};

// The whole of `path` ("-": standard input), or the errno that stopped it.
std::optional<std::string> read_answers(const std::string& path, int& error) {
  error = 0;
  int fd = platform::kStandardInput;
  if (path != "-") {
    fd = platform::open_for_reading(path, error);
    if (fd < 0) return std::nullopt;
  }
  std::string bytes;
  char block[64 * 1024];
  for (;;) {
    const std::size_t n = platform::read_some(fd, block, sizeof block, error);
    if (n == 0) break;
    bytes.append(block, n);
  }
  if (path != "-") platform::close(fd);
  if (error != 0) return std::nullopt;
  return bytes;
}

// "FILE:LINE:COL: " (each part only when known).
std::string place(std::string_view file, std::int64_t line, std::int64_t column) {
  std::string text = inspect::printable(file);
  if (line > 0) {
    text += ':' + std::to_string(line);
    if (column > 0) text += ':' + std::to_string(column);
  }
  return text + ": ";
}

// One warning a line whose rest the dialogue passes over.
class DiscardedRests final : public common::AnswerWatcher {
 public:
  explicit DiscardedRests(std::string_view file) : file_(file) {}

  void rest_discarded(const common::DiscardedRest& d) override {
    std::string line = place(file_, d.line, d.column) + "warning: ";
    const std::string rest = common::quoted_answer(d.rest);
    if (d.text_length > 0) {
      line += "the answer to \"" + std::string(d.question) + "\" is cut to its " +
              std::to_string(d.text_length) + " characters; " + rest + " is discarded";
    } else if (d.answer.empty()) {
      line += rest + " is discarded after the null answer to \"" + std::string(d.question) + "\"";
    } else {
      line += rest + " is discarded after the answer " + common::quoted_answer(d.answer) +
              " to \"" + std::string(d.question) + "\"";
    }
    lines_ += inspect::printable(line);
    lines_ += '\n';
  }

  std::string& lines() { return lines_; }

 private:
  std::string_view file_;
  std::string lines_;
};

}  // namespace

int run_try(std::span<char* const> arguments) {
  answer_help(kTry, arguments);
  const Builder* builder = nullptr;
  OneOperand operand{"one ANSWERS file only"};
  ArgumentReader reader(arguments, kOptions, operand);
  for (Argument argument; reader.next(argument);) {
    if (argument.kind == Argument::Kind::Refused) return usage_error(kTry, argument.text);
    builder = nullptr;
    for (const Builder& b : kBuilders) {
      if (b.name == argument.text) builder = &b;
    }
    if (builder == nullptr) {
      return usage_error(kTry, "--as takes morvek, cindral or quillet, not '" + argument.text + "'");
    }
  }
  if (!operand.given) return usage_error(kTry, "the answers file is missing");
  const std::string& path = operand.text;
  // Answers do not say which builder they are for: the first answers of one
  // builder read as well as another's.
  if (builder == nullptr) return usage_error(kTry, "--as is required: the answers do not name their builder");

  int error = 0;
  const std::optional<std::string> answers = read_answers(path, error);
  if (!answers) {
    std::cerr << "gwinspect try: error: " << inspect::printable(path)
              << " cannot be read: " << std::strerror(error) << "\n";
    return kFailed;
  }

  const std::string_view file = path == "-" ? std::string_view("<stdin>") : std::string_view(path);
  DiscardedRests findings(file);
  common::Console console(*answers, common::Console::kNullSink);
  console.watch_answers(&findings);
  common::OutputFile output(common::OutputFile::Writes::Nowhere);
  const common::SessionEnd end =
      common::run_in_process([&] { builder->dialogue(console, output); });

  std::string out = std::move(findings.lines());
  bool errors = false;
  switch (end.kind) {
    case common::SessionEnd::Kind::Stop: {
      // Lines after the last answer are not read: the answers are one
      // answer or more ahead of the questions, or another builder's.
      if (const std::int64_t unread = console.next_unread_line(); unread > 0) {
        out += place(file, unread, 0) +
               "warning: the dialogue ends before this line; it and the lines after it are not read\n";
      }
      out += place(file, 0, 0) + "note: the answers make a complete " + output.name() + "\n";
      break;
    }
    case common::SessionEnd::Kind::RuntimeError: {
      errors = true;
      if (end.answer && end.answer->at_end) {
        out += place(file, end.answer->line, 0) + "error: the answers end before \"" +
               inspect::printable(end.answer->question) + "\" is answered (run-time error F" +
               std::to_string(end.code) + ")\n";
      } else if (end.answer) {
        out += place(file, end.answer->line, end.answer->column) + "error: run-time error F" +
               std::to_string(end.code) + ": " + inspect::printable(end.answer->message) + "\n";
      } else {
        out += place(file, console.last_answer_line(), console.last_answer_column()) +
               "error: run-time error F" + std::to_string(end.code) + "\n";
      }
      break;
    }
    case common::SessionEnd::Kind::Refusal: {
      errors = true;
      std::string_view line = end.standard_error;
      while (!line.empty() && line.back() == '\n') line.remove_suffix(1);
      out += place(file, console.last_answer_line(), console.last_answer_column()) + "error: " +
             inspect::printable(line) + "\n";
      break;
    }
  }
  if (!write_findings("try", out)) return kFailed;
  return errors ? kErrorsFound : kDone;
}

}  // namespace gwinspect
