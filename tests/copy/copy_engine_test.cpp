#include <gtest/gtest.h>

#include "actions/recorder.h"
#include "app/numeric.h"
#include "copy/copy_engine.h"
#include "image/open.h"
#include "copy/copy_record.h"
#include "copy_test_util.h"

namespace quillaro {
namespace {

using testing::blockPicture;
using testing::CopyFixture;
namespace F = copyfield;
namespace C = copycheck;

int blackCount(const Bitmap& b) {
  int n = 0;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) n += b.isWhite(x, y) ? 0 : 1;
  return n;
}

// --- Path choice and the pixel rules at the edges -------------------------------------

TEST(CopyPathChoice, AngleLimitsAndOptions) {
  FrameSpec f;
  f.a = 0.05;
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 1, {}));
  f.a = 0.0501;
  EXPECT_EQ(CopyPath::General, choosePath(f, 1, {}));
  f.a = -0.0501;
  EXPECT_EQ(CopyPath::General, choosePath(f, 8, {}));
  f.a = 0.0004;
  EXPECT_EQ(CopyPath::WholeByte, choosePath(f, 1, {true, false, false}));
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 1, {true, false, true})) << "paste excludes whole bytes";
  f.sx = 1.0001;
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 1, {true, false, false})) << "scale must be exactly 1";
  f.sx = 1.05;
  f.sy = 1 / 1.2;
  EXPECT_EQ(CopyPath::Fast, choosePath(f, 1, {false, true, false}));
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 8, {false, true, false})) << "fast is 1-bit only";
  f.sx = 1.06;
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 1, {false, true, false}));
  f.sx = 1;
  f.a = 0.05;
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 1, {false, true, false})) << "fast needs |a| < 0.05";
}

TEST(CopyPixelRules, WholeBytePathLandsOnTheByteToTheLeft) {
  Bitmap pic = Bitmap::create(64, 4, 1);
  for (int k = 0; k < pic.rowBytes; ++k) pic.row(0)[k] = static_cast<std::uint8_t>(0x11 * (k + 1) - 0x10 * (k == 0));
  Bitmap page = Bitmap::create(80, 4, 1);
  FrameSpec f;
  f.destLeft = 13;  // not a multiple of 8
  f.width = 40;
  f.height = 1;
  drawFrame(pic, page, f, CopyPath::WholeByte);
  EXPECT_EQ(pic.row(0)[0], page.row(0)[1]);
  EXPECT_EQ(pic.row(0)[1], page.row(0)[2]);
  EXPECT_EQ(pic.row(0)[4], page.row(0)[5]);
  EXPECT_EQ(255, page.row(0)[0]);
  EXPECT_EQ(255, page.row(0)[6]) << "x + 8 must stay inside the picture; i stops at W - 2";
}

TEST(CopyPixelRules, PureWhite24BitNeverOverwrites) {
  Bitmap pic = Bitmap::create(8, 8, 24);
  pic.setRgb(2, 2, {255, 255, 255});
  pic.setRgb(3, 2, {255, 255, 254});
  Bitmap page = Bitmap::create(8, 8, 24);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) page.setRgb(x, y, {10, 20, 30});
  FrameSpec f;
  f.width = 8;
  f.height = 8;
  drawFrame(pic, page, f, CopyPath::SmallAngle);
  EXPECT_EQ((Rgb{10, 20, 30}), page.rgb(2, 2));
  EXPECT_EQ((Rgb{255, 255, 254}), page.rgb(3, 2));
  Bitmap page2 = page.clone();
  page2.setRgb(2, 2, {1, 2, 3});
  drawFrame(pic, page2, f, CopyPath::WholeByte);
  EXPECT_EQ((Rgb{1, 2, 3}), page2.rgb(2, 2));
}

