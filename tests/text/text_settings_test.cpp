#include "text/text_settings.h"

#include <gtest/gtest.h>

#include "actions/runner.h"
#include "app/settings_file.h"
#include "app/workspace.h"

namespace quillaro {
namespace {

struct TextSettings : ::testing::Test {
  Workspace ws;
  ParamStore& p = ws.params;
  void SetUp() override { installActionModules(ws); }
};

TEST_F(TextSettings, DefaultSetAlwaysCarriesTabAndStretchLimit) {
  EXPECT_EQ(defaultTextSettingsRecord(ws), " TAB=15 JL=50");
  p.setTn(33, "20");
  p.setOption(OptionGroup::HAlign, 1);
  EXPECT_EQ(defaultTextSettingsRecord(ws), " FS=20 TAB=15 JL=50 HA=R");
}

TEST_F(TextSettings, OffsetUnitIsWrittenWithTheTab) {
  p.setOption(OptionGroup::OffsetUnit, 2);
  EXPECT_EQ(defaultTextSettingsRecord(ws), " TAB=15 PM=% JL=50");
  p.setOption(OptionGroup::OffsetUnit, 1);
  EXPECT_EQ(textSettingsKeys(ws, false, false), "");  // nothing of the offsets written
}

TEST_F(TextSettings, SettingsFileKeepsTheDefaultSet) {
  p.setTn(33, "36");
  p.setListIndex(ListSel::ListFontName, 1);
  p.setOption(OptionGroup::VAlign, 3);
  const std::string text = buildSettingsText(ws);
  EXPECT_NE(text.find("<DefTextSet> FN=\"Courier New\" FS=36 TAB=15 JL=50 VA=J</DefTextSet>"), std::string::npos);
  p.setTn(33, "72");
  p.setListIndex(ListSel::ListFontName, 0);
  p.setOption(OptionGroup::VAlign, 0);
  applySettingsText(ws, text);
  EXPECT_EQ(p.tn(33), "36");
  EXPECT_EQ(p.listIndex(ListSel::ListFontName), 1);
  EXPECT_EQ(p.option(OptionGroup::VAlign), 3);
}

TEST_F(TextSettings, SettingsWithoutTheBlockResetTheTextSettings) {
  p.setTn(33, "36");
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

// --- Column alignments ---

TEST_F(TextSettings, ColumnBoxColoursAndSelection) {
  p.setHeld(Held::TextHAlign, "3");
  ColumnAlignShown s = columnAlignChanged(ws);
  EXPECT_EQ(s.column, 3);
  EXPECT_EQ(s.colour, kColumnUnsetColour);
  p.setOption(OptionGroup::HAlign, 1);
  s = columnAlignEnter(ws);
  EXPECT_EQ(s.colour, kColumnSetColour);
  EXPECT_EQ(ws.actions.columnAlign[3], 1);
  p.setOption(OptionGroup::HAlign, 0);
  columnAlignChanged(ws);
  EXPECT_EQ(p.option(OptionGroup::HAlign), 1);  // the column's code selects its button
  p.setOption(OptionGroup::Placement, 3);
  EXPECT_NE(textSettingsKeys(ws, false, false).find(" HA[3]=1"), std::string::npos);
  s = columnAlignEscape(ws);
  EXPECT_EQ(s.colour, kColumnUnsetColour);
  EXPECT_EQ(textSettingsKeys(ws, false, false).find("HA["), std::string::npos);
}

TEST_F(TextSettings, ColumnBoxRejectsNumbersOutsideTheTable) {
  for (const char* bad : {"0", "33", "x", "", "2.5", "-1"}) {
    p.setHeld(Held::TextHAlign, bad);
    const ColumnAlignShown s = columnAlignChanged(ws);
    EXPECT_EQ(s.column, 0) << bad;
    EXPECT_EQ(s.colour, kColumnBadColour) << bad;
    columnAlignEnter(ws);  // changes no column
  }
  for (int n = 1; n <= 32; ++n) EXPECT_EQ(ws.actions.columnAlign[n], kNoColumnAlign);
}

TEST_F(TextSettings, UpAndDownStayWithin1To32) {
  p.setHeld(Held::TextHAlign, "32");
  EXPECT_EQ(columnAlignStep(ws, 1).column, 32);
  EXPECT_EQ(columnAlignStep(ws, -1).column, 31);
  p.setHeld(Held::TextHAlign, "1");
  EXPECT_EQ(columnAlignStep(ws, -1).column, 1);
  p.setHeld(Held::TextHAlign, "abc");
  EXPECT_EQ(columnAlignStep(ws, 1).column, 1);
  EXPECT_EQ(p.held(Held::TextHAlign), "1");
}

}  // namespace
}  // namespace quillaro
