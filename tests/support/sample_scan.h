#pragma once
// A synthetic scanned page written as a bitmap file.
#include <cstdint>
#include <string>

#include "image/bmp_file.h"
#include "image/sample_page.h"

namespace quillaro::testing {

// The page at `path` (A4 unless a size is given); the path, or "" when it could not be written.
inline std::string writeSampleScan(const std::string& path, int bits, std::uint64_t seed, int width = 0,
                                   int height = 0) {
  SamplePageOptions o;
  o.bits = bits;
  o.seed = seed;
  if (width > 0) {
    o.width = width;
    o.height = height;
  }
  return writeBitmap(path, makeSamplePage(o), samplePixelsPerMetre(o)) ? path : std::string();
}

}  // namespace quillaro::testing
