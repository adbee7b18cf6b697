#pragma once
// The layout of a text in a rectangle: line breaking at blanks (inside a word when a word
// is wider than the line), which lines fit, and where each line goes by the horizontal and
// vertical alignment. Pure arithmetic over character widths in dots; the text drawing
// rasterises the lines it returns.
#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace quillaro {

// Alignment codes as the option groups number them.
enum HAlignCode { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2, kAlignStretch = 3 };
enum VAlignCode { kAlignTop = 0, kAlignBottom = 1, kAlignMiddle = 2, kAlignSpread = 3 };

struct LayoutRules {
  int left = 0, top = 0, right = 0, bottom = 0;  // the working rectangle, dots
  int pictureWidth = 0, pictureHeight = 0;
  int lineHeight = 1;
  int overhang = 0;     // italic room: lines start this far right of the left edge
  int italicSlack = 0;  // italic: lines keep this far (plus 2 dots) from the picture's right edge
  int charSpacing = 0;  // added after every character
  int lineSpacing = 0;  // added after every line
  int tabWidth = 0;     // the width of a tab character
  int stretchLimit = 0; // a stretched line's room per blank stays below this
  int hAlign = kAlignLeft;
  int vAlign = kAlignTop;
  // A continued text (X-): the first line starts at startX, startY and no vertical
  // alignment applies.
  bool continues = false;
  int startX = 0, startY = 0;
};

struct LaidLine {
  std::size_t begin = 0, end = 0;  // the characters of the line, [begin, end)
  int x = 0, y = 0;                // pen position of the first character, top of the line
  int width = 0;                   // without the spacing after its last character
  int blanks = 0;                  // blanks that share `stretch` extra dots (stretched lines)
  int stretch = 0;
};

struct TextLayout {
  std::vector<LaidLine> lines;
  std::size_t drawnEnd = 0;   // end of the last line that fits (the drawn part is [0, drawnEnd))
  std::size_t restBegin = 0;  // start of the characters left (after the break that ended the
                              // last drawn line); == text size when everything fits
  int endX = 0, endY = 0;     // pen after the last drawn character, top of its line
  int tooWide = -1;           // a character that does not fit alone on a line, else -1
  std::size_t charsLeft(std::size_t textSize) const { return textSize - restBegin; }
};

// Lays out `text` (Windows-1251 bytes, paragraphs separated by '\n') with the advance
// widths `widths` (a tab takes rules.tabWidth instead).
TextLayout layoutText(std::string_view text, const LayoutRules& rules, const std::array<int, 256>& widths);

// Units of spacing and offsets: a number in dots, millimetres or percent of the line height,
// taken to dots (nearest, ties to even).
enum class TextUnit { Dots, Millimetres, PercentOfLine };
int textUnitDots(double value, TextUnit unit, int lineHeight, double dotsPerMm);

// The extra dots given to blank number k (0-based) of a line stretched by `stretch` over
// `blanks` blanks: the room is shared out so that the blanks together get all of it.
inline int stretchShare(int stretch, int blanks, int k) {
  return blanks > 0 ? (k + 1) * stretch / blanks - k * stretch / blanks : 0;
}

}  // namespace quillaro
