#include "kernels/cell_lines.h"

#include <algorithm>
#include <cstring>

namespace quillaro {

namespace {

struct Run {
  int from = 0, to = 0;  // [from, to)
};

std::vector<Run> runsOf(const std::vector<bool>& full) {
  std::vector<Run> out;
  for (int i = 0, n = static_cast<int>(full.size()); i < n;) {
    if (!full[static_cast<std::size_t>(i)]) {
      ++i;
      continue;
    }
    int j = i;
    while (j < n && full[static_cast<std::size_t>(j)]) ++j;
    out.push_back({i, j});
    i = j;
  }
  return out;
}

// The inner span between the border runs (those touching either end of 0..n).
Run innerSpan(const std::vector<Run>& runs, int n) {
  Run in{0, n};
  if (!runs.empty() && runs.front().from == 0) in.from = runs.front().to;
  if (!runs.empty() && runs.back().to == n && runs.back().from > 0) in.to = runs.back().from;
  return in;
}

}  // namespace

bool isInk(const Bitmap& b, int x, int y, Rgb lineColour) {
  switch (b.bits) {
    case 1: return !b.isWhite(x, y);
    case 8: return b.grey(x, y) < 128;
    case 24: {
      const Rgb c = b.rgb(x, y);
      return c == lineColour || (c.red * 30 + c.green * 59 + c.blue * 11) / 100 < 128;
    }
    default: return false;
  }
}

std::vector<PixelBox> innerLineBoxes(const Bitmap& picture, PixelBox block, Rgb lineColour) {
  block.left = std::max(block.left, 0);
  block.top = std::max(block.top, 0);
  block.right = std::min(block.right, picture.width);
  block.bottom = std::min(block.bottom, picture.height);
  if (block.empty() || picture.empty()) return {};
  const int w = block.right - block.left, h = block.bottom - block.top;
  std::vector<bool> fullRow(static_cast<std::size_t>(h), true), fullColumn(static_cast<std::size_t>(w), true);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (!isInk(picture, block.left + x, block.top + y, lineColour)) {
        fullRow[static_cast<std::size_t>(y)] = false;
        fullColumn[static_cast<std::size_t>(x)] = false;
      }
  const std::vector<Run> rows = runsOf(fullRow), columns = runsOf(fullColumn);
  const Run inX = innerSpan(columns, w), inY = innerSpan(rows, h);
  std::vector<PixelBox> out;
  for (const Run& r : rows)
    if (r.from >= inY.from && r.to <= inY.to && inX.from < inX.to)
      out.push_back({block.left + inX.from, block.top + r.from, block.left + inX.to, block.top + r.to});
  for (const Run& c : columns)
    if (c.from >= inX.from && c.to <= inX.to && inY.from < inY.to)
      out.push_back({block.left + c.from, block.top + inY.from, block.left + c.to, block.top + inY.to});
  return out;
}

void whitenBox(Bitmap& picture, PixelBox box) {
  box.left = std::max(box.left, 0);
  box.top = std::max(box.top, 0);
  box.right = std::min(box.right, picture.width);
  box.bottom = std::min(box.bottom, picture.height);
  if (box.empty() || picture.empty()) return;
  for (int y = box.top; y < box.bottom; ++y) {
    if (picture.bits == 1) {
      for (int x = box.left; x < box.right; ++x) picture.setWhite(x, y, true);
    } else {
      const int k = picture.bits / 8;
      std::memset(picture.row(y) + static_cast<std::size_t>(box.left) * k, 255,
                  static_cast<std::size_t>(box.right - box.left) * k);
    }
  }
}

}  // namespace quillaro
