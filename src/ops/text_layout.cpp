#include "ops/text_layout.h"

#include "base/numeric.h"

namespace quillaro {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

int charWidth(unsigned char c, const LayoutRules& r, const std::array<int, 256>& widths) {
  return c == '\t' ? r.tabWidth : widths[c];
}

int measure(std::string_view text, std::size_t b, std::size_t e, const LayoutRules& r,
            const std::array<int, 256>& widths) {
  if (e <= b) return 0;
  int w = 0;
  for (std::size_t i = b; i < e; ++i) w += charWidth(static_cast<unsigned char>(text[i]), r, widths) + r.charSpacing;
  return w - r.charSpacing;
}

// Where the line that starts at `pos` ends: [pos, *end) is drawn and the next line starts
// at *next. False when not even the first character fits (and the line cannot move down).
bool breakLine(std::string_view text, std::size_t pos, int xs, bool canMoveDown, const LayoutRules& r,
               const std::array<int, 256>& widths, std::size_t* end, std::size_t* next) {
  const std::size_t n = text.size();
  int x = xs;
  for (std::size_t i = pos;; ++i) {
    if (i == n || text[i] == '\n') {
      *end = i;
      *next = i == n ? n : i + 1;
      return true;
    }
    x += charWidth(static_cast<unsigned char>(text[i]), r, widths) + r.charSpacing;
    if (x <= r.right && x + r.italicSlack + 2 <= r.pictureWidth) continue;
    // Overflow at i: break at the last blank after the start of the line, else just
    // before the character that does not fit.
    std::size_t blank = kNone;
    for (std::size_t j = i; j > pos; --j)
      if (text[j] == ' ') {
        blank = j;
        break;
      }
    if (blank != kNone) {
      *end = blank;
      *next = blank + 1;
    } else if (i > pos) {
      *end = *next = i;
    } else if (canMoveDown) {
      *end = *next = pos;  // a continued text goes on at the start of the next line
    } else {
      return false;
    }
    return true;
  }
}

void alignVertically(std::vector<LaidLine>& lines, const LayoutRules& r) {
  const int n = static_cast<int>(lines.size());
  if (r.continues || n == 0 || r.vAlign == kAlignTop) return;
  const int step = r.lineHeight + r.lineSpacing;
  const int free = (r.bottom - r.top) - n * r.lineHeight - (n - 1) * r.lineSpacing;
  for (int i = 0; i < n; ++i) {
    int y = r.top + i * step;
    if (r.vAlign == kAlignBottom) y += free;
    else if (r.vAlign == kAlignMiddle) y += nearesti(free / 2.0);
    else if (n >= 2) y = r.top + nearesti(i * (step + free / static_cast<double>(n - 1)));
    lines[static_cast<std::size_t>(i)].y = y;
  }
}

// Horizontal place of a line. The available width runs from the line start (left edge
// plus the italic overhang) to the right edge. Stretching spreads the room over the blanks
// of lines that were broken by the width; the last line of a paragraph keeps its width.
void alignHorizontally(LaidLine& line, std::string_view text, const LayoutRules& r) {
  const int x0 = r.left + r.overhang;
  const int room = (r.right - x0) - line.width;
  if (room <= 0) return;
  if (r.hAlign == kAlignRight) {
    line.x = x0 + room;
  } else if (r.hAlign == kAlignCentre) {
    line.x = x0 + nearesti(room / 2.0);
  } else if (r.hAlign == kAlignStretch) {
    const bool paragraphEnd = line.end >= text.size() || text[line.end] == '\n';
    if (paragraphEnd) return;
    int blanks = 0;
    for (std::size_t i = line.begin; i < line.end; ++i) blanks += text[i] == ' ';
    if (blanks > 0 && room < static_cast<long long>(r.stretchLimit) * blanks) {
      line.blanks = blanks;
      line.stretch = room;
    }
  }
}

}  // namespace

int textUnitDots(double value, TextUnit unit, int lineHeight, double dotsPerMm) {
  switch (unit) {
    case TextUnit::Dots: return nearesti(value);
    case TextUnit::Millimetres: return nearesti(value * dotsPerMm);
    default: return nearesti(lineHeight * value / 100.0);
  }
}

TextLayout layoutText(std::string_view text, const LayoutRules& r, const std::array<int, 256>& widths) {
  TextLayout out;
  const int x0 = r.left + r.overhang;
  int y = r.continues ? r.startY : r.top;
  std::size_t pos = 0;
  bool first = true;
  while (pos < text.size()) {
    if (y + r.lineHeight > r.bottom || y + r.lineHeight + 2 > r.pictureHeight) break;
    const bool continued = first && r.continues && r.startX != x0;
    const int xs = continued ? r.startX : x0;
    std::size_t end = 0, next = 0;
    if (!breakLine(text, pos, xs, continued, r, widths, &end, &next)) {
      out.tooWide = static_cast<unsigned char>(text[pos]);
      break;
    }
    LaidLine line;
    line.begin = pos;
    line.end = end;
    line.x = xs;
    line.y = y;
    line.width = measure(text, pos, end, r, widths);
    out.lines.push_back(line);
    out.drawnEnd = end;
    out.restBegin = next;
    pos = next;
    y += r.lineHeight + r.lineSpacing;
    first = false;
  }
  if (out.lines.empty()) out.restBegin = 0;
  alignVertically(out.lines, r);
  for (std::size_t i = 0; i < out.lines.size(); ++i)
    if (!(i == 0 && r.continues)) alignHorizontally(out.lines[i], text, r);
  if (out.lines.empty()) {
    out.endX = r.continues ? r.startX : x0;
    out.endY = r.continues ? r.startY : r.top;
  } else {
    const LaidLine& last = out.lines.back();
    out.endX = last.x + last.width + last.stretch + (last.end > last.begin ? r.charSpacing : 0);
    out.endY = last.y;
  }
  return out;
}

}  // namespace quillaro
