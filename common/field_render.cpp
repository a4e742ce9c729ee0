#include "field_render.h"

#include "record_render.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace builders {
namespace {

void append_justified(std::string& out, const char* text, int length, int width) {
  if (length > width) {
    out.append(static_cast<std::size_t>(width), '*');
    return;
  }
  out.append(static_cast<std::size_t>(width - length), ' ');
  out.append(text, static_cast<std::size_t>(length));
}

constexpr int kSignificant = 17;  // digits kept before the rounding to d

}  // namespace

void append_integer_field(std::string& out, std::int32_t value, int width) {
  char text[16];
  auto result = std::to_chars(text, text + sizeof text, value);
  append_justified(out, text, static_cast<int>(result.ptr - text), width);
}

void append_text_field(std::string& out, std::string_view text, int width) {
  if (text.size() >= static_cast<std::size_t>(width)) {
    out.append(text.substr(0, static_cast<std::size_t>(width)));
  } else {
    out.append(static_cast<std::size_t>(width) - text.size(), ' ');
    out.append(text);
  }
}

void append_real_field(std::string& out, float value, int width, int digits) {
  if (!std::isfinite(value) || digits < 1 || digits >= kSignificant) {
    out.append(static_cast<std::size_t>(width), '*');
    return;
  }
  // The magnitude as 0.D1D2...D17 times 10^exponent. The 17 digits come from
  // a correctly rounded conversion of the widened value; rounding half up at
  // the 18th digit differs from that only when the digits in between are all
  // nines, and then both round the same way, so the d-digit result agrees.
  char kept[kSignificant + 1] = {};
  int exponent = 0;
  bool negative = std::signbit(value) && value != 0.0f;
  if (value == 0.0f) {
    for (int i = 0; i < digits; ++i) kept[i] = '0';
  } else {
    char sci[40];
    double magnitude = std::fabs(static_cast<double>(value));
    auto result = std::to_chars(sci, sci + sizeof sci - 1, magnitude,
                                std::chars_format::scientific, kSignificant - 1);
    // sci is "d.dddddddddddddddde[+-]xx"; to_chars does not end it, so the
    // exponent would run on into whatever digits the buffer held before.
    *result.ptr = '\0';
    kept[0] = sci[0];
    for (int i = 1; i < kSignificant; ++i) kept[i] = sci[i + 1];
    exponent = std::atoi(sci + kSignificant + 2) + 1;
  }

  bool fixed = exponent >= 0 && exponent <= digits;

  // Round half up to `digits` digits, carrying into a new leading digit.
  if (value != 0.0f && kept[digits] >= '5') {
    int i = digits - 1;
    while (i >= 0 && kept[i] == '9') kept[i--] = '0';
    if (i >= 0) {
      ++kept[i];
    } else {
      kept[0] = '1';
      ++exponent;
    }
  }

  char text[48];
  int n = 0;
  if (negative) text[n++] = '-';
  if (fixed) {
    for (int i = 0; i < exponent; ++i) text[n++] = i < digits ? kept[i] : '0';
    text[n++] = '.';
    for (int i = exponent; i < digits; ++i) text[n++] = kept[i];
    for (int i = 0; i < 4; ++i) text[n++] = ' ';
  } else {
    text[n++] = '.';
    for (int i = 0; i < digits; ++i) text[n++] = kept[i];
    text[n++] = 'E';
    text[n++] = exponent < 0 ? '-' : '+';
    int e = std::abs(exponent);
    text[n++] = static_cast<char>('0' + e / 10);
    text[n++] = static_cast<char>('0' + e % 10);
  }
  append_justified(out, text, n, width);
}

void append_field(std::string& out, std::int32_t value, const Descriptor& d) {
  if (d.kind == Descriptor::Kind::Integer) {
    append_integer_field(out, value, d.width);
  } else {
    out.append(static_cast<std::size_t>(d.width), '*');
  }
}

void append_field(std::string& out, float value, const Descriptor& d) {
  if (d.kind == Descriptor::Kind::Real) {
    append_real_field(out, value, d.width, d.digits);
  } else {
    out.append(static_cast<std::size_t>(d.width), '*');
  }
}

void append_field(std::string& out, const Item& item, const Descriptor& d) {
  switch (item.kind) {
    case Item::Kind::Integer: append_field(out, item.integer, d); return;
    case Item::Kind::Real: append_field(out, item.real, d); return;
    case Item::Kind::Text:
      if (d.kind == Descriptor::Kind::Text) {
        append_text_field(out, item.text, d.width);
      } else {
        out.append(static_cast<std::size_t>(d.width), '*');
      }
      return;
  }
}

}  // namespace builders
