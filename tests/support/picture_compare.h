#pragma once
// Picture comparisons for tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "image/bitmap.h"

namespace quillaro::testing {

// Same size, depth and pixels; the bits after the last pixel of a 1-bit row carry no meaning.
inline ::testing::AssertionResult samePixels(const Bitmap& a, const Bitmap& b) {
  if (a.width != b.width || a.height != b.height || a.bits != b.bits)
    return ::testing::AssertionFailure() << a.width << "x" << a.height << "x" << a.bits << " against " << b.width
                                         << "x" << b.height << "x" << b.bits;
  if (a.empty() || b.empty())
    return a.empty() == b.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "one is empty";
  const int whole = a.bits == 1 ? a.width / 8 : a.rowBytes;
  const int rest = a.bits == 1 ? a.width % 8 : 0;
  const auto mask = static_cast<std::uint8_t>(0xFF00u >> rest);
  for (int y = 0; y < a.height; ++y)
    if (std::memcmp(a.row(y), b.row(y), static_cast<std::size_t>(whole)) != 0 ||
        (rest && ((a.row(y)[whole] ^ b.row(y)[whole]) & mask)))
      return ::testing::AssertionFailure() << "row " << y << " differs";
  return ::testing::AssertionSuccess();
}

// Every byte the same, row padding included.
inline bool sameBytes(const Bitmap& a, const Bitmap& b) {
  return a.byteCount() == b.byteCount() && std::memcmp(a.data(), b.data(), a.byteCount()) == 0;
}

// Whether a 1-bit or 8-bit picture has a pixel that is not white in columns [x0, x1).
inline bool hasInk(const Bitmap& b, int x0 = 0, int x1 = 1 << 30) {
  x1 = std::min(x1, b.width);
  for (int y = 0; y < b.height; ++y)
    for (int x = std::max(x0, 0); x < x1; ++x)
      if (b.bits == 1 ? !b.isWhite(x, y) : b.grey(x, y) != 255) return true;
  return false;
}

// The black pixels of a 1-bit picture.
inline int blackCount(const Bitmap& b) {
  int n = 0;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) n += b.isWhite(x, y) ? 0 : 1;
  return n;
}

}  // namespace quillaro::testing
