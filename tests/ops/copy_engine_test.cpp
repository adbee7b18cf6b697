#include <gtest/gtest.h>

#include "support/recording_view.h"
#include "journal/recorder.h"
#include "base/ports.h"
#include "ops/auto_frame.h"
#include "base/numeric.h"
#include "ops/copy_engine.h"
#include "ops/copy_record.h"
#include "support/copy_test_util.h"
#include "support/picture_compare.h"
#include "ops/open.h"

namespace quillaro {
namespace {

using testing::blackCount;
using testing::blockPicture;
using testing::CopyFixture;
namespace F = copyfield;
namespace C = copycheck;

TEST(CopyPathChoice, AngleLimitsAndOptions) {
  FrameMapping f;
  f.a = 0.05;
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 1, {}));
  f.a = -0.0501;
  EXPECT_EQ(CopyPath::General, choosePath(f, 8, {}));
  f.a = 0.0004;
  EXPECT_EQ(CopyPath::WholeByte, choosePath(f, 1, {true, false, false}));
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 1, {true, false, true})) << "paste excludes whole bytes";
  f.sx = 1.05;
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 1, {true, false, false})) << "scale must be exactly 1";
  EXPECT_EQ(CopyPath::Fast, choosePath(f, 1, {false, true, false}));
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 8, {false, true, false})) << "fast is 1-bit only";
  f.a = 0.05;
  EXPECT_EQ(CopyPath::SmallAngle, choosePath(f, 1, {false, true, false})) << "fast needs |a| < 0.05";
}

TEST(CopyPixelRules, OneBitAddsBlackOnlyAndHelpers) {
  Bitmap page = blockPicture(16, 16, 1, 0, 0, 16, 16);
  FrameMapping f;
  f.width = 16;
  f.height = 16;
  drawFrame(Bitmap::create(16, 16, 1), page, f, CopyPath::SmallAngle);
  EXPECT_EQ(256, blackCount(page));
  EXPECT_DOUBLE_EQ(1000.0 / 34806376.0 * 100.0, fillRatio(blockPicture(100, 100, 1, 0, 0, 10, 100), 600));
  EXPECT_EQ(7, pageNumberFromName("/a/b/p007.bmp"));
  EXPECT_EQ(0, pageNumberFromName("scan.bmp"));
}

struct CopyOperation : ::testing::Test {
  CopyFixture fx;
  void SetUp() override {
    setPageImageSize(*fx.ws, 0, "60");
    setPageImageSize(*fx.ws, 1, "50");
    fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300));
    fx.frame(4, 4, 10, 10);
  }
  const std::string& shown() { return fx.prompts.shown.back().text; }
};

TEST(CopyNoPicture, GivesMessage) {
  CopyFixture bare;
  EXPECT_FALSE(copyPage(*bare.ws));
  EXPECT_EQ("Нет рисунка", bare.prompts.shown.at(0).text);
  EXPECT_TRUE(bare.ws->page.empty());
}

TEST_F(CopyOperation, MakesAWhitePageAndAsksBeforeErasingIt) {
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(nearesti(50 * 23.622), fx.ws->page.height);
  EXPECT_FALSE(fx.ws->page.isWhite(5, 5));
  EXPECT_TRUE(fx.ws->page.isWhite(240, 5)) << "beyond the 236-dot frame";
  const int black = blackCount(fx.ws->page);
  fx.frame(20, 20, 3, 3);
  fx.prompts.answers = {Answer::No};
  EXPECT_FALSE(copyPage(*fx.ws));
  EXPECT_EQ("Копия не сохранена.\r\nСтереть ?", shown());
  EXPECT_EQ(black, blackCount(fx.ws->page));
  fx.prompts.answers = {Answer::Yes};
  EXPECT_TRUE(copyPage(*fx.ws));
  EXPECT_TRUE(fx.ws->page.isWhite(5, 5)) << "a new page was begun";
}

