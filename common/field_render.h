// Rendering of one field of a record: Iw, Gw.d and Aw.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace builders {

// Iw: decimal, right-justified in `width` columns; w asterisks when too wide.
void append_integer_field(std::string& out, std::int32_t value, int width);

// Gw.d: `digits` significant digits in fixed form (magnitudes from 0.1 up to
// but excluding 10^digits) or exponent form, with no zero before the point;
// the fixed form is followed by four blanks. Right-justified in `width`.
void append_real_field(std::string& out, float value, int width, int digits);

// Aw: the text right-justified in `width` columns, or its first `width` bytes.
void append_text_field(std::string& out, std::string_view text, int width);

}  // namespace builders
