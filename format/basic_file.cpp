#include "format/basic_file.h"

namespace format {

const Module* module_in_slot(std::size_t slot) {
  for (const Module& module : kModules) {
    if (static_cast<std::size_t>(module.slot) == slot) return &module;
  }
  return nullptr;
}

}  // namespace format
