#include "inspect/printable_text.h"

namespace inspect {
namespace {

// \xNN in capitals, like the byte numbers of other messages (0xEF);
// \u00nn as JSON writers commonly do.
void append_hex_byte(std::string& out, std::string_view prefix, unsigned char byte) {
  const char* const hex = prefix == "\\u00" ? "0123456789abcdef" : "0123456789ABCDEF";
  out += prefix;
  out += hex[byte >> 4];
  out += hex[byte & 15];
}

// Walks `bytes`: `ascii(c)` for each byte below 0x80, `sequence(s)` for each
// valid UTF-8 sequence, `stray(b)` for each byte of none.
template <typename Ascii, typename Sequence, typename Stray>
void walk(std::string_view bytes, Ascii ascii, Sequence sequence, Stray stray) {
  for (std::size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ascii(c);
      ++i;
    } else if (const std::size_t n = utf8_sequence_length(bytes, i); n > 0) {
      sequence(bytes.substr(i, n));
      i += n;
    } else {
      stray(c);
      ++i;
    }
  }
}

// U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F.
bool is_c1_control(std::string_view sequence) {
  return sequence.size() == 2 && static_cast<unsigned char>(sequence[0]) == 0xC2 &&
         static_cast<unsigned char>(sequence[1]) <= 0x9F;
}

}  // namespace

std::size_t utf8_sequence_length(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  unsigned least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, least = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  unsigned code = lead & (0xFFu >> (length + 1));
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3Fu);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

std::string printable(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  walk(
      bytes,
      [&](unsigned char c) {
        if (c == '\n') {
          out += "\\n";
        } else if (c == '\r') {
          out += "\\r";
        } else if (c == '\t') {
          out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
          append_hex_byte(out, "\\x", c);
        } else {
          out += static_cast<char>(c);
        }
      },
      [&](std::string_view sequence) {
        if (!is_c1_control(sequence)) {
          out += sequence;
          return;
        }
        for (char b : sequence) append_hex_byte(out, "\\x", static_cast<unsigned char>(b));
      },
      [&](unsigned char b) { append_hex_byte(out, "\\x", b); });
  return out;
}

void append_json_string(std::string& out, std::string_view bytes) {
  out += '"';
  walk(
      bytes,
      [&](unsigned char c) {
        if (c == '"' || c == '\\') {
          out += '\\';
          out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
          append_hex_byte(out, "\\u00", c);
        } else {
          out += static_cast<char>(c);
        }
      },
      [&](std::string_view sequence) {
        if (is_c1_control(sequence)) {
          append_hex_byte(out, "\\u00", static_cast<unsigned char>(sequence[1]));
        } else {
          out += sequence;
        }
      },
      [&](unsigned char b) { append_hex_byte(out, "\\\\x", b); });
  out += '"';
}

}  // namespace inspect