TEST_F(CopyOperation, MultiCopySkipsAFrameThatWouldPassThePageEdge) {
  setStandardPageImage(*fx.ws);  // 202 x 289
  fx.frame(4, 4, 65, 5);
  fx.p().setChb(C::kMultiCopy, true);
  fx.p().setTn(F::kAcross, "3");
  fx.p().setTn(F::kDown, "1");
  fx.p().setTn(F::kStepAcross, "70");
  fx.p().setTn(F::kStepDown, "0");
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(2, fx.st().copyCounter) << "x = 144, 144 + 65 = 209 > 206";
  EXPECT_EQ("4", fx.p().tn(F::kFrameLeft)) << "the grid leaves the frame where it started";
}

TEST_F(CopyOperation, PasteChecksDepthAndResolution) {
  ASSERT_TRUE(copyPage(*fx.ws));
  fx.p().setCheck(Check::ChPaste, true);
  fx.load(blockPicture(100, 100, 8, 0, 0, 100, 100));
  EXPECT_FALSE(copyPage(*fx.ws));
  EXPECT_EQ("Несовпадение количества цветовых битов.", shown());
  EXPECT_EQ(1, fx.ws->page.bits);
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100));
  fx.st().pageDpi = 1200;
  EXPECT_FALSE(copyPage(*fx.ws));
  EXPECT_EQ("Скопирован рисунок 1200 dpi.\r\nДругой рисунок должен быть таким же, а не 600 dpi.", shown());
}

TEST_F(CopyOperation, FourInOneOrderAndOneMirror) {
  setStandardPageImage(*fx.ws);
  fx.load(blockPicture(60, 60, 1, 0, 0, 60, 2));  // a black top edge shows the mirror
  fx.p().setHeld(Held::L4CX, "1");
  fx.p().setHeld(Held::L4CY, "1");
  fx.p().setCheck(Check::ChMirror, true);
  fx.p().setChb(C::kFourInOne, true);
  fx.frame(4, 4, 2, 2);
  std::vector<std::string> frames;
  for (int k = 0; k < 4; ++k) {
    ASSERT_TRUE(copyPage(*fx.ws));
    frames.push_back(fx.p().tn(F::kFrameLeft) + "," + fx.p().tn(F::kFrameTop));
  }
  EXPECT_EQ(0, fx.st().quadrant);
  // Centre 105, 148.5; gap 1: top right, top left, bottom left, bottom right.
  EXPECT_EQ((std::vector<std::string>{"102,145.5", "102,149.5", "106,149.5", "106,145.5"}), frames);
  EXPECT_TRUE(fx.ws->page.isWhite(5, 1));
  EXPECT_FALSE(fx.ws->page.isWhite(5, fx.ws->page.height - 2)) << "mirrored once, after the fourth";
}

TEST_F(CopyOperation, TwoInOneHalvesAroundTheMiddle) {
  setStandardPageImage(*fx.ws);
  fx.p().setCheck(Check::Ch2in1, true);
  fx.frame(4, 10, 1, 1);
  ASSERT_TRUE(copyPage(*fx.ws));
  const int middle = nearesti(148.5 * 23.622), margin = nearesti(4 * 23.622), top = nearesti(10 * 23.622);
  EXPECT_TRUE(fx.ws->page.isWhite(3, middle + top - margin));
  EXPECT_FALSE(fx.ws->page.isWhite(3, middle + top - margin + 1));
  fx.p().setCheck(Check::Ch2of2, true);
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_FALSE(fx.ws->page.isWhite(3, middle - top - nearesti(23.622) - margin + 2));
  EXPECT_FALSE(fx.ws->page.isWhite(3, middle + top - margin + 1)) << "the lower half stays";
}

