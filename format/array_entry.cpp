#include "format/array_entry.h"

#include "format/basic_file.h"
#include "format/flow_file.h"

namespace format {

const ArrayEntry* layer_array_entry(std::string_view label) {
  for (const ArrayEntry* entry : {&kBoundaryArray, &kStartingHeadArray}) {
    if (entry->label == label) return entry;
  }
  for (const LayerArray& array : kLayerArrays) {
    if (array.entry.label == label) return &array.entry;
  }
  return nullptr;
}

}  // namespace format
