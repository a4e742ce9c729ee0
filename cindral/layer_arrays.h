// The seven property arrays a layer of the flow file may hold, in the order
// they are asked, and which layers get each one: by the simulation type, the
// layer's type code and whether the layer is the bottom one.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

#include "common/array_entry.h"
#include "cindral/flow_file.h"

namespace cindral {

// Which runs ask for an array.
enum class Runs : std::uint8_t { Every, TransientOnly };
// Which layers of a run ask for it.
enum class Layers : std::uint8_t { Every, AllButBottom };

// A set of layer type codes: bit c stands for code c (0 to 3). Codes outside
// 0..3 are no error; they belong only to kEveryTypeCode.
using TypeCodes = std::uint32_t;
inline constexpr TypeCodes kEveryTypeCode = 0xFFFFFFFFu;
constexpr TypeCodes type_codes(std::initializer_list<int> codes) {
  TypeCodes set = 0;
  for (int code : codes) set |= TypeCodes{1} << code;
  return set;
}

struct Selection {
  Runs runs;
  TypeCodes codes;
  Layers layers;
};

struct LayerArray {
  common::ArrayInstance<float> instance;
  Selection selection;
};

// Order of entry within a layer. Every array is of the real kind, without
// legend lines, with print code 0. The texts are shown letter for letter as
// users and their answer scripts know them, "Conductivtiy" included: a
// corrected prompt would be a different dialogue.
inline constexpr std::array<LayerArray, 7> kLayerArrays = {{
    {{" Primary Storage Coefficient", " Primary Storage Array", " Primary Storage", {}, "SF1-",
      0, kFlowUnit},
     {Runs::TransientOnly, kEveryTypeCode, Layers::Every}},
    {{" Transmissivity", " Transmissivity Array", " Transmissivity", {}, "TRAN-", 0, kFlowUnit},
     {Runs::Every, type_codes({0, 2}), Layers::Every}},
    {{" Hydraulic Conductivtiy", " Hydraulic Conductivtiy Array", " Hydraulic Conductivity", {},
      "HYDCON-", 0, kFlowUnit},
     {Runs::Every, type_codes({1, 3}), Layers::Every}},
    {{" Bottom Elevation", " Bottom Elevation Array", " Bottom Elevation", {}, "BOT-", 0,
      kFlowUnit},
     {Runs::Every, type_codes({1, 3}), Layers::Every}},
    {{" Vertical Hydraulic Conductivtiy (Conductance)", " Vertical Conductance Array",
      " Vertical Conductance", {}, "VCON-", 0, kFlowUnit},
     {Runs::Every, kEveryTypeCode, Layers::AllButBottom}},
    {{" Secondary Storage Coefficient", " Secondary Storage Array", " Secondary Storage Array", {},
      "SF2-", 0, kFlowUnit},
     {Runs::TransientOnly, type_codes({2, 3}), Layers::Every}},
    {{" Top of Layer Elevations", " Top Elevation Array", " Top Elevation", {}, "TOP-", 0,
      kFlowUnit},
     {Runs::Every, type_codes({2, 3}), Layers::Every}},
}};

// Whether layer `layer` of `layer_count` is asked for an array with
// `selection`. A transient run is one whose simulation type is 0; any other
// value counts as steady state.
bool is_selected(const Selection& selection, std::int32_t simulation_type, std::int32_t type_code,
                 std::int64_t layer, std::int32_t layer_count);

}  // namespace cindral
