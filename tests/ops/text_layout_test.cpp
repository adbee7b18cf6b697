// Line breaking, units and alignment arithmetic of the text layout, over a font whose
// characters are all 10 dots wide and whose lines are 20 dots high.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ops/text_layout.h"

namespace quillaro {
namespace {

std::array<int, 256> tenDots() {
  std::array<int, 256> w{};
  w.fill(10);
  return w;
}

LayoutRules frame(int width, int height) {
  LayoutRules r;
  r.left = 100;
  r.top = 50;
  r.right = 100 + width;
  r.bottom = 50 + height;
  r.pictureWidth = 2000;
  r.pictureHeight = 2000;
  r.lineHeight = 20;
  r.stretchLimit = 20;
  return r;
}

std::vector<std::string> lines(std::string_view text, const TextLayout& l) {
  std::vector<std::string> out;
  for (const LaidLine& line : l.lines) out.emplace_back(text.substr(line.begin, line.end - line.begin));
  return out;
}

TEST(TextLayout, BreaksLinesAsTheRulesSay) {
  struct Case {
    const char* text;
    int width, height;
    std::vector<std::string> expected;
    std::size_t left = 0;  // characters that do not fit
  };
  const Case cases[] = {
      // A word longer than the frame breaks just before the first character that does not fit.
      {"abcdefghij", 45, 200, {"abcd", "efgh", "ij"}},
      // A blank at the very start of a line is no break point.
      {" abcdef", 45, 200, {" abc", "def"}},
      // The last blank before the overflow becomes the break.
      {"ab cd efgh", 65, 200, {"ab cd", "efgh"}},
      // Three paragraphs into two lines: the third is left.
      {"one\ntwo\nsix", 200, 45, {"one", "two"}, 3},
      // An empty paragraph is an empty line.
      {"a\n\nb", 200, 200, {"a", "", "b"}},
  };
  for (const Case& c : cases) {
    const std::string text = c.text;
    const TextLayout l = layoutText(text, frame(c.width, c.height), tenDots());
    EXPECT_EQ(lines(text, l), c.expected) << c.text;
    EXPECT_EQ(l.charsLeft(text.size()), c.left) << c.text;
  }
}

TEST(TextLayout, ReportsACharacterThatDoesNotFitAlone) {
  const TextLayout l = layoutText("Ab", frame(5, 200), tenDots());
  EXPECT_TRUE(l.lines.empty());
  EXPECT_EQ(l.tooWide, 'A');
  EXPECT_EQ(l.charsLeft(2), 2u);
}

TEST(TextLayout, KeepsClearOfThePictureEdges) {
  LayoutRules r = frame(500, 500);
  r.pictureWidth = 100 + 52;  // 5 characters end at 150; 150 + 2 fits exactly
  r.pictureHeight = 50 + 20 + 2;
  const TextLayout l = layoutText("abcdefg hij", r, tenDots());
  ASSERT_EQ(l.lines.size(), 1u);
  EXPECT_EQ(l.lines[0].end, 5u);
}

TEST(TextLayout, AlignsLinesInTheFrame) {
  struct Case {
    int h, v;
    const char* text;
    int x0, y0, y1;  // first line x, y; second line y
  };
  // Frame 200 x 100, lines 20 high; "abcd efgh ijkl" breaks after "abcd efgh" (90 wide).
  const Case cases[] = {
      {kAlignLeft, kAlignTop, "abcd efgh ijkl", 100, 50, 70},
      {kAlignRight, kAlignTop, "abcd efgh ijkl", 110, 50, 70},
      {kAlignCentre, kAlignTop, "abcd efgh ijkl", 105, 50, 70},
      {kAlignLeft, kAlignBottom, "abcd efgh ijkl", 100, 110, 130},
      {kAlignLeft, kAlignMiddle, "abcd efgh ijkl", 100, 80, 100},
      {kAlignLeft, kAlignSpread, "abcd efgh ijkl", 100, 50, 130},
  };
  for (const Case& c : cases) {
    LayoutRules r = frame(100, 100);
    r.hAlign = c.h;
    r.vAlign = c.v;
    const TextLayout l = layoutText(c.text, r, tenDots());
    ASSERT_EQ(l.lines.size(), 2u) << c.h << c.v;
    EXPECT_EQ(l.lines[0].x, c.x0) << c.h << c.v;
    EXPECT_EQ(l.lines[0].y, c.y0) << c.h << c.v;
    EXPECT_EQ(l.lines[1].y, c.y1) << c.h << c.v;
  }
}

TEST(TextLayout, StretchesOnlyBrokenLinesWithinTheLimit) {
  LayoutRules r = frame(105, 100);
  r.hAlign = kAlignStretch;
  // "ab cd efghijk" in 105: "ab cd" (50 wide) breaks; room 55 over 1 blank is above the limit 20.
  TextLayout l = layoutText("ab cd efghijk", r, tenDots());
  EXPECT_EQ(l.lines[0].stretch, 0);
  // "ab cd ef gh ij" in 105: "ab cd ef gh" (110) does not fit, "ab cd ef" (80) does:
  // 25 dots over 2 blanks, 12 and 13, below the limit.
  l = layoutText("ab cd ef gh ij", r, tenDots());
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_EQ(l.lines[0].blanks, 2);
  EXPECT_EQ(l.lines[0].stretch, 25);
  EXPECT_EQ(stretchShare(25, 2, 0) + stretchShare(25, 2, 1), 25);
  // The last line of the paragraph keeps its width.
  EXPECT_EQ(l.lines[1].stretch, 0);
}

TEST(TextLayout, SpacingCountsBetweenCharactersAndLines) {
  LayoutRules r = frame(200, 200);
  r.charSpacing = 5;
  r.lineSpacing = 7;
  const TextLayout l = layoutText("abc\nd", r, tenDots());
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_EQ(l.lines[0].width, 40);  // 3 x 10 + 2 x 5: no spacing after the last character
  EXPECT_EQ(l.lines[1].y, 50 + 27);
  EXPECT_EQ(l.endX, 100 + 15);  // after "d" and its spacing
}

TEST(TextLayout, AContinuedTextStartsAtTheEndPoint) {
  LayoutRules r = frame(100, 100);
  r.continues = true;
  r.startX = 160;
  r.startY = 50;
  r.vAlign = kAlignBottom;  // no vertical alignment for a continued text
  const TextLayout l = layoutText("xyz uvw", r, tenDots());
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_EQ(l.lines[0].x, 160);
  EXPECT_EQ(l.lines[0].y, 50);
  EXPECT_EQ(l.lines[1].x, 100);
  EXPECT_EQ(l.lines[1].y, 70);
  // No room at all at the end point: the text starts on the next line.
  r.startX = 195;
  const TextLayout m = layoutText("xy", r, tenDots());
  ASSERT_EQ(m.lines.size(), 2u);
  EXPECT_EQ(m.lines[0].end, m.lines[0].begin);
  EXPECT_EQ(m.lines[1].x, 100);
}

TEST(TextLayout, ConvertsUnits) {
  struct Case {
    double value;
    TextUnit unit;
    int dots;
  };
  const Case cases[] = {
      {7.5, TextUnit::Dots, 8},   {6.5, TextUnit::Dots, 6},  // ties to even
      {2, TextUnit::Millimetres, 47}, {50, TextUnit::PercentOfLine, 48}, {12.5, TextUnit::PercentOfLine, 12},
  };
  for (const Case& c : cases) EXPECT_EQ(textUnitDots(c.value, c.unit, 96, 23.622), c.dots) << c.value;
}

}  // namespace
}  // namespace quillaro
