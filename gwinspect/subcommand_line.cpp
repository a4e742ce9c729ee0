#include "gwinspect/subcommand_line.h"

#include <iostream>

#include "gwinspect/subcommand_help.h"
#include "gwinspect/subcommands.h"

namespace gwinspect {

int usage_error(const SubcommandUsage& subcommand, std::string_view message) {
  std::cerr << "gwinspect " << subcommand.name << ": " << message << "\n" << subcommand.usage;
  return kFailed;
}

void answer_help(const SubcommandUsage& subcommand, std::span<char* const> arguments) {
  if (asks_for_help(arguments)) show_help(subcommand.name, std::string(subcommand.usage).append(subcommand.help));
}

bool ArgumentReader::next(Argument& argument) {
  for (;;) {
    if (next_ == arguments_.size()) return false;
    const std::string_view text = arguments_[next_++];
    argument.option = nullptr;
    for (const ValueOption& option : options_) {
      std::string_view value;
      if (text == option.name || (!option.short_name.empty() && text == option.short_name)) {
        if (next_ == arguments_.size()) {
          argument.kind = Argument::Kind::Refused;
          argument.text = option.needs_value;
          return true;
        }
        value = arguments_[next_++];
      } else if (text.starts_with(option.name) && text.size() > option.name.size() &&
                 text[option.name.size()] == '=') {
        value = text.substr(option.name.size() + 1);
      } else if (!option.short_name.empty() && text.starts_with(option.short_name) &&
                 text.size() > option.short_name.size()) {
        value = text.substr(option.short_name.size());
      } else {
        continue;
      }
      argument.kind = Argument::Kind::Option;
      argument.option = &option;
      argument.text = value;
      return true;
    }
    if (text.starts_with("-") && text.size() > 1) {
      argument.kind = Argument::Kind::Refused;
      argument.text = "unknown option " + std::string(text);
      return true;
    }
    if (operand_.given) {
      argument.kind = Argument::Kind::Refused;
      argument.text = operand_.only_one;
      return true;
    }
    operand_.text = text;
    operand_.given = true;
  }
}

}  // namespace gwinspect
