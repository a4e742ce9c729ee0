#include "report/colour_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace report {
namespace {

// A perceptually even ramp from dark violet through teal to yellow, which
// reads in grey and for the common colour-vision deficiencies.
constexpr std::array<Rgb, 9> kRampAnchors = {{
    {68, 1, 84}, {71, 44, 122}, {59, 81, 139}, {44, 113, 142}, {33, 144, 141},
    {39, 173, 129}, {92, 200, 99}, {170, 220, 50}, {253, 231, 37},
}};

Rgb ramp_colour(double place) {
  const double scaled = std::clamp(place, 0.0, 1.0) * (kRampAnchors.size() - 1);
  const auto i = std::min<std::size_t>(static_cast<std::size_t>(scaled), kRampAnchors.size() - 2);
  const double t = scaled - static_cast<double>(i);
  auto mix = [&](std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
  };
  const Rgb& a = kRampAnchors[i];
  const Rgb& b = kRampAnchors[i + 1];
  return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

constexpr std::array<Rgb, kCellClasses> kClassColours = {{
    {214, 236, 196},  // active: pale green
    {77, 77, 77},     // no flow: dark grey
    {33, 102, 172},   // constant head: blue
    {231, 41, 138},   // other: magenta
    {200, 200, 200},  // no data: light grey
}};

// Ratio of high to low from which positive values get a logarithmic scale.
constexpr double kLogarithmicSpan = 1000.0;

}  // namespace

CellClass cell_class(std::int32_t boundary_value) {
  switch (boundary_value) {
    case 1: return CellClass::Active;
    case 0: return CellClass::NoFlow;
    case -1: return CellClass::ConstantHead;
    default: return CellClass::Other;
  }
}

const std::vector<Rgb>& boundary_palette() {
  static const std::vector<Rgb> palette(kClassColours.begin(), kClassColours.end());
  return palette;
}

Rgb class_colour(CellClass c) { return kClassColours[static_cast<std::size_t>(c)]; }

std::string css_colour(Rgb colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.r, colour.g, colour.b);
  return text;
}

const std::vector<Rgb>& value_palette() {
  static const std::vector<Rgb> palette = [] {
    std::vector<Rgb> colours;
    for (int i = 0; i < kRampSteps; ++i) colours.push_back(ramp_colour(i / double(kRampSteps - 1)));
    colours.push_back(class_colour(CellClass::Other));
    colours.push_back(class_colour(CellClass::NoData));
    colours.push_back(class_colour(CellClass::NoFlow));
    return colours;
  }();
  return palette;
}

ValueScale::ValueScale(double low, double high)
    : low_(low), high_(high), logarithmic_(low > 0.0 && high / low >= kLogarithmicSpan) {}

std::uint8_t ValueScale::index(double value) const {
  if (single_value()) return kRampSteps / 2;
  double place = logarithmic_ ? (std::log(value) - std::log(low_)) / (std::log(high_) - std::log(low_))
                              : (value - low_) / (high_ - low_);
  if (!(place >= 0.0)) place = 0.0;  // also NaN from a span beyond double range
  return static_cast<std::uint8_t>(std::lround(std::min(place, 1.0) * (kRampSteps - 1)));
}

double ValueScale::value_at(double place) const {
  if (logarithmic_) return std::exp(std::log(low_) + place * (std::log(high_) - std::log(low_)));
  return low_ + place * (high_ - low_);
}

std::string ramp_gradient() {
  std::string stops;
  for (std::size_t i = 0; i < kRampAnchors.size(); ++i) {
    if (i > 0) stops += ", ";
    stops += css_colour(kRampAnchors[i]);
  }
  return stops;
}

}  // namespace report
