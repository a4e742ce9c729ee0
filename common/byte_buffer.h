// Bytes waiting to be handed to the system. Callers write straight into the
// room at its end and flush it when it holds enough; it grows only when a
// single piece is larger than the room left.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace common {

// How many bytes the console and the output file gather before they hand
// them to the system: few, large writes. Their buffers hold twice as much,
// so that a record or a line that comes on top seldom makes them grow.
constexpr std::size_t kFlushThreshold = 64 * 1024;

class ByteBuffer {
 public:
  explicit ByteBuffer(std::size_t capacity)
      : data_(std::make_unique_for_overwrite<char[]>(capacity)), capacity_(capacity) {}

  // Room for at least `count` more bytes at the end; commit() what was used.
  char* room(std::size_t count) {
    if (capacity_ - size_ < count) grow(size_ + count);
    return data_.get() + size_;
  }
  void commit(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }

  void append(const char* bytes, std::size_t count) {
    copy_bytes(room(count), bytes, count);
    size_ += count;
  }

  // memcpy, with the short copies that make up most console lines and
  // records done in place rather than by a call: two overlapping moves of
  // 16 (or 8) bytes cover any length up to 32 (or 16).
  static void copy_bytes(char* to, const char* from, std::size_t count) {
    if (count >= 16 && count <= 32) {
      std::memcpy(to, from, 16);
      std::memcpy(to + count - 16, from + count - 16, 16);
    } else if (count >= 8 && count < 16) {
      std::memcpy(to, from, 8);
      std::memcpy(to + count - 8, from + count - 8, 8);
    } else {
      std::memcpy(to, from, count);
    }
  }
  void append(std::string_view bytes) { append(bytes.data(), bytes.size()); }
  void push_back(char c) {
    *room(1) = c;
    ++size_;
  }

  const char* data() const { return data_.get(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear() { size_ = 0; }

 private:
  void grow(std::size_t needed) {
    std::size_t capacity = capacity_ * 2 > needed ? capacity_ * 2 : needed;
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_;
};

}  // namespace common
