#pragma once
// Conversions of received numbers that must not overflow.

#include <cmath>
#include <limits>

namespace vantor::model {

// Truncation toward zero, saturated to the int range; NaN gives 0. Wire
// numbers are read with "%lf", which also accepts "inf" and "nan".
inline int TruncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

}  // namespace vantor::model
