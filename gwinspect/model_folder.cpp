#include "gwinspect/model_folder.h"

#include <cstring>

#include "platform/platform.h"

namespace gwinspect {

std::string folder_problem(const std::string& folder) {
  int error = 0;
  const platform::FileKind kind = platform::kind_at(folder, error);
  if (error != 0) return folder + ": " + std::strerror(error);
  if (kind == platform::FileKind::Directory) return {};
  std::string problem = folder + " is not a folder: name the folder of the model";
  const std::size_t slash = folder.find_last_of(platform::path_separators());
  if (slash == std::string::npos) {
    problem += ", such as .";
  } else {
    problem += ", such as " + (slash == 0 ? std::string("/") : folder.substr(0, slash));
  }
  return problem;
}

}  // namespace gwinspect
