#include "input_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "error_codes.h"

namespace builders {
namespace {

constexpr std::size_t kBlock = 64 * 1024;
// A typed line holds at most 130 characters plus its line end.
constexpr std::size_t kTypedLineLimit = 130;
constexpr char kCtrlZ = 0x1A;

}  // namespace

InputStream::InputStream(int fd, bool terminal, std::function<void()> before_wait)
    : fd_(fd), terminal_(terminal), before_wait_(std::move(before_wait)), buffer_(kBlock) {
  struct stat st {};
  regular_file_ = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

std::size_t InputStream::read_some(char* into, std::size_t room) {
  if (!regular_file_ && before_wait_) before_wait_();
  for (;;) {
    ssize_t n = ::read(fd_, into, room);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return 0;  // an unreadable input ends like its end
  }
}

int InputStream::refill() {
  if (at_end_) return kEnd;
  if (terminal_) return refill_terminal_line();
  pos_ = 0;
  end_ = read_some(buffer_.data(), buffer_.size());
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
    if (length > 0 && buffer_[length - 1] == '\r') --length;
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
  if (terminal_ || at_end_) return kEnd;  // a typed line is always whole
  // Keep the current byte, read more behind it.
  buffer_[0] = buffer_[pos_];
  pos_ = 0;
  end_ = 1;
  std::size_t n = read_some(buffer_.data() + 1, buffer_.size() - 1);
  if (n == 0) {
    at_end_ = true;
    return kEnd;
  }
  end_ += n;
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
  if (!regular_file_ || pos_ >= end_) return;
  if (::lseek(fd_, -static_cast<off_t>(end_ - pos_), SEEK_CUR) >= 0) {
    pos_ = end_;
  }
}

}  // namespace builders
