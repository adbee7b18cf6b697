#include "kernels/lines.h"

#include <algorithm>
#include <cstring>

#include "base/numeric.h"

namespace quillaro {

namespace {

PixelBox cut(PixelBox b, const PixelBox& to) {
  b.left = std::max(b.left, to.left);
  b.top = std::max(b.top, to.top);
  b.right = std::min(b.right, to.right);
  b.bottom = std::min(b.bottom, to.bottom);
  return b;
}

// Black from column left to right - 1 of `rows` 1-bit rows, the first at `top`, each
// `step` bytes after the one before (negative: rows lie bottom-up in the file).
void clearBits(std::uint8_t* top, std::ptrdiff_t step, int rows, int left, int right) {
  const int first = left >> 3, last = (right - 1) >> 3;
  const auto head = static_cast<std::uint8_t>(0xFFu >> (left & 7));
  const auto tail = static_cast<std::uint8_t>(0xFFu << (7 - ((right - 1) & 7)));
  if (first == last) {
    // A narrow vertical line: one byte a row.
    const auto keep = static_cast<std::uint8_t>(~(head & tail));
    for (std::uint8_t* p = top + first; rows-- > 0; p += step) *p &= keep;
    return;
  }
  const auto middle = static_cast<std::size_t>(last - first - 1);
  for (std::uint8_t* row = top; rows-- > 0; row += step) {
    row[first] &= static_cast<std::uint8_t>(~head);
    std::memset(row + first + 1, 0, middle);
    row[last] &= static_cast<std::uint8_t>(~tail);
  }
}

}  // namespace

PixelBox horizontalLineBox(double x, double y, double length, double thickness, double extension,
                           int width, int height) {
  if (!(x >= 0 && x < width && y >= 0 && y + thickness < height)) return {};
  const int end = std::min(pixelCoord(x + length + extension), width);
  return {pixelCoord(x), pixelCoord(y), end, pixelCoord(y + thickness - 1) + 1};
}

PixelBox verticalLineBox(double x, double y, double length, double thickness, double extension,
                         int width, int height) {
  const PixelBox t = horizontalLineBox(y, x, length, thickness, extension, height, width);
  return {t.top, t.left, t.bottom, t.right};
}

PixelBox fillBox(Bitmap& picture, PixelBox box, Rgb colour) {
  return fillBox(picture, box, colour, {0, 0, picture.width, picture.height});
}

PixelBox fillBox(Bitmap& picture, PixelBox box, Rgb colour, const PixelBox& clip) {
  box = cut(cut(box, clip), {0, 0, picture.width, picture.height});
  if (box.empty() || picture.empty()) return {};
  const auto n = static_cast<std::size_t>(box.right - box.left);
  if (picture.bits == 1) {
    clearBits(picture.row(box.top), -static_cast<std::ptrdiff_t>(picture.stride), box.bottom - box.top, box.left,
              box.right);
    return box;
  }
  for (int r = box.top; r < box.bottom; ++r) {
    std::uint8_t* row = picture.row(r);
    switch (picture.bits) {
      case 8: std::memset(row + box.left, 0, n); break;
      case 24: {
        std::uint8_t* p = row + 3 * static_cast<std::size_t>(box.left);
        for (std::size_t i = 0; i < n; ++i, p += 3) {
          p[0] = colour.blue;
          p[1] = colour.green;
          p[2] = colour.red;
        }
        break;
      }
      default: return {};
    }
  }
  return box;
}

int arrowheadLength(int thickness) { return std::max(24, 6 * thickness); }

void drawArrowheads(Bitmap& picture, const PixelBox& line, bool horizontal, int length, Rgb colour) {
  if (line.empty() || length <= 0) return;
  // Work along the line: `along` runs from the line's start to its end, `across` is the centre.
  const int start = horizontal ? line.left : line.top;
  const int end = horizontal ? line.right - 1 : line.bottom - 1;
  const int lo = horizontal ? line.top : line.left, hi = horizontal ? line.bottom : line.right;
  const double centre = (lo + hi - 1) / 2.0;
  const double halfWidth = std::max(length / 3.0, (hi - lo) / 2.0);
  for (int d = 0; d < length; ++d) {
    const double half = halfWidth * d / length;
    const int from = pixelCoord(centre - half), to = pixelCoord(centre + half) + 1;
    for (const int at : {start + d, end - d}) {
      const PixelBox b = horizontal ? PixelBox{at, from, at + 1, to} : PixelBox{from, at, to, at + 1};
      fillBox(picture, b, colour);
    }
  }
}

}  // namespace quillaro
