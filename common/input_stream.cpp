#include "common/input_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/end_signals.h"
#include "format/error_codes.h"

namespace common {
namespace {

constexpr std::size_t kBlock = 64 * 1024;
// A typed line holds at most 130 characters plus its line end.
constexpr std::size_t kTypedLineLimit = 130;

}  // namespace

InputStream::InputStream(int fd, bool terminal, std::function<void()> before_wait)
    : fd_(fd), before_wait_(std::move(before_wait)), buffer_(kBlock) {
  if (terminal) {
    kind_ = Kind::Terminal;
    return;
  }
  switch (platform::input_kind(fd)) {
    case platform::InputKind::File:
      base_ = platform::offset_of(fd);
      kind_ = Kind::File;
      break;
    case platform::InputKind::Pipe:
      if (pipe_.open(fd)) kind_ = Kind::Pipe;
      break;
    case platform::InputKind::Other:
      break;  // closed, say: the first read reports why
  }
}

InputStream::InputStream(std::string_view bytes)
    : fd_(-1), kind_(Kind::Memory), buffer_(bytes.begin(), bytes.end()), end_(bytes.size()) {}

InputStream::~InputStream() = default;

std::size_t InputStream::read_some(char* into, std::size_t room) {
  if (kind_ != Kind::File && before_wait_) before_wait_();
  // A read that fails ends the input here; the report says why.
  return platform::read_some(fd_, into, room, read_error_);
}

int InputStream::refill() {
  if (at_end_) return kEnd;
  switch (kind_) {
    case Kind::Memory:
      at_end_ = true;  // all of it was in the buffer from the start
      return kEnd;
    case Kind::Terminal: return refill_terminal_line();
    case Kind::Pipe: return refill_pipe();
    default: return refill_block();
  }
}

int InputStream::refill_block() {
  forget_counted(end_);
  if (kind_ == Kind::File) {
    platform::end_signals::Held held;  // the offset of the block and its length change together
    base_ += static_cast<std::int64_t>(end_);
    pos_ = 0;
    end_ = 0;
    end_ = read_some(buffer_.data(), buffer_.size());
  } else {
    pos_ = 0;
    end_ = read_some(buffer_.data(), buffer_.size());
  }
  if (end_ == 0) {
    at_end_ = true;
    return kEnd;
  }
  return static_cast<unsigned char>(buffer_[0]);
}

// Collects one typed line, checking its length as it arrives so that no
// more than one line's worth is ever held.
int InputStream::refill_terminal_line() {
  forget_counted(end_);
  pos_ = 0;
  end_ = 0;
  for (;;) {
    std::size_t n = read_some(buffer_.data() + end_, buffer_.size() - end_);
    if (n == 0) {  // Ctrl-D: the end of input, or of a line without line end
      if (end_ == 0) {
        at_end_ = true;
        return kEnd;
      }
      break;
    }
    end_ += n;
    const char* newline = static_cast<const char*>(std::memchr(buffer_.data(), '\n', end_));
    std::size_t length = newline ? static_cast<std::size_t>(newline - buffer_.data()) : end_;
    while (length > 0 && buffer_[length - 1] == '\r') --length;  // CRs at the end belong to the line end
    if (length > kTypedLineLimit) throw AnswerError{format::errors::kTypedLineTooLong};
    if (newline) {
      end_ = static_cast<std::size_t>(newline - buffer_.data()) + 1;  // one line at a time
      break;
    }
  }
  std::size_t length = end_;
  while (length > 0 && (buffer_[length - 1] == '\n' || buffer_[length - 1] == '\r')) --length;
  if (length > 0 && buffer_[length - 1] == kCtrlZ) throw AnswerError{format::errors::kEndOfInput};
  return static_cast<unsigned char>(buffer_[0]);
}

int InputStream::peek_next() {
  if (pos_ + 1 < end_) return static_cast<unsigned char>(buffer_[pos_ + 1]);
  // A typed line is always whole; given bytes are all there.
  if (kind_ == Kind::Terminal || kind_ == Kind::Memory || at_end_) return kEnd;
  if (kind_ == Kind::Pipe) {
    // The current byte stays in the pipe: it may begin a line that this run
    // does not use.
    keep_from(pos_);
    if (before_wait_) before_wait_();
    if (!look_into_pipe() || end_ < 2) {
      at_end_ = true;
      return kEnd;
    }
    return static_cast<unsigned char>(buffer_[1]);
  }
  // Keep the current byte, read more behind it.
  forget_counted(pos_);
  std::size_t n = 0;
  {
    platform::end_signals::Held held;
    base_ += static_cast<std::int64_t>(pos_);
    buffer_[0] = buffer_[pos_];
    pos_ = 0;
    end_ = 1;
    n = read_some(buffer_.data() + 1, buffer_.size() - 1);
    end_ += n;
  }
  if (n == 0) {
    at_end_ = true;
    return kEnd;
  }
  return static_cast<unsigned char>(buffer_[1]);
}

std::int64_t InputStream::line_number() {
  if (kind_ == Kind::Terminal) return 0;
  count_lines_before(std::min(pos_, end_));
  return line_ends_ + 1;
}

std::int64_t InputStream::column() const {
  const std::size_t at = std::min(pos_, end_);
  for (std::size_t i = at; i > 0; --i) {
    if (buffer_[i - 1] == '\n') return static_cast<std::int64_t>(at - i) + 1;
  }
  return column_base_ + static_cast<std::int64_t>(at) + 1;
}

void InputStream::count_lines_before(std::size_t at) {
  if (at <= counted_) return;
  line_ends_ += std::count(buffer_.data() + counted_, buffer_.data() + at, '\n');
  counted_ = at;
}

// Called before buffer_[at] moves to buffer_[0] (or, with `at` == end_, the
// buffer is refilled).
void InputStream::forget_counted(std::size_t at) {
  count_lines_before(at);
  if (at > 0) {
    before_buffer_ends_line_ = buffer_[at - 1] == '\n';
    std::size_t line_start = at;
    while (line_start > 0 && buffer_[line_start - 1] != '\n') --line_start;
    column_base_ = line_start > 0 ? static_cast<std::int64_t>(at - line_start)
                                  : column_base_ + static_cast<std::int64_t>(at);
  }
  counted_ = 0;
}

void InputStream::skip_line() {
  for (;;) {
    if (pos_ >= end_ && refill() == kEnd) return;
    const char* start = buffer_.data() + pos_;
    const void* newline = std::memchr(start, '\n', end_ - pos_);
    if (newline) {
      pos_ += static_cast<std::size_t>(static_cast<const char*>(newline) - start) + 1;
      return;
    }
    pos_ = end_;
  }
}

void InputStream::give_back_unread() {
  platform::end_signals::Held held;
  give_back_from(pos_);
}

void InputStream::give_back_at_signal(bool rest_of_line_used) noexcept {
  std::size_t at = std::min(pos_, end_);
  if (rest_of_line_used) {
    if (const void* newline = std::memchr(buffer_.data() + at, '\n', end_ - at)) {
      at = static_cast<std::size_t>(static_cast<const char*>(newline) - buffer_.data()) + 1;
    }
  }
  give_back_from(at);
}

// A file's offset is set to the byte at `at`; a pipe gives up the bytes
// before it.
void InputStream::give_back_from(std::size_t at) noexcept {
  if (kind_ == Kind::File) {
    platform::set_offset(fd_, base_ + static_cast<std::int64_t>(at));
  } else if (kind_ == Kind::Pipe) {
    take_from_pipe(at);
  }
}

// ---- Pipes ------------------------------------------------------------------
//
// The pipe window copies the bytes waiting in standard input into the
// buffer without taking them out. Standard input itself is read only for
// bytes that were used, with reads of exactly their length, into the very
// buffer places that already hold them. So a run leaves in the pipe every
// line it did not use.

// Everything before `from` is used: takes it out of the pipe and moves the
// rest to the start of the buffer.
void InputStream::keep_from(std::size_t from) {
  forget_counted(from);
  platform::end_signals::Held held;
  take_from_pipe(from);
  std::memmove(buffer_.data(), buffer_.data() + from, end_ - from);
  end_ -= from;
  pos_ -= from;
  taken_ = 0;
}

// Reads exactly the bytes up to `upto` out of standard input; they are
// there, since their copy was seen.
void InputStream::take_from_pipe(std::size_t upto) noexcept {
  while (taken_ < upto) {
    int error = 0;
    std::size_t n = platform::read_some(fd_, buffer_.data() + taken_, upto - taken_, error);
    if (n == 0) return;  // another reader took them
    taken_ += n;
  }
}

// With taken_ == 0 (the pipe begins at buffer_[0]) and end_ bytes seen:
// copies what waits in the pipe into the buffer, once there is more than
// that. False when nothing more will come.
bool InputStream::look_into_pipe() {
  const long n = pipe_.look(buffer_.data(), buffer_.size(), end_);
  if (n == platform::PipeWindow::kCannotLook) {  // read on in blocks
    give_up_looking();
    std::size_t got = read_some(buffer_.data() + end_, buffer_.size() - end_);
    end_ += got;
    return got > 0;
  }
  if (n == 0) return false;
  end_ = static_cast<std::size_t>(n);  // the bytes up to the old end are the same ones again
  return true;
}

// The pipe is read like any other input from now on; the bytes seen so far
// are taken out of it first.
void InputStream::give_up_looking() {
  {
    platform::end_signals::Held held;
    take_from_pipe(end_);
    taken_ = 0;
  }
  kind_ = Kind::Other;
}

int InputStream::refill_pipe() {
  keep_from(pos_);  // all used: pos_ == end_
  if (before_wait_) before_wait_();
  if (!look_into_pipe()) {
    at_end_ = true;
    return kEnd;
  }
  return static_cast<unsigned char>(buffer_[0]);
}

}  // namespace common
