#include "report/png_image.h"

#include <zlib.h>

#include <stdexcept>
#include <string_view>

#include "report/embedded_bytes.h"

// The file is the signature and four chunks: IHDR, PLTE, one IDAT holding
// the zlib stream of every scanline, IEND. Each scanline is a filter byte
// (0: none, which suits palette pictures best) and the pixels packed from
// the high bits down. Written here on zlib alone, so that the Windows build
// draws the same pictures with no further library.
namespace report {
namespace {

constexpr std::string_view kSignature{"\x89PNG\r\n\x1A\n", 8};

int bit_depth_for(std::size_t colours) {
  if (colours <= 2) return 1;
  if (colours <= 4) return 2;
  if (colours <= 16) return 4;
  return 8;
}

void append_big_endian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// length, type, data, and the CRC of type and data.
void append_chunk(std::string& out, std::string_view type, std::string_view data) {
  append_big_endian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t type_at = out.size();
  out.append(type);
  out.append(data);
  const auto* crc_from = reinterpret_cast<const Bytef*>(out.data() + type_at);
  append_big_endian(out, static_cast<std::uint32_t>(crc32(0L, crc_from, static_cast<uInt>(4 + data.size()))));
}

std::string header(const IndexedImage& image, int depth) {
  std::string data;
  append_big_endian(data, static_cast<std::uint32_t>(image.width));
  append_big_endian(data, static_cast<std::uint32_t>(image.height));
  data.push_back(static_cast<char>(depth));
  data.push_back(3);  // colour type: palette
  data.push_back(0);  // compression: deflate
  data.push_back(0);  // filter method: adaptive, with filter bytes per line
  data.push_back(0);  // no interlace
  return data;
}

std::string scanlines(const IndexedImage& image, int depth) {
  const auto width = static_cast<std::size_t>(image.width);
  const std::size_t line_bytes = (width * static_cast<std::size_t>(depth) + 7) / 8;
  const int per_byte = 8 / depth;
  std::string lines((1 + line_bytes) * static_cast<std::size_t>(image.height), '\0');
  for (std::size_t y = 0; y < static_cast<std::size_t>(image.height); ++y) {
    const std::uint8_t* pixel = image.pixels.data() + y * width;
    auto* line = reinterpret_cast<unsigned char*>(lines.data() + y * (1 + line_bytes) + 1);  // after filter byte 0
    for (std::size_t x = 0; x < width; ++x) {
      const int slot = static_cast<int>(x % static_cast<std::size_t>(per_byte));
      line[x / static_cast<std::size_t>(per_byte)] |= static_cast<unsigned char>(pixel[x] << (8 - depth * (slot + 1)));
    }
  }
  return lines;
}

}  // namespace

std::string encode_png(const IndexedImage& image) {
  const std::size_t cells = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  if (image.width <= 0 || image.height <= 0 || image.palette.empty() || image.palette.size() > 256 ||
      image.pixels.size() != cells) {
    throw std::invalid_argument("encode_png: the image's size, palette and pixels do not agree");
  }
  for (std::uint8_t index : image.pixels) {
    if (index >= image.palette.size()) throw std::invalid_argument("encode_png: a pixel outside the palette");
  }
  const int depth = bit_depth_for(image.palette.size());
  std::string palette;
  for (const Rgb& c : image.palette) palette += {static_cast<char>(c.r), static_cast<char>(c.g), static_cast<char>(c.b)};

  std::string out(kSignature);
  append_chunk(out, "IHDR", header(image, depth));
  append_chunk(out, "PLTE", palette);
  append_chunk(out, "IDAT", deflated(scanlines(image, depth)));
  append_chunk(out, "IEND", "");
  return out;
}

}  // namespace report
