#include "report/model_words.h"

#include <array>

#include "format/flow_file.h"

namespace report {
namespace {

constexpr const auto& kTimeUnits = format::kTimeUnitWords;
constexpr const auto& kTimeSymbols = format::kTimeUnitSymbols;
constexpr const auto& kLayerTypes = format::kLayerTypeWords;

bool known_time_unit(std::int32_t code) { return code >= 0 && code < static_cast<std::int32_t>(kTimeUnits.size()); }

}  // namespace

std::string time_unit_words(std::int32_t time_unit) {
  if (known_time_unit(time_unit)) return std::string(kTimeUnits[static_cast<std::size_t>(time_unit)]);
  return "code " + std::to_string(time_unit) + " (no time unit)";
}

std::string_view time_unit_symbol(std::int32_t time_unit) {
  return known_time_unit(time_unit) ? kTimeSymbols[static_cast<std::size_t>(time_unit)] : "T";
}

std::span<const ModuleName> modules() { return format::kModules; }

std::string layer_type_words(std::int32_t type_code) {
  if (type_code >= 0 && type_code < static_cast<std::int32_t>(kLayerTypes.size())) {
    return std::string(kLayerTypes[static_cast<std::size_t>(type_code)]);
  }
  return "code " + std::to_string(type_code) + " (no type)";
}

ArrayName array_name(std::string_view label) {
  if (const format::ArrayEntry* a = format::layer_array_entry(label)) return {a->label, a->display_name, a->unit};
  return {label, label, UnitKind::None};
}

std::string_view length_name(std::string_view named) { return named.empty() ? kUnnamedLength : named; }

std::string unit_text(UnitKind unit, std::string_view length, std::int32_t time_unit) {
  const std::string time(time_unit_symbol(time_unit));
  const std::string l(length_name(length));
  switch (unit) {
    case UnitKind::None: return "";
    case UnitKind::Length: return l;
    case UnitKind::LengthPerTime: return l + "/" + time;
    case UnitKind::AreaPerTime: return l + "\xC2\xB2/" + time;
    case UnitKind::PerTime: return "1/" + time;
  }
  return "";
}

}  // namespace report
