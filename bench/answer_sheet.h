// The answers of one scripted session, one answer per line, as a script
// would send them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace bench {

class AnswerSheet {
 public:
  void integer(std::int64_t value) {
    text_ += std::to_string(value);
    text_ += '\n';
  }
  // A real exactly as typed ("95.5", "1.25e-3").
  void real(std::string_view typed) {
    text_ += typed;
    text_ += '\n';
  }
  void line(std::string_view text) {
    text_ += text;
    text_ += '\n';
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace bench
