#include <gtest/gtest.h>

#include <vector>

#include "app/ports.h"
#include "copy/auto_frame.h"
#include "copy/copy_engine.h"
#include "copy_test_util.h"

namespace quillaro {
namespace {

using testing::blockPicture;

AutoFrameSpec sides(AutoSide v, AutoSide h) {
  AutoFrameSpec s;
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
  r = findZoneOrigin(pic, sides(AutoSide::Far, AutoSide::Far));
  ASSERT_TRUE(r.foundX && r.foundY);
  EXPECT_NEAR(220 - 300, r.zoneLeft, 2) << "the zone's right edge meets the content's right edge";
  EXPECT_NEAR(150 - 300, r.zoneTop, 1);
  r = findZoneOrigin(pic, sides(AutoSide::Auto, AutoSide::Auto));
  EXPECT_NEAR(220 - 300, r.zoneLeft, 2) << "Авто: the right edge is 80 from the zone's, the left 120";
  EXPECT_NEAR(90, r.zoneTop, 1) << "the top edge is 90 from the zone's, the bottom 150";
}

TEST(AutoFrame, DirtAndReachAndEdgeRows) {
  Bitmap pic = blockPicture(400, 400, 1, 300, 300, 20, 20);
  for (int k = 0; k < 10; ++k) pic.setWhite(50 + k, 50, false);  // 10 dots: dirt
  AutoFrameSpec s = sides(AutoSide::Near, AutoSide::Near);
  s.reach = 100;
  AutoFrameResult r = findZoneOrigin(pic, s);
  EXPECT_FALSE(r.foundX);
  EXPECT_FALSE(r.foundY);
  EXPECT_EQ(0, r.zoneLeft) << "nothing found: the origin stays";
  const Bitmap top = blockPicture(400, 400, 1, 100, 0, 50, 6);  // within 10 rows of the top
  r = findZoneOrigin(top, sides(AutoSide::Near, AutoSide::Near));
  EXPECT_FALSE(r.foundY);
  EXPECT_EQ(16 + 1, blockBlackDots(blockPicture(20, 20, 1, 0, 0, 4, 4), 0, 0, 0) + 1);
}

TEST(AutoFrame, WorkspaceSetsTheZoneFieldsOnlyWhenOn) {
  testing::CopyFixture fx;
  fx.load(blockPicture(600, 600, 1, 236, 118, 200, 200), "p1.bmp");
  fx.frame(4, 4, 20, 20);
  EXPECT_FALSE(autoPlaceZone(*fx.ws));
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
  FrameSpec f;
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
