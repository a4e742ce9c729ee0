#include "common/answer_report.h"

#include <cstdio>

namespace common {

std::string quoted_answer(std::string_view answer) {
  const bool cut = answer.size() > kQuotedAnswerLength;
  if (cut) answer = answer.substr(0, kQuotedAnswerLength);
  std::string text;
  text.reserve(answer.size() + 3);
  for (const char c : answer) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      text += "\\\\";
    } else if (byte >= 0x20 && byte < 0x7F) {
      text += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      text += escaped;
    }
  }
  if (cut) text += "...";
  return text;
}

std::string_view question_of_prompt(std::string_view prompt) {
  const std::size_t first = prompt.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return prompt.substr(first, prompt.find_last_not_of(' ') + 1 - first);
}

std::string failed_answer_message(const FailedAnswer& failed) {
  std::string message(failed.condition);
  if (!failed.answer.empty()) {
    message += ": '";
    message += quoted_answer(failed.answer);
    message += "'";
  }
  if (!failed.question.empty()) {
    message += " for \"";
    message += failed.question;
    message += "\"";
  }
  if (failed.line >= 0) {
    if (!failed.at_end) {
      message += " (answers line " + std::to_string(failed.line) + ")";
    } else if (failed.line == 0) {
      message += " (the answers are empty)";
    } else {
      message += " (answers end after line " + std::to_string(failed.line) + ")";
    }
  }
  return message;
}

}  // namespace common
