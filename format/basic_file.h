// FOR001, the basic file Morvek writes: its records' layouts, the module
// unit table, the boundary and starting-head arrays, the time units.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "format/array_entry.h"

namespace format {

inline constexpr std::int32_t kBasicUnit = 1;
inline constexpr std::string_view kBasicFileName = "FOR001";

// The records of the run header, the no-flow head and a stress period.
inline constexpr std::size_t kTitleLength = 80;
inline constexpr std::string_view kTitleFormat = "(a80)";
inline constexpr std::string_view kDimensionFormat = "(8I10)";
inline constexpr std::string_view kModuleTableFormat = "(24I3)";
inline constexpr std::string_view kOptionFormat = "(2I10)";
inline constexpr std::string_view kNoFlowHeadFormat = "(G10.3)";
inline constexpr std::string_view kStressPeriodFormat = "(G10.3,I10,G10.3)";

// The module unit table: 24 slots, of which Morvek asks for eleven. A
// selected module's slot holds unit 10 + slot, the file the simulator
// reads the module from.
inline constexpr std::size_t kModuleSlots = 24;
constexpr std::int32_t module_unit(std::size_t slot) { return 10 + static_cast<std::int32_t>(slot); }

struct Module {
  int slot;
  std::string_view name;        // "Strongly Implicit Procedure"
  std::string_view short_name;  // "Strongly Implicit": the name in a sentence
};

inline constexpr std::array<Module, 11> kModules = {{
    {1, "Block Centered Flow", "Block Centered Flow"},
    {2, "Wells", "Wells"},
    {3, "Drains", "Drains"},
    {4, "Rivers", "Rivers"},
    {5, "Evapo-Transpiration", "Evapo-Transpiration"},
    {7, "General Head Boundary", "General Head Boundary"},
    {8, "Recharge", "Recharge"},
    {9, "Strongly Implicit Procedure", "Strongly Implicit"},
    {11, "Slice Successive Over Relaxation", "SSOR"},
    {12, "Output Control", "Output Control"},
    {19, "Interbed Storage", "Interbed Storage"},
}};

// Slots that readers single out: the two files the builders write, the
// two solvers.
inline constexpr std::size_t kFlowSlot = 1;
inline constexpr std::size_t kDrainSlot = 3;
inline constexpr std::size_t kStronglyImplicitSlot = 9;
inline constexpr std::size_t kSsorSlot = 11;

// The module of `slot`; nullptr for a slot Morvek never asks for.
const Module* module_in_slot(std::size_t slot);

// The two arrays of every layer; their values follow in FOR001 itself.
inline constexpr ArrayEntry kBoundaryArray = {
    "IBOUND-", ValueKind::Integer, kIntegerValuesFormat, 3, kBasicUnit, "Boundary", UnitKind::None};
inline constexpr ArrayEntry kStartingHeadArray = {
    "SHEAD-", ValueKind::Real, kRealValuesFormat, 0, kBasicUnit, "Starting head", UnitKind::Length};

// The time unit codes 0 to 5: in words, and as the unit of a rate ("T"
// for a code that names no unit).
inline constexpr std::array<std::string_view, 6> kTimeUnitWords = {
    "undefined", "seconds", "minutes", "hours", "days", "years"};
inline constexpr std::array<std::string_view, 6> kTimeUnitSymbols = {
    "T", "second", "minute", "hour", "day", "year"};

}  // namespace format
