#include "report/model_files.h"

#include <algorithm>
#include <cstdio>

namespace report {

std::vector<std::string> model_file_paths(const ModelFacts& model) {
  std::vector<std::string> paths;
  auto add = [&](long unit) {
    char name[32];
    std::snprintf(name, sizeof name, "/FOR%03ld", unit);
    std::string path = model.folder + name;
    if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(std::move(path));
  };
  add(1);
  const auto& units = model.basic.module_units;
  for (std::size_t slot = 1; slot <= units.size(); ++slot) add(static_cast<long>(10 + slot));
  for (const std::int32_t unit : units) {
    if (unit != 0) add(unit);
  }
  return paths;
}

}  // namespace report
