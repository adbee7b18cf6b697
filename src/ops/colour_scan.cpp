#include "ops/colour_scan.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace quillaro {
namespace {

constexpr int kRowStep = 8;
constexpr int kPixelStep = 4;

std::uint32_t le32(const unsigned char* b) {
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

}  // namespace

void ColourCount::addRow(const std::uint8_t* bgr, int width) {
  for (int x = 0; x < width; x += kPixelStep) {
    const std::uint8_t* px = bgr + 3 * x;
    const int hi = std::max({px[0], px[1], px[2]});
    const int lo = std::min({px[0], px[1], px[2]});
    ++sampled;
    coloured += hi - lo >= kColourSpread;
  }
}

bool hasRealColour(const Bitmap& picture) {
  if (picture.bits != 24) return false;
  ColourCount count;
  for (int r = 0; r < picture.height; r += kRowStep) count.addRow(picture.row(r), picture.width);
  return count.realColour();
}

bool fileHasRealColour(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char h[54];
  if (!in.read(reinterpret_cast<char*>(h), sizeof h) || h[0] != 'B' || h[1] != 'M') return false;
  const std::uint32_t offset = le32(h + 10);
  const auto width = static_cast<std::int32_t>(le32(h + 18));
  auto height = static_cast<std::int32_t>(le32(h + 22));
  if ((h[28] | (h[29] << 8)) != 24 || le32(h + 30) != 0 || width <= 0 || width > 1'000'000) return false;
  if (height < 0) height = -height;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(stride));
  ColourCount count;
  for (std::int32_t r = 0; r < height; r += kRowStep) {
    in.seekg(static_cast<std::streamoff>(offset + stride * static_cast<std::uint64_t>(r)));
    if (!in.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(stride))) break;
    count.addRow(row.data(), width);
  }
  return count.realColour();
}

}  // namespace quillaro
