// Texts of the control table against the program that reads the controls: every field and
// check box that the copy reads has a text to show, texts shared with a label agree with
// it, and rows that only add texts leave a fresh window's values as they were.
#include <gtest/gtest.h>

#include <string>

#include "app/controls.h"
#include "app/param_store.h"
#include "copy/copy_state.h"

namespace quillaro {
namespace {

bool hasText(const ControlInfo* row) { return row && (*row->caption || *row->tooltip); }

TEST(ControlTableTexts, EveryCopyFieldAndCheckHasAText) {
  namespace F = copyfield;
  namespace C = copycheck;
  for (int i : {F::kAcross, F::kDown, F::kDirt, F::kAngle, F::kFrameLeft, F::kFrameTop,
                F::kFrameWidth, F::kFrameHeight, F::kZoneLeft, F::kZoneTop, F::kScale,
                F::kStepAcross, F::kStepDown, F::kQuadOffsetX, F::kQuadOffsetY, F::kMargin,
                F::kMiddleOffset, F::kScaleX, F::kScaleY, F::kPageWidth, F::kPageHeight})
    EXPECT_TRUE(hasText(findControl(tnId(i)))) << "TN " << i;
  for (int i : {C::kA4InA3Turned, C::kMultiCopy, C::kRemind, C::kByBytes, C::kAutoFrame,
                C::kOpenAfterSave, C::kMaskOnCopy, C::kRememberZones, C::kMiddleByPaper,
                C::kTwoSides, C::kNumberNext, C::kAutoCopy, C::kAfterA3, C::kToA3After,
                C::kSaveAfter, C::kPrintAfter, C::kUnevenMask, C::kNotAboveMask, C::kLoadSaved,
                C::kFastCopy, C::kFourInOne, C::kEvenReverseLR, C::kEvenReverseTB})
    EXPECT_TRUE(hasText(findControl(chbId(i)))) << "ChB " << i;
}

TEST(ControlTableTexts, HeldToneTextsMatchTheSharedLabel) {
  // Lab(7) names whichever of the two texts the shared field TN(55) shows; the fields of
  // the held texts carry the same caption and tooltip.
  ParamStore p;
  const ControlInfo* brightness = findControl(heldId(Held::Brightness));
  const ControlInfo* threshold = findControl(heldId(Held::Threshold));
  ASSERT_NE(brightness, nullptr);
  ASSERT_NE(threshold, nullptr);
  EXPECT_EQ(p.caption(labId(7)), brightness->caption);
  EXPECT_EQ(p.tooltip(labId(7)), brightness->tooltip);
  p.setChb(55, true);
  EXPECT_EQ(p.caption(labId(7)), threshold->caption);
  EXPECT_EQ(p.tooltip(labId(7)), threshold->tooltip);
  p.setChb(55, false);
  EXPECT_EQ(p.caption(labId(7)), brightness->caption);
}

TEST(ControlTableTexts, RowsAddedForTextsKeepFreshValues) {
  ParamStore p;
  // Fields that had no row start empty, as before.
  for (int i : {11, 16, 17, 18, 19, 28, 29, 35, 40, 41, 58, 59, 62, 63, 64, 68, 69})
    EXPECT_EQ(p.tn(i), "") << "TN " << i;
  EXPECT_EQ(p.ttb(0), "");
  EXPECT_EQ(p.ttb(2), "");
  // Rows that only gained a text keep their values, fresh and after a reset.
  p.setTn(2, "3");
  p.setTn(50, "7");
  p.setTextPrint(1, "2");
  p.setChb(63, true);
  p.loadInitialValues();
  EXPECT_EQ(p.tn(2), "1");
  EXPECT_EQ(p.tn(7), "15");
  EXPECT_EQ(p.tn(50), "10");
  EXPECT_EQ(p.ttb(1), "-Print");
  EXPECT_EQ(p.textPrint(1), "1");
  EXPECT_FALSE(p.chb(63));
  EXPECT_EQ(p.held(Held::Threshold), "140");
}

}  // namespace
}  // namespace quillaro
