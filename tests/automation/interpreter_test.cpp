// One program line into the panel. That every key is read into the box it is written from
// is checked by the round trips in record_lines_test.
#include "automation/interpreter.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "automation/composition.h"
#include "image/bmp_file.h"
#include "model/copy_state.h"
#include "model/workspace.h"
#include "ops/a3_sheet.h"
#include "support/scripted_prompts.h"
#include "support/spy_journal.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

using Steps = std::vector<std::string>;

// Notes whether the running flag was on while an operation reported progress; throws at
// the first message when asked to (an operation failing unexpectedly).
struct Watch : Progress, testing::ScriptedPrompts {
  Workspace* ws = nullptr;
  bool runningSeen = false;
  bool throwAtMessage = false;
  bool pump() override {
    runningSeen = runningSeen || (ws && ws->running);
    return false;
  }
  void percent(int) override { pump(); }
  void status(std::string_view) override { pump(); }
  Answer ask(std::string_view text, Buttons buttons, Icon icon, Answer defaultButton) override {
    if (throwAtMessage) throw std::runtime_error("boom");
    return ScriptedPrompts::ask(text, buttons, icon, defaultButton);
  }
};

struct Interp : ::testing::Test {
  testing::TempDir dir;
  Watch watch;
  Workspace ws{&watch, &watch};
  testing::SpyJournal spy;
  ParamStore& p = ws.params;
  void SetUp() override {
    connectWorkspace(ws);
    ws.journal = &spy;
    watch.ws = &ws;
    p.setChb(31, false);  // no reminders
    picture(1, 200, 300);
  }
  // A blank picture in memory.
  void picture(int bits, int w, int h) {
    ws.image = ImageBuffer{};
    ws.image.bitmap = Bitmap::create(w, h, bits);
    ws.image.loaded = true;
    ws.shared.bitDepth = bits;
  }
  // A 1-bit bitmap file of 120 x 150 dots.
  std::string bitmapFile(const std::string& path) {
    EXPECT_TRUE(writeBitmap(path, Bitmap::create(120, 150, 1), kPixelsPerMetre600)) << path;
    return path;
  }
  int run(std::string_view line) { return interpret(ws, line); }
  void expectSize(int w, int h) {
    EXPECT_EQ(std::pair(ws.image.bitmap.width, ws.image.bitmap.height), std::pair(w, h));
  }
  void expectTn(std::initializer_list<std::pair<int, const char*>> want) {
    for (const auto& [i, text] : want) EXPECT_EQ(p.tn(i), text) << "TN " << i;
  }
};

TEST_F(Interp, CommentsAndUnknownWordsDoNothing) {
  p.setTn(11, "5");
  for (const char* line : {" Print, 2", "2, Print", "'Print, 2", "Печать, 2", "", ",Print", "Blank line", "Zoom, 3",
                           "Overture" /* compared whole */, "PRINT", "Print, many" /* no number */})
    EXPECT_EQ(run(line), kCmdNothing) << line;
  EXPECT_EQ(run("Hello world"), kCmdTable);  // any word of H draws lines
  EXPECT_EQ(p.tn(11), "5");
  EXPECT_EQ(run("Print, 2"), kCmdPrint);
  EXPECT_EQ(p.tn(11), "2");
  EXPECT_TRUE(spy.steps.empty());
  EXPECT_FALSE(ws.running);
  EXPECT_TRUE(watch.shown.empty());
}

TEST_F(Interp, RunningFlagIsOnWhileAnOperationStartedByTheLineRuns) {
  const std::string path = bitmapFile(dir.at("a.bmp"));
  run("Open, SRC=\"" + path + "\"");
  EXPECT_EQ(spy.steps, Steps{"open " + path});
  EXPECT_TRUE(watch.runningSeen);
  EXPECT_FALSE(ws.running);
  // ... and off again when the operation fails unexpectedly.
  watch.throwAtMessage = true;
  EXPECT_THROW(run("Open, SRC=\"" + dir.at("missing.bmp") + "\""), std::runtime_error);
  EXPECT_FALSE(ws.running);
}