TEST(CopyPixelRules, FrameRowZeroAndColumnZero) {
  for (CopyPath path : {CopyPath::SmallAngle, CopyPath::General}) {
    for (int bits : {1, 8, 24}) {
      Bitmap pic = blockPicture(40, 40, bits, 0, 0, 40, 40);
      Bitmap page = Bitmap::create(40, 40, bits);
      FrameSpec f;
      f.destLeft = 5;
      f.destTop = 5;
      f.width = 20;
      f.height = 20;
      f.a = path == CopyPath::General ? 0.2 : 0;
      drawFrame(pic, page, f, path);
      auto white = [&](int x, int y) {
        if (bits == 1) return page.isWhite(x, y);
        if (bits == 8) return page.grey(x, y) == 255;
        return page.rgb(x, y) == Rgb{255, 255, 255};
      };
      EXPECT_TRUE(white(10, 5)) << "row 0 is not drawn, bits " << bits;
      EXPECT_FALSE(white(10, 6));
      const bool columnZeroDrawn = bits == 1 && path == CopyPath::SmallAngle;
      EXPECT_EQ(!columnZeroDrawn, white(5, 10)) << "column 0, bits " << bits;
    }
  }
}

TEST(CopyPixelRules, OneBitAddsBlackOnly) {
  Bitmap pic = Bitmap::create(16, 16, 1);  // white
  Bitmap page = blockPicture(16, 16, 1, 0, 0, 16, 16);
  FrameSpec f;
  f.width = 16;
  f.height = 16;
  drawFrame(pic, page, f, CopyPath::SmallAngle);
  EXPECT_EQ(256, blackCount(page));
}

TEST(CopyPixelRules, MirrorSwapsRows) {
  Bitmap b = blockPicture(8, 5, 8, 0, 0, 8, 1);
  mirrorRows(b);
  EXPECT_EQ(255, b.grey(0, 0));
  EXPECT_EQ(0, b.grey(0, 4));
}

TEST(CopyPixelRules, FillRatioCountsBlackDotsOverA4) {
  Bitmap b = blockPicture(100, 100, 1, 0, 0, 10, 100);
  EXPECT_DOUBLE_EQ(1000.0 / 34806376.0 * 100.0, fillRatio(b, 600));
  EXPECT_DOUBLE_EQ(1000.0 / 139225504.0 * 100.0, fillRatio(b, 1200));
  EXPECT_EQ(0, fillRatio(Bitmap::create(10, 10, 8), 600));
}

TEST(CopyPixelRules, PageNumberFromName) {
  EXPECT_EQ(12, pageNumberFromName("scan12.bmp"));
  EXPECT_EQ(7, pageNumberFromName("/a/b/p007.bmp"));
  EXPECT_EQ(0, pageNumberFromName("scan.bmp"));
  EXPECT_EQ(0, pageNumberFromName(""));
}

// --- The operation --------------------------------------------------------------------

struct CopyOperation : ::testing::Test {
  CopyFixture fx;
  void SetUp() override {
    setPageImageSize(*fx.ws, 0, "60");
    setPageImageSize(*fx.ws, 1, "50");
  }
};

TEST_F(CopyOperation, NoPictureGivesMessage) {
  EXPECT_FALSE(copyPage(*fx.ws));
  ASSERT_EQ(1u, fx.prompts.shown.size());
  EXPECT_EQ("Нет рисунка", fx.prompts.shown[0].text);
  EXPECT_TRUE(fx.ws->page.empty());
}

TEST_F(CopyOperation, MakesAWhitePageOfThePageImageSize) {
  fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300));
  fx.frame(4, 4, 10, 10);
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(nearesti(60 * 23.622), fx.ws->page.width);
  EXPECT_EQ(nearesti(50 * 23.622), fx.ws->page.height);
  // Frame 10 mm = 236 dots from (0, 0); row 0 and beyond the frame stay white.
  EXPECT_TRUE(fx.ws->page.isWhite(5, 0));
  EXPECT_FALSE(fx.ws->page.isWhite(5, 5));
  EXPECT_TRUE(fx.ws->page.isWhite(240, 5));
  EXPECT_TRUE(fx.st().freshCopy);
  EXPECT_FALSE(fx.ws->shared.copySaved);
  EXPECT_EQ(600, fx.st().pageDpi);
}

