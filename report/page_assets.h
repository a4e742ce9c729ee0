// The page's style sheet and script (page.css and page.js in the sources),
// built into the program so that every report carries them.
#pragma once

#include <string_view>

namespace report {

extern const std::string_view kPageStyle;
extern const std::string_view kPageScript;

}  // namespace report
