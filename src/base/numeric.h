#pragma once
// Rounding and clamping shared by every pixel and field computation.
#include <algorithm>
#include <cmath>

namespace quillaro {

// Nearest integer, ties to even (the default floating-point rounding mode).
inline long long nearest(double v) { return std::llrint(v); }
inline int nearesti(double v) { return static_cast<int>(std::llrint(v)); }

// A real pixel coordinate to the nearest integer, kept far from the integer limits
// (NaN gives 0).
inline int pixelCoord(double v) {
  if (std::isnan(v)) return 0;
  return nearesti(v < -1.0e9 ? -1.0e9 : (v > 1.0e9 ? 1.0e9 : v));
}

template <class T>
constexpr T clampv(T v, T low, T high) { return v < low ? low : (high < v ? high : v); }

// Dots per millimetre at 600 dpi; exactly this value, not 600 / 25.4.
inline constexpr double kDotsPerMm600 = 23.622;
inline constexpr double kDotsPerMm1200 = 47.244;

// Millimetres to dots and back for display.
inline long long mmToDots(double mm, double factor) { return nearest(mm * factor); }
inline long long dotsToMm(double dots, double factor) { return static_cast<long long>(std::floor(dots / factor + 0.5)); }

}  // namespace quillaro
