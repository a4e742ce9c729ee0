// The answers file being written: one answer a line, each followed by a
// short note of what it answers ("3    layers"), which the builders discard
// with the rest of the line. Buffered; written to a file descriptor.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace gwinspect {

class AnswerWriter {
 public:
  explicit AnswerWriter(int fd) : fd_(fd) { buffer_.reserve(kFlushAt + 1024); }
  ~AnswerWriter() = default;

  // A line that is the answer whole (a title): no note.
  void text_line(std::string_view text);

  // An answer and its note, written in pieces: answer(...).note(...)...end().
  AnswerWriter& answer(std::string_view value) {
    buffer_ += value;
    buffer_ += "    ";
    return *this;
  }
  AnswerWriter& note(std::string_view text) {
    buffer_ += text;
    return *this;
  }
  AnswerWriter& note(std::int64_t number) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, number);
    buffer_.append(digits, result.ptr);
    return *this;
  }
  void end() {
    buffer_ += '\n';
    if (buffer_.size() >= kFlushAt) flush();
  }

  // Hands everything to the system; throws WriteError when it cannot.
  void flush();

 private:
  static constexpr std::size_t kFlushAt = 64 * 1024;
  int fd_;
  std::string buffer_;
};

// Standard output could not be written (closed, full, a reader that left).
struct WriteError {
  int error_number;
};

}  // namespace gwinspect
