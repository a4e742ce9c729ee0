// The quick way to a field's answer: a field whose text has exactly the
// form the builder writes is its own answer, without converting and
// rendering it again. answer_for_field() (field_answer.h) does it the plain
// way and is the reference the tests hold this against.
//
// Why the forms below are exact: a normal 32-bit real lies within 6E-8 of
// the decimal of three digits that its field shows, far inside the half
// unit of the third digit, so reading the field's text and writing it again
// gives the same digits and the same form. The exceptions are the fields
// that only rounding up across a power of ten makes (.100E+00 and 1000.,
// whose text reads back as 0.1 and 1000), the fields of values too small
// for three exact digits (below 1E-37) and those of the largest values
// (.34xE+39); none of them passes here.
#pragma once

#include <string_view>

namespace answers {

// A G10.3 field of ten columns in the builder's form: right-justified, an
// optional minus, then ".ddd" (d1 not 0, or .000), "d.dd", "dd.d" or
// "ddd." (first digit not 0), each followed by four blanks; or ".dddE+ee"
// / ".dddE-ee" (d1 not 0) with an exponent from -36 to -1 or 4 to 38.
bool is_builder_real_field(std::string_view field);

// An I field of `width` columns in the builder's form: right-justified
// decimal digits without leading zeros, an optional minus (not on 0),
// within 32 bits.
bool is_builder_integer_field(std::string_view field, int width);

}  // namespace answers
