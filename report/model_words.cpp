#include "report/model_words.h"

#include <array>

namespace report {
namespace {

constexpr std::array<std::string_view, 6> kTimeUnits = {"undefined", "seconds", "minutes",
                                                        "hours",     "days",    "years"};
constexpr std::array<std::string_view, 6> kTimeSymbols = {"T", "second", "minute", "hour", "day", "year"};

constexpr std::array<ModuleName, 11> kModules = {{
    {1, "Block Centered Flow"},
    {2, "Wells"},
    {3, "Drains"},
    {4, "Rivers"},
    {5, "Evapo-Transpiration"},
    {7, "General Head Boundary"},
    {8, "Recharge"},
    {9, "Strongly Implicit Procedure"},
    {11, "Slice Successive Over Relaxation"},
    {12, "Output Control"},
    {19, "Interbed Storage"},
}};

constexpr std::array<std::string_view, 4> kLayerTypes = {
    "confined", "unconfined", "confined/unconfined, constant transmissivity",
    "confined/unconfined, variable transmissivity"};

constexpr std::array<ArrayName, 9> kArrays = {{
    {"IBOUND-", "Boundary", UnitKind::None},
    {"SHEAD-", "Starting head", UnitKind::Length},
    {"SF1-", "Primary storage coefficient", UnitKind::None},
    {"TRAN-", "Transmissivity", UnitKind::AreaPerTime},
    {"HYDCON-", "Hydraulic conductivity", UnitKind::LengthPerTime},
    {"BOT-", "Bottom elevation", UnitKind::Length},
    {"VCON-", "Vertical conductance", UnitKind::PerTime},
    {"SF2-", "Secondary storage coefficient", UnitKind::None},
    {"TOP-", "Top elevation", UnitKind::Length},
}};

bool known_time_unit(std::int32_t code) { return code >= 0 && code < static_cast<std::int32_t>(kTimeUnits.size()); }

}  // namespace

std::string time_unit_words(std::int32_t time_unit) {
  if (known_time_unit(time_unit)) return std::string(kTimeUnits[static_cast<std::size_t>(time_unit)]);
  return "code " + std::to_string(time_unit) + " (no time unit)";
}

std::string_view time_unit_symbol(std::int32_t time_unit) {
  return known_time_unit(time_unit) ? kTimeSymbols[static_cast<std::size_t>(time_unit)] : "T";
}

std::span<const ModuleName> modules() { return kModules; }

std::string layer_type_words(std::int32_t type_code) {
  if (type_code >= 0 && type_code < static_cast<std::int32_t>(kLayerTypes.size())) {
    return std::string(kLayerTypes[static_cast<std::size_t>(type_code)]);
  }
  return "code " + std::to_string(type_code) + " (no type)";
}

ArrayName array_name(std::string_view label) {
  for (const ArrayName& a : kArrays) {
    if (a.label == label) return a;
  }
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