TEST_F(CopyOperation, FormMovesTheFrameDown) {
  fx.p().setCheck(Check::ChForm, true);
  fx.frame(4, 4, 1, 1);
  ASSERT_TRUE(copyPage(*fx.ws));
  const int row0 = nearesti(4 * 23.622) + nearesti(32.5 * 23.622);
  EXPECT_TRUE(fx.ws->page.isWhite(3, row0));
  EXPECT_FALSE(fx.ws->page.isWhite(3, row0 + 1));
}

TEST_F(CopyOperation, MaskOnCopy) {
  fx.frame(4, 4, 2, 2);
  const int dots = nearesti(2 * 23.622);
  fx.p().setChb(C::kMaskOnCopy, true);
  fx.p().setHeld(Held::MaskPattern, "FFFF");
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(0, blackCount(fx.ws->page));
  fx.p().setChb(C::kUnevenMask, true);
  fx.p().setTn(58, "16");
  fx.p().setTn(59, "16");
  fx.ws->shared.copySaved = true;
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_NEAR((dots - 1) * (dots - 1) / 16, blackCount(fx.ws->page), dots) << "both above the limit: level 15";
}

TEST_F(CopyOperation, RecordLinePageActionsAndNumbering) {
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100), "page3.bmp");
  fx.frame(4, 4, 2, 2);
  fx.p().setChb(30, true);
  testing::RecordingView view;
  fx.ws->view = &view;
  fx.p().setTz(4, "even N##", false);
  fx.p().setTz(5, "odd N##", false);
  fx.p().setChb(copycheck::kNumberNext, true);
  fx.p().setHeld(Held::PageNumber, "17");
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(1, view.count("line odd 3")) << "the page's actions ran with its number";
  EXPECT_NE(std::string::npos, fx.p().tz(0).find("Copy, 0, 0, 2, 2, 4, 4, 100, 0, 60, 50")) << fx.p().tz(0);
  EXPECT_EQ("NUM-17", fx.p().held(Held::TextFileName));
}

TEST_F(CopyOperation, OuterMarginQuestion) {
  fx.load(blockPicture(100, 100, 1, 0, 0, 100, 100), "p2.bmp");
  fx.p().setChb(C::kTwoSides, true);
  fx.frame(50, 4, 150, 2);  // left 50 > right 10 on an even page
  fx.prompts.answers = {Answer::No};
  EXPECT_FALSE(copyPage(*fx.ws));
  EXPECT_EQ("Поле снаружи больше, чем внутри ?\r\n(Да - больше не спрашивать,\r\nНет - не копировать,\r\nОтмена - копировать.)",
            shown());
  fx.prompts.answers = {Answer::Yes};
  EXPECT_TRUE(copyPage(*fx.ws));
  fx.ws->shared.copySaved = true;
  EXPECT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ(2u, fx.prompts.shown.size()) << "Yes: not asked again";
}

TEST_F(CopyOperation, ReloadAndResolutionSwitch) {
  ASSERT_TRUE(copyPage(*fx.ws));
  const int w = fx.ws->page.width, h = fx.ws->page.height;
  ASSERT_TRUE(reloadCopy(*fx.ws, 'R'));
  EXPECT_EQ(std::make_pair(h, w), std::make_pair(fx.ws->image.bitmap.width, fx.ws->image.bitmap.height));
  fx.prompts.answers = {Answer::No};
  fx.p().setCheck(Check::Ch1200dpi, true);
  EXPECT_EQ("Установить разрешение 1200 dpi ?", shown());
  EXPECT_FALSE(fx.ws->page.empty());
  fx.prompts.answers = {Answer::Yes};
  fx.p().setCheck(Check::Ch1200dpi, true);
  EXPECT_DOUBLE_EQ(47.244, fx.ws->shared.dotsPerMm);
  EXPECT_TRUE(fx.ws->page.empty());
}

