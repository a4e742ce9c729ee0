// What goes wrong when a file is read back: where (line and column, both
// counted from 1) and what was expected there and what was found.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace inspect {

class ReadError : public std::runtime_error {
 public:
  ReadError(std::int64_t line, std::int64_t column, const std::string& message)
      : std::runtime_error(message), line_(line), column_(column) {}

  std::int64_t line() const { return line_; }
  std::int64_t column() const { return column_; }

 private:
  std::int64_t line_;
  std::int64_t column_;
};

// A short, printable quotation of bytes found in a file: control and
// non-ASCII bytes as \xHH, cut after `most` bytes with "...".
std::string quoted(std::string_view bytes, std::size_t most = 24);

}  // namespace inspect
