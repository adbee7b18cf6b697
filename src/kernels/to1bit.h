#pragma once
// Conversion of an 8-bit grey picture to a 1-bit black-and-white picture by a fixed
// threshold: a pixel becomes black when its grey value is less than the threshold.
#include <cstdint>

#include "image/bitmap.h"

namespace quillaro {

// One row: width grey bytes to (width + 7) / 8 bytes of 1-bit pixels, black where
// grey < threshold. The bits after the last pixel are 1. A threshold of 0 or less gives
// all white, one above 255 all black.
// Fills a 1-bit row for a threshold that leaves nothing to compare (at most 0: all white;
// above 255: all black, bits after the last pixel white). False for other thresholds.
bool bitRowForExtremeThreshold(std::uint8_t* out, int width, int threshold);

void bitRowFrom8(const std::uint8_t* grey, int width, std::uint8_t* out, int threshold);

// The whole picture: a new 1-bit picture of the same size, rows in the same order, row
// bytes (width + 7) / 8, stride ((width + 31) / 32) x 4, padding bytes 255. Returns an
// empty record (and leaves `grey` alone in every case) when `grey` is empty, is not 8-bit,
// or the memory cannot be had.
Bitmap to1bit(const Bitmap& grey, int threshold);

}  // namespace quillaro
