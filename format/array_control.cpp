#include "format/array_control.h"

#include <span>

namespace format {

std::string render_array_control(std::int32_t locator, const Item& multiplier,
                                 std::string_view format_text, std::int32_t print_code,
                                 std::string_view label, std::int32_t layer) {
  static const DescriptorList integer_multiplier("(I10,I10,5A4,I10,A10,I3)");
  static const DescriptorList real_multiplier("(I10,G10.3,5A4,I10,A10,I3)");
  std::string text(format_text.substr(0, 20));
  text.resize(20, ' ');
  const std::string_view t(text);
  const Item items[] = {locator,         multiplier,      t.substr(0, 4), t.substr(4, 4),
                        t.substr(8, 4),  t.substr(12, 4), t.substr(16, 4), print_code,
                        label,           layer};
  const DescriptorList& list =
      multiplier.kind == Item::Kind::Real ? real_multiplier : integer_multiplier;
  std::string record;
  std::string scratch;
  render_records(list, std::span<const Item>(items), [&](std::string_view r) { record += r; },
                 scratch);
  return record;
}

const DescriptorList& array_control_layout() {
  static const DescriptorList layout("(I10,G10.3,A20,I10,A10,I3)");
  return layout;
}

bool looks_like_array_control(std::string_view line) {
  if (line.size() < 60 || line[20] != '(') return false;
  std::string_view label = line.substr(50, 10);
  while (!label.empty() && label.back() == ' ') label.remove_suffix(1);
  return !label.empty() && label.back() == '-';
}

}  // namespace format
