#include "answer_writer.h"

#include "platform.h"

namespace gwinspect {

void AnswerWriter::flush() {
  std::size_t written = 0;
  const std::string_view held(buffer_.data(), static_cast<std::size_t>(at_ - buffer_.data()));
  if (int error = builders::platform::write_all(fd_, held, written); error != 0) throw WriteError{error};
  at_ = buffer_.data();
}

}  // namespace gwinspect
