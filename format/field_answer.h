// The answer that makes a builder write a field exactly as it stands: the
// field's own text where that reads back to the same field, otherwise a
// value that renders the same (a real that G10.3 carried into the next
// power of ten, a field of asterisks).
#pragma once

#include <cstddef>
#include <string_view>

#include "format/descriptor_list.h"

namespace format {

struct FieldAnswer {
  // The field's own text (in the line, valid while it is), or a text of
  // the answer's own.
  std::string_view field_text;
  char text[32] = {};
  std::size_t size = 0;
  // The field is asterisks: the value typed is lost, and this answer is one
  // that writes the same asterisks.
  bool asterisks = false;

  std::string_view view() const { return size > 0 ? std::string_view(text, size) : field_text; }
};

// The answer for the I or G field of `width` columns whose columns stand
// as `text` in its line (shorter than `width` where the line ends inside
// it: the missing columns read as blanks). False when no answer makes the
// builder write this field (it is not a number, or not in the form the
// builder writes). A field in the builder's own form (below) is its own
// answer at once; any other is converted, written again and compared
// (field_answer_detail::answer_for_field_fallback).
bool answer_for_field(std::string_view text, int width, Descriptor::Kind type, FieldAnswer& answer);

namespace field_answer_detail {

// The general way, for every field: the reference the tests hold the
// whole against.
bool answer_for_field_fallback(std::string_view text, int width, Descriptor::Kind type,
                               FieldAnswer& answer);

// The first branch: a field whose text has exactly the form the builder
// writes is its own answer, without converting and rendering it again.
//
// Why the forms below are exact: a normal 32-bit real lies within 6E-8 of
// the decimal of three digits that its field shows, far inside the half
// unit of the third digit, so reading the field's text and writing it again
// gives the same digits and the same form. The exceptions are the fields
// that only rounding up across a power of ten makes (.100E+00 and 1000.,
// whose text reads back as 0.1 and 1000), the fields of values too small
// for three exact digits (below 1E-37) and those of the largest values
// (.34xE+39); none of them passes here.
//
// A G10.3 field of ten columns in the builder's form: right-justified, an
// optional minus, then ".ddd" (d1 not 0, or .000), "d.dd", "dd.d" or
// "ddd." (first digit not 0), each followed by four blanks; or ".dddE+ee"
// / ".dddE-ee" (d1 not 0) with an exponent from -36 to -1 or 4 to 38.
bool is_builder_real_field(std::string_view field);

// An I field of `width` columns in the builder's form: right-justified
// decimal digits without leading zeros, an optional minus (not on 0),
// within 32 bits.
bool is_builder_integer_field(std::string_view field, int width);

}  // namespace field_answer_detail

}  // namespace format