TEST_F(CopyOperation, MultiCopySkipsAFrameThatWouldPassThePageEdge) {
  setStandardPageImage(*fx.ws);  // 202 x 289
  fx.load(blockPicture(200, 200, 1, 0, 0, 200, 200));
  fx.frame(4, 4, 65, 5);
  fx.p().setChb(C::kMultiCopy, true);
  fx.p().setTn(F::kAcross, "3");
  fx.p().setTn(F::kDown, "1");
  fx.p().setTn(F::kStepAcross, "70");
  fx.p().setTn(F::kStepDown, "0");
  fx.p().setChb(30, true);
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(2, fx.st().copyCounter) << "x = 144, 144 + 65 = 209 > 206";
  EXPECT_NE(std::string::npos, fx.p().tz(0).find("MultiCopy=1")) << fx.p().tz(0);
  EXPECT_EQ("4", fx.p().tn(F::kFrameLeft)) << "the grid leaves the frame where it started";
}

TEST_F(CopyOperation, UnsavedPageQuestionNoKeepsThePage) {
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100));
  fx.frame(4, 4, 3, 3);
  ASSERT_TRUE(copyPage(*fx.ws));
  const int black = blackCount(fx.ws->page);
  fx.frame(20, 20, 3, 3);
  fx.prompts.answers = {Answer::No};
  EXPECT_FALSE(copyPage(*fx.ws));
  ASSERT_FALSE(fx.prompts.shown.empty());
  EXPECT_EQ("Копия не сохранена.\r\nСтереть ?", fx.prompts.shown.back().text);
  EXPECT_EQ(black, blackCount(fx.ws->page));
  EXPECT_FALSE(fx.st().busy);
  fx.prompts.answers = {Answer::Yes};
  EXPECT_TRUE(copyPage(*fx.ws));
  EXPECT_TRUE(fx.ws->page.isWhite(5, 5)) << "a new page was begun";
}

TEST_F(CopyOperation, PasteChecksDepthAndResolution) {
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100));
  fx.frame(4, 4, 3, 3);
  ASSERT_TRUE(copyPage(*fx.ws));
  fx.p().setCheck(Check::ChPaste, true);
  fx.load(blockPicture(100, 100, 8, 0, 0, 100, 100));
  EXPECT_FALSE(copyPage(*fx.ws));
  EXPECT_EQ("Несовпадение количества цветовых битов.", fx.prompts.shown.back().text);
  EXPECT_EQ(1, fx.ws->page.bits);
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100));
  fx.st().pageDpi = 1200;
  EXPECT_FALSE(copyPage(*fx.ws));
  EXPECT_EQ("Скопирован рисунок 1200 dpi.\r\nДругой рисунок должен быть таким же, а не 600 dpi.",
            fx.prompts.shown.back().text);
  fx.st().pageDpi = 600;
  EXPECT_TRUE(copyPage(*fx.ws));
}

TEST_F(CopyOperation, FourInOneOrderAndOneMirror) {
  setStandardPageImage(*fx.ws);
  fx.load(blockPicture(60, 60, 1, 0, 0, 60, 2));  // a black top edge shows the mirror
  fx.p().setHeld(Held::L4CX, "1");
  fx.p().setHeld(Held::L4CY, "1");
  fx.p().setCheck(Check::ChMirror, true);
  fx.p().setChb(C::kFourInOne, true);
  fx.frame(4, 4, 2, 2);
  std::vector<std::pair<std::string, std::string>> frames;
  for (int k = 0; k < 4; ++k) {
    ASSERT_TRUE(copyPage(*fx.ws));
    frames.emplace_back(fx.p().tn(F::kFrameLeft), fx.p().tn(F::kFrameTop));
    if (k < 3) {
      EXPECT_EQ(k + 1, fx.st().quadrant);
    }
  }
  EXPECT_EQ(0, fx.st().quadrant);
  // Centre 105, 148.5; gap 1: top right, top left, bottom left, bottom right.
  EXPECT_EQ((std::pair<std::string, std::string>{"102", "145.5"}), frames[0]);
  EXPECT_EQ((std::pair<std::string, std::string>{"102", "149.5"}), frames[1]);
  EXPECT_EQ((std::pair<std::string, std::string>{"106", "149.5"}), frames[2]);
  EXPECT_EQ((std::pair<std::string, std::string>{"106", "145.5"}), frames[3]);
  // Mirrored once after the fourth copy: the first copy's top edge (page row 0) is now at
  // the bottom of the page.
  const Bitmap& page = fx.ws->page;
  EXPECT_TRUE(page.isWhite(5, 1));
  EXPECT_FALSE(page.isWhite(5, page.height - 2));
}

