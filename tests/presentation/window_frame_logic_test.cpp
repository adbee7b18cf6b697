// The window's pure logic: zoom around the pointer, keeping the picture in view, the frame
// handles, the menu's keys and the panels' whole captions.
#include <gtest/gtest.h>

#include <set>

#include "model/param_store.h"
#include "presentation/menu_commands.h"
#include "presentation/panel_captions.h"
#include "presentation/view_logic.h"

namespace quillaro {
namespace {

TEST(ZoomTest, ThePointUnderThePointerStays) {
  const ViewMapping start{0.25, 30, -40};
  struct Case { double factor, vx, vy; } cases[] = {
      {1.25, 100, 100}, {0.8, 0, 0}, {4, 799, 599}, {1e6, 10, 10}, {1e-6, 300, 20}};
  for (const Case& c : cases) {
    const ViewMapping z = zoomAround(start, c.factor, c.vx, c.vy);
    EXPECT_NEAR(z.toPictureX(c.vx), start.toPictureX(c.vx), 1e-9) << c.factor;
    EXPECT_NEAR(z.toPictureY(c.vy), start.toPictureY(c.vy), 1e-9) << c.factor;
    EXPECT_GE(z.scale, kMinZoom);
    EXPECT_LE(z.scale, kMaxZoom);
  }
  // Nonsense factors change nothing.
  for (double bad : {0.0, -2.0}) EXPECT_EQ(zoomAround(start, bad, 5, 5).scale, start.scale);
}

TEST(ZoomTest, PictureIsCentredWhenSmallAndLeavesNoBandWhenLarge) {
  // 1000 x 500 picture at scale 0.5 in a 800 x 600 view: 500 x 250, centred.
  ViewMapping small = keepInView({0.5, -300, 900}, 1000, 500, 800, 600);
  EXPECT_DOUBLE_EQ(small.offsetX, 150);
  EXPECT_DOUBLE_EQ(small.offsetY, 175);
  // At scale 2 (2000 x 1000): offsets kept between view - picture and 0.
  ViewMapping large = keepInView({2, 50, -5000}, 1000, 500, 800, 600);
  EXPECT_DOUBLE_EQ(large.offsetX, 0);
  EXPECT_DOUBLE_EQ(large.offsetY, -400);
  // 1:1 on a screen of scale 2 is half a view unit per picture pixel, point kept.
  const ViewMapping one = actualSize(2.0, 100, 200, 40, 60);
  EXPECT_DOUBLE_EQ(one.scale, 0.5);
  EXPECT_DOUBLE_EQ(one.toPictureX(40), 100);
  EXPECT_DOUBLE_EQ(one.toPictureY(60), 200);
}

TEST(HandleTest, CornersBeforeEdgesBeforeInside) {
  const PixRect r{100, 100, 200, 100};
  struct Case { double x, y; Handle h; } cases[] = {
      {100, 100, Handle::TopLeft}, {303, 198, Handle::BottomRight}, {298, 100, Handle::TopRight},
      {100, 200, Handle::BottomLeft}, {100, 150, Handle::Left}, {300, 150, Handle::Right},
      {200, 97, Handle::Top}, {200, 204, Handle::Bottom}, {200, 150, Handle::Move},
      {50, 150, Handle::None}, {200, 300, Handle::None}};
  for (const Case& c : cases) EXPECT_EQ(handleAt(r, c.x, c.y, 5), c.h) << c.x << "," << c.y;
  EXPECT_EQ(handleAt(PixRect{}, 0, 0, 5), Handle::None);
}

TEST(HandleTest, DraggingMovesOneSideAndStopsShortOfTheOther) {
  const PixRect s{100, 100, 200, 100};
  struct Case { Handle h; double dx, dy; PixRect want; } cases[] = {
      {Handle::Move, 10, -20, {110, 80, 200, 100}},
      {Handle::Right, 50, 99, {100, 100, 250, 100}},
      {Handle::Left, -30, 0, {70, 100, 230, 100}},
      {Handle::TopLeft, 20, 30, {120, 130, 180, 70}},
      {Handle::BottomRight, -500, -500, {100, 100, 1, 1}},  // not past the opposite edge
      {Handle::Top, 0, 400, {100, 199, 200, 1}},
  };
  for (const Case& c : cases) {
    const PixRect r = dragHandle(s, c.h, c.dx, c.dy, 1);
    EXPECT_DOUBLE_EQ(r.x, c.want.x) << static_cast<int>(c.h);
    EXPECT_DOUBLE_EQ(r.y, c.want.y);
    EXPECT_DOUBLE_EQ(r.w, c.want.w);
    EXPECT_DOUBLE_EQ(r.h, c.want.h);
  }
}

TEST(HandleTest, SizedCopyZoneGoesIntoTheFrameFieldsThroughTheScales) {
  ParamStore p;
  p.setTn(field::kScaleX, "50");
  p.setTn(field::kScaleY, "");
  setCopyZone(p, {10, 20, 100, 300}, 10, 1);
  EXPECT_EQ(p.tn(field::kZoneLeft), "1");
  EXPECT_EQ(p.tn(field::kZoneTop), "2");
  EXPECT_EQ(p.tn(field::kFrameWidth), "5");    // 10 mm of picture at 50 %
  EXPECT_EQ(p.tn(field::kFrameHeight), "30");  // an empty scale counts as 100 %
  const PixRect back = copyZoneRect(p, 10);
  EXPECT_DOUBLE_EQ(back.w, 100);
  EXPECT_DOUBLE_EQ(back.h, 300);
}

TEST(MenuCommandsTest, EveryEntryNamesTheKeyThatStartsTheSameCommand) {
  std::set<Cmd> seen;
  for (const MenuCommand& m : menuCommands()) {
    EXPECT_TRUE(seen.insert(m.cmd).second) << commandName(m.cmd) << " twice";
    EXPECT_STRNE(m.keyText, "") << commandName(m.cmd);
    const bool drawing = m.mode == KeyMode::Drawing;
    const Cmd byKey = m.typed ? commandForChar(m.typed, drawing) : commandForKey(m.key, drawing).cmd;
    EXPECT_EQ(byKey, m.cmd) << m.caption;
    // A key of both modes works in the other mode too; a key of one mode does not.
    if (m.mode == KeyMode::Both) {
      EXPECT_EQ(commandForKey(m.key, !drawing).cmd, m.cmd) << m.caption;
    }
  }
  EXPECT_EQ(commandForChar(U'>', false), Cmd::NextFile);  // the tooltip's ">" works
  EXPECT_EQ(commandForChar(U'>', true), Cmd::None);
}

TEST(PanelCaptionsTest, FragmentsBecomeWholeOthersStay) {
  EXPECT_EQ(wholeCaption(tnId(field::kTabWidth), ", табуляция"), "Табуляция");
  EXPECT_EQ(wholeCaption(chbId(check::kOpenAfterA5), "A5,"), "Открывать следующий файл после первого A5");
  EXPECT_EQ(wholeCaption(tnId(field::kScale), "Масштаб                 %"), "Масштаб, %");
  EXPECT_EQ(wholeCaption(tnId(field::kAngle), "Угол"), "Угол");
  // Every caption of the table that reads as a fragment is made whole.
  for (const ControlInfo& row : controlTable()) {
    if (!*row.caption) continue;
    const std::string c = wholeCaption({row.kind, row.index}, row.caption);
    EXPECT_EQ(c.find("   "), std::string::npos) << row.name << row.index << ": " << c;
    EXPECT_NE(c.front(), ',') << row.name << row.index;
    if (row.kind == Ctl::ChB || row.kind == Ctl::TN) {
      EXPECT_NE(c.back(), ',') << row.name << row.index << ": " << c;
    }
  }
}

}  // namespace
}  // namespace quillaro
