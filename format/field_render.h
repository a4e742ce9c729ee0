// Rendering of one field of a record: Iw, Gw.d and Aw.
//
// The put_ functions write exactly `width` bytes at `at` and return the end
// of the field; the append_ functions add the same bytes to a string.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace format {

// `width` asterisks: a value too wide for its field, or a pairing of value
// and descriptor that the programs never use.
char* put_asterisks(char* at, int width);

namespace field_detail {

// `count` blanks at `at`; the short runs of a field without a library call.
inline void put_blanks(char* at, std::size_t count) {
  static constexpr char kBlanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  if (count >= 8 && count <= 16) {  // two overlapping stores of eight
    std::memcpy(at, kBlanks, 8);
    std::memcpy(at + count - 8, kBlanks, 8);
  } else if (count >= 4 && count < 8) {
    std::memcpy(at, kBlanks, 4);
    std::memcpy(at + count - 4, kBlanks, 4);
  } else if (count < 4) {  // (a loop here would become a call of memset)
    if (count > 0) at[0] = ' ';
    if (count > 1) at[1] = ' ';
    if (count > 2) at[2] = ' ';
  } else {
    std::memset(at, ' ', count);
  }
}

// "00" to "99".
constexpr auto kDigitPairs = [] {
  std::array<std::array<char, 2>, 100> table{};
  for (int i = 0; i < 100; ++i) {
    table[i] = {static_cast<char>('0' + i / 10), static_cast<char>('0' + i % 10)};
  }
  return table;
}();

}  // namespace field_detail

// Iw: decimal, right-justified in `width` columns; w asterisks when too wide.
// (Inline: it runs for every integer of every record and console line.)
inline char* put_integer_field(char* at, std::int32_t value, int width) {
  static constexpr std::uint32_t kTens[] = {10,      100,      1000,      10000,     100000,
                                            1000000, 10000000, 100000000, 1000000000};
  auto magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  int length = 1;
  while (length < 10 && magnitude >= kTens[length - 1]) ++length;
  if (value < 0) ++length;
  if (length > width) return put_asterisks(at, width);
  // Blanks first, then the digits from the right end, two at a time.
  field_detail::put_blanks(at, static_cast<std::size_t>(width));
  char* p = at + width;
  while (magnitude >= 100) {
    p -= 2;
    std::memcpy(p, field_detail::kDigitPairs[magnitude % 100].data(), 2);
    magnitude /= 100;
  }
  if (magnitude >= 10) {
    p -= 2;
    std::memcpy(p, field_detail::kDigitPairs[magnitude].data(), 2);
  } else {
    *--p = static_cast<char>('0' + magnitude);
  }
  if (value < 0) *--p = '-';
  return at + width;
}

void append_integer_field(std::string& out, std::int32_t value, int width);

// Gw.d: `digits` significant digits in fixed form (magnitudes from 0.1 up to
// but excluding 10^digits) or exponent form, with no zero before the point;
// the fixed form is followed by four blanks. Right-justified in `width`.
// (G10.3, the only real descriptor the programs use, is taken straight to its
// own rendering: this runs for every real of every record.)
char* put_g10_3(char* at, float value);  // a finite value
char* put_any_real_field(char* at, float value, int width, int digits);
inline char* put_real_field(char* at, float value, int width, int digits) {
  if (width == 10 && digits == 3 && std::isfinite(value)) return put_g10_3(at, value);
  return put_any_real_field(at, value, width, digits);
}
void append_real_field(std::string& out, float value, int width, int digits);

// Aw: the text right-justified in `width` columns, or its first `width` bytes.
char* put_text_field(char* at, std::string_view text, int width);
void append_text_field(std::string& out, std::string_view text, int width);

}  // namespace format
