// Small builders of expected bytes, shared by the tests: fields are written
// out as blanks and digits, records end in CR LF, answers one a line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

inline std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

inline std::string repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// How many times `what` stands in `text`, overlaps counted.
inline std::size_t count(std::string_view text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Records as they lie in a file: each one ends in CR LF.
inline std::string records(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

// One answer per line, as typed.
inline std::string answers(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

// The same text with CR LF line ends instead of LF.
inline std::string with_crlf(std::string_view lf_text) {
  std::string out;
  for (char c : lf_text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace testing_support
