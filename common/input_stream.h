// Standard input as a stream of bytes, read in large blocks.
//
// At a terminal, input comes a typed line at a time; a line of more than 130
// characters, or one ending in Ctrl-Z, ends the run (the caller reports it).
// Before any read that may wait for the user, `before_wait` is called so that
// everything written so far is handed to the system first.
//
// From a regular file or a pipe, a run takes no more than it uses: at its
// end the input is left just after the last line read, for the next program
// to read on. A file's offset is set back there; a pipe is looked at through
// a copy of what waits in it (platform::PipeWindow) and read itself only as
// far as the answers went, in large steps. Other kinds of input (a socket, a device) are read in
// blocks, and what was read ahead of the last answer is lost with the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace common {

// Ctrl-Z, the old end-of-file byte: a line that holds only it, or a typed
// line that ends in it, marks the end of input.
constexpr char kCtrlZ = 0x1A;

class InputStream {
 public:
  static constexpr int kEnd = -1;

  // `terminal`: the typed-line rules apply. `before_wait` runs before every
  // read that may block (not before reads of a regular file).
  InputStream(int fd, bool terminal, std::function<void()> before_wait);
  // The bytes given, read as from a file; nothing is read from the system.
  explicit InputStream(std::string_view bytes);
  ~InputStream();
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

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

  // Whether what this run leaves unread stays for the next program: true for
  // a regular file and a pipe. (A terminal keeps the lines not yet typed
  // for itself.)
  bool gives_back() const { return kind_ == Kind::File || kind_ == Kind::Pipe; }

  // Leaves the input just after the last byte consumed, so another program
  // can go on reading where this one stopped.
  void give_back_unread();

  // The same from a signal handler (async-signal-safe): first past the rest
  // of the current line when `rest_of_line_used` and that line's end has
  // already arrived.
  void give_back_at_signal(bool rest_of_line_used) noexcept;

  // The errno of a read that failed and so ended the input, or 0.
  int read_error() const { return read_error_; }

  // Where the input stands, for the error report of an answer from a file or
  // a pipe: the number (from 1) of the line the next byte belongs to, and
  // whether that byte begins its line. Typed input has no line numbers (0).
  // Line ends are counted only when asked and as blocks are let go, once
  // each, so the answers pay nothing for it.
  std::int64_t line_number();
  // The column (from 1) of the next byte in its line.
  std::int64_t column() const;
  bool at_line_start() const {
    return pos_ > 0 ? buffer_[pos_ - 1] == '\n' : before_buffer_ends_line_;
  }

 private:
  enum class Kind { Terminal, File, Pipe, Other, Memory };

  int refill();
  int refill_terminal_line();
  int refill_block();
  int refill_pipe();
  std::size_t read_some(char* into, std::size_t room);
  void give_back_from(std::size_t at) noexcept;
  // The bytes before `at` are let go: their line ends are counted first.
  void count_lines_before(std::size_t at);
  void forget_counted(std::size_t at);

  // Pipes: see the file's notes.
  void keep_from(std::size_t from);
  bool look_into_pipe();
  void take_from_pipe(std::size_t upto) noexcept;
  void give_up_looking();

  int fd_;
  Kind kind_ = Kind::Other;
  bool at_end_ = false;
  int read_error_ = 0;
  std::function<void()> before_wait_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  // Line ends before buffer_[counted_], and whether the byte before
  // buffer_[0] was a line end (true at the start of input).
  std::int64_t line_ends_ = 0;
  std::size_t counted_ = 0;
  bool before_buffer_ends_line_ = true;
  // The bytes of the line that buffer_[0] belongs to, before buffer_[0].
  std::int64_t column_base_ = 0;
  // A regular file: the offset of buffer_[0] in it.
  std::int64_t base_ = 0;
  // A pipe: buffer_[0, taken_) has been read out of it; buffer_[taken_,
  // end_) is still in it, as seen through the copy.
  std::size_t taken_ = 0;
  platform::PipeWindow pipe_;
};

// An answer that cannot be read; carries the run-time error number.
struct AnswerError {
  int code;
};

}  // namespace common
