// Rendering of one field of a record: Iw, Gw.d and Aw.
//
// The put_ functions write exactly `width` bytes at `at` and return the end
// of the field; the append_ functions add the same bytes to a string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace builders {

// Iw: decimal, right-justified in `width` columns; w asterisks when too wide.
char* put_integer_field(char* at, std::int32_t value, int width);
void append_integer_field(std::string& out, std::int32_t value, int width);

// Gw.d: `digits` significant digits in fixed form (magnitudes from 0.1 up to
// but excluding 10^digits) or exponent form, with no zero before the point;
// the fixed form is followed by four blanks. Right-justified in `width`.
char* put_real_field(char* at, float value, int width, int digits);
void append_real_field(std::string& out, float value, int width, int digits);

// `width` asterisks: a value too wide for its field, or a pairing of value
// and descriptor that the programs never use.
char* put_asterisks(char* at, int width);

// Aw: the text right-justified in `width` columns, or its first `width` bytes.
char* put_text_field(char* at, std::string_view text, int width);
void append_text_field(std::string& out, std::string_view text, int width);

}  // namespace builders
