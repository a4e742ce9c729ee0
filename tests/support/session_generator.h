// Random but reproducible sessions of each builder, for property runs:
// small grids, counts of zero and below, uniform and cell-by-cell arrays,
// null answers, values in both G10.3 forms and at their edges, values too
// wide for their fields, and sometimes a session cut short.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

std::string random_morvek_session(std::uint32_t seed);
std::string random_cindral_session(std::uint32_t seed);
std::string random_quillet_session(std::uint32_t seed);

}  // namespace testing_support
