#include "dialogues/cindral_list_entry.h"

#include <algorithm>

#include "common/array_entry.h"
#include "format/flow_file.h"

namespace dialogues::cindral {

void enter_list(common::Console& console, common::OutputFile& file,
                const ListInstance& list, std::span<float> entries, std::int32_t& same_answer,
                float& uniform_value) {
  static const format::DescriptorList values_format(format::kListValuesFormat);

  console.write_line({list.title_line});
  console.write_line({"  Are all values the same? 0=yes 1=no "});
  console.read_integer(same_answer);
  const bool uniform = same_answer == 0;
  if (uniform) {
    console.write_line({"  Value? :"});
    console.read_real(uniform_value);
    std::fill(entries.begin(), entries.end(), uniform_value);
  } else {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      console.write_line({list.entry_prompt, static_cast<std::int32_t>(i + 1)});
      console.read_real(entries[i]);
    }
  }

  common::write_array_control(file, list.entry.locator, 1.0f, list.entry.format_text,
                              list.entry.print_code, list.entry.label, 0);
  file.write_record(values_format, std::span<const float>(entries.data(), entries.size()));
}

}  // namespace dialogues::cindral
