#include "actions/interpreter.h"

#include <gtest/gtest.h>

#include "actions/action_fakes.h"
#include "app/workspace.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

struct Interp : ::testing::Test {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  testing::FakeOps fake;
  ParamStore& p = ws.params;
  void SetUp() override { fake.install(ws); }
  int run(std::string_view line) { return interpret(ws, line); }
  void expectTn(std::initializer_list<std::pair<int, const char*>> want) {
    for (const auto& [i, text] : want) EXPECT_EQ(p.tn(i), text) << "TN " << i;
  }
};

// --- Comments and unknown words ---

TEST_F(Interp, LinesNotStartingWithALatinLetterAreComments) {
  p.setTn(11, "5");
  for (const char* line : {" Print, 2", "2, Print", "'Print, 2", "Печать, 2", "", ",Print"})
    EXPECT_EQ(run(line), kCmdNothing) << line;
  EXPECT_EQ(p.tn(11), "5");
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(Interp, UnknownWordDoesNothingAndRunningFlagEndsOff) {
  EXPECT_EQ(run("Hello world"), kCmdTable);  // any word of H draws lines
  EXPECT_EQ(run("Blank line"), kCmdNothing);
  EXPECT_EQ(run("Zoom, 3"), kCmdNothing);
  EXPECT_EQ(run("Overture"), kCmdNothing);  // compared whole
  EXPECT_FALSE(ws.running);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Interp, RunningFlagIsOnWhileAnOperationStartedByTheLineRuns) {
  run("Open, SRC=\"a.bmp\"");
  EXPECT_TRUE(fake.runningSeen);
  EXPECT_FALSE(ws.running);
}

// --- Group A ---

TEST_F(Interp, OpenSetsOptionsAndOpensThePathWithBlanks) {
  EXPECT_EQ(run("Open, SRC=\"D:\\my scans\\p 1.bmp\" To1bit=1 BW=150"), kCmdDone);
  ASSERT_EQ(fake.calls.size(), 1u);
  EXPECT_EQ(fake.calls[0], "open D:\\my scans\\p 1.bmp");
  EXPECT_TRUE(p.chb(55));
  EXPECT_EQ(p.held(Held::Threshold), "150");
  EXPECT_EQ(p.tn(55), "150");  // the click handling of ChB(55) shows the threshold
  EXPECT_EQ(p.tn(56), "1");
  EXPECT_FALSE(p.chb(0));
}

TEST_F(Interp, OpenWithoutTo1bitTakesBrightnessAndCorrections) {
  p.setChb(57, true);
  run("Open, SRC=\"a.bmp\" BW=-20 Contrast=1.5 White=1 ForPrint=1 RGB=1");
  EXPECT_FALSE(p.chb(55));
  EXPECT_EQ(p.held(Held::Brightness), "-20");
  EXPECT_EQ(p.tn(55), "-20");
  EXPECT_EQ(p.tn(56), "1.5");
  EXPECT_FALSE(p.chb(57));  // absent flag: off
  EXPECT_TRUE(p.chb(58));
  EXPECT_TRUE(p.chb(0));
  EXPECT_TRUE(p.chb(56));
}

TEST_F(Interp, OpenDefaultsThresholdAndBrightness) {
  p.setHeld(Held::Threshold, "99");
  run("Open, SRC=\"a.bmp\" To1bit=1");
  EXPECT_EQ(p.held(Held::Threshold), "140");
  p.setHeld(Held::Brightness, "7");
  run("Open, SRC=\"a.bmp\"");
  EXPECT_EQ(p.held(Held::Brightness), "0");
}

TEST_F(Interp, PrintNeedsANumber) {
  p.setTn(11, "5");
  EXPECT_EQ(run("PRINT"), kCmdNothing);
  EXPECT_EQ(run("Print, many"), kCmdNothing);
  EXPECT_EQ(p.tn(11), "5");
  EXPECT_EQ(run("Print, 2"), kCmdPrint);
  EXPECT_EQ(p.tn(11), "2");
}

TEST_F(Interp, A3SelectsAHalfOnlyForOneOrTwo) {
  EXPECT_EQ(run("A3, 3"), kCmdA3);
  EXPECT_TRUE(p.check(Check::ChA3));
  EXPECT_TRUE(fake.calls.empty());
  p.setCheck(Check::ChA3, false);
  EXPECT_EQ(run("A3"), kCmdA3);
  EXPECT_FALSE(p.check(Check::ChA3));
  run("a3, 2");
  EXPECT_EQ(fake.calls, std::vector<std::string>{"half 2"});
}

TEST_F(Interp, NewSheetSizeFromFieldAndKey) {
  EXPECT_EQ(run("New, F=a5"), kCmdDone);  // compared exactly: A4
  EXPECT_TRUE(p.check(Check::ChSelSize));
  run("New, L, F=A5");
  run("new, land");
  run("NewSheet, F=A5");
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"new 0 program", "new 3 program", "new 1 program", "new 2 program"}));
}