TEST_F(Interp, OpenSetsOptionsAndOpensThePathWithBlanks) {
  const std::string path = bitmapFile(dir.sub("my scans") + "/p 1.bmp");
  const std::string src = "Open, SRC=\"" + path + "\"";
  p.setChb(57, true);
  EXPECT_EQ(run(src + " To1bit=1 BW=150"), kCmdDone);
  EXPECT_EQ(spy.steps, Steps{"open " + path});
  expectSize(120, 150);
  EXPECT_TRUE(p.chb(55));
  EXPECT_EQ(p.held(Held::Threshold), "150");
  EXPECT_EQ(p.tn(55), "150");  // the click handling of ChB(55) shows the threshold
  EXPECT_EQ(p.tn(56), "1");
  EXPECT_FALSE(p.chb(0));
  EXPECT_FALSE(p.chb(57));  // absent flag: off
  run(src + " BW=-20 Contrast=1.5 White=1 ForPrint=1 RGB=1");
  EXPECT_FALSE(p.chb(55));
  EXPECT_EQ(p.held(Held::Brightness), "-20");
  EXPECT_EQ(p.tn(55), "-20");
  EXPECT_EQ(p.tn(56), "1.5");
  for (int k : {58, 0, 56}) EXPECT_TRUE(p.chb(k)) << k;
  p.setHeld(Held::Threshold, "99");
  run(src + " To1bit=1");
  EXPECT_EQ(p.held(Held::Threshold), "140");
  run(src);
  EXPECT_EQ(p.held(Held::Brightness), "0");
  EXPECT_TRUE(watch.shown.empty());
}

TEST_F(Interp, A3SelectsAHalfOnlyForOneOrTwo) {
  // A full sheet of two small pages.
  ws.page = Bitmap::create(64, 80, 1);
  copyState(ws).freshCopy = true;
  ASSERT_TRUE(toA3(ws));
  ASSERT_TRUE(toA3(ws));
  ASSERT_EQ(copyState(ws).a3State, 2);
  EXPECT_EQ(run("A3, 3"), kCmdA3);
  EXPECT_TRUE(p.check(Check::ChA3));
  EXPECT_EQ(copyState(ws).a3State, 2);  // no half changed
  p.setCheck(Check::ChA3, false);
  EXPECT_EQ(run("A3"), kCmdA3);
  EXPECT_FALSE(p.check(Check::ChA3));  // only with a number
  ws.readingMode = true;  // reading the line (F1) does not begin the sheet anew
  run("A3, 1");
  ws.readingMode = false;
  EXPECT_EQ(copyState(ws).a3State, 2);
  run("a3, 2");  // the second half is freed for the next page
  EXPECT_EQ(copyState(ws).a3State, 1);
  run("A3, 1");  // the first half begins a new sheet
  EXPECT_EQ(copyState(ws).a3State, 0);
  EXPECT_TRUE(ws.a3.empty());
  EXPECT_EQ(spy.steps, (Steps{"a3 1", "a3 2"}));  // only the two pages put in above
}

TEST_F(Interp, NewLinesMakeSheetsOfTheirSize) {
  const std::tuple<const char*, int, int> cases[] = {
      {"New, F=a5", 4960, 7016} /* compared exactly: A4 */, {"New, L, F=A5", 4960, 3508},
      {"new, land", 7016, 4960}, {"NewSheet, F=A5", 3508, 4960}};
  for (const auto& [line, w, h] : cases) {
    p.setCheck(Check::ChSelSize, false);
    EXPECT_EQ(run(line), kCmdDone) << line;
    expectSize(w, h);
    EXPECT_TRUE(p.check(Check::ChSelSize)) << line;
  }
  EXPECT_TRUE(spy.steps.empty());  // sheets made by a program are not journaled
}

TEST_F(Interp, TurnsReloadsAndConversion) {
  picture(8, 200, 300);
  ws.page = Bitmap::create(60, 40, 8);
  const std::tuple<const char*, int, int, int> cases[] = {
      {"Over", kCmdDone, 200, 300}, {"right", kCmdDone, 300, 200}, {"LEFT", kCmdDone, 200, 300},
      {"Reload, X", kCmdReloaded, 200, 300} /* an unknown direction reloads nothing */,
      {"reload, l", kCmdReloaded, 40, 60}, {"Reload", kCmdReloaded, 60, 40}, {"Reload, R", kCmdReloaded, 40, 60}};
  for (const auto& [line, kind, w, h] : cases) {
    EXPECT_EQ(run(line), kind) << line;
    expectSize(w, h);
  }
  p.setChb(55, false);
  EXPECT_EQ(run("ConvertTo1bit, BW="), kCmdReloaded);
  EXPECT_EQ(ws.image.bitmap.bits, 1);
  picture(8, 200, 300);
  run("ConvertTo1bit, BW=120");
  EXPECT_TRUE(p.chb(55));
  EXPECT_EQ(p.tn(55), "120");
  EXPECT_EQ(spy.steps, (Steps{"over", "right", "left", "reload L", "reload 0", "reload R", "to1bit 140",
                              "to1bit 120"}));
}

