#pragma once
// Renders a PDF page with poppler's pdftoppm and reads the picture back, so that tests can
// compare the pixels a PDF reader shows with the page that was printed.
#include <cctype>
#include <cstdlib>
#include <string>

#include "base/files.h"

namespace quillaro::testing {

// A rendered page: grey (1 channel) or red, green, blue (3 channels), rows from the top.
struct Raster {
  int width = 0, height = 0, channels = 0;
  std::string bytes;
  int at(int x, int y, int c = 0) const {
    return static_cast<unsigned char>(bytes[(static_cast<std::size_t>(y) * width + x) * channels + c]);
  }
};

inline bool havePdftoppm() { return std::system("command -v pdftoppm >/dev/null 2>&1") == 0; }

// Page 1 of `pdf` at `dpi`, written next to `stem`; an empty raster when it cannot be read.
inline Raster renderPdf(const std::string& pdf, const std::string& stem, int dpi, bool colour) {
  const std::string cmd = "pdftoppm -r " + std::to_string(dpi) + (colour ? "" : " -gray") + " -singlefile '" + pdf +
                          "' '" + stem + "' 2>/dev/null";
  Raster r;
  if (std::system(cmd.c_str()) != 0) return r;
  const std::string data = readWholeFile(stem + (colour ? ".ppm" : ".pgm")).value_or("");
  // "P5" or "P6", width, height, the largest value, one blank, then the samples.
  std::size_t pos = 0;
  auto token = [&] {
    while (pos < data.size() && std::isspace(static_cast<unsigned char>(data[pos]))) ++pos;
    const std::size_t start = pos;
    while (pos < data.size() && !std::isspace(static_cast<unsigned char>(data[pos]))) ++pos;
    return data.substr(start, pos - start);
  };
  const std::string magic = token();
  r.width = std::atoi(token().c_str());
  r.height = std::atoi(token().c_str());
  token();
  r.channels = magic == "P6" ? 3 : 1;
  if (pos < data.size()) r.bytes = data.substr(pos + 1);
  if (r.width <= 0 || r.bytes.size() != static_cast<std::size_t>(r.width) * r.height * r.channels) return {};
  return r;
}

}  // namespace quillaro::testing
