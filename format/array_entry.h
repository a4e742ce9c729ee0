// One array or list of FOR001 and FOR011 as the files know it: the label of
// its array-control record, the kind and layout of its values, its print
// code and the unit its values follow in, and how a reader names it.
#pragma once

#include <cstdint>
#include <string_view>

namespace format {

enum class ValueKind : std::uint8_t { Integer, Real };

// The unit of an array's values, in terms of the model's length and time.
enum class UnitKind : std::uint8_t { None, Length, LengthPerTime, AreaPerTime, PerTime };

// The value formats the builders write into array-control records: an
// integer array twenty values of I3 to a line, a real one ten of G10.3.
inline constexpr std::string_view kIntegerValuesFormat = "(20I3)";
inline constexpr std::string_view kRealValuesFormat = "(10G10.3)";

struct ArrayEntry {
  std::string_view label;         // right-aligned in the array-control record
  ValueKind kind;
  std::string_view format_text;   // the values' format, as the record holds it
  std::int32_t print_code;
  std::int32_t locator;           // the unit of the file the values follow in
  std::string_view display_name;  // "Hydraulic conductivity"
  UnitKind unit;
};

// The entry of `label` among the two-dimensional arrays of FOR001 and
// FOR011 (not the lists); nullptr for a label that is none of them.
const ArrayEntry* layer_array_entry(std::string_view label);

}  // namespace format
