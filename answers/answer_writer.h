// The answers file being written: one answer a line, each followed by a
// short note of what it answers ("3    layers"), which the builders discard
// with the rest of the line. Buffered; written to a file descriptor.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace answers {

class AnswerWriter {
 public:
  explicit AnswerWriter(int fd) : fd_(fd), buffer_(kFlushAt + kLongestLine) { at_ = buffer_.data(); }

  // A line that is the answer whole (a title): no note.
  void text_line(std::string_view text) {
    make_room();
    put(text);
    *at_++ = '\n';
  }

  // An answer and its note, written in pieces: answer(...).note(...)...end().
  // A line holds at most kLongestLine bytes (answers and notes are short).
  AnswerWriter& answer(std::string_view value) {
    make_room();
    put(value);
    std::memcpy(at_, "    ", 4);
    at_ += 4;
    return *this;
  }
  AnswerWriter& note(std::string_view text) {
    put(text);
    return *this;
  }
  AnswerWriter& note(std::int64_t number) {
    at_ = std::to_chars(at_, at_ + 24, number).ptr;
    return *this;
  }
  void end() { *at_++ = '\n'; }

  // Hands everything to the system; throws WriteError when it cannot.
  void flush();

 private:
  static constexpr std::size_t kFlushAt = 64 * 1024;
  static constexpr std::size_t kLongestLine = 1024;

  void make_room() {
    if (static_cast<std::size_t>(at_ - buffer_.data()) >= kFlushAt) flush();
  }
  // (Short pieces copied inline: most are a few bytes.)
  void put(std::string_view text) {
    const std::size_t n = text.size() < kLongestLine / 2 ? text.size() : kLongestLine / 2;
    if (n <= 16 && n >= 8) {
      std::memcpy(at_, text.data(), 8);
      std::memcpy(at_ + n - 8, text.data() + n - 8, 8);
    } else if (n < 8) {
      for (std::size_t i = 0; i < n; ++i) at_[i] = text[i];
    } else {
      std::memcpy(at_, text.data(), n);
    }
    at_ += n;
  }

  int fd_;
  std::vector<char> buffer_;
  char* at_;
};

// Standard output could not be written (closed, full, a reader that left).
struct WriteError {
  int error_number;
};

}  // namespace answers
