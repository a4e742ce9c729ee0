// Standard input as a stream of bytes, read in large blocks.
//
// At a terminal, input comes a typed line at a time; a line of more than 130
// characters, or one ending in Ctrl-Z, ends the run (the caller reports it).
// Before any read that may wait for the user, `before_wait` is called so that
// everything written so far is handed to the system first.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace builders {

class InputStream {
 public:
  static constexpr int kEnd = -1;

  // `terminal`: the typed-line rules apply. `before_wait` runs before every
  // read() that may block (not before reads of a regular file).
  InputStream(int fd, bool terminal, std::function<void()> before_wait);

  // The current byte, or kEnd at the end of input. Throws AnswerError for a
  // typed line that breaks the terminal rules.
  int peek() { return pos_ < end_ ? static_cast<unsigned char>(buffer_[pos_]) : refill(); }
  // The byte after the current one (the stream must not be at its end).
  int peek_next();
  void advance() { ++pos_; }

  // The bytes already read and not yet consumed; looking never reads.
  std::string_view buffered() const { return {buffer_.data() + pos_, end_ - pos_}; }
  // Consumes `count` bytes of what buffered() showed.
  void advance(std::size_t count) { pos_ += count; }

  // Skips past the end of the current line (or to the end of input).
  void skip_line();

  // Sets a regular file's offset back to the first byte not yet consumed, so
  // another program can go on reading where this one stopped.
  void give_back_unread();

  bool regular_file() const { return regular_file_; }

 private:
  int refill();
  int refill_terminal_line();
  std::size_t read_some(char* into, std::size_t room);

  int fd_;
  bool terminal_;
  bool regular_file_ = false;
  bool at_end_ = false;
  std::function<void()> before_wait_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

// An answer that cannot be read; carries the run-time error number.
struct AnswerError {
  int code;
};

}  // namespace builders