TEST_F(Interp, ReloadDirections) {
  EXPECT_EQ(run("Reload"), kCmdReloaded);
  run("Reload, R");
  run("reload, l");
  EXPECT_EQ(run("Reload, X"), kCmdReloaded);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"reload 0", "reload R", "reload L"}));
}

TEST_F(Interp, TurnsAndConversion) {
  EXPECT_EQ(run("Over"), kCmdDone);
  EXPECT_EQ(run("right"), kCmdDone);
  EXPECT_EQ(run("LEFT"), kCmdDone);
  p.setChb(55, false);
  EXPECT_EQ(run("ConvertTo1bit, BW="), kCmdReloaded);
  run("ConvertTo1bit, BW=120");
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"over", "right", "left", "to1bit 140", "to1bit 120"}));
  EXPECT_TRUE(p.chb(55));
  EXPECT_EQ(p.tn(55), "120");
}

TEST_F(Interp, CopyHandsTheReaderOnAfterTheWord) {
  EXPECT_EQ(run("Copy, 0, 0, 289, 202, 4, 4, 100, 0, Land=1"), kCmdCopy);
  EXPECT_EQ(fake.calls, std::vector<std::string>{"copyrecord 0 land=1"});
}

TEST_F(Interp, MissingOperationIsReportedAndTheKindStillReturned) {
  ws.ops = Operations{};
  EXPECT_EQ(run("Over"), kCmdDone);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Действие недоступно: Over");
}

// --- Tables ---

TEST_F(Interp, TableLineSetsRectangleCountsAndDefaults) {
  p.setTn(2, "4");
  p.setTn(28, "9");
  EXPECT_EQ(run("T, 10, 20, 190, 250, 5, 10, 2, 3"), kCmdTable);
  expectTn({{24, "10"}, {25, "20"}, {26, "190"}, {27, "250"}, {0, "5"}, {1, "10"}, {5, "2"},
            {4, "3"}, {2, "1"}, {3, "1"}, {28, ""}});
  EXPECT_TRUE(p.check(Check::ChTabTab));
  EXPECT_FALSE(p.check(Check::ChDrawInCell));
}

TEST_F(Interp, TableAfterLinesDrawsBothDirectionsAgain) {
  run("H, 0, 0, 10, 10, 3, 1");
  run("T, 0, 0, 10, 10, 2, 2, 1, 1");
  EXPECT_TRUE(p.chb(24));
  EXPECT_TRUE(p.chb(25));
}

TEST_F(Interp, NonNumericOrEmptyFieldsLeaveBoxesUnchanged) {
  p.setTn(24, "7");
  p.setTn(25, "8");
  run("T, a, , 3, 4, 2, 2, 1, 1, 2, x, 5, 6");
  expectTn({{24, "7"}, {25, "8"}, {26, "3"}, {2, "2"}});
  EXPECT_EQ(p.tn(3), "1");  // non-numeric: the default
  EXPECT_EQ(p.tn(28), "5");
  EXPECT_EQ(p.tn(29), "6");
}

