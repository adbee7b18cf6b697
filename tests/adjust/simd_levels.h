#pragma once
// Runs a test body at every vector level this processor supports, and puts the level back.
#include <string>
#include <vector>

#include "adjust/simd_level.h"

namespace quillaro {

inline std::vector<SimdLevel> levelsHere() {
  std::vector<SimdLevel> levels;
  for (int l = 0; l <= static_cast<int>(supportedSimdLevel()); ++l)
    levels.push_back(static_cast<SimdLevel>(l));
  return levels;
}

inline std::string levelName(SimdLevel l) {
  switch (l) {
    case SimdLevel::Scalar: return "scalar";
    case SimdLevel::Avx2: return "avx2";
    case SimdLevel::Avx512: return "avx512";
  }
  return "?";
}

class LevelGuard {
public:
  LevelGuard() : saved_(simdLevel()) {}
  ~LevelGuard() { forceSimdLevel(saved_); }
  LevelGuard(const LevelGuard&) = delete;
  LevelGuard& operator=(const LevelGuard&) = delete;

private:
  SimdLevel saved_;
};

}  // namespace quillaro
