// The usage line of each gwinspect subcommand, as --help begins with it and
// every usage error ends with it, written out once for the tests.
#pragma once

#include <string>

namespace testing_support {

inline const std::string kAnswersUsage = "usage: gwinspect answers [--as morvek|cindral|quillet] FILE\n";
inline const std::string kCheckUsage = "usage: gwinspect check [--format=text|json] [DIR]\n";
inline const std::string kReportUsage = "usage: gwinspect report [DIR] [-o FILE|-] [--length-unit NAME]\n";
inline const std::string kTryUsage = "usage: gwinspect try ANSWERS --as morvek|cindral|quillet\n";

}  // namespace testing_support