TEST_F(Interp, HorizontalAndVerticalLines) {
  EXPECT_EQ(run("H, 1, 2, 3, 4, 7, 2, Arrow=1"), kCmdTable);
  EXPECT_TRUE(p.chb(24));
  EXPECT_FALSE(p.chb(25));
  EXPECT_EQ(p.tn(0), "1");
  EXPECT_EQ(p.tn(1), "7");
  EXPECT_EQ(p.tn(5), "2");
  EXPECT_TRUE(p.chb(29));
  EXPECT_EQ(p.tn(2), "1");
  EXPECT_EQ(run("V, 1, 2, 3, 4, 6, 3"), kCmdTable);
  EXPECT_FALSE(p.chb(24));
  EXPECT_TRUE(p.chb(25));
  EXPECT_EQ(p.tn(1), "1");
  EXPECT_EQ(p.tn(0), "6");
  EXPECT_EQ(p.tn(4), "3");
  EXPECT_FALSE(p.chb(29));
}

TEST_F(Interp, TableIntoCellsTakesTheInnerThickness) {
  run("Tin 3, 0, 0, 100, 100, 2, 2, 4, 4");
  EXPECT_TRUE(p.check(Check::ChDrawInCell));
  EXPECT_EQ(p.tn(6), "3");
  run("T, 0, 0, 100, 100");
  EXPECT_FALSE(p.check(Check::ChDrawInCell));
}

TEST_F(Interp, ColourKeysAreEmptiedWhenAbsent) {
  run("T, 0, 0, 1, 1, Red=255 Blue=10");
  EXPECT_EQ(p.tn(62), "255");
  EXPECT_EQ(p.tn(63), "");
  EXPECT_EQ(p.tn(64), "10");
  run("H, 0, 0, 1, 1");
  EXPECT_EQ(p.tn(62), "");
}

// --- Texts ---

TEST_F(Interp, TextLineWithBlockAndKeys) {
  EXPECT_EQ(run("X, 20, 30, 100, 20, FS=14 HA=M <TEXT>Name, first</TEXT>"), kCmdText);
  EXPECT_EQ(p.tz(1), "Name, first");
  EXPECT_EQ(p.tn(33), "14");
  EXPECT_EQ(p.option(OptionGroup::HAlign), 2);
  EXPECT_EQ(p.tn(24), "20");
  EXPECT_EQ(p.tn(27), "20");
}

TEST_F(Interp, TextBlockKeepsLineBreaksAndKeysInsideItAreNotRead) {
  run("X, 0, 0, 10, 10, <text>one\r\nFS=9 two</Text>");
  EXPECT_EQ(p.tz(1), "one\r\nFS=9 two");
  EXPECT_EQ(p.tn(33), "72");
}

TEST_F(Interp, MissingClosingTagCutsTheLineAndKeepsThePreviousText) {
  p.setTz(1, "previous");
  EXPECT_EQ(run("X, 1, 2, 3, 4, <TEXT>new FS=20"), kCmdText);
  EXPECT_EQ(p.tz(1), "previous");
  EXPECT_EQ(p.tn(33), "72");
}

TEST_F(Interp, TextDefaultsForAbsentKeys) {
  p.setOption(OptionGroup::Placement, 3);
  p.setChb(2, true);
  p.setListIndex(ListSel::ListFontName, 2);
  p.setTn(36, "20");
  p.setTn(8, "70");
  p.setTn(34, "5");
  p.setOption(OptionGroup::VAlign, 2);
  p.setOption(OptionGroup::SpacingUnit, 1);
  p.setOption(OptionGroup::OffsetUnit, 2);
  run("X, 0, 0, 10, 10,");
  EXPECT_EQ(p.option(OptionGroup::Placement), 0);
  EXPECT_FALSE(p.chb(2));
  EXPECT_EQ(p.listIndex(ListSel::ListFontName), 0);
  EXPECT_EQ(p.tn(36), "15");
  EXPECT_EQ(p.tn(8), "50");
  EXPECT_EQ(p.tn(34), "");
  EXPECT_EQ(p.option(OptionGroup::VAlign), 0);
  EXPECT_EQ(p.option(OptionGroup::SpacingUnit), 0);
  EXPECT_EQ(p.option(OptionGroup::OffsetUnit), 0);
}