TEST_F(CopyOperation, TwoInOneHalvesAroundTheMiddle) {
  setStandardPageImage(*fx.ws);
  fx.load(blockPicture(40, 40, 1, 0, 0, 40, 40));
  fx.p().setCheck(Check::Ch2in1, true);
  fx.frame(4, 10, 1, 1);
  ASSERT_TRUE(copyPage(*fx.ws));
  const int middle = nearesti(148.5 * 23.622), margin = nearesti(4 * 23.622), top = nearesti(10 * 23.622);
  EXPECT_TRUE(fx.ws->page.isWhite(3, middle + top - margin)) << "row 0 of the frame";
  EXPECT_FALSE(fx.ws->page.isWhite(3, middle + top - margin + 1));
  fx.p().setCheck(Check::Ch2of2, true);
  ASSERT_TRUE(copyPage(*fx.ws));
  const int h = nearesti(23.622);
  EXPECT_FALSE(fx.ws->page.isWhite(3, middle - top - h - margin + 2));
  EXPECT_FALSE(fx.ws->page.isWhite(3, middle + top - margin + 1)) << "the lower half stays";
}

TEST_F(CopyOperation, FormOffsetMovesTheFrameDown) {
  fx.load(blockPicture(40, 40, 1, 0, 0, 40, 40));
  fx.p().setCheck(Check::ChForm, true);
  EXPECT_EQ("208", fx.p().tn(F::kPageWidth));
  EXPECT_EQ("329.5", fx.p().tn(F::kPageHeight));
  fx.frame(4, 4, 1, 1);
  ASSERT_TRUE(copyPage(*fx.ws));
  const int row0 = nearesti(4 * 23.622) + nearesti(32.5 * 23.622);
  EXPECT_TRUE(fx.ws->page.isWhite(3, row0));
  EXPECT_FALSE(fx.ws->page.isWhite(3, row0 + 1));
  EXPECT_TRUE(fx.ws->page.isWhite(3, 5));
}

TEST_F(CopyOperation, MaskOnCopyWhitensTheFrame) {
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100));
  fx.frame(4, 4, 2, 2);
  fx.p().setChb(C::kMaskOnCopy, true);
  fx.p().setHeld(Held::MaskPattern, "FFFF");
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(0, blackCount(fx.ws->page));
  fx.p().setHeld(Held::MaskPattern, "5A5A");
  fx.ws->shared.copySaved = true;
  ASSERT_TRUE(copyPage(*fx.ws));
  const int n = blackCount(fx.ws->page);
  const int frameDots = nearesti(2 * 23.622);
  EXPECT_NEAR((frameDots - 1) * (frameDots - 1) / 2, n, frameDots * 2);
}

TEST_F(CopyOperation, UnevenMaskFollowsTheEdgeLevels) {
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100));
  fx.frame(4, 4, 2, 2);
  fx.p().setChb(C::kMaskOnCopy, true);
  fx.p().setChb(C::kUnevenMask, true);
  fx.p().setTn(58, "16");
  fx.p().setTn(59, "16");
  ASSERT_TRUE(copyPage(*fx.ws));
  const int frameDots = nearesti(2 * 23.622);
  EXPECT_NEAR((frameDots - 1) * (frameDots - 1) / 16, blackCount(fx.ws->page), frameDots)
      << "both above the limit: both become level 15";
  fx.p().setTn(58, "0");
  fx.p().setTn(59, "0");
  fx.ws->shared.copySaved = true;
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(frameDots * (frameDots - 1), blackCount(fx.ws->page)) << "level 0 keeps every dot (1-bit: column 0 drawn)";
}

