// The block-centred flow file that Cindral writes, and the unit by which its
// array-control records name it (the values always follow in the same file).
#pragma once

#include <cstdint>
#include <string_view>

namespace cindral {

inline constexpr std::int32_t kFlowUnit = 11;
inline constexpr std::string_view kFlowFileName = "FOR011";

}  // namespace cindral
