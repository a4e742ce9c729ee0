#include "report/html_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "inspect/printable_text.h"

namespace report {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at `text[i]` (a non-ASCII lead
// byte), or 0 when it is not one: the same rule as every output's.
std::size_t utf8_sequence(std::string_view text, std::size_t i) { return inspect::utf8_sequence_length(text, i); }

// Calls `plain(c)` for each printable ASCII byte or tab, `copy(sequence)`
// for each valid UTF-8 sequence, and `bad()` for anything else.
template <typename Plain, typename Copy, typename Bad>
void walk_text(std::string_view text, Plain plain, Copy copy, Bad bad) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c >= 0x20 && c != 0x7F) {
        plain(static_cast<char>(c));
      } else if (c == '\t') {
        plain('\t');
      } else {
        bad();
      }
      ++i;
    } else if (const std::size_t n = utf8_sequence(text, i); n > 0) {
      copy(text.substr(i, n));
      i += n;
    } else {
      bad();
      ++i;
    }
  }
}

}  // namespace

void append_html(std::string& out, std::string_view text) {
  walk_text(
      text,
      [&](char c) {
        switch (c) {
          case '&': out += "&amp;"; break;
          case '<': out += "&lt;"; break;
          case '>': out += "&gt;"; break;
          case '"': out += "&quot;"; break;
          case '\'': out += "&#39;"; break;
          default: out += c;
        }
      },
      [&](std::string_view sequence) { out += sequence; }, [&] { out += kReplacement; });
}

std::string html(std::string_view text) {
  std::string out;
  append_html(out, text);
  return out;
}

void append_json_string(std::string& out, std::string_view text) {
  out += '"';
  walk_text(
      text,
      [&](char c) {
        switch (c) {
          case '"': out += "\\\""; break;
          case '\\': out += "\\\\"; break;
          case '\t': out += "\\t"; break;
          case '<': out += "\\u003c"; break;
          case '>': out += "\\u003e"; break;
          case '&': out += "\\u0026"; break;
          default: out += c;
        }
      },
      [&](std::string_view sequence) { out += sequence; }, [&] { out += "\\ufffd"; });
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
