#include "report/html_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <span>

#include "inspect/printable_text.h"

namespace report {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at `text[i]` (a non-ASCII lead
// byte), or 0 when it is not one: the same rule as every output's.
std::size_t utf8_sequence(std::string_view text, std::size_t i) { return inspect::utf8_sequence_length(text, i); }

// What a printable ASCII byte or a tab becomes in one kind of output; a
// byte not listed stays as it is.
struct Escape {
  char byte;
  std::string_view as;
};

constexpr Escape kHtmlEscapes[] = {
    {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&#39;"}};
constexpr Escape kJsonEscapes[] = {{'"', "\\\""},     {'\\', "\\\\"},    {'\t', "\\t"},
                                   {'<', "\\u003c"}, {'>', "\\u003e"}, {'&', "\\u0026"}};

// `text` into `out`: each printable ASCII byte or tab as `escapes` says,
// each valid UTF-8 sequence as it is, and anything else as `replacement`.
void append_escaped(std::string& out, std::string_view text, std::span<const Escape> escapes,
                    std::string_view replacement) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if ((c >= 0x20 && c != 0x7F) || c == '\t') {
        const auto escape = std::find_if(escapes.begin(), escapes.end(),
                                         [c](const Escape& e) { return e.byte == static_cast<char>(c); });
        if (escape != escapes.end()) {
          out += escape->as;
        } else {
          out += static_cast<char>(c);
        }
      } else {
        out += replacement;
      }
      ++i;
    } else if (const std::size_t n = utf8_sequence(text, i); n > 0) {
      out += text.substr(i, n);
      i += n;
    } else {
      out += replacement;
      ++i;
    }
  }
}

}  // namespace

void append_html(std::string& out, std::string_view text) { append_escaped(out, text, kHtmlEscapes, kReplacement); }

std::string html(std::string_view text) {
  std::string out;
  append_html(out, text);
  return out;
}

void append_json_string(std::string& out, std::string_view text) {
  out += '"';
  append_escaped(out, text, kJsonEscapes, "\\ufffd");
  out += '"';
}

std::string number_text(float value) {
  if (std::isnan(value)) return "not a number";
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, result.ptr);
}

std::string number_text(double value, int significant) {
  if (std::isnan(value)) return "not a number";
  char digits[48];
  std::snprintf(digits, sizeof digits, "%.*g", significant, value);
  return digits;
}

std::string count_text(std::int64_t count) {
  std::string digits = std::to_string(count < 0 ? -count : count);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += "\xE2\x80\xAF";  // narrow no-break space
    out += digits[i];
  }
  return count < 0 ? "-" + out : out;
}

}  // namespace report
