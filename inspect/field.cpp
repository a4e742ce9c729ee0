#include "inspect/field.h"

#include "format/field_number.h"
#include "inspect/read_error.h"

namespace inspect {

std::string_view trimmed(std::string_view text) { return format::trimmed(text); }

std::string found_in(const Field& field) {
  if (field.text.empty()) return "the end of the line";
  std::string found = trimmed(field.text).empty() ? "blanks" : quoted(field.text);
  if (field.text.size() < static_cast<std::size_t>(field.width)) found += " cut short by the line end";
  return found;
}

Field slice_field(std::string_view line, std::size_t start, const format::Descriptor& d) {
  Field field;
  field.type = d.kind;
  field.column = static_cast<std::int32_t>(start + 1);
  field.width = d.width;
  field.text = start < line.size() ? line.substr(start, static_cast<std::size_t>(d.width))
                                   : std::string_view();
  field.converted = false;
  return field;
}

Field convert(const Field& field) {
  if (field.converted) return field;
  Field converted = read_field(field.text, 0, {field.type, field.width, 3});
  converted.column = field.column;
  return converted;
}

Field read_field(std::string_view line, std::size_t start, const format::Descriptor& d) {
  Field field = slice_field(line, start, d);
  field.converted = true;
  if (d.kind == format::Descriptor::Kind::Text) return field;
  const format::FieldNumber number = format::read_field_number(trimmed(field.text), d.kind);
  field.kind = number.kind;
  field.integer = number.integer;
  field.real = number.real;
  return field;
}

}  // namespace inspect
