#include "answer_writer.h"

#include <unistd.h>

#include <cerrno>

namespace gwinspect {

void AnswerWriter::flush() {
  const char* p = buffer_.data();
  std::size_t left = static_cast<std::size_t>(at_ - buffer_.data());
  while (left > 0) {
    ssize_t n = ::write(fd_, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw WriteError{n < 0 ? errno : EIO};
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  at_ = buffer_.data();
}

}  // namespace gwinspect
