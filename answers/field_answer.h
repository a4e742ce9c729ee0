// The answer that makes a builder write a field exactly as it stands: the
// field's own text where that reads back to the same field, otherwise a
// value that renders the same (a real that G10.3 carried into the next
// power of ten, a field of asterisks).
#pragma once

#include <cstddef>
#include <string_view>

#include "inspect/field.h"

namespace answers {

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

// False when no answer makes the builder write this field (it is not a
// number, or not in the form the builder writes). A field of the builder's
// own form is taken as it stands (canonical_field.h); the plain way
// converts the field, writes it again and compares.
bool answer_for_field(const inspect::Field& field, FieldAnswer& answer);
bool answer_for_field_plain(const inspect::Field& field, FieldAnswer& answer);

}  // namespace answers
