#pragma once
// Line density: "DenseThin" widens thin line segments of a rectangle to a set width, or by
// one pixel, and the line-width commands grow or shrink every black shape of a 1-bit
// rectangle by one pixel in chosen directions. Both work in place on the packed rows.
#include <array>
#include <string>
#include <string_view>

#include "kernels/tone.h"  // PixelRect

namespace quillaro {

class Bitmap;

// ---------------------------------------------------------------------------------------
// DenseThin

inline constexpr int kMinLineWidth = 2;
inline constexpr int kMaxLineWidth = 20;

// The line width W of a field value: nearest integer, brought into 2..20.
int denseThinLineWidth(double value);

// The region DenseThin works on: left nearest(x), top nearest(y), right nearest(x + w),
// bottom nearest(y + h), then kept W + 2 pixels away from every picture edge.
PixelRect denseThinAreaFor(double x, double y, double w, double h, int lineWidth,
                             int pictureWidth, int pictureHeight);

struct DenseThinOptions {
  int lineWidth = 4;        // W, brought into 2..20
  bool plus = false;        // add one pixel to lines thinner than W instead of widening to W
  bool horizontal = true;   // horizontal lines (thickness measured down a column)
  bool vertical = true;     // vertical lines (thickness measured along a row)
};

// Widens thin lines inside the area of a 1-bit or 8-bit picture (8 bits: only 0 is black).
//
// Horizontal pass: columns left to right, each from top to bottom. A black pixel whose
// upper neighbour is not black and that no earlier line claimed starts a trace to the
// right. In each column the trace looks down from the row where the previous column's run
// began, to the previous column's lower boundary, for the first black pixel (the row above
// it is the upper boundary), then for the first non-black pixel in the next W - 1 rows (the
// lower boundary). The line ends where no black pixel is found, the run is W or more thick,
// the run begins below the area, or the area ends.
// Without plus a segment longer than W - 2 columns is filled to exactly W rows in every
// column: down from the upper boundary, or up from the lower boundary when more of the
// pixels just beyond the segment's ends are black on the upper-boundary rows than on the
// lower-boundary rows. With plus every traced column gets its lower-boundary pixel, and
// pixels added that way count as white for the rest of the operation.
// Vertical pass: the same with rows and columns exchanged.
//
// The area is kept W + 2 pixels from the picture edges and nothing outside it changes.
// Returns false (and changes nothing) for an empty picture, a depth other than 1 and 8, or
// when the memory for its working copies (three or four bits per pixel of the area) is
// short. The working copies are kept for the next call on the same thread unless they
// exceed 64 MiB each.
bool denseThin(Bitmap& picture, const PixelRect& area, const DenseThinOptions& options);

// Popup captions: "Не менее " + text, and "+1 если менее " + text + ",  <P>".
std::string denseThinMaxCaption(std::string_view widthText);
std::string denseThinPlusCaption(std::string_view widthText);

// ---------------------------------------------------------------------------------------
// Line width

struct LineWidthOptions {
  bool grow = true;        // add one pixel (false: remove one)
  bool alternate = false;  // the other diagonal
  bool horizontal = true;  // horizontal lines: compare with the pixel one row further
  bool vertical = true;    // vertical lines: compare with the pixel one column further
  bool corners = false;    // also the diagonal pixel (only when both directions are on)
};

// The rectangle the line-width commands cover: columns nearest(x) to nearest(x + w - 1),
// rows nearest(y) to nearest(y) + nearest(h - 1); left and top at least 1; cut to the picture.
PixelRect lineWidthAreaFor(double x, double y, double w, double h, int pictureWidth,
                             int pictureHeight);

// Grows (white pixels turn black) or shrinks (black pixels turn white) every black shape
// in the area of a 1-bit picture by one pixel. A pixel of the changing colour takes the
// other colour when one of its consulted neighbours has it. The neighbours lie one column
// to the left (grow) or right (shrink), swapped by alternate, and one row up (grow) or down
// (shrink), so grow extends shapes right and down (left and down with alternate) and shrink
// removes their right and bottom pixels (left and bottom with alternate). Changes never
// cascade: every pixel is decided from the picture as it was. Neighbours outside the
// picture are not consulted. Returns false (and changes nothing) unless the picture is 1-bit.
bool changeLineWidth(Bitmap& picture, const PixelRect& area, const LineWidthOptions& options);


// Popup captions of the four line-width items: grow, grow alternate, shrink, shrink alternate.
inline constexpr std::array<std::string_view, 4> kLineWidthCaptions = {
    "+ 1 (/0.7, \\ 1.4), <+>", "+ 1 (\\ 0.7, / 1.4), <]>", "- 1 (/0.7, \\ 1.4), <->",
    "- 1 (\\ 0.7, / 1.4), <[>"};

}  // namespace quillaro
