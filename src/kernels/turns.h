#pragma once
// Whole-picture turns: over by 180 degrees in place, and by 90 degrees to the right
// (clockwise) or to the left (counter-clockwise) into a new picture with width and height
// exchanged. Pictures of 1, 8 and 24 bits; rows stay bottom-up as in the file.
//
// In picture coordinates (x to the right, y down from the top), for a W x H source:
//   over:  pixel (x, y) goes to (W - 1 - x, H - 1 - y);
//   right: pixel (x, y) goes to (H - 1 - y, x) of an H x W picture;
//   left:  pixel (x, y) goes to (y, W - 1 - x) of an H x W picture.
// In 1-bit results the bits after the last pixel of a row are 1 and padding bytes are
// 255; the source's own padding bits never reach a pixel.
#include "image/bitmap.h"

namespace quillaro {

class Progress;

// With a progress sink the kernels report a percentage and let pending events run every
// 32 rows (every 512 destination rows for quarter turns of 8 and 24 bits, which work in
// square tiles), and 100 at the end. A stop request is not acted upon: a turn always runs
// to its end, so the picture is never left half turned.

// Turns the picture over in place. Returns false, changing nothing, for an empty picture
// or a depth other than 1, 8 or 24; true otherwise.
bool turnOver(Bitmap& picture, Progress* progress = nullptr);

// The picture turned clockwise / counter-clockwise. The source is never changed. Returns
// an empty record for an empty source, a depth other than 1, 8 or 24, or when the memory
// for the result cannot be had.
Bitmap turnRight(const Bitmap& picture, Progress* progress = nullptr);
Bitmap turnLeft(const Bitmap& picture, Progress* progress = nullptr);

// The same into a picture already allocated with the turned geometry (width = source
// height, height = source width, same depth), for callers that reuse a buffer. Every byte
// of the result is written. Returns false, changing nothing, for a source that the turns
// above refuse or a result of another geometry (or the source itself).
bool turnRightInto(const Bitmap& picture, Bitmap& result, Progress* progress = nullptr);
bool turnLeftInto(const Bitmap& picture, Bitmap& result, Progress* progress = nullptr);

}  // namespace quillaro
