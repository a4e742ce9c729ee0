#include "answers/answer_writer.h"

#include <cerrno>

#include "platform/write_all.h"

namespace answers {

void AnswerWriter::flush() {
  const std::size_t held = static_cast<std::size_t>(at_ - buffer_.data());
  const platform::Written written = platform::write_all(fd_, buffer_.data(), held);
  if (written.count < held) throw WriteError{written.error != 0 ? written.error : EIO};
  at_ = buffer_.data();
}

}  // namespace answers
