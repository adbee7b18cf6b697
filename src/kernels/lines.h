#pragma once
// Straight ruled lines drawn into a 1-, 8- or 24-bit picture: the box a horizontal or
// vertical line of a given thickness covers, filling a box with ink (black; the line colour
// on 24-bit pictures), and the arrowheads of dimension lines. Everything is cut to the
// picture (and to an optional clip box), so any coordinates are safe.
#include "image/bitmap.h"

namespace quillaro {

// Pixels [left, right) x [top, bottom), rows counted from the top of the picture.
struct PixelBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// The box of a horizontal line starting at (x, y), `length` long and `thickness` high,
// lengthened by `extension` (so that it covers the last crossing line's width):
// columns nearest(x) .. min(nearest(x + length + extension), width) - 1, rows nearest(y) ..
// nearest(y + thickness - 1). Empty unless 0 <= x < width, y >= 0 and y + thickness < height.
PixelBox horizontalLineBox(double x, double y, double length, double thickness, double extension,
                           int width, int height);
// The same with the axes exchanged.
PixelBox verticalLineBox(double x, double y, double length, double thickness, double extension,
                         int width, int height);

// Fills the box (cut to the picture and to `clip`) with ink: 1 bit black (bits cleared),
// 8 bits 0, 24 bits `colour`. Returns the part that was filled.
PixelBox fillBox(Bitmap& picture, PixelBox box, Rgb colour);
PixelBox fillBox(Bitmap& picture, PixelBox box, Rgb colour, const PixelBox& clip);

// The two arrowheads of a dimension line drawn as `line` (its box): filled triangles whose
// tips are the line's ends and which open inwards along it, `length` dots long and
// 2 x length / 3 wide (at least the line's thickness), centred on the line.
void drawArrowheads(Bitmap& picture, const PixelBox& line, bool horizontal, int length, Rgb colour);
// The arrowhead length for a line thickness: 24 dots (1 mm at 600 dpi) or six thicknesses.
int arrowheadLength(int thickness);

}  // namespace quillaro
