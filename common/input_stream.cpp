#include "input_stream.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "end_signals.h"
#include "error_codes.h"

namespace builders {
namespace {

constexpr std::size_t kBlock = 64 * 1024;
// A typed line holds at most 130 characters plus its line end.
constexpr std::size_t kTypedLineLimit = 130;

// A descriptor above the standard ones, so that a standard stream closed at
// start is never taken by this program's own pipe.
int above_standard_streams(int fd) {
  if (fd < 0 || fd > STDERR_FILENO) return fd;
  int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  ::close(fd);
  return moved;
}

}  // namespace

InputStream::InputStream(int fd, bool terminal, std::function<void()> before_wait)
    : fd_(fd), before_wait_(std::move(before_wait)), buffer_(kBlock) {
  struct stat st {};
  if (terminal) {
    kind_ = Kind::Terminal;
  } else if (fstat(fd, &st) != 0) {
    kind_ = Kind::Other;  // closed: the first read reports why
  } else if (S_ISREG(st.st_mode)) {
    base_ = ::lseek(fd, 0, SEEK_CUR);
    kind_ = base_ >= 0 ? Kind::File : Kind::Other;
  } else if (S_ISFIFO(st.st_mode) && open_copy_pipe()) {
    kind_ = Kind::Pipe;
  }
}

InputStream::~InputStream() {
  for (int fd : {copy_read_, copy_write_}) {
    if (fd >= 0) ::close(fd);
  }
}

std::size_t InputStream::read_some(char* into, std::size_t room) {
  if (kind_ != Kind::File && before_wait_) before_wait_();
  for (;;) {
    ssize_t n = ::read(fd_, into, room);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno == EINTR) continue;
    if (errno == EAGAIN) {  // standard input was left non-blocking
      wait_until_readable();
      continue;
    }
    read_error_ = errno;  // the input ends here; the report says why
    return 0;
  }
}

void InputStream::wait_until_readable() {
  struct pollfd watch {fd_, POLLIN, 0};
  while (::poll(&watch, 1, -1) < 0 && errno == EINTR) {
  }
}

int InputStream::refill() {
  if (at_end_) return kEnd;
  switch (kind_) {
    case Kind::Terminal: return refill_terminal_line();
    case Kind::Pipe: return refill_pipe();
    default: return refill_block();
  }
}

int InputStream::refill_block() {
  if (kind_ == Kind::File) {
    end_signals::Held held;  // the offset of the block and its length change together
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
    if (length > kTypedLineLimit) throw AnswerError{errors::kTypedLineTooLong};
    if (newline) {
      end_ = static_cast<std::size_t>(newline - buffer_.data()) + 1;  // one line at a time
      break;
    }
  }
  std::size_t length = end_;
  while (length > 0 && (buffer_[length - 1] == '\n' || buffer_[length - 1] == '\r')) --length;
  if (length > 0 && buffer_[length - 1] == kCtrlZ) throw AnswerError{errors::kEndOfInput};
  return static_cast<unsigned char>(buffer_[0]);
}

int InputStream::peek_next() {
  if (pos_ + 1 < end_) return static_cast<unsigned char>(buffer_[pos_ + 1]);
  if (kind_ == Kind::Terminal || at_end_) return kEnd;  // a typed line is always whole
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
  std::size_t n = 0;
  {
    end_signals::Held held;
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
  end_signals::Held held;
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
    ::lseek(fd_, static_cast<off_t>(base_ + static_cast<std::int64_t>(at)), SEEK_SET);
  } else if (kind_ == Kind::Pipe) {
    take_from_pipe(at);
  }
}

// ---- Pipes ------------------------------------------------------------------
//
// tee() copies the bytes waiting in standard input into a second pipe of
// this program's own without taking them out; they are read from that copy
// into the buffer. Standard input itself is read only for bytes that were
// used, with reads of exactly their length, into the very buffer places that
// already hold them. So a run leaves in the pipe every line it did not use.

bool InputStream::open_copy_pipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return false;
  copy_read_ = above_standard_streams(ends[0]);
  copy_write_ = above_standard_streams(ends[1]);
  if (copy_read_ < 0 || copy_write_ < 0) return false;
  // As many slots as standard input has, so that a copy takes all that waits
  // in it (up to the buffer), however small the writes that filled it.
  int input_size = ::fcntl(fd_, F_GETPIPE_SZ);
  if (input_size > ::fcntl(copy_write_, F_GETPIPE_SZ)) ::fcntl(copy_write_, F_SETPIPE_SZ, input_size);
  return true;
}

// Everything before `from` is used: takes it out of the pipe and moves the
// rest to the start of the buffer.
void InputStream::keep_from(std::size_t from) {
  end_signals::Held held;
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
    ssize_t n = ::read(fd_, buffer_.data() + taken_, upto - taken_);
    if (n > 0) {
      taken_ += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return;  // another reader took them
    }
  }
}

// With taken_ == 0 (the pipe begins at buffer_[0]) and end_ bytes seen:
// copies what waits in the pipe into the buffer, once there is more than
// that. False when nothing more will come.
bool InputStream::look_into_pipe() {
  for (;;) {
    if (end_ > 0 && !wait_for_more_than(end_)) return false;
    ssize_t n = ::tee(fd_, copy_write_, buffer_.size(), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      wait_until_readable();
      continue;
    }
    if (n < 0) {  // no copy can be had after all: read on in blocks
      give_up_looking();
      std::size_t got = read_some(buffer_.data() + end_, buffer_.size() - end_);
      end_ += got;
      return got > 0;
    }
    if (n == 0) return false;  // the writers are gone, and nothing waits
    std::size_t copied = 0;
    while (copied < static_cast<std::size_t>(n)) {
      ssize_t got = ::read(copy_read_, buffer_.data() + copied, static_cast<std::size_t>(n) - copied);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      copied += static_cast<std::size_t>(got);
    }
    if (copied > end_) {
      end_ = copied;  // the bytes up to the old end are the same ones again
      return true;
    }
  }
}

// Whether more than `seen` bytes come to wait in the pipe; false once its
// writers are gone with no more than that in it. A pipe gives no sign when
// bytes arrive behind those already waiting, so this looks again at growing
// intervals (0.1 ms up to 50 ms). Only a line that may be the end-of-input
// mark (Ctrl-Z), arriving without its line end, is waited for this way.
bool InputStream::wait_for_more_than(std::size_t seen) {
  long pause_ns = 100'000;
  for (;;) {
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0) return false;
    if (static_cast<std::size_t>(waiting) > seen) return true;
    struct pollfd watch {fd_, POLLIN, 0};
    if (::poll(&watch, 1, 0) > 0 && (watch.revents & POLLHUP) != 0) {
      // The writers are gone; their last bytes may have come just before.
      return ::ioctl(fd_, FIONREAD, &waiting) == 0 && static_cast<std::size_t>(waiting) > seen;
    }
    struct timespec pause {0, pause_ns};
    ::nanosleep(&pause, nullptr);
    pause_ns = std::min(pause_ns * 2, 50'000'000L);
  }
}

// The pipe is read like any other input from now on; the bytes seen so far
// are taken out of it first.
void InputStream::give_up_looking() {
  {
    end_signals::Held held;
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

}  // namespace builders
