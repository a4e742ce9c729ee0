// The command line of a subcommand: options that take a value and
// operands, read in the order given so that the first thing wrong is the
// one said, and the usage error every subcommand ends a bad one with.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace gwinspect {

// What a subcommand says about itself: its name, its usage line and what
// --help adds to it.
struct SubcommandUsage {
  std::string_view name;   // "check"
  std::string_view usage;  // "usage: gwinspect check ...\n"
  std::string_view help;
};

// "gwinspect NAME: MESSAGE" and the usage line on standard error; returns
// the status of a command that could not be done (kFailed).
int usage_error(const SubcommandUsage& subcommand, std::string_view message);

// With --help or -h anywhere among `arguments`, shows the usage and the
// help and ends the process (show_help); returns otherwise.
void answer_help(const SubcommandUsage& subcommand, std::span<char* const> arguments);

// An option that takes a value: "--as VALUE" or "--as=VALUE"; with a short
// name also "-o VALUE" or "-oVALUE".
struct ValueOption {
  std::string_view name;              // "--as"
  std::string_view needs_value;       // the usage error when no value follows
  std::string_view short_name = {};   // "-o", or none
};

// The one operand a subcommand takes (a file or a folder), kept by its
// ArgumentReader: a second is refused with `only_one`.
struct OneOperand {
  explicit OneOperand(std::string_view refusal) : only_one(refusal) {}
  std::string_view only_one;  // "one DIR only"
  std::string text;
  bool given = false;
};

// One option as the subcommand reads it, or the refusal of an argument.
struct Argument {
  enum class Kind {
    Option,   // `option` with its value in `text`
    Refused,  // an unknown option, an option without its value or a second operand: `text` says which
  };
  Kind kind = Kind::Option;
  const ValueOption* option = nullptr;
  std::string text;
};

// Reads a subcommand's arguments one by one. Anything else that starts
// with "-" (but "-" alone, which names standard input or output) is an
// unknown option; anything else again is the operand.
class ArgumentReader {
 public:
  ArgumentReader(std::span<char* const> arguments, std::span<const ValueOption> options, OneOperand& operand)
      : arguments_(arguments), options_(options), operand_(operand) {}

  // The next option or refusal into `argument`, the operand kept on the
  // way; false when there is none left.
  bool next(Argument& argument);

 private:
  std::span<char* const> arguments_;
  std::span<const ValueOption> options_;
  OneOperand& operand_;
  std::size_t next_ = 0;
};

}  // namespace gwinspect
