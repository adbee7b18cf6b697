#pragma once
// Fonts for text drawn into pictures: a family is found by name through the system's font
// configuration, measured per Windows-1251 character and its glyphs rasterised into a
// picture of any depth: crisp hinted monochrome glyphs into 1-bit pictures, antialiased
// grey into 8-bit pictures, antialiased in a colour into 24-bit pictures. The font engine
// stays behind this interface (no font library header is seen by its users).
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "image/bitmap.h"

namespace quillaro {

struct FontRequest {
  std::string family;   // "Arial", "Times New Roman", any installed family
  double points = 72;   // size in points
  int dpi = 600;        // resolution of the picture the text goes into
  bool bold = false;
  bool italic = false;
  bool antialiased = false;  // grey glyphs (8 and 24 bits); hinted monochrome otherwise
  friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

// Sizes a font accepts: from 1 point up to an em of 5000 dots (600 points at 600 dpi,
// 300 at 1200 dpi: half an A4 page high; the glyph pictures of larger sizes would take
// hundreds of megabytes).
inline constexpr double kMinFontPoints = 1;
inline constexpr int kMaxFontEmDots = 5000;
inline double maxFontPoints(int dpi) { return kMaxFontEmDots * 72.0 / (dpi > 0 ? dpi : 600); }

// A rectangle of picture pixels that drawing may touch (x0, y0 inclusive, x1, y1 exclusive).
struct ClipBox {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

class Font {
public:
  virtual ~Font() = default;
  // The family the font configuration chose for the request.
  virtual const std::string& family() const = 0;
  // Line height (ascent + descent), ascent, in dots.
  virtual int lineHeight() const = 0;
  virtual int ascent() const = 0;
  // Advance width of a Windows-1251 character in dots (measured the first time it is asked).
  virtual int advance(unsigned char code) = 0;
  // Draws a character with its cell's top-left corner at x, top (the pen position) in
  // `ink` (grey value for 8 bits, colour for 24; 1-bit glyphs are black), inside `clip`.
  virtual void drawChar(Bitmap& pic, int x, int top, unsigned char code, Rgb ink, const ClipBox& clip) = 0;
  // Underline (false) or strikeout (true) from x0 to x1 under the line whose top is `top`.
  virtual void drawRule(Bitmap& pic, int x0, int x1, int top, bool strikeout, Rgb ink,
                        const ClipBox& clip) = 0;
};

// The font for a request, or null with `error` set (a size outside the limits above, no
// font library, no font at all). Fonts are kept: the same request gives the same object
// (with its measured widths) until four other requests have been made.
std::shared_ptr<Font> openFont(const FontRequest& request, std::string* error);

// The installed family that the font configuration chooses for a name (empty when none).
std::string matchedFamily(const std::string& family);

// True when `used` is the family a name is meant to give: the same name, or the
// metric-compatible substitute of one of the four standard Windows families.
bool familyAsIntended(const std::string& requested, const std::string& used);

// The unicode code point of a Windows-1251 byte (0 for byte 152, which has none).
char32_t unicodeOf1251(unsigned char code);

}  // namespace quillaro