TEST_F(CopyOperation, StopButtonAndTheAutomaticCopy) {
  fx.st().batchRunning = true;
  openState(*fx.ws).autoCopyPending = true;
  const auto button = namedLabelId(NamedLabel::ComCopy);
  fx.p().setCaption(button, "Стоп");
  EXPECT_FALSE(copyPage(*fx.ws)) << "the button stops instead of copying";
  EXPECT_FALSE(fx.st().batchRunning) << "the batch is stopped too";
  EXPECT_EQ("Копировать", fx.p().caption(button));
  EXPECT_FALSE(runAutomaticCopy(*fx.ws)) << "nothing waits any more";
  openState(*fx.ws).autoCopyPending = true;
  fx.p().setCaption(button, "Стоп");
  EXPECT_TRUE(runAutomaticCopy(*fx.ws));
  EXPECT_EQ("Копировать", fx.p().caption(button));
  EXPECT_FALSE(runAutomaticCopy(*fx.ws)) << "only once";
}

TEST_F(CopyOperation, TwoSidesRemembersTheFramePerParity) {
  fx.p().setChb(copycheck::kTwoSides, true);
  fx.st().askedOuterMargin = true;
  fx.frame(4, 6, 10, 10);
  fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300), "scan7.bmp");
  ASSERT_TRUE(copyPage(*fx.ws));
  fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300), "scan8.bmp");
  fx.frame(12, 3, 10, 10);
  fx.p().setCheck(Check::ChPaste, true);
  ASSERT_TRUE(copyPage(*fx.ws));
  applyParityFrame(*fx.ws, 1);
  EXPECT_EQ("6", fx.p().tn(F::kFrameTop));
  applyParityFrame(*fx.ws, 2);
  EXPECT_EQ("12", fx.p().tn(F::kFrameLeft));
  fx.p().setHeld(Held::SX1, "abc");  // a hand-edited settings file
  applyParityFrame(*fx.ws, 1);
  EXPECT_EQ("12", fx.p().tn(F::kFrameLeft));
  fx.load(blockPicture(300, 300, 1, 0, 0, 300, 300), "cover.bmp");
  fx.frame(30, 3, 10, 10);
  ASSERT_TRUE(copyPage(*fx.ws));
  EXPECT_EQ("12", fx.p().held(Held::SX2)) << "a page without a number remembers nothing";
}

TEST(CopyExclusions, CheckBoxesTurnEachOtherOff) {
  CopyFixture fx;
  fx.p().setCheck(Check::ChA3, true);
  fx.p().setCheck(Check::ChLand, true);
  EXPECT_FALSE(fx.p().check(Check::ChA3));
  EXPECT_EQ("289", fx.p().tn(F::kPageWidth));
  fx.p().setCheck(Check::ChLand, false);
  fx.p().setChb(C::kMultiCopy, true);
  fx.p().setChb(C::kFourInOne, true);
  fx.p().setCheck(Check::Ch2in1, true);
  EXPECT_FALSE(fx.p().chb(C::kMultiCopy));
  EXPECT_FALSE(fx.p().chb(C::kFourInOne));
  fx.p().setCheck(Check::Ch2of2, true);
  fx.p().setCheck(Check::Ch2in1, false);
  EXPECT_FALSE(fx.p().check(Check::Ch2of2));
  fx.p().setCheck(Check::Ch2origin, true);
  EXPECT_TRUE(fx.p().check(Check::Ch2in1)) << "two originals turn 2-in-1 on";
  fx.p().setCheck(Check::ChMirror, true);
  fx.p().setCheck(Check::ChForm, true);
  EXPECT_FALSE(fx.p().check(Check::ChMirror));
  EXPECT_EQ("Форма", fx.p().caption(namedLabelId(NamedLabel::LabMode)));
  fx.p().setCheck(Check::ChForm, false);
  fx.p().setTn(F::kFrameLeft, "100");  // the frame stays inside the page image
  EXPECT_EQ("106", fx.p().tn(F::kFrameWidth));
}