TEST_F(Interp, TableLineSetsRectangleCountsAndDefaults) {
  p.setTn(2, "4");
  p.setTn(28, "9");
  EXPECT_EQ(run("T, 10, 20, 190, 250, 5, 10, 2, 3"), kCmdTable);
  expectTn({{24, "10"}, {25, "20"}, {26, "190"}, {27, "250"}, {0, "5"}, {1, "10"}, {5, "2"},
            {4, "3"}, {2, "1"}, {3, "1"}, {28, ""}});
  EXPECT_TRUE(p.check(Check::ChTabTab));
  EXPECT_FALSE(p.check(Check::ChDrawInCell));
}

TEST_F(Interp, NonNumericOrEmptyFieldsLeaveBoxesUnchanged) {
  p.setTn(24, "7");
  p.setTn(25, "8");
  run("T, a, , 3, 4, 2, 2, 1, 1, 2, x, 5, 6");
  expectTn({{24, "7"}, {25, "8"}, {26, "3"}, {2, "2"}, {3, "1"} /* non-numeric: the default */, {28, "5"}, {29, "6"}});
}

TEST_F(Interp, MissingClosingTagCutsTheLineAndKeepsThePreviousText) {
  p.setTz(1, "previous");
  EXPECT_EQ(run("X, 1, 2, 3, 4, <TEXT>new FS=20"), kCmdText);
  EXPECT_EQ(p.tz(1), "previous");
  EXPECT_EQ(p.tn(33), "72");
  run("X, 0, 0, 10, 10, <text>one\r\nFS=9 two</Text>");  // keys inside the block are text
  EXPECT_EQ(p.tz(1), "one\r\nFS=9 two");
  EXPECT_EQ(p.tn(33), "72");
}

TEST_F(Interp, FontAttributesAndNamesAreMatchedAsWritten) {
  run("X, 0, 0, 1, 1, FA=bIus");
  for (int i = 16; i <= 19; ++i) EXPECT_FALSE(p.chb(i)) << i;
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
  EXPECT_EQ(run("X-, 99, 99, 99, 99, FA=Bi FS=10"), kCmdText);
  EXPECT_TRUE(ws.actions.fontAttributesOnly);
  EXPECT_TRUE(p.chb(16));
  EXPECT_TRUE(p.chb(17));
  EXPECT_EQ(p.option(OptionGroup::HAlign), 0);
  EXPECT_EQ(p.option(OptionGroup::VAlign), 0);
  EXPECT_EQ(p.option(OptionGroup::Placement), 0);
  EXPECT_FALSE(p.chb(12));
  EXPECT_EQ(p.tn(33), "30");  // neither size nor rectangle is read in this mode
  EXPECT_EQ(p.tn(24), "10");
  run("U, 1, 1, 1, 1");
  EXPECT_FALSE(ws.actions.fontAttributesOnly);
}

// How the tool lines set the panel is checked by their round trip in record_lines_test.
TEST_F(Interp, ToolLineKinds) {
  const std::pair<const char*, int> cases[] = {
      {"Mask, 10, 20, 100, 50", kCmdNothing} /* no pattern */, {"Erase, 1, 2, 3, 4", kCmdErase},
      {"DenseThin, 0, 0, 1, 1, Plus=0", kCmdDensity}, {"D+-, 1, 2, 3, 4", kCmdThinner} /* "-" wins */,
      {"D-, 1, 2, 3, 4", kCmdThinner}, {"D+/, 1, 2, 3, 4", kCmdThickerVariant}};
  for (const auto& [line, kind] : cases) EXPECT_EQ(run(line), kind) << line;
  p.setChb(34, true);
  run("DenseThin, 1, 2, 3, 4");
  EXPECT_FALSE(p.chb(34));  // corners follow the letter C
  run("DBC, 1, 2, 3, 4,");
  EXPECT_TRUE(p.chb(34));
}

}  // namespace
}  // namespace quillaro
