// The array-control record, the 63-column line ahead of every array and
// list of FOR001 and FOR011: locator, multiplier, the 20-column format text,
// print code, label and layer. Rendered here for the builders and for the
// answers that hold a file against them; laid out here for the readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "format/descriptor_list.h"
#include "format/record_render.h"

namespace format {

// The record without its line end. An integer multiplier is written by I10
// ("1"), a real one by G10.3 ("1.0"); the format text goes out as five A4
// items, left-aligned in 20 columns; the label is right-aligned in 10.
std::string render_array_control(std::int32_t locator, const Item& multiplier,
                                 std::string_view format_text, std::int32_t print_code,
                                 std::string_view label, std::int32_t layer);

// The record as the simulator reads it, the multiplier as a real and the
// format text as one field: "(I10,G10.3,A20,I10,A10,I3)".
const DescriptorList& array_control_layout();

// The fields of array_control_layout(), in order.
enum ArrayControlField : std::size_t {
  kLocatorField,
  kMultiplierField,
  kFormatTextField,
  kPrintCodeField,
  kLabelField,
  kLayerField,
};

// Whether a line is an array-control record: the format text opens with
// "(" in column 21, and the label in columns 51 to 60 ends in "-". No value
// line of these files has "(" in column 21.
bool looks_like_array_control(std::string_view line);

}  // namespace format
