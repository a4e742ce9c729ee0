#include "inspect/line_reader.h"

#include <cstring>

#include "platform/platform.h"
#include "inspect/read_error.h"

namespace inspect {
namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

}  // namespace

LineReader::LineReader(int fd) : fd_(fd), buffer_(kBufferSize) {}

void LineReader::go_to(const LinePlace& place) {
  offset_ = place.offset;
  number_ = place.number;
}

std::size_t LineReader::fill(std::size_t count) {
  const std::int64_t buffer_end = buffer_offset_ + static_cast<std::int64_t>(buffer_size_);
  if (offset_ < buffer_offset_ || offset_ > buffer_end) {
    buffer_offset_ = offset_;
    buffer_size_ = 0;
  }
  std::size_t start = static_cast<std::size_t>(offset_ - buffer_offset_);
  std::size_t available = buffer_size_ - start;
  if (available >= count) return available;
  if (start > 0) {  // keep what is left, at the front
    std::memmove(buffer_.data(), buffer_.data() + start, available);
    buffer_offset_ = offset_;
    buffer_size_ = available;
  }
  while (buffer_size_ < count && buffer_size_ < buffer_.size()) {
    int error = 0;
    const std::size_t n =
        platform::read_at(fd_, buffer_.data() + buffer_size_, buffer_.size() - buffer_size_,
                                    buffer_offset_ + static_cast<std::int64_t>(buffer_size_), error);
    if (error != 0) {
      throw ReadError(number_, 1, std::string("the file cannot be read: ") + std::strerror(error));
    }
    if (n == 0) break;
    buffer_size_ += n;
  }
  return buffer_size_;
}

bool LineReader::next(Line& line) {
  std::size_t available = fill(1);
  if (available == 0) return false;
  const char* start = buffer_.data() + (offset_ - buffer_offset_);
  auto* newline = static_cast<const char*>(std::memchr(start, '\n', available));
  if (newline == nullptr && available <= kLongestLine) {
    available = fill(kLongestLine + 2);
    start = buffer_.data() + (offset_ - buffer_offset_);
    newline = static_cast<const char*>(std::memchr(start, '\n', available));
  }
  std::size_t length = newline ? static_cast<std::size_t>(newline - start) : available;
  if (length > kLongestLine) {
    throw ReadError(number_, 1,
                    "expected a record of at most 100 columns, found a line of more than " +
                        std::to_string(kLongestLine) + " bytes");
  }
  line.number = number_;
  line.offset = offset_;
  line.has_line_end = newline != nullptr;
  std::size_t text_length = length;
  if (newline && text_length > 0 && start[text_length - 1] == '\r') --text_length;
  line.text = std::string_view(start, text_length);
  offset_ += static_cast<std::int64_t>(length) + (newline ? 1 : 0);
  ++number_;
  return true;
}

bool LineReader::skip_if_equal(std::string_view expected, std::int64_t lines) {
  if (expected.size() > buffer_.size()) return false;
  if (fill(expected.size()) < expected.size()) return false;
  const char* start = buffer_.data() + (offset_ - buffer_offset_);
  if (std::memcmp(start, expected.data(), expected.size()) != 0) return false;
  offset_ += static_cast<std::int64_t>(expected.size());
  number_ += lines;
  return true;
}

}  // namespace inspect
