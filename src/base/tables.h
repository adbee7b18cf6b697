#pragma once
// The lookup tables shared by the pixel code, the masks, the text-file conversion and the
// colour picker. They are built once, on first use, and never change afterwards.
#include <array>
#include <cstdint>
#include <string>

namespace quillaro {

// Colours are packed as red + 256 * green + 65536 * blue.
constexpr std::uint32_t packColour(int red, int green, int blue) {
  return static_cast<std::uint32_t>(red) + 256u * static_cast<std::uint32_t>(green) +
         65536u * static_cast<std::uint32_t>(blue);
}
constexpr int colourRed(std::uint32_t c) { return static_cast<int>(c & 255u); }
constexpr int colourGreen(std::uint32_t c) { return static_cast<int>((c >> 8) & 255u); }
constexpr int colourBlue(std::uint32_t c) { return static_cast<int>((c >> 16) & 255u); }

// Bit positions count from the most significant bit: position p of a byte has the value
// 2^(7 - p), so pixel x of a 1-bit row is in byte x / 8 at position x % 8.
struct Tables {
  std::array<std::uint8_t, 8> bitMask{};    // the bit of position p: 128, 64, ..., 1
  std::array<std::uint8_t, 8> clearMask{};  // complement of bitMask (makes a pixel black)
  std::array<std::uint8_t, 8> tailMask{};   // positions p..7: 255, 127, ..., 1
  std::array<std::uint8_t, 8> headMask{};   // positions 0..p-1: 0, 128, ..., 254
  std::array<std::uint8_t, 256> bitReverse{};  // b with its bit order reversed
  std::array<int, 8> pairMask{};            // positions p and p+1: 192, 96, ..., 3, and 1
  std::array<std::uint32_t, 5> greySteps{};      // white, 192, 128, 64, black
  std::array<std::uint32_t, 4> markerColours{};  // red, yellow, green, blue
  std::array<int, 33> columnAlign{};             // alignment code per table column (all 4)
  // Mask density levels: four hex digits, a 4 x 4 cell with exactly p bits set.
  std::array<std::string, 16> maskLevels;
  // Item p: the UTF-8 form of the Windows-1251 character 128 + p, each byte shown as the
  // Windows-1251 character of that code, held as UTF-8 ("&nbsp;" and "&shy;" for 160, 173).
  std::array<std::string, 128> utf8Sequences;
  // Colour picker swatches [row][column]; column 12 is black.
  std::array<std::array<std::uint32_t, 13>, 2> swatches{};
};

const Tables& tables();

}  // namespace quillaro
