#include "app/tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <string>

#include "app/text_codec.h"

namespace quillaro {
namespace {

TEST(TablesPixelMasks, MasksAndPairs) {
  const Tables& t = tables();
  const int tail[8] = {255, 127, 63, 31, 15, 7, 3, 1};
  const int pair[8] = {192, 96, 48, 24, 12, 6, 3, 1};
  for (int p = 0; p < 8; ++p) {
    EXPECT_EQ(t.bitMask[p], 128 >> p);
    EXPECT_EQ(t.clearMask[p] + t.bitMask[p], 255);
    EXPECT_EQ(t.tailMask[p], tail[p]);
    EXPECT_EQ(t.headMask[p] + t.tailMask[p], 255);  // head and tail split the byte
    EXPECT_EQ(t.pairMask[p], pair[p]);
  }
  EXPECT_EQ(t.clearMask[0], 127);
  EXPECT_EQ(t.headMask[0], 0);
  EXPECT_EQ(t.headMask[7], 254);
}

TEST(TablesPixelMasks, BitReversal) {
  const auto& r = tables().bitReverse;
  EXPECT_EQ(r[0], 0);
  EXPECT_EQ(r[255], 255);
  EXPECT_EQ(r[1], 128);
  EXPECT_EQ(r[160], 5);
  EXPECT_EQ(r[3], 192);
  EXPECT_EQ(r[16], 8);
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(r[r[b]], b);
    EXPECT_EQ(std::popcount(unsigned{r[b]}), std::popcount(unsigned(b)));
  }
}

TEST(TablesMaskLevels, PatternPHasExactlyPBitsAndGrows) {
  const auto& levels = tables().maskLevels;
  EXPECT_EQ(levels[8], "5A5A");
  unsigned prev = 0;
  for (int p = 0; p < 16; ++p) {
    ASSERT_EQ(levels[p].size(), 4u) << p;
    unsigned v = std::stoul(levels[p], nullptr, 16);
    EXPECT_EQ(std::popcount(v), p) << levels[p];
    EXPECT_EQ(prev & v, prev) << levels[p];  // each level keeps the pixels of the one before
    prev = v;
  }
}

TEST(TablesColours, GreyStepsMarkersColumns) {
  const Tables& t = tables();
  EXPECT_EQ(t.greySteps[0], 0xFFFFFFu);
  EXPECT_EQ(t.greySteps[3], 64u * 0x010101u);
  EXPECT_EQ(t.greySteps[4], 0u);
  EXPECT_EQ(t.markerColours[1], 255u + 255u * 256);  // yellow
  EXPECT_EQ(t.markerColours[3], 255u * 65536);       // blue
  EXPECT_TRUE(std::all_of(t.columnAlign.begin(), t.columnAlign.end(), [](int c) { return c == 4; }));
}

TEST(TablesColours, Swatches) {
  const auto& s = tables().swatches;
  EXPECT_EQ(s[0][0], packColour(255, 0, 255));
  EXPECT_EQ(s[0][1], packColour(255, 0, 128));
  EXPECT_EQ(s[0][11], packColour(128, 0, 255));
  EXPECT_EQ(s[1][0], packColour(255, 128, 255));
  EXPECT_EQ(s[1][1], packColour(128, 0, 128));
  for (int i = 0; i < 12; i += 2) {
    std::uint32_t c = s[0][i], light = s[1][i], dark = s[1][i + 1];
    for (auto part : {colourRed, colourGreen, colourBlue}) {
      EXPECT_EQ(part(light), std::max(part(c), 128)) << i;
      EXPECT_EQ(part(dark), std::min(part(c), 128)) << i;
    }
  }
  EXPECT_EQ(s[0][12], 0u);
  EXPECT_EQ(s[1][12], 0u);
}

TEST(TablesUtf8Sequences, KnownItemsAndExceptions) {
  const auto& u = tables().utf8Sequences;
  EXPECT_EQ(u[0], "Р‚");
  EXPECT_EQ(u[64], "Рђ");
  EXPECT_EQ(u[127], "СЏ");
  EXPECT_EQ(u[152 - 128], "В\xC2\x98");
  EXPECT_EQ(u[160 - 128], "&nbsp;");
  EXPECT_EQ(u[173 - 128], "&shy;");
  EXPECT_EQ(u[200 - 128], "Р\xC2\x98");  // И is D0 98: the unassigned byte as U+0098
}

TEST(TablesUtf8Sequences, EveryOtherItemFollowsTheRule) {
  const auto& u = tables().utf8Sequences;
  for (int code = 128; code < 256; ++code) {
    if (code == 160 || code == 173) continue;
    std::string utf8 = cp1251ToUtf8(std::string(1, static_cast<char>(code)));
    EXPECT_EQ(u[code - 128], cp1251ToUtf8(utf8)) << "code " << code;
  }
}

}  // namespace
}  // namespace quillaro
