#pragma once
// The copy zone and the drawing rectangle of the panels in picture pixels: what the
// operations act on and what the views draw.
#include <string>

namespace quillaro {

class ParamStore;

// A rectangle in picture pixels (real numbers).
struct PixRect {
  double x = 0, y = 0, w = 0, h = 0;
  bool empty() const { return w <= 0 || h <= 0; }
};

// The copy zone on the picture: left TN(20), top TN(21) in mm; width and height are the
// frame size TN(18) x TN(19) (202 x 289 mm when empty) divided by the axis scales TN(60),
// TN(61) in per cent.
PixRect copyZoneRect(const ParamStore& p, double dotsPerMm);
// The drawing rectangle TN(24..27) in picture pixels.
PixRect drawingRect(const ParamStore& p, double dotsPerMm);
// Writes a rectangle in pixels back as millimetres into TN(24..27) (drawing) or the zone
// origin TN(20), TN(21) (copy; the size is the frame's and stays).
void setDrawingRect(ParamStore& p, const PixRect& r, double dotsPerMm, int decimals);
void setCopyZoneOrigin(ParamStore& p, double x, double y, double dotsPerMm, int decimals);

}  // namespace quillaro
