#include "dialogues/legend_question.h"

namespace dialogues {
namespace {

void show_question(common::Console& console, std::initializer_list<format::Item> question,
                   std::initializer_list<std::string_view> legend) {
  console.write_question(question);
  for (const std::string_view line : legend) console.write_line({line});
}

}  // namespace

void ask_with_legend(common::Console& console, std::initializer_list<format::Item> question,
                     std::initializer_list<std::string_view> legend, std::int32_t& answer) {
  show_question(console, question, legend);
  console.read_integer(answer);
}

void ask_with_legend(common::Console& console, std::initializer_list<format::Item> question,
                     std::initializer_list<std::string_view> legend, float& answer) {
  show_question(console, question, legend);
  console.read_real(answer);
}

}  // namespace dialogues
