#include "journal/record_lines.h"

#include <gtest/gtest.h>

#include <functional>

#include "automation/interpreter.h"
#include "journal/recorder.h"
#include "model/workspace.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

struct Lines : ::testing::Test {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  ParamStore& p = ws.params;
  void rect(const char* l, const char* t, const char* w, const char* h) {
    int i = 24;
    for (const char* v : {l, t, w, h}) p.setTn(i++, v);
  }
};

TEST_F(Lines, RectangleIsFormattedWithLimitedDecimals) {
  rect("2.25", "", "1,5", "3.0");
  EXPECT_EQ(mergeCellsLine(ws), "U, 2.3, 0, 1.5, 3");
  p.setTn(9, "2");
  EXPECT_EQ(mergeCellsLine(ws), "U, 2.25, 0, 1.5, 3");
}

// Each line, read into the panel and written again, comes back as it was. The lines run in
// one workspace, so a key absent from a line must reset what the line before set.
TEST_F(Lines, LinesReadBackIntoThePanelAreWrittenTheSame) {
  ws.shared.bitDepth = 24;  // colours are written only for colour pictures
  for (const char* line : {
           "X, 20, 30, 100, 20, 3, 2, 2, 1, TA=T FF=1 LA=1 TAU=5 FN=\"Times New Roman\" FS=14 FA=BS PX=2 TAB=20 PM=P "
           "DY=5 DM=mm JL=70 HA=J HA[3]=1 VA=M <TEXT>a\tb\r\nc</TEXT>",
           "X, 0, 0, 10, 10, 5, 6, 1, 2, TA=RT LB=1 FS=12 FA=BiUS PX=2 PY=3 DX=1 DY=4 VA=B Red=255 Blue=10 <TEXT>x</TEXT>",
           "X, 0, 0, 10, 10, <TEXT>plain\tz</TEXT>",
           "X-, FA=i <TEXT>more</TEXT>",
           "X, 1, 1, 1, 1, Red=3 <TEXT></TEXT>"}) {
    EXPECT_EQ(interpret(ws, line), kCmdText) << line;
    EXPECT_EQ(textLine(ws), line);
  }
  for (const char* line : {"T, 10, 20, 190, 250, 5, 10, 2, 3", "Tin1, 10, 20, 190, 250, 5, 10, 2, 3, 2, 3, 100, ",
                           "T, 1.5, 2, 150, 80, 4, 6, 2, 3", "H, 10, 20, 190, 250, 10, 2, Arrow=1",
                           "V, 10, 20, 190, 250, 5, 3", "Tin1, 1.5, 2, 150, 80, 4, 6, 2, 3, 2, 1, 20, ",
                           "Hin2, 1, 2, 3, 4, 10, 2, Mask=5A5A, Red=1, Green=0, Blue=3, Cells=1"}) {
    EXPECT_EQ(interpret(ws, line), kCmdTable) << line;
    EXPECT_EQ(tableLines(ws), std::vector<std::string>{line});
  }
}

// The same for tool lines with defaults or flags the recorded-lines tests do not write; `out` when the written form differs.
TEST_F(Lines, ToolLinesReadBackAreWrittenTheSame) {
  ws.shared.bitDepth = 8;
  using W = std::function<std::string(Workspace&)>;
  const W dbc = [](Workspace& w) { return brightnessContrastLine(w); };
  const W drw = [](Workspace& w) { return darkRelWhiteLine(w); };
  const W mask = [](Workspace& w) { return maskLine(w, w.params.held(Held::MaskPattern), w.shared.bitDepth); };
  struct Case { const char* line; int kind; W write; const char* out = nullptr; };
  for (const Case& c : {
           Case{"DBC, 1, 2, 3, 4,", kCmdBrightnessContrast, dbc},
           {"DarkRelWhite, 0, 0, 210, 297", kCmdDarkRelWhite, drw, "DarkRelWhite, 0, 0, 210, 297, Contrast=10"},
           {"Mask, 10, 20, 100, 50, FFFF, OnGray=1", kCmdMask, mask, "Erase, 10, 20, 100, 50, OnGray=1"},
           {"Mask, 10, 20, 100, 50, 5A5A", kCmdMask, mask},
           {"D-/, 10, 20, 100, 50, H=1 V=0", kCmdThinnerVariant, [](Workspace& w) { return lineWidthLine(w, false, true); }}}) {
    EXPECT_EQ(interpret(ws, c.line), c.kind) << c.line;
    EXPECT_EQ(c.write(ws), c.out ? c.out : c.line);
  }
}

TEST_F(Lines, TableLinesFromThePanel) {
  rect("10", "20", "190", "250");
  p.setTn(0, "5");
  p.setTn(1, "10");
  p.setTn(5, "2");
  p.setTn(4, "3");
  p.setCheck(Check::ChTabTab, true);
  p.setCheck(Check::ChDrawInCell, true);
  p.setTn(6, " 1 ");
  p.setTn(2, "2");
  p.setTn(3, "3");
  p.setTn(28, "100");
  EXPECT_EQ(tableLines(ws), std::vector<std::string>{"Tin1, 10, 20, 190, 250, 5, 10, 2, 3, 2, 3, 100, "});
  p.setCheck(Check::ChDrawInCell, false);
  p.setCheck(Check::ChTabTab, false);
  p.setChb(24, true);
  p.setChb(25, true);
  EXPECT_EQ(tableLines(ws).size(), 2u);  // lines both ways: an H and a V line
}

TEST_F(Lines, TextLineFromThePanel) {
  rect("20", "30", "100", "20");
  p.setTz(1, "Name");
  EXPECT_EQ(textLine(ws), "X, 20, 30, 100, 20, <TEXT>Name</TEXT>");
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
  EXPECT_EQ(textLine(ws), "X, 20, 30, 100, 20, 3, 2, 2, 1, TA=T FF=1 LA=1 TAU=5 FN=\"Times New Roman\" FS=14 FA=BS "
                          "PX=2 TAB=20 PM=P DY=5 DM=mm JL=70 HA=J HA[3]=1 VA=M <TEXT>a\tb\r\nc</TEXT>");
}

TEST_F(Lines, TabStretchLimitAndColourOnlyWhenTheyMatter) {
  rect("0", "0", "1", "1");
  p.setTn(36, "20");
  p.setTn(8, "70");
  p.setTn(62, "255");
  p.setTz(1, "no tab");
  EXPECT_EQ(textLine(ws), "X, 0, 0, 1, 1, <TEXT>no tab</TEXT>");  // nor JL without HA=J, nor colour on 1 bit
  p.setTz(1, "a\tb");
  EXPECT_NE(textLine(ws).find(" TAB=20"), std::string::npos);
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

}  // namespace
}  // namespace quillaro
