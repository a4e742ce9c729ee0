// The seven property arrays of a layer as Cindral asks them: the file's
// entries and selection rules, each joined with its prompts.
#pragma once

#include <array>
#include <string_view>

#include "common/array_entry.h"
#include "format/flow_file.h"

namespace dialogues::cindral {

struct LayerArray {
  common::ArrayInstance<float> instance;
  format::Selection selection;
};

// The prompts of one array: a title line, the heading after "Layer " and
// the number, the cell line after " Column " and the number.
struct Prompts {
  std::string_view title_line;
  std::string_view heading_suffix;
  std::string_view cell_suffix;
};

constexpr LayerArray with_prompts(const format::LayerArray& array, const Prompts& prompts) {
  return {{prompts.title_line, prompts.heading_suffix, prompts.cell_suffix, {}, array.entry.label,
           array.entry.print_code, array.entry.locator},
          array.selection};
}

// In the file's order of entry within a layer. The texts are shown letter
// for letter as users and their answer scripts know them, "Conductivtiy"
// included: a corrected prompt would be a different dialogue.
inline constexpr std::array<LayerArray, format::kLayerArrays.size()> kLayerArrays = {
    with_prompts(format::kLayerArrays[0],
                 {" Primary Storage Coefficient", " Primary Storage Array", " Primary Storage"}),
    with_prompts(format::kLayerArrays[1],
                 {" Transmissivity", " Transmissivity Array", " Transmissivity"}),
    with_prompts(format::kLayerArrays[2], {" Hydraulic Conductivtiy", " Hydraulic Conductivtiy Array",
                                           " Hydraulic Conductivity"}),
    with_prompts(format::kLayerArrays[3],
                 {" Bottom Elevation", " Bottom Elevation Array", " Bottom Elevation"}),
    with_prompts(format::kLayerArrays[4], {" Vertical Hydraulic Conductivtiy (Conductance)",
                                           " Vertical Conductance Array", " Vertical Conductance"}),
    with_prompts(format::kLayerArrays[5], {" Secondary Storage Coefficient",
                                           " Secondary Storage Array", " Secondary Storage Array"}),
    with_prompts(format::kLayerArrays[6],
                 {" Top of Layer Elevations", " Top Elevation Array", " Top Elevation"}),
};

}  // namespace dialogues::cindral
