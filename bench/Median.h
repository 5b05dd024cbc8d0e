// The middle of a set of measurements: robust against the odd slow run.
#pragma once

#include <algorithm>
#include <vector>

namespace tavrin::bench {

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace tavrin::bench