TEST_F(CopyOperation, RecordLineAndPageActions) {
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100), "page3.bmp");
  fx.frame(4, 4, 2, 2);
  fx.p().setChb(30, true);
  std::string ran;
  fx.st().runActions = [&](Workspace&, const std::string& t) { ran = t; };
  fx.p().setTz(4, "even N##", false);
  fx.p().setTz(5, "odd N##", false);
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ("odd 3", ran);
  EXPECT_NE(std::string::npos, fx.p().tz(0).find("Copy, 0, 0, 2, 2, 4, 4, 100, 0, 60, 50")) << fx.p().tz(0);
}

TEST_F(CopyOperation, OuterMarginQuestion) {
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100), "p2.bmp");
  fx.p().setChb(C::kTwoSides, true);
  fx.frame(10, 4, 2, 2);  // left 10 > right 210 - 12 is false: ask only when even and left > right
  EXPECT_TRUE(copyPage(*fx.ws));
  EXPECT_TRUE(fx.prompts.shown.empty());
  fx.frame(50, 4, 150, 2);  // left 50 > right 10 on an even page
  fx.ws->shared.copySaved = true;
  fx.prompts.answers = {Answer::No};
  EXPECT_FALSE(copyPage(*fx.ws));
  ASSERT_EQ(1u, fx.prompts.shown.size());
  EXPECT_EQ("Поле снаружи больше, чем внутри ?\r\n(Да - больше не спрашивать,\r\nНет - не копировать,\r\nОтмена - копировать.)",
            fx.prompts.shown[0].text);
  EXPECT_EQ(Answer::No, fx.prompts.shown[0].defaultButton);
  fx.prompts.answers = {Answer::Yes};
  EXPECT_TRUE(copyPage(*fx.ws));
  fx.ws->shared.copySaved = true;
  EXPECT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(2u, fx.prompts.shown.size()) << "Yes: not asked again";
}

TEST_F(CopyOperation, ReloadMakesThePageThePicture) {
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100));
  fx.frame(4, 4, 2, 2);
  ASSERT_TRUE(copyPage(*fx.ws));
  fx.p().setChb(30, true);
  const int w = fx.ws->page.width, h = fx.ws->page.height;
  ASSERT_TRUE(reloadCopy(*fx.ws, 'R'));
  EXPECT_EQ(h, fx.ws->image.bitmap.width);
  EXPECT_EQ(w, fx.ws->image.bitmap.height);
  EXPECT_EQ(1, fx.ws->image.modified);
  EXPECT_NE(std::string::npos, fx.p().tz(0).find("Reload, R"));
  ASSERT_TRUE(reloadCopy(*fx.ws));
  EXPECT_EQ(w, fx.ws->image.bitmap.width);
}

TEST_F(CopyOperation, ResolutionSwitchAsksAndResetsThePage) {
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100));
  fx.frame(4, 4, 2, 2);
  ASSERT_TRUE(copyPage(*fx.ws));
  fx.prompts.answers = {Answer::No};
  fx.p().setCheck(Check::Ch1200dpi, true);
  EXPECT_EQ("Установить разрешение 1200 dpi ?", fx.prompts.shown.back().text);
  EXPECT_FALSE(fx.p().check(Check::Ch1200dpi));
  EXPECT_DOUBLE_EQ(23.622, fx.ws->shared.dotsPerMm);
  EXPECT_FALSE(fx.ws->page.empty());
  fx.prompts.answers = {Answer::Yes};
  fx.p().setCheck(Check::Ch1200dpi, true);
  EXPECT_DOUBLE_EQ(47.244, fx.ws->shared.dotsPerMm);
  EXPECT_EQ(1200, fx.ws->shared.resolution);
  EXPECT_TRUE(fx.ws->page.empty());
  fx.ws->shared.copySaved = true;
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(nearesti(60 * 47.244), fx.ws->page.width);
  EXPECT_EQ(1200, fx.st().pageDpi);
}

// --- Exclusions between the copy check boxes -----------------------------------------

// --- The copy button's "Стоп" state and the automatic copy ----------------------------

