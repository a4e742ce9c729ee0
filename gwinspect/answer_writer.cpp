#include "answer_writer.h"

#include <unistd.h>

#include <cerrno>

namespace gwinspect {

void AnswerWriter::text_line(std::string_view text) {
  buffer_ += text;
  buffer_ += '\n';
}

void AnswerWriter::flush() {
  const char* p = buffer_.data();
  std::size_t left = buffer_.size();
  while (left > 0) {
    ssize_t n = ::write(fd_, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw WriteError{n < 0 ? errno : EIO};
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  buffer_.clear();
}

}  // namespace gwinspect
