#include "automation/composition.h"
#include "ops/text_settings.h"

#include <gtest/gtest.h>

#include "automation/runner.h"
#include "ops/settings_file.h"
#include "model/workspace.h"

namespace quillaro {
namespace {

struct TextSettings : ::testing::Test {
  Workspace ws;
  ParamStore& p = ws.params;
  void SetUp() override { connectWorkspace(ws); }
};

TEST_F(TextSettings, DefaultSetAlwaysCarriesTabAndStretchLimit) {
  EXPECT_EQ(defaultTextSettingsRecord(ws), " TAB=15 JL=50");
  p.setTn(33, "20");
  p.setOption(OptionGroup::HAlign, 1);
  p.setOption(OptionGroup::OffsetUnit, 2);
  EXPECT_EQ(defaultTextSettingsRecord(ws), " FS=20 TAB=15 PM=% JL=50 HA=R");
}

// The block itself is checked literally in settings_keys_test; a file without one resets
// the text panel.
TEST_F(TextSettings, SettingsFileWithoutTheDefaultSetResetsIt) {
  applySettingsText(ws, "<DefTextSet> FS=36</DefTextSet>\r\n");
  EXPECT_EQ(p.tn(33), "36");
  applySettingsText(ws, "ContrastOpen=1\r\n");
  EXPECT_EQ(p.tn(33), "72");
}

TEST_F(TextSettings, ALineWithItsOwnWordIsAppliedAsItIs) {
  applyTextSettingsLine(ws, "X, 1, 2, 3, 4, FS=9");
  EXPECT_EQ(p.tn(33), "9");
  EXPECT_EQ(p.tn(24), "1");
  applyTextSettingsLine(ws, " FS=11 FA=B");
  EXPECT_EQ(p.tn(33), "11");
  EXPECT_TRUE(p.chb(16));
  EXPECT_EQ(p.tn(24), "1");
}

TEST_F(TextSettings, ColumnBoxSetsAndClearsAColumn) {
  p.setHeld(Held::TextHAlign, "3");
  EXPECT_EQ(columnAlignChanged(ws).colour, kColumnUnsetColour);
  p.setOption(OptionGroup::HAlign, 1);
  EXPECT_EQ(columnAlignEnter(ws).colour, kColumnSetColour);
  EXPECT_EQ(ws.actions.columnAlign[3], 1);
  p.setOption(OptionGroup::HAlign, 0);
  columnAlignChanged(ws);
  EXPECT_EQ(p.option(OptionGroup::HAlign), 1);  // the column's code selects its button
  EXPECT_EQ(columnAlignEscape(ws).colour, kColumnUnsetColour);
  EXPECT_EQ(ws.actions.columnAlign[3], kNoColumnAlign);
}

TEST_F(TextSettings, ColumnBoxStaysWithin1To32) {
  for (const char* bad : {"0", "33", "x", "", "2.5", "-1"}) {
    p.setHeld(Held::TextHAlign, bad);
    const ColumnAlignShown s = columnAlignChanged(ws);
    EXPECT_EQ(s.column, 0) << bad;
    EXPECT_EQ(s.colour, kColumnBadColour) << bad;
    columnAlignEnter(ws);  // changes no column
  }
  for (int n = 1; n <= 32; ++n) EXPECT_EQ(ws.actions.columnAlign[n], kNoColumnAlign);
  const std::tuple<const char*, int, int> steps[] = {{"32", 1, 32}, {"32", -1, 31}, {"1", -1, 1}, {"abc", 1, 1}};
  for (const auto& [from, step, to] : steps) {
    p.setHeld(Held::TextHAlign, from);
    EXPECT_EQ(columnAlignStep(ws, step).column, to) << from << " " << step;
    EXPECT_EQ(p.held(Held::TextHAlign), std::to_string(to));
  }
}

}  // namespace
}  // namespace quillaro
