// What a watched console tells of the answers it reads: the bytes of an
// answer's line that the read passes over. A script that writes answers
// finds there an answer that went onto the wrong line ("42,17": the 17 is
// lost, and every later answer answers the question before its own).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace common {

struct DiscardedRest {
  std::int64_t line = 0;    // of the answers, from 1
  std::int64_t column = 0;  // of the first byte of `rest`, from 1
  // What is lost: for a number, the line after the answer, past the
  // separators and blanks in front; for a text, the bytes beyond its
  // field. Trailing blanks left out; never empty.
  std::string_view rest;
  std::string_view question;  // what the answer answered
  std::string_view answer;    // the number's token as read; empty for a null answer or a text
  std::size_t text_length = 0;  // the field of a text answer; 0 for a number
};

class AnswerWatcher {
 public:
  virtual void rest_discarded(const DiscardedRest& discarded) = 0;

 protected:
  ~AnswerWatcher() = default;
};

}  // namespace common