TEST_F(Interp, TextKeysSetEverySetting) {
  run("X, 0, 0, 10, 10, TA=RT FF=1 LB=1 FN=\"Times New Roman\" FS=12 FA=BiUS PX=2 PY=3 TAB=20 "
      "PM=P DX=1 DY=4 DM=mm JL=70 HA=J VA=B");
  EXPECT_EQ(p.option(OptionGroup::Placement), 2);
  EXPECT_TRUE(p.check(Check::ChRowTab));
  EXPECT_TRUE(p.chb(2));
  EXPECT_TRUE(p.check(Check::ChTexBiasLine));
  EXPECT_EQ(p.listIndex(ListSel::ListFontName), 3);
  EXPECT_EQ(p.tn(33), "12");
  for (int i = 16; i <= 19; ++i) EXPECT_TRUE(p.chb(i)) << i;
  EXPECT_EQ(p.tn(34), "2");
  EXPECT_EQ(p.tn(35), "3");
  EXPECT_EQ(p.tn(36), "20");
  EXPECT_EQ(p.option(OptionGroup::OffsetUnit), 1);
  EXPECT_EQ(p.tn(38), "1");
  EXPECT_EQ(p.tn(37), "4");
  EXPECT_EQ(p.option(OptionGroup::SpacingUnit), 2);
  EXPECT_EQ(p.tn(8), "70");
  EXPECT_EQ(p.option(OptionGroup::HAlign), 3);
  EXPECT_EQ(p.option(OptionGroup::VAlign), 1);
}

TEST_F(Interp, FontAttributeLettersAreMatchedAsWritten) {
  run("X, 0, 0, 1, 1, FA=bIus");
  for (int i = 16; i <= 19; ++i) EXPECT_FALSE(p.chb(i)) << i;
}

TEST_F(Interp, FontNamesMustMatchExactly) {
  run("X, 0, 0, 1, 1, FN=Tahoma");
  EXPECT_EQ(p.listIndex(ListSel::ListFontName), 2);
  run("X, 0, 0, 1, 1, FN=\"courier new\"");
  EXPECT_EQ(p.listIndex(ListSel::ListFontName), 0);
}

TEST_F(Interp, ColumnAlignmentsUpTo32) {
  p.setHeld(Held::TextHAlign, "3");
  ws.actions.columnAlign[5] = 2;
  run("X, 0, 0, 1, 1, TA=T HA[3]=1 HA[32]=3 HA[33]=2 HA[4]=9");
  EXPECT_EQ(ws.actions.columnAlign[3], 1);
  EXPECT_EQ(ws.actions.columnAlign[32], 3);
  EXPECT_EQ(ws.actions.columnAlign[5], 4);  // absent
  EXPECT_EQ(ws.actions.columnAlign[4], 4);  // out of range
  EXPECT_EQ(p.held(Held::TextHAlign), "");
  EXPECT_EQ(p.option(OptionGroup::HAlign), 0);  // "HA[3]" is not the key "HA"
}

TEST_F(Interp, AutoTableBitsAndRows) {
  p.setChb(13, true);
  p.setChb(14, true);
  run("X, 0, 0, 1, 1, TA=T TAU=3 LA=1 LB=1");
  EXPECT_TRUE(p.chb(12));
  EXPECT_TRUE(p.chb(13));
  EXPECT_FALSE(p.chb(14));
  EXPECT_TRUE(p.chb(10));
  EXPECT_FALSE(p.check(Check::ChTexBiasLine));  // LA wins
  run("X, 0, 0, 1, 1,");
  EXPECT_FALSE(p.chb(12));
  EXPECT_TRUE(p.chb(13));  // without TAU the two boxes keep their values
}

TEST_F(Interp, ContinuationLineSetsOnlyFontAttributes) {
  run("X, 10, 10, 50, 50, TA=T FF=1 TAU=1 HA=R VA=M FS=30");
  p.setTn(24, "10");
  EXPECT_EQ(run("X-, FA=Bi"), kCmdText);
  EXPECT_TRUE(ws.actions.fontAttributesOnly);
  EXPECT_TRUE(p.chb(16));
  EXPECT_TRUE(p.chb(17));
  EXPECT_EQ(p.option(OptionGroup::HAlign), 0);
  EXPECT_EQ(p.option(OptionGroup::VAlign), 0);
  EXPECT_EQ(p.option(OptionGroup::Placement), 0);
  EXPECT_FALSE(p.chb(2));
  EXPECT_FALSE(p.chb(12));
  EXPECT_EQ(p.tn(33), "30");  // not read in this mode
  EXPECT_EQ(p.tn(24), "10");
  run("X-, 99, 99, 99, 99");
  EXPECT_EQ(p.tn(24), "10");  // the rectangle is not read
  EXPECT_FALSE(p.chb(16));
  run("U, 1, 1, 1, 1");
  EXPECT_FALSE(ws.actions.fontAttributesOnly);
}

