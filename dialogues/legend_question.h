// A question whose legend follows it: the question line, the lines that
// explain its answers, then the answer. Should the answer fail, the error
// report names the question line, not the last legend line.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "common/console.h"
#include "format/record_render.h"

namespace dialogues {

void ask_with_legend(common::Console& console, std::initializer_list<format::Item> question,
                     std::initializer_list<std::string_view> legend, std::int32_t& answer);
void ask_with_legend(common::Console& console, std::initializer_list<format::Item> question,
                     std::initializer_list<std::string_view> legend, float& answer);

}  // namespace dialogues
