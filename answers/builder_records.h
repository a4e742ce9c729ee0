// Records exactly as the builders write them, to hold a file's records
// against: the array-control record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace answers {

// The array-control record of an integer array (multiplier 1) or a real one
// (multiplier 1.0), without its line end.
std::string integer_array_control(std::int32_t locator, std::string_view format_text,
                                  std::int32_t print_code, std::string_view label, std::int64_t layer);
std::string real_array_control(std::int32_t locator, std::string_view format_text,
                               std::int32_t print_code, std::string_view label, std::int64_t layer);

}  // namespace answers
