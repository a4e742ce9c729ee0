#include "png_image.h"

#include <png.h>

#include <csetjmp>
#include <stdexcept>

namespace report {
namespace {

void append_to_string(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void no_flush(png_structp) {}

int bit_depth_for(std::size_t colours) {
  if (colours <= 2) return 1;
  if (colours <= 4) return 2;
  if (colours <= 16) return 4;
  return 8;
}

// The libpng calls, which report failure by longjmp: nothing here owns
// memory that a jump would skip past (`rows` and `out` belong to the caller).
bool write_png(png_structp png, png_infop info, const IndexedImage& image, png_colorp palette,
               png_bytepp rows, std::string* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, append_to_string, no_flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
               bit_depth_for(image.palette.size()), PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, palette, static_cast<int>(image.palette.size()));
  png_write_info(png, info);
  png_set_packing(png);  // one byte per pixel in, packed to the bit depth
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::string encode_png(const IndexedImage& image) {
  if (image.width <= 0 || image.height <= 0 || image.palette.empty() || image.palette.size() > 256 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
    throw std::invalid_argument("encode_png: the image's size, palette and pixels do not agree");
  }
  std::vector<png_color> palette;
  for (const Rgb& c : image.palette) palette.push_back({c.r, c.g, c.b});
  std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    rows[static_cast<std::size_t>(y)] =
        const_cast<png_bytep>(image.pixels.data()) + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width);
  }
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool written = info != nullptr && write_png(png, info, image, palette.data(), rows.data(), &out);
  png_destroy_write_struct(&png, info ? &info : nullptr);
  if (!written) throw std::runtime_error("libpng could not encode a map");
  return out;
}

}  // namespace report
