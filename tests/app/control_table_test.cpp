// Texts of the control table that must agree with the label the program switches.
#include <gtest/gtest.h>

#include <string>

#include "app/controls.h"
#include "app/param_store.h"

namespace quillaro {
namespace {

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

}  // namespace
}  // namespace quillaro
