#pragma once
// Synthetic scanned copybook pages for tests, benchmarks and first runs: grey paper with a
// gradient and noise, ruled lines or a squared grid, handwriting-like strokes of several
// thicknesses, all turned by a small skew. The same options give the same bytes.
#include <cstdint>
#include <string>

#include "image/bitmap.h"

namespace quillaro {

enum class SampleGrid { Ruled, Squared };

struct SamplePageOptions {
  int width = 0;   // 0: A4 width at the resolution (4961 at 600 dpi)
  int height = 0;  // 0: A4 height (7016 at 600 dpi)
  int bits = 24;   // 1 (threshold 140 on grey), 8 or 24
  int dpi = 600;   // 600 or 1200: scales rulings and strokes
  std::uint64_t seed = 1;
  SampleGrid grid = SampleGrid::Ruled;
};

// Pixels per metre that belong with the options' resolution.
std::int32_t samplePixelsPerMetre(const SamplePageOptions& options);

// The page; an empty bitmap when the size or depth is invalid or memory is short.
Bitmap makeSamplePage(const SamplePageOptions& options);

}  // namespace quillaro
