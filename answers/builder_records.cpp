#include "answers/builder_records.h"

#include "format/array_control.h"

namespace answers {

std::string integer_array_control(std::int32_t locator, std::string_view format_text,
                                  std::int32_t print_code, std::string_view label, std::int64_t layer) {
  return format::render_array_control(locator, std::int32_t{1}, format_text, print_code, label,
                                      static_cast<std::int32_t>(layer));
}

std::string real_array_control(std::int32_t locator, std::string_view format_text,
                               std::int32_t print_code, std::string_view label, std::int64_t layer) {
  return format::render_array_control(locator, 1.0f, format_text, print_code, label,
                                      static_cast<std::int32_t>(layer));
}

}  // namespace answers
