#include "answers/builder_records.h"

#include <span>

#include "format/descriptor_list.h"
#include "format/record_render.h"

namespace answers {
namespace {

template <typename Multiplier>
std::string array_control(const format::DescriptorList& list, std::int32_t locator,
                          Multiplier multiplier, std::string_view format_text,
                          std::int32_t print_code, std::string_view label, std::int64_t layer) {
  // The format text goes out as five A4 items, left-aligned in 20 columns.
  std::string format(format_text.substr(0, 20));
  format.resize(20, ' ');
  const std::string_view f(format);
  const format::Item items[] = {locator,          multiplier,       f.substr(0, 4), f.substr(4, 4),
                                  f.substr(8, 4),   f.substr(12, 4),  f.substr(16, 4), print_code,
                                  label,            static_cast<std::int32_t>(layer)};
  std::string record;
  std::string scratch;
  format::render_records(list, std::span<const format::Item>(items),
                           [&](std::string_view text) { record += text; }, scratch);
  return record;
}

}  // namespace

std::string integer_array_control(std::int32_t locator, std::string_view format_text,
                                  std::int32_t print_code, std::string_view label, std::int64_t layer) {
  static const format::DescriptorList list("(I10,I10,5A4,I10,A10,I3)");
  return array_control(list, locator, std::int32_t{1}, format_text, print_code, label, layer);
}

std::string real_array_control(std::int32_t locator, std::string_view format_text,
                               std::int32_t print_code, std::string_view label, std::int64_t layer) {
  static const format::DescriptorList list("(I10,G10.3,5A4,I10,A10,I3)");
  return array_control(list, locator, 1.0f, format_text, print_code, label, layer);
}

}  // namespace answers
