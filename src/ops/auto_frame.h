#pragma once
// Automatic placement of the copy zone on a scanned 1-bit page ("Автоматическая установка
// рамки", key "A"): the zone origin is moved to the edge of the content.
#include "image/bitmap.h"

namespace quillaro {

class Workspace;

// Sides searched: each axis looks from one side or picks one by itself.
enum class AutoSide { Near, Far, Auto };  // Near: top or left; Far: bottom or right

struct AutoFrameOptions {
  int zoneLeft = 0, zoneTop = 0;  // current zone origin, dots
  int zoneWidth = 0, zoneHeight = 0;  // zone size in picture dots (frame / scale)
  double angle = 0;       // radians
  int reach = 0;          // how far the search may look into the picture, dots
  int dirt = 15;          // blocks with more black dots than this hold content
  AutoSide vertical = AutoSide::Near;
  AutoSide horizontal = AutoSide::Near;
};

struct AutoFrameResult {
  bool foundX = false, foundY = false;
  int zoneLeft = 0, zoneTop = 0;  // new origin, dots
};

// Searches the picture; unfound axes keep their origin.
AutoFrameResult findZoneOrigin(const Bitmap& picture, const AutoFrameOptions& options);

// Number of black dots of the 8 x 8 block at (x, y) with its rows shifted by the angle.
int blockBlackDots(const Bitmap& picture, int x, int y, double tangent);

// Key "A", a click on Ch2of2, and the copy after an upper-A5 two-originals copy: moves the
// zone origin TN(20), TN(21) when "Автоматическая установка рамки" is on (the key always).
bool autoPlaceZone(Workspace& ws, bool force = false);

}  // namespace quillaro
