#include "kernels/simd_level.h"

#include <atomic>
#include <cstdlib>
#include <string_view>

namespace quillaro {

namespace {

SimdLevel detect() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(QUILLARO_NO_SIMD)
  __builtin_cpu_init();
  // The kernels are also built for BMI, BMI2 and POPCNT, which every such processor has;
  // they are checked all the same.
  const bool base = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                    __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
  if (!base) return SimdLevel::Scalar;
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi") &&
      __builtin_cpu_supports("gfni"))
    return SimdLevel::Avx512;
  return SimdLevel::Avx2;
#endif
  return SimdLevel::Scalar;
}

// QUILLARO_SIMD_LEVEL=scalar, avx2 or avx512 lowers the level the kernels start at, so
// that a whole test run can use the plain or the 256-bit code; it never raises it.
int initialLevel() {
  int level = static_cast<int>(supportedSimdLevel());
  if (const char* v = std::getenv("QUILLARO_SIMD_LEVEL")) {
    const std::string_view want(v);
    const int asked = want == "scalar" ? 0 : want == "avx2" ? 1 : want == "avx512" ? 2 : level;
    if (asked < level) level = asked;
  }
  return level;
}

std::atomic<int>& current() {
  static std::atomic<int> level{initialLevel()};
  return level;
}

}  // namespace

SimdLevel supportedSimdLevel() {
  static const SimdLevel level = detect();
  return level;
}

SimdLevel simdLevel() { return static_cast<SimdLevel>(current().load(std::memory_order_relaxed)); }

SimdLevel forceSimdLevel(SimdLevel level) {
  const int best = static_cast<int>(supportedSimdLevel());
  int want = static_cast<int>(level);
  if (want > best) want = best;
  if (want < 0) want = 0;
  current().store(want, std::memory_order_relaxed);
  return static_cast<SimdLevel>(want);
}

}  // namespace quillaro
