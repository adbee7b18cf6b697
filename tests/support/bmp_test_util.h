#pragma once
// Bitmap files assembled byte by byte with any header values, so that no binary sample
// files are needed.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "support/temp_dir.h"

namespace quillaro::testing {

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline std::uint32_t le32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
  return v;
}

using PaletteEntry = std::array<std::uint8_t, 4>;  // blue, green, red, 0

inline std::vector<PaletteEntry> standardPalette(int bits) {
  std::vector<PaletteEntry> p;
  for (int i = 0; bits != 24 && i < (1 << bits); ++i) {
    auto v = static_cast<std::uint8_t>(bits == 1 ? 255 * i : i);
    p.push_back({v, v, v, 0});
  }
  return p;
}

// A bitmap file with every header field settable; fields left at kAuto are computed as a
// correct writer would.
struct BmpLayout {
  static constexpr std::uint32_t kAuto = 0xFFFFFFFFu;
  std::int32_t width = 100, height = 100;
  int bits = 8;
  std::uint16_t signature = 19778;
  std::uint32_t infoSize = 40;
  std::uint32_t pixelOffset = kAuto;  // 14 + infoSize + palette
  std::uint32_t pixelsAt = kAuto;     // where the pixels really go: the offset written
  std::uint32_t fileSize = kAuto;
  std::uint32_t pixelCount = kAuto;   // stride x height
  std::uint32_t compression = 0;
  std::int32_t xPixelsPerMetre = 23622, yPixelsPerMetre = 23622;
  std::uint32_t coloursUsed = 0;
  std::vector<PaletteEntry> palette;  // empty: standard for 1 and 8 bits
  bool noPalette = false;
  std::vector<std::uint8_t> pixels;   // empty: pattern()

  int stride() const { return static_cast<int>(strideFor(width, bits == 1 || bits == 24 ? bits : 8)); }
  // Every byte value: byte i of file row s is (s * 7 + i) mod 256.
  std::vector<std::uint8_t> pattern() const {
    std::vector<std::uint8_t> p(static_cast<std::size_t>(stride()) * static_cast<std::size_t>(std::abs(height)));
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint8_t>(i / stride() * 7 + i % stride());
    return p;
  }
  std::string build() const {
    const std::vector<PaletteEntry> pal = noPalette ? std::vector<PaletteEntry>{} : palette.empty() ? standardPalette(bits) : palette;
    const std::vector<std::uint8_t> px = pixels.empty() ? pattern() : pixels;
    const std::uint32_t offset = pixelOffset != kAuto ? pixelOffset : 14 + infoSize + 4 * static_cast<std::uint32_t>(pal.size());
    const std::uint32_t where = pixelsAt != kAuto ? pixelsAt : offset;
    std::string b(std::max<std::size_t>(where, 14 + infoSize + 4 * pal.size()), '\0');
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
      for (int i = 0; i < n; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 255);
    };
    put(0, signature, 2);
    put(10, offset, 4);
    put(14, infoSize, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, static_cast<std::uint32_t>(bits), 2);
    put(30, compression, 4);
    put(34, pixelCount != kAuto ? pixelCount : static_cast<std::uint32_t>(px.size()), 4);
    put(38, static_cast<std::uint32_t>(xPixelsPerMetre), 4);
    put(42, static_cast<std::uint32_t>(yPixelsPerMetre), 4);
    put(46, coloursUsed, 4);
    for (std::size_t i = 0; i < pal.size(); ++i) b.replace(14 + infoSize + 4 * i, 4, reinterpret_cast<const char*>(pal[i].data()), 4);
    b.resize(where, '\0');
    b.append(reinterpret_cast<const char*>(px.data()), px.size());
    put(2, fileSize != kAuto ? fileSize : static_cast<std::uint32_t>(b.size()), 4);
    return b;
  }
};

}  // namespace quillaro::testing
