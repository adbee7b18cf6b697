#pragma once
// Shared by the adjustment tests: the vector levels this processor supports, a guard that
// puts the level back, and pictures of random bytes (row padding included).
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "kernels/simd_level.h"
#include "image/bitmap.h"

namespace quillaro {

inline std::vector<SimdLevel> levelsHere() {
  std::vector<SimdLevel> levels;
  for (int l = 0; l <= static_cast<int>(supportedSimdLevel()); ++l)
    levels.push_back(static_cast<SimdLevel>(l));
  return levels;
}

inline std::string levelName(SimdLevel l) {
  static const char* const names[] = {"scalar", "avx2", "avx512"};
  return names[static_cast<int>(l)];
}

inline Bitmap randomPicture(int w, int h, int bits, unsigned seed) {
  Bitmap b = Bitmap::create(w, h, bits);
  std::mt19937 rng(seed);
  for (std::size_t i = 0; i < b.byteCount(); ++i) b.data()[i] = static_cast<std::uint8_t>(rng());
  return b;
}

class LevelGuard {
public:
  LevelGuard() : saved_(simdLevel()) {}
  ~LevelGuard() { forceSimdLevel(saved_); }
  LevelGuard(const LevelGuard&) = delete;

private:
  SimdLevel saved_;
};

}  // namespace quillaro
