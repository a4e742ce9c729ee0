#include "format/field_render.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "format/record_render.h"

namespace format {
namespace {

using field_detail::kDigitPairs;
using field_detail::put_blanks;

// `length` bytes of `text` right-justified in `width` columns, or asterisks.
char* put_justified(char* at, const char* text, int length, int width) {
  if (length > width) return put_asterisks(at, width);
  put_blanks(at, static_cast<std::size_t>(width - length));
  std::memcpy(at + (width - length), text, static_cast<std::size_t>(length));
  return at + width;
}

// Appends a field of `width` bytes that `put` writes.
template <typename Put>
void append_with(std::string& out, int width, Put&& put) {
  std::size_t old_size = out.size();
  out.resize(old_size + static_cast<std::size_t>(width));
  put(out.data() + old_size);
}

}  // namespace

char* put_asterisks(char* at, int width) {
  std::memset(at, '*', static_cast<std::size_t>(width));
  return at + width;
}

void append_integer_field(std::string& out, std::int32_t value, int width) {
  append_with(out, width, [&](char* at) { put_integer_field(at, value, width); });
}

char* put_text_field(char* at, std::string_view text, int width) {
  const auto w = static_cast<std::size_t>(width);
  if (text.size() >= w) {
    std::memcpy(at, text.data(), w);
  } else {
    put_blanks(at, w - text.size());
    std::memcpy(at + (w - text.size()), text.data(), text.size());
  }
  return at + width;
}

void append_text_field(std::string& out, std::string_view text, int width) {
  append_with(out, width, [&](char* at) { put_text_field(at, text, width); });
}

namespace {

constexpr int kSignificant = 17;  // digits kept before the rounding to d

// A magnitude rounded half up to d significant digits: the digits as a
// whole number of d digits, and the decimal exponent E such that the
// magnitude is 0.D1D2... times 10^E, taken before the rounding. `carried`:
// the rounding carried out of the first digit (the digits are then 1 and
// zeros, and the value has become 10^E).
struct Rounded {
  std::uint64_t digits = 0;
  int exponent = 0;
  bool carried = false;
};

// The general way, for any magnitude: 17 digits from a correctly rounded
// conversion of the widened value, then half up to d. Rounding half up at
// the 18th digit differs from that conversion only when the digits in
// between are all nines, and then both round the same way, so the result
// agrees.
[[gnu::noinline, gnu::cold]] Rounded round_real_fallback(double magnitude, int d) {
  Rounded r;
  char sci[40];
  const char* end = std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific,
                                  kSignificant - 1).ptr;
  // sci is "d.dddddddddddddddde[+-]xx", not terminated: the exponent is
  // read up to `end` only.
  char kept[kSignificant];
  kept[0] = sci[0];
  for (int i = 1; i < kSignificant; ++i) kept[i] = sci[i + 1];
  const char* exponent_text = sci + kSignificant + 2;
  if (*exponent_text == '+') ++exponent_text;
  std::from_chars(exponent_text, end, r.exponent);
  ++r.exponent;
  for (int i = 0; i < d; ++i) r.digits = r.digits * 10 + static_cast<std::uint64_t>(kept[i] - '0');
  if (kept[d] >= '5') ++r.digits;
  std::uint64_t limit = 1;
  for (int i = 0; i < d; ++i) limit *= 10;
  if (r.digits == limit) {
    r.digits /= 10;
    r.carried = true;
  }
  return r;
}

// 10^k for k from -45 to 60, the nearest doubles.
constexpr int kLowestDecade = -45;
constexpr double kDecade[] = {
    1e-45, 1e-44, 1e-43, 1e-42, 1e-41, 1e-40, 1e-39, 1e-38, 1e-37, 1e-36,
    1e-35, 1e-34, 1e-33, 1e-32, 1e-31, 1e-30, 1e-29, 1e-28, 1e-27, 1e-26,
    1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16,
    1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9, 1e-8, 1e-7, 1e-6,
    1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4,
    1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14,
    1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22, 1e23, 1e24,
    1e25, 1e26, 1e27, 1e28, 1e29, 1e30, 1e31, 1e32, 1e33, 1e34,
    1e35, 1e36, 1e37, 1e38, 1e39, 1e40, 1e41, 1e42, 1e43, 1e44,
    1e45, 1e46, 1e47, 1e48, 1e49, 1e50, 1e51, 1e52, 1e53, 1e54,
    1e55, 1e56, 1e57, 1e58, 1e59, 1e60,
};
constexpr double decade(int k) { return kDecade[k - kLowestDecade]; }

// A magnitude rounded half up to d digits. First, for most values: find the
// exponent from the binary one, scale the magnitude into [10^(d-1), 10^d)
// with one multiplication by the nearest double of a power of ten, and round
// the fraction. The scaled value is exact when scaled up by little, and
// otherwise off by less than 10^-6 for d up to 9, so the result is certain
// unless it lies that close to a rounding tie or to the ends of the interval
// (where the exponent itself is in doubt); those cases, and subnormals, go
// to round_real_fallback.
[[gnu::always_inline]] inline Rounded round_real(float magnitude, int d) {
  constexpr int kMostDigits = 9;
  constexpr double kDoubt = 1e-6;
  const int biased = static_cast<int>(std::bit_cast<std::uint32_t>(magnitude) >> 23);
  if (d > kMostDigits || biased == 0) return round_real_fallback(magnitude, d);
  // magnitude lies in [2^(binary - 1), 2^binary), so its exponent is one of
  // two; floor(x * log10(2)) is (x * 78913) >> 18 for the x that occur here.
  const int binary = biased - 126;
  int exponent = (((binary - 1) * 78913) >> 18) + 1;
  const double m = magnitude;
  if (m >= decade(exponent)) ++exponent;
  const int scale = d - exponent;
  const double scaled = m * decade(scale);
  // Scaled up by at most 10^8, the 24 bits of the float's digits take at
  // most 51 bits: the product is exact, and so are the interval and the tie.
  constexpr int kLargestExactScale = 8;
  const double doubt = scale >= 0 && scale <= kLargestExactScale ? 0.0 : kDoubt;
  const double high = decade(d);
  if (scaled < decade(d - 1) + doubt || scaled >= high - doubt) return round_real_fallback(magnitude, d);
  // The whole part (below 10^9, so the signed conversion, which is one
  // instruction, suffices).
  const auto whole = static_cast<std::int64_t>(scaled);
  auto rounded = static_cast<std::uint64_t>(whole);
  const double fraction = scaled - static_cast<double>(whole);
  if (fraction > 0.5 - doubt && fraction < 0.5 + doubt) return round_real_fallback(magnitude, d);
  if (fraction >= 0.5) ++rounded;  // half up
  Rounded r;
  r.exponent = exponent;
  r.carried = rounded == static_cast<std::uint64_t>(high);
  r.digits = r.carried ? rounded / 10 : rounded;
  return r;
}

// Gw.d, any width and digits.
char* put_real(char* at, float value, int width, int d) {
  Rounded r;
  const bool negative = value < 0.0f;  // a negative zero is written as zero
  if (value != 0.0f) r = round_real(std::fabs(value), d);

  char number[kSignificant];  // the d digits
  for (int i = d - 1; i >= 0; --i) {
    number[i] = static_cast<char>('0' + r.digits % 10);
    r.digits /= 10;
  }
  char text[kSignificant + 12];
  char* t = text;
  if (negative) *t++ = '-';
  const int exponent = r.carried ? r.exponent + 1 : r.exponent;
  if (r.exponent >= 0 && r.exponent <= d) {  // fixed form, chosen before the rounding
    int i = 0;
    for (; i < exponent; ++i) *t++ = i < d ? number[i] : '0';
    *t++ = '.';
    for (; i < d; ++i) *t++ = number[i];
    std::memcpy(t, "    ", 4);
    t += 4;
  } else {
    *t++ = '.';
    for (int i = 0; i < d; ++i) *t++ = number[i];
    *t++ = 'E';
    *t++ = exponent < 0 ? '-' : '+';
    const int e = std::abs(exponent);
    *t++ = static_cast<char>('0' + e / 10);
    *t++ = static_cast<char>('0' + e % 10);
  }
  return put_justified(at, text, static_cast<int>(t - text), width);
}

// "000" to "999", for the three digits of G10.3.
constexpr auto kThreeDigits = [] {
  std::array<std::array<char, 3>, 1000> table{};
  for (int i = 0; i < 1000; ++i) {
    table[i] = {static_cast<char>('0' + i / 100), static_cast<char>('0' + i / 10 % 10),
                static_cast<char>('0' + i % 10)};
  }
  return table;
}();

}  // namespace

