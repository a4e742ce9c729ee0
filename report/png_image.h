// A map as a picture: one palette index per pixel, encoded as a PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace report {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> palette;            // at most 256 colours
  std::vector<std::uint8_t> pixels;    // row by row from the top, width * height
};

// The PNG file of `image`: palette colour type, the fewest bits per pixel
// that hold its palette, no interlace. The same image gives the same bytes
// on every platform. Throws std::invalid_argument for an image whose parts
// disagree, std::runtime_error if zlib fails.
std::string encode_png(const IndexedImage& image);

}  // namespace report
