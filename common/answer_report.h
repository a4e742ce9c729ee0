// The one message line of the run-time error report for an answer that
// cannot be read: what is wrong, the answer as read, the question it
// answered and, for answers from a file or a pipe, its line there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace common {

// How much of a long answer the message quotes, in bytes of the answer.
constexpr std::size_t kQuotedAnswerLength = 40;

struct FailedAnswer {
  std::string_view condition;  // what is wrong with it
  std::string_view answer;     // the token as read; empty when there is none
  std::string_view question;   // the prompt's text or the cell; empty for none
  // The line of the answers it stands on; for the end of input, the number
  // of lines there were. -1 for typed answers and where no line applies.
  std::int64_t line = -1;
  bool at_end = false;
};

// "<condition>: '<answer>' for "<question>" (answers line N)"; the parts
// that do not apply are left out.
std::string failed_answer_message(const FailedAnswer& failed);

// The answer between the quotes: bytes that are not printable ASCII (and
// the backslash) escaped as \xHH (\\), cut after kQuotedAnswerLength bytes
// with "...".
std::string quoted_answer(std::string_view answer);

// A prompt line as the message names it: without its leading and trailing
// blanks.
std::string_view question_of_prompt(std::string_view prompt);

}  // namespace common