// G10.3, the only real descriptor the programs use, written straight into
// its ten columns. Every text fits: in fixed form a blank or the sign, four
// characters of digits and point (five for 1000. after a carry) and four
// blanks; in exponent form a blank or the sign, then .dddE, the exponent's
// sign and two digits.
char* put_g10_3(char* at, float value) {
  constexpr int d = 3;
  Rounded r;
  if (value != 0.0f) r = round_real(std::fabs(value), d);
  const char* digits = kThreeDigits[r.digits].data();
  const int exponent = r.carried ? r.exponent + 1 : r.exponent;
  put_blanks(at, 10);
  char* text = at + 2;  // where the four characters begin
  if (r.exponent >= 0 && r.exponent <= d) {  // fixed form, chosen before the rounding
    if (exponent > d) {
      std::memcpy(--text, "1000.", 5);  // from 999.5 up, rounded
    } else {
      for (int i = 0, k = 0; i < 4; ++i) text[i] = i == exponent ? '.' : digits[k++];
    }
  } else {
    text[0] = '.';
    std::memcpy(text + 1, digits, 3);
    text[4] = 'E';
    text[5] = exponent < 0 ? '-' : '+';
    std::memcpy(text + 6, kDigitPairs[static_cast<std::size_t>(std::abs(exponent))].data(), 2);
  }
  if (value < 0.0f) text[-1] = '-';  // a negative zero is written as zero
  return at + 10;
}

char* put_any_real_field(char* at, float value, int width, int digits) {
  if (!std::isfinite(value) || digits < 1 || digits >= kSignificant) return put_asterisks(at, width);
  if (width == 10 && digits == 3) return put_g10_3(at, value);
  return put_real(at, value, width, digits);
}

void append_real_field(std::string& out, float value, int width, int digits) {
  append_with(out, width, [&](char* at) { put_real_field(at, value, width, digits); });
}

void append_field(std::string& out, std::int32_t value, const Descriptor& d) {
  append_with(out, d.width, [&](char* at) { put_field(at, value, d); });
}

void append_field(std::string& out, float value, const Descriptor& d) {
  append_with(out, d.width, [&](char* at) { put_field(at, value, d); });
}

void append_field(std::string& out, const Item& item, const Descriptor& d) {
  append_with(out, d.width, [&](char* at) { put_field(at, item, d); });
}

}  // namespace format
