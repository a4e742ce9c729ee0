// The colours of the maps: the classes of a boundary cell, and the colour
// ramp of a value map with its range (linear, or logarithmic where positive
// values span three orders of magnitude or more).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "report/png_image.h"

namespace report {

// What a boundary cell is, in the order in which a reduced pixel shows
// them: a pixel takes the highest class among its cells, so a lone
// constant-head or no-flow cell is never lost in a field of active ones.
enum class CellClass : std::uint8_t {
  Active = 0,        // +1
  NoFlow = 1,        // 0
  ConstantHead = 2,  // -1
  Other = 3,         // any other value, or a field that cannot be read
  NoData = 4,        // no cell (the file ended before it)
};
inline constexpr int kCellClasses = 5;

CellClass cell_class(std::int32_t boundary_value);

// Boundary pictures use the class as their palette index.
const std::vector<Rgb>& boundary_palette();
// The CSS colour of a class, and of the marks drawn over the maps.
std::string css_colour(Rgb colour);
Rgb class_colour(CellClass c);
inline constexpr Rgb kDrainColour{255, 127, 0};
inline constexpr Rgb kFindingColour{255, 215, 0};

// Value pictures: indexes 0 .. kRampSteps-1 run from low to high, then one
// index for a cell that cannot be read, one for no cell, and one for
// no-flow cells, which are not on the scale (the colour of no flow on the
// boundary map).
inline constexpr int kRampSteps = 250;
inline constexpr std::uint8_t kUnreadableIndex = kRampSteps;
inline constexpr std::uint8_t kNoDataIndex = kRampSteps + 1;
inline constexpr std::uint8_t kNoFlowIndex = kRampSteps + 2;
const std::vector<Rgb>& value_palette();

class ValueScale {
 public:
  ValueScale() = default;
  // The range of the readable values of a map.
  ValueScale(double low, double high);

  double low() const { return low_; }
  double high() const { return high_; }
  bool logarithmic() const { return logarithmic_; }
  bool single_value() const { return low_ == high_; }
  // The ramp index of `value`.
  std::uint8_t index(double value) const;
  // The value at a place 0..1 along the legend.
  double value_at(double place) const;

 private:
  double low_ = 0.0, high_ = 0.0;
  bool logarithmic_ = false;
};

// CSS stops of the ramp for the legend's gradient, low to high.
std::string ramp_gradient();

}  // namespace report