// --- Masks, density, tone ---

TEST_F(Interp, MaskNeedsAPattern) {
  EXPECT_EQ(run("Mask, 10, 20, 100, 50"), kCmdNothing);
  EXPECT_EQ(run("Mask, 10, 20, 100, 50, 0A0A"), kCmdMask);
  EXPECT_EQ(p.held(Held::MaskPattern), "0A0A");
  EXPECT_FALSE(p.chb(59));
  ws.shared.bitDepth = 8;
  run("Mask, 10, 20, 100, 50, 5A5A, OnGray=1");
  EXPECT_TRUE(p.chb(59));
  EXPECT_EQ(run("Erase, 1, 2, 3, 4"), kCmdErase);
  EXPECT_EQ(run("U, 1, 2, 3, 4"), kCmdMergeCells);
}

TEST_F(Interp, DenseThinWidthPlusAndDirections) {
  EXPECT_EQ(run("DenseThin, 0, 0, 210, 297, W=3, Plus=1, H=1 V=0"), kCmdDensityPlus);
  EXPECT_EQ(p.tn(10), "3");
  EXPECT_TRUE(p.chb(6));
  EXPECT_FALSE(p.chb(7));
  EXPECT_EQ(run("DenseThin, 0, 0, 210, 297"), kCmdDensity);
  EXPECT_EQ(p.tn(10), "4");
  EXPECT_TRUE(p.chb(7));
  EXPECT_EQ(run("DenseThin, 0, 0, 1, 1, Plus=0"), kCmdDensity);
}

TEST_F(Interp, CornersFollowTheLetterC) {
  p.setChb(34, false);
  EXPECT_EQ(run("DBC, 1, 2, 3, 4,"), kCmdBrightnessContrast);
  EXPECT_TRUE(p.chb(34));
  run("DenseThin, 1, 2, 3, 4");
  EXPECT_FALSE(p.chb(34));
}

TEST_F(Interp, LineWidthKinds) {
  EXPECT_EQ(run("D+, 1, 2, 3, 4"), kCmdThicker);
  EXPECT_EQ(run("D-, 1, 2, 3, 4, H=0"), kCmdThinner);
  EXPECT_FALSE(p.chb(6));
  EXPECT_EQ(run("D+/, 1, 2, 3, 4"), kCmdThickerVariant);
  EXPECT_EQ(run("D-/C, 1, 2, 3, 4"), kCmdThinnerVariant);
  EXPECT_TRUE(p.chb(34));
  EXPECT_EQ(run("D+-, 1, 2, 3, 4"), kCmdThinner);  // "-" wins
}

TEST_F(Interp, BrightnessContrastKeys) {
  run("DBC, 12, 30.5, 80, 40, BW=-10 Contrast=1.3 White=1");
  EXPECT_EQ(p.held(Held::Brightness), "-10");
  EXPECT_EQ(p.tn(56), "1.3");
  EXPECT_TRUE(p.chb(57));  // absent Black: on
  EXPECT_TRUE(p.chb(58));
  EXPECT_EQ(p.tn(25), "30.5");
  run("DBC, 12, 30.5, 80, 40, Black=0");
  EXPECT_FALSE(p.chb(57));
  EXPECT_FALSE(p.chb(58));
  EXPECT_EQ(p.held(Held::Brightness), "0");
  EXPECT_EQ(p.tn(56), "1");
}

TEST_F(Interp, DarkRelWhiteDefault) {
  EXPECT_EQ(run("DarkRelWhite, 0, 0, 210, 297"), kCmdDarkRelWhite);
  EXPECT_EQ(p.tn(57), "10");
  run("DarkRelWhite, 0, 0, 210, 297, Contrast=1.5");
  EXPECT_EQ(p.tn(57), "1.5");
}

}  // namespace
}  // namespace quillaro
