#include "inspect/read_error.h"

namespace inspect {

std::string quoted(std::string_view bytes, std::size_t most) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text = "'";
  for (std::size_t i = 0; i < bytes.size() && i < most; ++i) {
    auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      text += static_cast<char>(c);
    } else {
      text += "\\x";
      text += kHex[c >> 4];
      text += kHex[c & 15];
    }
  }
  text += bytes.size() > most ? "'..." : "'";
  return text;
}

}  // namespace inspect
