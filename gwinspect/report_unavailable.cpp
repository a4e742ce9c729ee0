// gwinspect report in a build without libpng, which draws its maps: the
// Windows build, since Debian ships no libpng for MinGW-w64. The subcommand
// says so instead of being unknown.
#include <iostream>

#include "subcommands.h"

namespace gwinspect {

int run_report(std::span<char* const>) {
  std::cerr << "gwinspect report: not in this build: its maps need libpng, which the build did not find;\n"
               "gwinspect check shows the findings without the page\n";
  return kFailed;
}

}  // namespace gwinspect
