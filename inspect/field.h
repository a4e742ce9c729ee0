// One field of a record, read by its column layout the way the simulator
// reads it: a value, a field of asterisks (a value that was too wide for its
// columns when written), or a field that is not a number at all.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "format/descriptor_list.h"
#include "format/field_number.h"

namespace inspect {

struct Field {
  using Kind = format::FieldNumber::Kind;  // Value, Asterisks, NotANumber
  Kind kind = Kind::Value;
  format::Descriptor::Kind type = format::Descriptor::Kind::Integer;  // I, G or A
  std::int32_t column = 1;  // its first column, counted from 1
  std::int32_t width = 0;
  // The field's columns as they stand in the line; shorter than `width` when
  // the line ends inside the field (the missing columns read as blanks).
  std::string_view text;
  std::int32_t integer = 0;  // the value of an I field
  float real = 0.0f;         // the value of a G field
  // False when only the text, column and width are set: a reader asked not
  // to convert values (see convert()).
  bool converted = true;

  bool is_value() const { return kind == Kind::Value; }
};

// The field of descriptor `d` whose first column is `start` (counted from 0)
// in `line`. I: blanks, an optional sign and decimal digits (a blank field
// reads as 0). G: a decimal number as an answer would be typed (1.5, .5E-3,
// 1.5D2; blank reads as 0.0). A: the text. A field of nothing but asterisks
// is Asterisks; anything else, or a number out of range, is NotANumber.
Field read_field(std::string_view line, std::size_t start, const format::Descriptor& d);

// The field's columns only, not converted.
Field slice_field(std::string_view line, std::size_t start, const format::Descriptor& d);
// The field with its kind and value, converted from its text if it was not.
Field convert(const Field& field);

// The text of a field without the blanks around it.
std::string_view trimmed(std::string_view text);

// What a field holds, for a message: "'abc'", "blanks", "the end of the
// line", "'12' cut short by the line end".
std::string found_in(const Field& field);

}  // namespace inspect
