#pragma once
// Helpers for the bitmap tests: bitmap files assembled byte by
// byte with any header values, so that no binary sample files are needed.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
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
  return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8) |
         (static_cast<std::uint8_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24);
}

using PaletteEntry = std::array<std::uint8_t, 4>;  // blue, green, red, 0

inline std::vector<PaletteEntry> standardPalette(int bits) {
  std::vector<PaletteEntry> p;
  if (bits == 1) {
    p = {PaletteEntry{0, 0, 0, 0}, PaletteEntry{255, 255, 255, 0}};
  } else if (bits == 8) {
    for (int i = 0; i < 256; ++i) {
      auto v = static_cast<std::uint8_t>(i);
      p.push_back({v, v, v, 0});
    }
  }
  return p;
}

// A bitmap file with every header field settable. Fields left at kAuto are computed as a
// correct writer would.
struct BmpSpec {
  static constexpr std::uint32_t kAuto = 0xFFFFFFFFu;
  std::int32_t width = 100;
  std::int32_t height = 100;
  int bits = 8;
  std::uint16_t signature = 19778;
  std::uint32_t infoSize = 40;
  std::uint32_t pixelOffset = kAuto;  // 14 + infoSize + palette
  std::uint32_t pixelsAt = kAuto;     // where the pixels really go: the offset written
  std::uint32_t fileSize = kAuto;
  std::uint32_t pixelCount = kAuto;  // stride x height
  std::uint32_t compression = 0;
  std::int32_t xPixelsPerMetre = 23622;
  std::int32_t yPixelsPerMetre = 23622;
  std::uint32_t coloursUsed = 0;
  std::vector<PaletteEntry> palette;  // empty: standard for 1 and 8 bits
  bool noPalette = false;
  std::vector<std::uint8_t> pixels;  // empty: pattern() of stride x height bytes

  int stride() const {
    return static_cast<int>(strideFor(width, bits == 1 || bits == 24 ? bits : 8));
  }
  // A pattern with every byte value: byte i of file row s is (s * 7 + i) mod 256.
  std::vector<std::uint8_t> pattern() const {
    std::vector<std::uint8_t> p(static_cast<std::size_t>(stride()) * static_cast<std::size_t>(std::abs(height)));
    for (std::size_t i = 0; i < p.size(); ++i) {
      std::size_t s = i / static_cast<std::size_t>(stride()), x = i % static_cast<std::size_t>(stride());
      p[i] = static_cast<std::uint8_t>(s * 7 + x);
    }
    return p;
  }
  std::string build() const {
    std::vector<PaletteEntry> pal = noPalette ? std::vector<PaletteEntry>{} : (palette.empty() ? standardPalette(bits) : palette);
    std::vector<std::uint8_t> px = pixels.empty() ? pattern() : pixels;
    const std::uint32_t offset = pixelOffset != kAuto ? pixelOffset : 14 + infoSize + 4 * static_cast<std::uint32_t>(pal.size());
    const std::uint32_t where = pixelsAt != kAuto ? pixelsAt : offset;
    std::string b(std::max<std::size_t>(where, 14 + infoSize), '\0');
    auto put16 = [&](std::size_t at, std::uint32_t v) {
      b[at] = static_cast<char>(v & 255);
      b[at + 1] = static_cast<char>((v >> 8) & 255);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 255);
    };
    put16(0, signature);
    put32(10, offset);
    put32(14, infoSize);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    put16(26, 1);
    put16(28, static_cast<std::uint32_t>(bits));
    put32(30, compression);
    put32(34, pixelCount != kAuto ? pixelCount : static_cast<std::uint32_t>(px.size()));
    put32(38, static_cast<std::uint32_t>(xPixelsPerMetre));
    put32(42, static_cast<std::uint32_t>(yPixelsPerMetre));
    put32(46, coloursUsed);
    for (std::size_t i = 0; i < pal.size(); ++i) {
      std::size_t at = 14 + infoSize + 4 * i;
      if (at + 4 <= b.size()) {
        for (int k = 0; k < 4; ++k) b[at + k] = static_cast<char>(pal[i][k]);
      }
    }
    b.resize(where, '\0');
    b.append(reinterpret_cast<const char*>(px.data()), px.size());
    put32(2, fileSize != kAuto ? fileSize : static_cast<std::uint32_t>(b.size()));
    return b;
  }
};

}  // namespace quillaro::testing