AutoFrameOptions sides(AutoSide v, AutoSide h) {
  AutoFrameOptions s;
  s.zoneWidth = 300;
  s.zoneHeight = 300;
  s.reach = 250;
  s.dirt = 15;
  s.vertical = v;
  s.horizontal = h;
  return s;
}

TEST(AutoFrame, FindsTheContentEdgeFromEachSide) {
  const Bitmap pic = blockPicture(400, 400, 1, 120, 90, 100, 60);
  AutoFrameResult r = findZoneOrigin(pic, sides(AutoSide::Near, AutoSide::Near));
  ASSERT_TRUE(r.foundX && r.foundY);
  EXPECT_NEAR(120, r.zoneLeft, 2);
  EXPECT_NEAR(90, r.zoneTop, 1);
  r = findZoneOrigin(pic, sides(AutoSide::Auto, AutoSide::Auto));
  EXPECT_NEAR(220 - 300, r.zoneLeft, 2) << "Авто: the right edge is 80 from the zone's, the left 120";
  EXPECT_NEAR(90, r.zoneTop, 1) << "the top edge is 90 from the zone's, the bottom 150";
}

TEST(AutoFrame, DirtAndReachAndEdgeRows) {
  Bitmap pic = blockPicture(400, 400, 1, 300, 300, 20, 20);
  for (int k = 0; k < 10; ++k) pic.setWhite(50 + k, 50, false);  // 10 dots: dirt
  AutoFrameOptions s = sides(AutoSide::Near, AutoSide::Near);
  s.reach = 100;
  AutoFrameResult r = findZoneOrigin(pic, s);
  EXPECT_FALSE(r.foundX);
  EXPECT_FALSE(r.foundY);
  EXPECT_EQ(0, r.zoneLeft) << "nothing found: the origin stays";
  r = findZoneOrigin(blockPicture(400, 400, 1, 100, 0, 50, 6), sides(AutoSide::Near, AutoSide::Near));
  EXPECT_FALSE(r.foundY) << "within 10 rows of the top";
}

TEST(AutoFrame, WorkspaceSetsTheZoneFieldsOnlyWhenOn) {
  CopyFixture fx;
  fx.load(blockPicture(600, 600, 1, 236, 118, 200, 200), "p1.bmp");
  fx.frame(4, 4, 20, 20);
  EXPECT_FALSE(autoPlaceZone(*fx.ws)) << "off";
  fx.p().setChb(copycheck::kAutoFrame, true);
  EXPECT_TRUE(autoPlaceZone(*fx.ws));
  EXPECT_EQ("10", fx.p().tn(copyfield::kZoneLeft));
  EXPECT_EQ("5", fx.p().tn(copyfield::kZoneTop));
}

struct StopAfter : Progress {
  int pumps = 0, stopAt;
  std::vector<int> seen;
  explicit StopAfter(int n) : stopAt(n) {}
  void percent(int v) override { seen.push_back(v); }
  void status(std::string_view) override {}
  bool pump() override { return ++pumps >= stopAt; }
};

TEST(CopyProgress, EveryThirtyTwoRowsAndTheStopRequest) {
  const Bitmap pic = blockPicture(200, 200, 8, 0, 0, 200, 200);
  Bitmap page = Bitmap::create(200, 200, 8);
  FrameMapping f;
  f.width = 100;
  f.height = 100;
  StopAfter go(1000);
  EXPECT_TRUE(drawFrame(pic, page, f, CopyPath::SmallAngle, &go, 1));
  EXPECT_EQ((std::vector<int>{33, 65, 97, 100}), go.seen);
  Bitmap page2 = Bitmap::create(200, 200, 8);
  StopAfter stop(1);
  EXPECT_FALSE(drawFrame(pic, page2, f, CopyPath::SmallAngle, &stop, 1));
  EXPECT_EQ(0, page2.grey(50, 32));
  EXPECT_EQ(255, page2.grey(50, 50)) << "rows after the stop stay white";
}

}  // namespace
}  // namespace quillaro