TEST_F(CopyOperation, StopButtonCancelsTheWaitingCopyAndTheBatch) {
  fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300));
  fx.frame(4, 4, 10, 10);
  int batchStops = 0;
  fx.st().batchRunning = true;
  fx.st().stopBatch = [&](Workspace& w) {
    ++batchStops;
    copyState(w).batchRunning = false;
  };
  openState(*fx.ws).autoCopyPending = true;
  fx.p().setCaption(namedLabelId(NamedLabel::ComCopy), "Стоп");
  // Pressing the button stops instead of copying.
  EXPECT_FALSE(copyPage(*fx.ws));
  EXPECT_TRUE(fx.ws->page.empty());
  EXPECT_EQ(1, batchStops);
  EXPECT_EQ("Копировать", fx.p().caption(namedLabelId(NamedLabel::ComCopy)));
  // The timer's tick then finds nothing waiting.
  EXPECT_FALSE(runAutomaticCopy(*fx.ws));
  EXPECT_TRUE(fx.ws->page.empty());
  // The next press copies.
  EXPECT_TRUE(copyPage(*fx.ws));
}

TEST_F(CopyOperation, AutomaticCopyRunsOnceAndGivesTheButtonBack) {
  fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300));
  fx.frame(4, 4, 10, 10);
  openState(*fx.ws).autoCopyPending = true;
  fx.p().setCaption(namedLabelId(NamedLabel::ComCopy), "Стоп");
  EXPECT_TRUE(runAutomaticCopy(*fx.ws));
  EXPECT_FALSE(fx.ws->page.empty());
  EXPECT_EQ("Копировать", fx.p().caption(namedLabelId(NamedLabel::ComCopy)));
  EXPECT_FALSE(runAutomaticCopy(*fx.ws));  // only once
  // In the batch the button reads "Стоп" again after the copy, so that it stops the batch.
  fx.st().batchRunning = true;
  openState(*fx.ws).autoCopyPending = true;
  fx.p().setCaption(namedLabelId(NamedLabel::ComCopy), "Стоп");
  fx.p().setCheck(Check::ChPaste, true);
  EXPECT_TRUE(runAutomaticCopy(*fx.ws));
  EXPECT_EQ("Стоп", fx.p().caption(namedLabelId(NamedLabel::ComCopy)));
}

TEST_F(CopyOperation, TwoSidesRemembersTheFramePerParity) {
  fx.p().setChb(copycheck::kTwoSides, true);
  fx.st().askedOuterMargin = true;
  // Nothing remembered yet: opening a page leaves the frame alone.
  fx.frame(4, 6, 10, 10);
  applyParityFrame(*fx.ws, 1);
  EXPECT_EQ("4", fx.p().tn(F::kFrameLeft));
  fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300), "scan7.bmp");
  ASSERT_TRUE(copyPage(*fx.ws));
  fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300), "scan8.bmp");
  fx.frame(12, 3, 10, 10);
  fx.p().setCheck(Check::ChPaste, true);
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ("4", fx.p().held(Held::SX1));
  EXPECT_EQ("6", fx.p().held(Held::SY1));
  EXPECT_EQ("12", fx.p().held(Held::SX2));
  applyParityFrame(*fx.ws, 1);
  EXPECT_EQ("4", fx.p().tn(F::kFrameLeft));
  EXPECT_EQ("6", fx.p().tn(F::kFrameTop));
  applyParityFrame(*fx.ws, 2);
  EXPECT_EQ("12", fx.p().tn(F::kFrameLeft));
  applyParityFrame(*fx.ws, 0);  // a name without a number
  EXPECT_EQ("12", fx.p().tn(F::kFrameLeft));
  // A broken memory (from a hand-edited settings file) is not put back.
  fx.p().setHeld(Held::SX1, "abc");
  applyParityFrame(*fx.ws, 1);
  EXPECT_EQ("12", fx.p().tn(F::kFrameLeft));
  // A page without a number remembers nothing.
  fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300), "cover.bmp");
  fx.frame(30, 3, 10, 10);
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ("12", fx.p().held(Held::SX2));
}

TEST_F(CopyOperation, NumberingNamesTheNextSave) {
  fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300));
  fx.frame(4, 4, 10, 10);
  fx.p().setHeld(Held::TextFileName, "scan-Print.bmp");
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ("scan-Print.bmp", fx.p().held(Held::TextFileName));  // off: unchanged
  fx.p().setChb(copycheck::kNumberNext, true);
  fx.p().setHeld(Held::PageNumber, "17");
  fx.p().setCheck(Check::ChPaste, true);
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ("NUM-17", fx.p().held(Held::TextFileName));
}

