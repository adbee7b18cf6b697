#pragma once
// The colour scan of "Авто - узнавать цвет": before a 24-bit file is read, a sample of its
// pixels decides whether the page has real colour. A page with real colour is kept in colour
// ("Цвет 24 бит" on); one without it (a grey or black-and-white original scanned in colour,
// with its tinted paper and the colour fringes of the scanner) is opened as grey.
//
// The rule: every 4th pixel of every 8th row is sampled; a pixel is coloured when the
// spread of its channels, max(R, G, B) - min(R, G, B), is at least kColourSpread; the page
// has real colour when at least kColourShare of the samples are coloured (a few ink lines,
// a stamp or a coloured heading; scanner fringes on black lines and paper tint stay below).
#include <cstdint>
#include <string>

#include "image/bitmap.h"

namespace quillaro {

inline constexpr int kColourSpread = 60;
inline constexpr double kColourShare = 0.003;

// The share (0..1) of sampled pixels of one 24-bit row set that are coloured.
struct ColourCount {
  std::uint64_t sampled = 0;
  std::uint64_t coloured = 0;
  void addRow(const std::uint8_t* bgr, int width);
  bool realColour() const { return sampled > 0 && coloured >= kColourShare * static_cast<double>(sampled); }
};

// The rule over a 24-bit picture in memory.
bool hasRealColour(const Bitmap& picture);
// The rule over a 24-bit bitmap file, reading only the sampled rows. False for files of
// other depths and for files it cannot read (the opening reports those).
bool fileHasRealColour(const std::string& path);

}  // namespace quillaro
