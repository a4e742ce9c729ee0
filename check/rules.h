// The rules of the check: each one's stable name and severity. An error is
// what makes the simulator read other columns than the builder wrote, stop,
// or divide by zero; a warning is a value the simulator runs with that is
// most likely a mistake.
#pragma once

#include <string_view>

#include "check/diagnostic.h"

namespace check {

struct Rule {
  std::string_view name;
  Severity severity;
};

namespace rules {

using enum Severity;

// The folder and the files between them.
inline constexpr Rule kNoBasicFile{"no-basic-file", Error};
inline constexpr Rule kUnreadableFile{"unreadable-file", Error};
inline constexpr Rule kModuleFileMissing{"module-file-missing", Error};
inline constexpr Rule kModuleNotSelected{"module-not-selected", Warning};
inline constexpr Rule kModuleUnit{"module-unit", Warning};
// One rule, two severities: without a solver the simulator cannot run; two
// are most likely a mistake.
inline constexpr Rule kNoSolver{"solver", Error};
inline constexpr Rule kTwoSolvers{"solver", Warning};
inline constexpr Rule kGridDiffers{"grid-differs", Error};
inline constexpr Rule kPeriodsMissing{"periods-missing", Error};
inline constexpr Rule kPeriodsExtra{"periods-extra", Warning};

// Structure: records where their layouts say.
inline constexpr Rule kStructure{"structure", Error};
inline constexpr Rule kEndsEarly{"file-ends-early", Error};
inline constexpr Rule kAsterisks{"asterisks", Error};
inline constexpr Rule kNotANumber{"not-a-number", Error};
inline constexpr Rule kShortLine{"short-line", Warning};
inline constexpr Rule kLocator{"array-locator", Error};
inline constexpr Rule kMultiplier{"array-multiplier", Warning};
inline constexpr Rule kLayerNumber{"layer-number", Warning};

// Run header and stress periods (FOR001).
inline constexpr Rule kGridEmpty{"grid-empty", Error};
inline constexpr Rule kNoStressPeriod{"no-stress-period", Error};
inline constexpr Rule kTimeUnit{"time-unit", Warning};
inline constexpr Rule kPeriodLength{"period-length", Error};
inline constexpr Rule kTimeSteps{"time-steps", Error};
inline constexpr Rule kStepMultiplier{"step-multiplier", Error};
inline constexpr Rule kBoundaryValue{"boundary-value", Warning};
inline constexpr Rule kNoActiveCell{"no-active-cell", Warning};

// Properties (FOR011).
inline constexpr Rule kLayerType{"layer-type", Error};
inline constexpr Rule kAnisotropy{"anisotropy", Warning};
inline constexpr Rule kCellWidth{"cell-width", Error};
inline constexpr Rule kStorage{"storage", Warning};
inline constexpr Rule kTransmissivity{"transmissivity", Warning};
inline constexpr Rule kConductivity{"conductivity", Warning};
inline constexpr Rule kTopBelowBottom{"top-below-bottom", Warning};
inline constexpr Rule kHeadBelowBottom{"head-below-bottom", Warning};

// Drains (FOR013).
inline constexpr Rule kDrainOutsideGrid{"drain-outside-grid", Error};
inline constexpr Rule kDrainsOverMaximum{"drains-over-maximum", Error};
inline constexpr Rule kReuseInFirstPeriod{"reuse-in-first-period", Error};
inline constexpr Rule kDrainInNoFlowCell{"drain-in-no-flow-cell", Warning};
inline constexpr Rule kDrainInConstantHeadCell{"drain-in-constant-head-cell", Warning};
inline constexpr Rule kDrainListedTwice{"drain-listed-twice", Warning};
inline constexpr Rule kDrainConductance{"drain-conductance", Warning};
inline constexpr Rule kDrainBelowBottom{"drain-below-bottom", Warning};

}  // namespace rules
}  // namespace check
