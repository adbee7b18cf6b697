#pragma once
// The copy's pixel kernels: a zone of a picture mapped into a frame of a page by scale and
// angle (whole bytes, small angle, fast, general), the two-originals half, mirroring and
// the fill ratio. Plain bitmaps in and out, so that tests and benchmarks can call them.
#include "image/bitmap.h"

namespace quillaro {

class Progress;

enum class CopyPath {
  WholeByte,   // 1:1, no turn, whole bytes at 1 bit ("Копировать по байтам")
  SmallAngle,  // |a| <= 0.05
  Fast,        // 1 bit, small angle and scale near 1, one mapping per destination byte
  General,     // any angle
};

// One frame in page coordinates.
// How frame cells map to picture pixels: the frame's size, the zone origin in the picture,
// the scale factors and the angle. Both the single frame and the two-originals half use it.
struct ZoneMapping {
  int width = 0;      // W, frame columns
  int height = 0;     // H, frame rows
  int zoneLeft = 0;   // picture column of the zone origin (may be negative)
  int zoneTop = 0;
  double sx = 1, sy = 1;  // scale factors
  double a = 0;           // radians
};

struct FrameMapping : ZoneMapping {
  int destLeft = 0;   // page column of frame column 0 (frame left - margin)
  int destTop = 0;    // page row, from the top, of frame row 0
};

struct PathChoice {
  bool byBytes = false;  // "Копировать по байтам"
  bool fast = false;     // "Копировать быстро"
  bool paste = false;    // ChPaste
};

CopyPath choosePath(const FrameMapping& f, int bits, const PathChoice& c);

// Draws the frame of `picture` into `page` (same depth) by the path. Positions outside the
// picture are skipped and positions outside the page are cut off. Rows are spread over
// `threads` threads (0: all cores); progress every 32 frame rows, with the stop request:
// returns false when the user asked to stop.
bool drawFrame(const Bitmap& picture, Bitmap& page, const FrameMapping& f, CopyPath path,
               Progress* progress = nullptr, int threads = 0);

// Two originals: the zone is turned by 90 degrees into an A5 half of the page.
struct TwoOriginalsMapping : ZoneMapping {
  int pageColumn0 = 0;  // page column of frame row 0 (frame top - margin)
  int rowBase = 0;      // middle - margin + frame left (lower) or - frame left (upper)
  bool upper = false;   // Ch2of2
  bool back = false;    // ChBackRotat
};
// The page row (from the top) and column of frame column i, frame row j.
int twoOriginalsRow(const TwoOriginalsMapping& s, int i);
int twoOriginalsColumn(const TwoOriginalsMapping& s, int j);
bool drawTwoOriginals(const Bitmap& picture, Bitmap& page, const TwoOriginalsMapping& s,
                      Progress* progress = nullptr, int threads = 0);

// Reverses the order of the rows (mirror).
void mirrorRows(Bitmap& page);

// Fill ratio of a 1-bit picture: black dots (0 bits of bytes below 255, padding included)
// over the dots of an A4 page at the resolution, in percent.
double fillRatio(const Bitmap& picture, int dpi);
}  // namespace quillaro
