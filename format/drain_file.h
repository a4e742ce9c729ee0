// FOR013, the drain file Quillet writes: the layouts of its records.
#pragma once

#include <cstdint>
#include <string_view>

namespace format {

inline constexpr std::int32_t kDrainUnit = 13;
inline constexpr std::string_view kDrainFileName = "FOR013";

// The maximum number of drains and the flow term output code.
inline constexpr std::string_view kDrainHeaderFormat = "(2i10)";
// A stress period's use code: negative reuses the previous period's drains,
// otherwise the number of drain records that follow.
inline constexpr std::string_view kUseCodeFormat = "(i10)";
// One drain: layer, row, column, elevation, conductance.
inline constexpr std::string_view kDrainFormat = "(3i10,2g10.3)";

}  // namespace format
