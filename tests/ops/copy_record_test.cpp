#include <gtest/gtest.h>

#include "base/numeric.h"
#include "ops/copy_engine.h"
#include "ops/copy_record.h"
#include "support/copy_test_util.h"

namespace quillaro {
namespace {

using testing::CopyFixture;
namespace F = copyfield;
namespace C = copycheck;

struct CopyRecord : ::testing::Test {
  CopyFixture fx;
  std::string roundTrip(const std::string& line, int copies = 1) {
    applyCopyRecord(*fx.ws, line);
    return buildCopyRecord(*fx.ws, copies);
  }
};

TEST_F(CopyRecord, LinesComeBackUnchanged) {
  for (const std::string line :
       {"Copy, 0, 0, 202, 289, 4, 4, 100, 0", "Copy, 0, 0, 289, 202, 4, 4, 100, 0, Land=1",
        "Copy, 0, 0, 100, 100, 4, 4, 100, 0, 150, 200", "Copy, 0, 0, 60, 60, 4, 4, 100, 0, Mask=0A0A",
        "Copy, -3.5, 7, 100, 120, 10, 12, 95, -40, 150, 160, ScaleX=90 2in1=1 Mid=\"5\" 2origin=1 2of2=1 "
        "BackRotat=1 Paste=1"})
    EXPECT_EQ(line, roundTrip(line));
  // A decimal comma at the end is a trailing point: dropped, not written as "90.". A field
  // of a comma alone is the 0 the copy takes, not the 100 of an empty one.
  EXPECT_EQ("Copy, 0, 0, 60, 60, 4, 4, 100, 0, ScaleX=90", roundTrip("Copy, 0, 0, 60, 60, 4, 4, 100, 0, ScaleX=90,"));
  EXPECT_EQ("Copy, 0, 0, 60, 60, 4, 4, 100, 0, ScaleX=0", roundTrip("Copy, 0, 0, 60, 60, 4, 4, 100, 0, ScaleX=,"));
  // A quote or a line break inside the quoted middle offset would cut it short when read
  // back, blanks at its ends would be dropped, and " Key=" inside would be read as a key.
  const std::string quoted = "Copy, 0, 0, 202, 289, 4, 4, 100, 0, 2in1=1 Mid=\"3'x'\" 2origin=1 2of2=1";
  EXPECT_EQ(quoted, roundTrip(quoted));
  fx.ws->params.setTn(field::kMiddleOffset, " 3\"x\"\r\n.");
  EXPECT_EQ(quoted, buildCopyRecord(*fx.ws, 1));
  fx.ws->params.setTn(field::kMiddleOffset, "3 Mirror=1");  // no key inside the value
  const std::string noKey = buildCopyRecord(*fx.ws, 1);
  EXPECT_NE(noKey.find("Mid=\"3 Mirror 1\""), std::string::npos) << noKey;
  EXPECT_EQ(noKey, roundTrip(noKey));
  const std::string multi = "Copy, 0, 0, 60, 60, 4, 4, 100, 0, 3, 2, 70, 65, MultiCopy=1";
  EXPECT_EQ(multi, roundTrip(multi, 6));
  EXPECT_EQ("Copy, 0, 0, 60, 60, 4, 4, 100, 0", buildCopyRecord(*fx.ws, 1)) << "one copy: no grid fields";
  EXPECT_EQ("Copy, 0, 0, 100, 100, 4, 4, 100, 0, Form=1", roundTrip("Copy, 0, 0, 100, 100, 4, 4, 100, 0, 150, 200, Form=1"))
      << "the form has its own page image";
}

TEST_F(CopyRecord, CopyAloneGivesTheDefaultsWithEveryFlagOff) {
  roundTrip("Copy, 5, 6, 50, 60, 7, 8, 150, 30, Land=1 Mirror=1 Paste=1 4in1=2 ScaleY=80");
  applyCopyRecord(*fx.ws, "Copy");
  EXPECT_EQ("Copy, 0, 0, 202, 289, 4, 4, 100, 0", buildCopyRecord(*fx.ws));
  EXPECT_FALSE(fx.p().check(Check::ChMirror));
  EXPECT_FALSE(fx.p().chb(C::kFourInOne));
  EXPECT_EQ("100", fx.p().tn(F::kScaleY));
  applyCopyRecord(*fx.ws, "copy, 1, 2, Land=1");
  EXPECT_EQ("289", fx.p().tn(F::kPageWidth)) << "landscape without page fields";
  EXPECT_EQ("202", fx.p().tn(F::kFrameWidth)) << "frame size defaults stay upright";
}

TEST_F(CopyRecord, KeysAndTheirLimits) {
  applyCopyRecord(*fx.ws, "Copy, 0, 0, 202, 289, 4, 4, 150, -9999, ScaleX=\"\" ScaleY=75");
  EXPECT_EQ("-5000", fx.p().tn(F::kAngle));
  EXPECT_EQ("150", fx.p().tn(F::kScaleX)) << "an empty key value leaves the axis scale";
  EXPECT_EQ("75", fx.p().tn(F::kScaleY));
  applyCopyRecord(*fx.ws, "Copy, 0, 0, 100, 100, 4, 4, 100, 0, 4in1=7");
  EXPECT_EQ(3, fx.st().quadrant);
  EXPECT_NE(std::string::npos, buildCopyRecord(*fx.ws).find(" 4in1=4"));
  applyCopyRecord(*fx.ws, "Copy, 0, 0, 100, 100, 4, 4, 100, 0, 2in1=1 Mid='7.5'");
  EXPECT_EQ("7.5", fx.p().tn(F::kMiddleOffset));
  fx.p().setChb(C::kMiddleByPaper, true);
  applyCopyRecord(*fx.ws, "Copy, 0, 0, 100, 100, 4, 4, 100, 0, 2in1=1 Mid=\"3\"");
  EXPECT_EQ("7.5", fx.p().tn(F::kMiddleOffset)) << "not read while the middle follows the paper";
  EXPECT_EQ("Copy, 0, 0, 100, 100, 4, 4, 100, 0, 2in1=1", buildCopyRecord(*fx.ws));
  fx.st().maskLocked = true;
  applyCopyRecord(*fx.ws, "Copy, 0, 0, 60, 60, 4, 4, 100, 0, Mask=5F5F");
  EXPECT_FALSE(fx.p().chb(C::kMaskOnCopy)) << "locked mask";
}

TEST_F(CopyRecord, PositionalFieldsStopAtTheFirstNonNumber) {
  applyCopyRecord(*fx.ws, "Copy, 3,, 50, abc, 9, 9");
  EXPECT_EQ("3", fx.p().tn(F::kZoneLeft));
  EXPECT_EQ("0", fx.p().tn(F::kZoneTop)) << "an empty piece is 0";
  EXPECT_EQ("50", fx.p().tn(F::kFrameWidth));
  EXPECT_EQ("289", fx.p().tn(F::kFrameHeight));
  EXPECT_EQ("4", fx.p().tn(F::kFrameLeft)) << "fields after a non-number take their defaults";
}

TEST_F(CopyRecord, CopyAsIsCopiesThePageAndPutsTheSetBack) {
  fx.load(testing::blockPicture(100, 100, 1, 0, 0, 100, 100));
  applyCopyRecord(*fx.ws, "Copy, 5, 5, 20, 20, 10, 10, 150, 30");
  ASSERT_TRUE(copyAsIs(*fx.ws));
  EXPECT_EQ(nearesti(202 * 23.622), fx.ws->page.width);
  EXPECT_FALSE(fx.ws->page.isWhite(50, 50)) << "the whole picture at 1:1 from the corner";
  EXPECT_EQ("Copy, 5, 5, 20, 20, 10, 10, 150, 30", buildCopyRecord(*fx.ws));
}

}  // namespace
}  // namespace quillaro
