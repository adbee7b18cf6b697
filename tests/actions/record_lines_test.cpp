#include "actions/record_lines.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "actions/recorder.h"

#include "actions/interpreter.h"
#include "actions/runner.h"
#include "adjust/turns.h"
#include "app/workspace.h"
#include "support/scripted_prompts.h"
#include "text/new_sheet.h"

namespace quillaro {
namespace {

struct Lines : ::testing::Test {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  ParamStore& p = ws.params;
  void rect(const char* l, const char* t, const char* w, const char* h) {
    p.setTn(24, l);
    p.setTn(25, t);
    p.setTn(26, w);
    p.setTn(27, h);
  }
};

// The tone and open lines are also checked as the operations record them (tone_ops_test,
// open_test); here what those do not reach.
TEST_F(Lines, ToneLinesAsTheExamplesRead) {
  rect("12", "30.5", "80", "40");
  p.setHeld(Held::Brightness, "0");
  p.setTn(56, "1,2");
  p.setChb(57, false);
  p.setChb(58, false);
  EXPECT_EQ(brightnessContrastLine(ws), "DBC, 12, 30.5, 80, 40, Contrast=1.2 Black=0");
  rect("0", "0", "210", "297");
  p.setTn(57, "1.5");
  EXPECT_EQ(darkRelWhiteLine(ws), "DarkRelWhite, 0, 0, 210, 297, Contrast=1.5");
}

TEST_F(Lines, RectangleIsFormattedWithLimitedDecimals) {
  rect("2.25", "", "1,5", "3.0");
  EXPECT_EQ(mergeCellsLine(ws), "U, 2.3, 0, 1.5, 3");
  p.setTn(9, "2");
  EXPECT_EQ(mergeCellsLine(ws), "U, 2.25, 0, 1.5, 3");
}

TEST_F(Lines, MaskDensityAndWidthLines) {
  rect("10", "20", "100", "50");
  EXPECT_EQ(maskLine(ws, "5A5A"), "Mask, 10, 20, 100, 50, 5A5A");
  ws.shared.bitDepth = 8;
  p.setChb(59, true);
  EXPECT_EQ(maskLine(ws, "FFFF"), "Erase, 10, 20, 100, 50, OnGray=1");
  rect("10", "20", "150", "40");
  p.setTn(10, "3");
  p.setChb(6, true);
  p.setChb(7, false);
  EXPECT_EQ(densityLine(ws, true), "DenseThin, 10, 20, 150, 40, W=3, Plus=1, H=1 V=0");
  p.setTn(10, "4");
  p.setChb(7, true);
  EXPECT_EQ(densityLine(ws, false), "DenseThin, 10, 20, 150, 40");
  rect("10", "20", "100", "50");
  p.setChb(34, false);
  EXPECT_EQ(lineWidthLine(ws, true, false), "D+, 10, 20, 100, 50");
  p.setChb(34, true);
  EXPECT_EQ(lineWidthLine(ws, false, true), "D-/C, 10, 20, 100, 50");
  p.setChb(7, false);
  EXPECT_EQ(lineWidthLine(ws, false, true), "D-/, 10, 20, 100, 50, H=1 V=0");
}

TEST_F(Lines, FixedLines) {
  EXPECT_EQ(copyAsIsLine(true), "Copy, 0, 0, 289, 202, 4, 4, 100, 0, Land=1");
  EXPECT_EQ(copyAsIsLine(false), "Copy, 0, 0, 202, 289, 4, 4, 100, 0");
  EXPECT_EQ(printLine(ws, 2), "Print, 2");
  EXPECT_EQ(a3Line(1), "A3, 1");
  EXPECT_EQ(reloadLine('R'), "Reload, R");
  EXPECT_EQ(reloadLine(0), "Reload");
  EXPECT_EQ(turnLine(TurnDirection::Over), "Over");
  EXPECT_EQ(turnLine(TurnDirection::Left), "Left");
  EXPECT_EQ(newSheetLine(3), "New, L, F=A5");
  EXPECT_EQ(newSheetLine(kSheetGrey), "New");
}

// --- Table lines ---

TEST_F(Lines, TableLineLettersAndFields) {
  rect("10", "20", "190", "250");
  p.setTn(0, "5");
  p.setTn(1, "10");
  p.setTn(5, "2");
  p.setTn(4, "3");
  p.setCheck(Check::ChTabTab, true);
  p.setChb(24, true);
  p.setChb(25, true);
  EXPECT_EQ(tableLines(ws), std::vector<std::string>{"T, 10, 20, 190, 250, 5, 10, 2, 3"});
  p.setCheck(Check::ChDrawInCell, true);
  p.setTn(6, " 1 ");
  p.setTn(2, "2");
  p.setTn(3, "3");
  p.setTn(28, "100");
  EXPECT_EQ(tableLines(ws), std::vector<std::string>{"Tin1, 10, 20, 190, 250, 5, 10, 2, 3, 2, 3, 100, "});
  p.setCheck(Check::ChDrawInCell, false);
  p.setTn(2, "1");
  p.setTn(3, "1");
  p.setChb(25, false);
  p.setChb(29, true);
  EXPECT_EQ(tableLines(ws), std::vector<std::string>{"H, 10, 20, 190, 250, 10, 2, Arrow=1"});
  p.setChb(24, false);
  p.setChb(25, true);
  EXPECT_EQ(tableLines(ws), std::vector<std::string>{"V, 10, 20, 190, 250, 5, 3, Arrow=1"});
  p.setChb(24, true);
  p.setCheck(Check::ChTabTab, false);
  EXPECT_EQ(tableLines(ws).size(), 2u);  // lines both ways: an H and a V line
}

// Every table setting survives record and replay.
TEST_F(Lines, TableLinesReplayToTheSamePanel) {
  struct Case { bool table, h, v, inCell, arrow; const char* rep; };
  for (const Case c : {Case{true, true, true, true, false, "2"}, Case{false, true, false, false, true, "1"},
                       Case{false, false, true, false, false, "3"}}) {
    rect("1.5", "2", "150", "80");
    p.setTn(0, "4");
    p.setTn(1, "6");
    p.setTn(4, "3");
    p.setTn(5, "2");
    p.setTn(6, "1");
    p.setTn(2, c.rep);
    p.setTn(3, "1");
    p.setTn(28, "20");
    p.setTn(29, "");
    p.setCheck(Check::ChTabTab, c.table);
    p.setChb(24, c.h);
    p.setChb(25, c.v);
    p.setCheck(Check::ChDrawInCell, c.inCell);
    p.setChb(29, c.arrow);
    const auto lines = tableLines(ws);
    ASSERT_EQ(lines.size(), 1u);
    std::array<std::string, 30> before;
    for (int i = 0; i < 30; ++i) before[i] = p.tn(i);
    for (int i = 0; i < 30; ++i) p.setTn(i, "9");
    p.setChb(24, !c.h);
    p.setChb(25, !c.v);
    p.setCheck(Check::ChDrawInCell, !c.inCell);
    p.setChb(29, !c.arrow);
    EXPECT_EQ(interpret(ws, lines[0]), kCmdTable) << lines[0];
    for (int i : {24, 25, 26, 27, 4, 5}) {
      if ((i == 4 && !c.v) || (i == 5 && !c.h)) continue;
      EXPECT_EQ(ws.format(p.tnValue(i)), ws.format(parseNumber(before[i]))) << lines[0] << " TN " << i;
    }
    EXPECT_EQ(p.chb(24), c.h) << lines[0];
    EXPECT_EQ(p.chb(25), c.v) << lines[0];
    EXPECT_EQ(p.check(Check::ChDrawInCell), c.inCell);
    if (!c.table) {
      EXPECT_EQ(p.chb(29), c.arrow);
    }
    EXPECT_EQ(p.tn(2), c.rep);
    if (std::string(c.rep) != "1") {
      EXPECT_EQ(p.tn(28), "20");
    }
  }
}

// --- Text lines ---

TEST_F(Lines, DefaultTextLineHasNoKeys) {
  rect("20", "30", "100", "20");
  p.setTz(1, "Name");
  EXPECT_EQ(textLine(ws), "X, 20, 30, 100, 20, <TEXT>Name</TEXT>");
}

TEST_F(Lines, TextLineReplaysTheSameSettings) {
  rect("20", "30", "100", "20");
  p.setOption(OptionGroup::Placement, 3);
  p.setTn(0, "3");
  p.setTn(1, "2");
  p.setTn(4, "1");
  p.setTn(5, "2");
  p.setChb(12, true);
  p.setChb(13, false);
  p.setChb(14, true);
  p.setChb(10, true);
  p.setChb(2, true);
  p.setListIndex(ListSel::ListFontName, 3);
  p.setTn(33, "14");
  p.setChb(16, true);
  p.setChb(19, true);
  p.setTn(34, "2");
  p.setTn(35, "0");
  p.setTn(36, "20");
  p.setOption(OptionGroup::OffsetUnit, 1);
  p.setTn(37, "5");
  p.setOption(OptionGroup::SpacingUnit, 2);
  p.setTn(8, "70");
  p.setOption(OptionGroup::HAlign, 3);
  p.setOption(OptionGroup::VAlign, 2);
  ws.actions.columnAlign[3] = 1;
  p.setTz(1, "a\tb\r\nc");
  const std::string line = textLine(ws);
  EXPECT_EQ(line, "X, 20, 30, 100, 20, 3, 2, 2, 1, TA=T FF=1 LA=1 TAU=5 FN=\"Times New Roman\" FS=14 FA=BS "
                  "PX=2 TAB=20 PM=P DY=5 DM=mm JL=70 HA=J HA[3]=1 VA=M <TEXT>a\tb\r\nc</TEXT>");

  // A fresh panel reads the line back and writes the same line again: every setting that
  // the line carries came back (the keys one by one are checked in interpreter_test).
  Workspace other;
  EXPECT_EQ(interpret(other, line), kCmdText);
  EXPECT_EQ(other.params.tz(1), "a\tb\r\nc");
  EXPECT_EQ(textLine(other), line);
}

TEST_F(Lines, TabAndStretchLimitOnlyWhenTheyMatter) {
  rect("0", "0", "1", "1");
  p.setTn(36, "20");
  p.setTz(1, "no tab");
  EXPECT_EQ(textLine(ws), "X, 0, 0, 1, 1, <TEXT>no tab</TEXT>");
  p.setTz(1, "a\tb");
  EXPECT_NE(textLine(ws).find(" TAB=20"), std::string::npos);
  p.setTn(8, "70");
  EXPECT_EQ(textLine(ws).find("JL="), std::string::npos);
  p.setOption(OptionGroup::HAlign, 3);
  EXPECT_NE(textLine(ws).find(" JL=70 HA=J"), std::string::npos);
}

TEST_F(Lines, ColourOnlyOnColourPictures) {
  rect("0", "0", "1", "1");
  p.setTn(62, "255");
  p.setTn(63, "0");
  p.setTn(64, "");
  EXPECT_EQ(textLine(ws).find("Red"), std::string::npos);
  ws.shared.bitDepth = 24;
  EXPECT_EQ(textLine(ws), "X, 0, 0, 1, 1, Red=255 <TEXT></TEXT>");
}

TEST_F(Lines, ContinuationLineWritesOnlyStyles) {
  ws.actions.fontAttributesOnly = true;
  p.setTz(1, "more");
  EXPECT_EQ(textLine(ws), "X-, <TEXT>more</TEXT>");
  p.setChb(17, true);
  EXPECT_EQ(textLine(ws), "X-, FA=i <TEXT>more</TEXT>");
}

TEST_F(Lines, TableAndTextAreRecordedEvenWithRecordingOff) {
  p.setChb(30, false);
  rect("0", "0", "10", "10");
  p.setCheck(Check::ChTabTab, true);
  EXPECT_TRUE(recordTable(ws));
  p.setTz(1, "one\r\ntwo");
  EXPECT_TRUE(recordText(ws));
  EXPECT_EQ(p.tz(0), "T, 0, 0, 10, 10, 0, 0, 4, 4\r\n\r\nX, 0, 0, 10, 10, <TEXT>one\r\ntwo</TEXT>\r\n");
  ws.readingMode = true;
  EXPECT_FALSE(recordTable(ws));
}

// --- Record and replay on pixels ---

// Turns made by the kernels, recorded as the turning operation records them.
void installTurns(Workspace& ws) {
  ws.ops.turn = [](Workspace& w, TurnDirection d) {
    if (d == TurnDirection::Over) turnOver(w.image.bitmap);
    else w.image.bitmap = d == TurnDirection::Right ? turnRight(w.image.bitmap) : turnLeft(w.image.bitmap);
    w.image.modified = 1;
    appendLine(w, turnLine(d));
  };
}

TEST_F(Lines, RecordedSessionReplaysToTheSamePixels) {
  installActionModules(ws);
  installTurns(ws);
  p.setChb(30, true);
  p.setChb(31, false);
  ASSERT_TRUE(newSheet(ws, kSheetA5 | kSheetGrey, false));
  ws.image.bitmap.setGrey(10, 20, 0);  // a mark to follow
  ws.ops.turn(ws, TurnDirection::Right);
  ws.ops.turn(ws, TurnDirection::Over);
  const std::string recorded = p.tz(0);
  EXPECT_EQ(recorded, "New, F=A5\r\nRight\r\nOver\r\n");
  Bitmap expected = ws.image.bitmap.clone();

  Workspace replay;
  installActionModules(replay);
  installTurns(replay);
  replay.params.setChb(31, false);
  // The same input: the sheet with the mark, then the recorded turns.
  ASSERT_TRUE(newSheet(replay, kSheetA5 | kSheetGrey, true));
  replay.image.bitmap.setGrey(10, 20, 0);
  runText(replay, "Right\r\nOver\r\n");
  ASSERT_EQ(replay.image.bitmap.width, expected.width);
  ASSERT_EQ(replay.image.bitmap.height, expected.height);
  EXPECT_EQ(0, std::memcmp(replay.image.bitmap.data(), expected.data(), expected.byteCount()));
  EXPECT_EQ(replay.params.tz(0), "");  // the replay recorded nothing
}

}  // namespace
}  // namespace quillaro
