#include "answers/array_answers.h"

#include <array>
#include <utility>

namespace answers {

std::string_view array_subject(std::string_view label) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kSubjects = {{
      {"IBOUND-", "boundary"},
      {"SHEAD-", "starting head"},
      {"SF1-", "primary storage"},
      {"TRAN-", "transmissivity"},
      {"HYDCON-", "hydraulic conductivity"},
      {"BOT-", "bottom elevation"},
      {"VCON-", "vertical conductance"},
      {"SF2-", "secondary storage"},
      {"TOP-", "top elevation"},
  }};
  for (const auto& [tag, subject] : kSubjects) {
    if (tag == label) return subject;
  }
  return label;
}

}  // namespace answers