TEST(CopyExclusions, LandscapeTurnsOffAndDisables) {
  CopyFixture fx;
  fx.p().setCheck(Check::ChA3, true);
  fx.p().setCheck(Check::Ch2in1, true);
  fx.p().setCheck(Check::ChLand, true);
  EXPECT_FALSE(fx.p().check(Check::ChA3));
  EXPECT_FALSE(fx.p().check(Check::Ch2in1));
  EXPECT_FALSE(fx.p().enabled(checkId(Check::Ch2origin)));
  EXPECT_FALSE(fx.p().enabled(checkId(Check::ChForm)));
  EXPECT_EQ("289", fx.p().tn(F::kPageWidth));
  EXPECT_EQ("202", fx.p().tn(F::kPageHeight));
  fx.p().setCheck(Check::ChLand, false);
  EXPECT_TRUE(fx.p().enabled(checkId(Check::ChA3)));
  EXPECT_EQ("202", fx.p().tn(F::kPageWidth));
}

TEST(CopyExclusions, TwoInOneAgainstMultiCopyAndFourInOne) {
  CopyFixture fx;
  fx.p().setChb(C::kMultiCopy, true);
  fx.p().setChb(C::kFourInOne, true);
  fx.p().setCheck(Check::Ch2in1, true);
  EXPECT_FALSE(fx.p().chb(C::kMultiCopy));
  EXPECT_FALSE(fx.p().chb(C::kFourInOne));
  EXPECT_TRUE(fx.p().enabled(checkId(Check::Ch2of2)));
  EXPECT_FALSE(fx.p().enabled(checkId(Check::ChBackRotat)));
  fx.p().setCheck(Check::Ch2of2, true);
  fx.p().setCheck(Check::Ch2in1, false);
  EXPECT_FALSE(fx.p().check(Check::Ch2of2));
  EXPECT_FALSE(fx.p().enabled(checkId(Check::Ch2of2)));
  fx.p().setCheck(Check::Ch2origin, true);
  EXPECT_TRUE(fx.p().check(Check::Ch2in1)) << "two originals turn 2-in-1 on";
  EXPECT_TRUE(fx.p().enabled(checkId(Check::ChBackRotat)));
}

TEST(CopyExclusions, FormSetsThePageAndTurnsMirrorOff) {
  CopyFixture fx;
  fx.p().setCheck(Check::ChMirror, true);
  fx.p().setCheck(Check::ChForm, true);
  EXPECT_FALSE(fx.p().check(Check::ChMirror));
  EXPECT_EQ("208", fx.p().tn(F::kPageWidth));
  EXPECT_EQ("Форма", fx.p().caption(namedLabelId(NamedLabel::LabMode)));
  fx.p().setCheck(Check::ChForm, false);
  EXPECT_EQ("202", fx.p().tn(F::kPageWidth));
  EXPECT_EQ("289", fx.p().tn(F::kPageHeight));
  EXPECT_EQ("Копия", fx.p().caption(namedLabelId(NamedLabel::LabMode)));
}

TEST(CopyExclusions, FieldRangesAndScale) {
  CopyFixture fx;
  fx.p().setTn(F::kAngle, "6000");
  EXPECT_EQ("5000", fx.p().tn(F::kAngle));
  fx.p().setTn(F::kMiddleOffset, "-70");
  EXPECT_EQ("-50", fx.p().tn(F::kMiddleOffset));
  fx.p().setTn(F::kScaleX, "120");
  fx.p().setTn(F::kScale, "150");
  EXPECT_EQ("150", fx.p().tn(F::kScaleX));
  EXPECT_EQ("150", fx.p().tn(F::kScaleY));
  fx.p().setTn(F::kFrameLeft, "100");
  EXPECT_EQ("106", fx.p().tn(F::kFrameWidth)) << "the frame stays inside the page image";
}

}  // namespace
}  // namespace quillaro
