// FOR011, the block-centred flow file Cindral writes: its records' layouts,
// its three lists, and the seven property arrays a layer may hold with the
// rules that say which layers hold which.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "format/array_entry.h"

namespace format {

// The unit by which the file's array-control records name it: the values
// always follow in the same file.
inline constexpr std::int32_t kFlowUnit = 11;
inline constexpr std::string_view kFlowFileName = "FOR011";

inline constexpr std::string_view kFlowHeaderFormat = "(2i10)";
inline constexpr std::string_view kLayerTypeFormat = "(40i2)";
// The values of the three lists (the anisotropy factors by layer, the cell
// widths by column and by row).
inline constexpr std::string_view kListValuesFormat = "(10g10.3)";

// The lists, each one record of values after its array-control record
// (layer 0). The format texts are as the files hold them, DELC-'s in lower
// case.
inline constexpr ArrayEntry kAnisotropyList = {
    "TRPY-", ValueKind::Real, "(10G10.3)", 0, kFlowUnit, "Anisotropy factor", UnitKind::None};
inline constexpr ArrayEntry kRowWidthList = {
    "DELR-", ValueKind::Real, "(10G10.3)", 0, kFlowUnit, "Cell width along rows", UnitKind::Length};
inline constexpr ArrayEntry kColumnWidthList = {
    "DELC-", ValueKind::Real, "(10g10.3)", 0, kFlowUnit, "Cell width along columns", UnitKind::Length};

// Which runs hold an array.
enum class Runs : std::uint8_t { Every, TransientOnly };
// Which layers of a run hold it.
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
  ArrayEntry entry;
  Selection selection;
};

// A property array: of the real kind, written ten G10.3 values a line with
// print code 0, its values following in FOR011 itself.
constexpr LayerArray property_array(std::string_view label, std::string_view display_name, UnitKind unit,
                                    Selection selection) {
  return {{label, ValueKind::Real, kRealValuesFormat, 0, kFlowUnit, display_name, unit}, selection};
}

// The property arrays in their order within a layer: label, name, unit,
// and which runs, type codes and layers hold them.
inline constexpr std::array<LayerArray, 7> kLayerArrays = {
    property_array("SF1-",    "Primary storage coefficient",   UnitKind::None,          {Runs::TransientOnly, kEveryTypeCode, Layers::Every}),
    property_array("TRAN-",   "Transmissivity",                UnitKind::AreaPerTime,   {Runs::Every, type_codes({0, 2}), Layers::Every}),
    property_array("HYDCON-", "Hydraulic conductivity",        UnitKind::LengthPerTime, {Runs::Every, type_codes({1, 3}), Layers::Every}),
    property_array("BOT-",    "Bottom elevation",              UnitKind::Length,        {Runs::Every, type_codes({1, 3}), Layers::Every}),
    property_array("VCON-",   "Vertical conductance",          UnitKind::PerTime,       {Runs::Every, kEveryTypeCode, Layers::AllButBottom}),
    property_array("SF2-",    "Secondary storage coefficient", UnitKind::None,          {Runs::TransientOnly, type_codes({2, 3}), Layers::Every}),
    property_array("TOP-",    "Top elevation",                 UnitKind::Length,        {Runs::Every, type_codes({2, 3}), Layers::Every}),
};

// The entries of kLayerArrays by name, for readers that single one out.
inline constexpr const ArrayEntry& kPrimaryStorageArray = kLayerArrays[0].entry;
inline constexpr const ArrayEntry& kTransmissivityArray = kLayerArrays[1].entry;
inline constexpr const ArrayEntry& kConductivityArray = kLayerArrays[2].entry;
inline constexpr const ArrayEntry& kBottomArray = kLayerArrays[3].entry;
inline constexpr const ArrayEntry& kVerticalConductanceArray = kLayerArrays[4].entry;
inline constexpr const ArrayEntry& kSecondaryStorageArray = kLayerArrays[5].entry;
inline constexpr const ArrayEntry& kTopArray = kLayerArrays[6].entry;

// Whether layer `layer` of `layer_count` holds an array with `selection`.
// A transient run is one whose simulation type is 0; any other value counts
// as steady state.
bool is_selected(const Selection& selection, std::int32_t simulation_type, std::int32_t type_code,
                 std::int64_t layer, std::int32_t layer_count);

// The layer type codes 0 to 3 in words.
inline constexpr std::array<std::string_view, 4> kLayerTypeWords = {
    "confined", "unconfined", "confined/unconfined, constant transmissivity",
    "confined/unconfined, variable transmissivity"};

}  // namespace format
