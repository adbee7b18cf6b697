#include "text/new_sheet.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "actions/runner.h"
#include "app/workspace.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

std::uint32_t at32(const std::vector<std::uint8_t>& h, std::size_t i) {
  return h[i] | (h[i + 1] << 8) | (h[i + 2] << 16) | (static_cast<std::uint32_t>(h[i + 3]) << 24);
}

bool allWhite(const Bitmap& b) {
  for (std::size_t i = 0; i < b.byteCount(); ++i)
    if (b.data()[i] != 255) return false;
  return true;
}

struct NewSheet : ::testing::Test {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  ParamStore& p = ws.params;
  void SetUp() override {
    installActionModules(ws);
    p.setChb(30, true);
  }
};

TEST_F(NewSheet, FourSizesAndTheirRows) {
  struct Want { int index, w, h, rowBytes, stride; };
  for (const Want c : {Want{0, 4960, 7016, 620, 620}, Want{1, 7016, 4960, 877, 880},
                       Want{2, 3508, 4960, 439, 440}, Want{3, 4960, 3508, 620, 620}}) {
    ASSERT_TRUE(newSheet(ws, c.index, true)) << c.index;
    const Bitmap& b = ws.image.bitmap;
    EXPECT_EQ(b.width, c.w);
    EXPECT_EQ(b.height, c.h);
    EXPECT_EQ(b.rowBytes, c.rowBytes);
    EXPECT_EQ(b.stride, c.stride);
    EXPECT_EQ(b.bits, 1);
    EXPECT_TRUE(allWhite(b));
    EXPECT_EQ(at32(ws.image.header, 18), static_cast<std::uint32_t>(c.w));
    EXPECT_EQ(at32(ws.image.header, 22), static_cast<std::uint32_t>(c.h));
    EXPECT_EQ(at32(ws.image.header, 38), 23622u);
    EXPECT_EQ(at32(ws.image.header, 2), 62u + b.byteCount());
  }
  EXPECT_EQ(p.tz(0), "");  // made by a program: nothing recorded
}

TEST_F(NewSheet, GreyFormHasOneBytePerPixel) {
  ASSERT_TRUE(newSheet(ws, kSheetGrey | kSheetLandscape, true));
  EXPECT_EQ(ws.image.bitmap.bits, 8);
  EXPECT_EQ(ws.image.bitmap.rowBytes, 7016);
  EXPECT_EQ(ws.image.bitmap.stride, 7016);
  EXPECT_EQ(ws.shared.bitDepth, 8);
  EXPECT_EQ(ws.image.header.size(), 1078u);
}

TEST_F(NewSheet, SizesDoubleAt1200Dpi) {
  ws.shared.resolution = 1200;
  ASSERT_TRUE(newSheet(ws, 2, true));
  EXPECT_EQ(ws.image.bitmap.width, 7016);
  EXPECT_EQ(ws.image.yPixelsPerMetre, 47244);
}

TEST_F(NewSheet, RecordsTheNewLineWhenMadeByTheUser) {
  p.setHeld(Held::TextFileName, "page.bmp");
  ws.image.fileName = "page.bmp";
  ASSERT_TRUE(newSheet(ws, 3, false));
  EXPECT_EQ(p.tz(0), "New, L, F=A5\r\n");
  EXPECT_EQ(p.held(Held::TextFileName), "");
  EXPECT_EQ(ws.image.fileName, "");
  EXPECT_TRUE(ws.image.loaded);
}

TEST_F(NewSheet, ColourPictureAndTheSameBlankSheetAreLeftAlone) {
  ws.image.loaded = true;
  ws.image.bitmap = Bitmap::create(100, 100, 24);
  EXPECT_FALSE(newSheet(ws, 0, false));
  EXPECT_EQ(ws.image.bitmap.bits, 24);
  ws.image.bitmap.release();
  ASSERT_TRUE(newSheet(ws, 0, false));
  EXPECT_FALSE(newSheet(ws, 0, false));  // unchanged: nothing to do
  EXPECT_EQ(p.tz(0), "New\r\n");
  EXPECT_TRUE(newSheet(ws, 1, false));
}

TEST_F(NewSheet, ChangedPictureIsDroppedOnlyAfterTheQuestion) {
  p.setChb(30, false);
  p.setChb(31, true);
  ASSERT_TRUE(newSheet(ws, 0, true));
  ws.image.bitmap.setWhite(5, 5, false);
  ws.image.modified = 1;
  prompts.answers = {Answer::No};
  EXPECT_FALSE(newSheet(ws, 0, true));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Рисунок был изменён, не сохранять ?");
  EXPECT_FALSE(ws.image.bitmap.isWhite(5, 5));
  prompts.answers = {Answer::Yes};
  EXPECT_TRUE(newSheet(ws, 0, true));
  EXPECT_TRUE(ws.image.bitmap.isWhite(5, 5));
}

TEST_F(NewSheet, ReplaceCheckCanRefuse) {
  std::string verb;
  ws.ops.confirmReplace = [&](Workspace&, const std::string& v) {
    verb = v;
    return false;
  };
  EXPECT_FALSE(newSheet(ws, 2, false));
  EXPECT_EQ(verb, "создать");
  EXPECT_FALSE(ws.image.loaded);
  EXPECT_EQ(p.tz(0), "");
}

}  // namespace
}  // namespace quillaro
