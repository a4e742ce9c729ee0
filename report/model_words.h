// The model's codes in words, as the report names them: time units,
// modules, layer types and the arrays with their units.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "format/array_entry.h"
#include "format/basic_file.h"

namespace report {

// "days"; "undefined" for 0; "code 9 (no time unit)" for others.
std::string time_unit_words(std::int32_t time_unit);
// "day", or "T" when the code names no unit: the time in a rate's unit.
std::string_view time_unit_symbol(std::int32_t time_unit);

using ModuleName = format::Module;
// The eleven modules Morvek asks for, by slot.
std::span<const ModuleName> modules();

// "confined", "unconfined", ...; "code 7 (no type)" for others.
std::string layer_type_words(std::int32_t type_code);

// What an array holds and in which unit.
using format::UnitKind;
struct ArrayName {
  std::string_view label;  // "HYDCON-"
  std::string_view name;   // "Hydraulic conductivity"
  UnitKind unit;
};
// The array of `label`; its name is the label itself when it is none of ours.
ArrayName array_name(std::string_view label);
// The files do not name their length unit: the user may ("m", "ft"),
// otherwise it is written as the word "length".
inline constexpr std::string_view kUnnamedLength = "length";
std::string_view length_name(std::string_view named);  // `named`, or kUnnamedLength when empty
// "m", "m/day", "m²/day", "1/day" for the length `length`; empty for none.
std::string unit_text(UnitKind unit, std::string_view length, std::int32_t time_unit);

}  // namespace report
