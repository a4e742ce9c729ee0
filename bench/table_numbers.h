// The numbers of a benchmark table: the median of the timed runs, a value
// written with a printf pattern, and the column that says whether the
// targets were met.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

inline std::string format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

inline std::string verdict(bool time_met, bool memory_met) {
  if (time_met && memory_met) return "met";
  if (!time_met && !memory_met) return "MISSED: time, memory";
  return time_met ? "MISSED: memory" : "MISSED: time";
}

}  // namespace bench
