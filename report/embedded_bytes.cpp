#include "report/embedded_bytes.h"

#include <zlib.h>

#include <new>
#include <stdexcept>

namespace report {

std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  for (; i + 3 <= bytes.size(); i += 3) {
    const unsigned group = (byte(i) << 16) | (byte(i + 1) << 8) | byte(i + 2);
    out += kDigits[group >> 18];
    out += kDigits[(group >> 12) & 63];
    out += kDigits[(group >> 6) & 63];
    out += kDigits[group & 63];
  }
  if (const std::size_t left = bytes.size() - i; left > 0) {
    const unsigned group = (byte(i) << 16) | (left == 2 ? byte(i + 1) << 8 : 0);
    out += kDigits[group >> 18];
    out += kDigits[(group >> 12) & 63];
    out += left == 2 ? kDigits[(group >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string deflated(std::string_view bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(size, '\0');
  const int status = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                               reinterpret_cast<const Bytef*>(bytes.data()),
                               static_cast<uLong>(bytes.size()), Z_DEFAULT_COMPRESSION);
  // zlib's own memory is memory too: reported as every allocation that fails.
  if (status == Z_MEM_ERROR) throw std::bad_alloc();
  if (status != Z_OK) throw std::runtime_error("zlib could not compress the page's data");
  out.resize(size);
  return out;
}

}  // namespace report
