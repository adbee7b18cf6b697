#include "automation/composition.h"
#include "automation/runner.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "automation/action_fakes.h"
#include "automation/interpreter.h"
#include "model/workspace.h"
#include "support/scripted_prompts.h"
#include "ops/new_sheet.h"

namespace quillaro {
namespace {

using Calls = std::vector<std::string>;

struct Runner : ::testing::Test {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  testing::FakeOps fake;
  ParamStore& p = ws.params;
  void SetUp() override {
    connectWorkspace(ws);
    fake.install(ws);
    ws.image.loaded = true;  // a picture exists unless a test says otherwise
  }
  void program(const std::string& text) { p.setTz(0, text); }
};

TEST(RunnerLines, TextBlocksOfXLinesSpanLines) {
  struct Case { const char* text; std::size_t from; const char* want; };
  for (const Case c : {
           Case{"X, 1, 2, 3, 4, <TEXT>one\r\ntwo\r\nthree</TEXT>\r\nOver\r\n", 0,
                "X, 1, 2, 3, 4, <TEXT>one\r\ntwo\r\nthree</TEXT>"},
           {"X, 1, <TEXT>a</TEXT>\r\nOver\r\n", 22, "Over"},
           {"x, <text>open\r\nOver\r\nT, <TEXT>a\r\nb</TEXT>", 0, "x, <text>open\r\nOver\r\nT, <TEXT>a\r\nb</TEXT>"},
           {"x, <text>open\r\nOver\r\nT, <TEXT>a", 0, "x, <text>open"},  // no closing tag at all
           {"x, <text>open\r\nOver\r\nT, <TEXT>a", 15, "Over"},
           {"x, <text>open\r\nOver\r\nT, <TEXT>a\r\nb</TEXT>", 21, "T, <TEXT>a"},  // only X lines carry blocks
           {"X, 1\r\nX, <TEXT>a</TEXT>", 0, "X, 1"},
           {"X, 1\r\nX, <TEXT>a</TEXT>", 6, "X, <TEXT>a</TEXT>"}}) {
    const std::string text = c.text;
    EXPECT_EQ(nextProgramLine(text, upperUtf8(text), c.from).text, c.want) << c.text;
  }
  const std::string text = "Over\r\n";
  EXPECT_EQ(nextProgramLine(text, text, 0).next, text.size());
}

TEST(RunnerNew, TrailingNewMovesToTheTopOrIsRemoved) {
  EXPECT_EQ(rearrangeTrailingNew("Over\r\nRight\r\nNew, L"), "New, L\r\nOver\r\nRight\r\n");
  EXPECT_EQ(rearrangeTrailingNew("Over\r\nNew, L\r\n"), "New, L\r\n\r\nOver\r\n");
  EXPECT_EQ(rearrangeTrailingNew("New\r\nOver\r\nNew, L"), "New\r\nOver\r\n");
  EXPECT_EQ(rearrangeTrailingNew("Over\r\nnew\r\nLeft\r\nNEW"), "Over\r\nnew\r\nLeft\r\n");
  EXPECT_EQ(rearrangeTrailingNew("Over\r\nNew\r\nLeft"), "Over\r\nNew\r\nLeft");
  EXPECT_EQ(rearrangeTrailingNew("New"), "New");
  EXPECT_EQ(rearrangeTrailingNew(""), "");
}

TEST_F(Runner, EveryKindStartsItsOperation) {
  program("T, 0, 0, 10, 10, 2, 3\r\nX, 0, 0, 1, 1, <TEXT>a</TEXT>\r\nCopy, 0, 0\r\n"
          "Mask, 1, 1, 1, 1, 0A0A\r\nErase, 1, 1, 1, 1\r\nDenseThin, 1, 1, 1, 1, W=3\r\n"
          "DenseThin, 1, 1, 1, 1, Plus=1\r\nU, 1, 1, 1, 1\r\nD+, 1, 1, 1, 1\r\nD-/, 1, 1, 1, 1\r\n"
          "DarkRelWhite, 1, 1, 1, 1, Contrast=2\r\nA3\r\nDBC, 1, 1, 1, 1,\r\n' a comment\r\nReload\r\n");
  p.setChb(31, false);
  EXPECT_EQ(runAll(ws), RunEnd::Finished);
  EXPECT_EQ(fake.calls, (Calls{"table 2x3 flag=0", "text a fs=72 flag=0", "copyrecord 0 land=", "copy",
                               "mask 0A0A", "mask FFFF", "density 3", "density plus 4", "merge", "width +",
                               "width -/", "darkrelwhite 2", "a3", "dbc", "reload 0"}));
}

TEST_F(Runner, PanelValuesComeBackAfterTheRun) {
  p.setTn(33, "72");
  p.setTn(0, "4");
  p.setTn(24, "1");
  p.setTz(1, "mine");
  p.setHeld(Held::MaskPattern, "5A5A");
  p.setCheck(Check::ChA3, false);
  program("X, 5, 5, 5, 5, 7, 8, FS=30 <TEXT>run</TEXT>\r\nMask, 1, 1, 1, 1, 0000\r\nA3, 1\r\n");
  runAll(ws);
  EXPECT_EQ(fake.calls[0], "text run fs=30 flag=0");  // drawn with the changed values
  for (const auto& [i, text] : {std::pair{33, "72"}, {0, "4"}, {24, "1"}}) EXPECT_EQ(p.tn(i), text) << i;
  EXPECT_EQ(p.tz(1), "mine");
  EXPECT_EQ(p.held(Held::MaskPattern), "5A5A");
  EXPECT_FALSE(p.check(Check::ChA3));
  EXPECT_FALSE(ws.running);
}

TEST_F(Runner, CopyFieldsComeBackOnlyAfterACopy) {
  p.setTn(20, "10");
  ws.ops.readCopyRecord = [](Workspace& w) { w.params.setTn(20, "99"); };
  program("Copy, 1\r\n");
  runAll(ws);
  EXPECT_EQ(p.tn(20), "10");
  program("T, 0, 0, 1, 1\r\n");
  p.setTn(20, "99");
  runAll(ws);
  EXPECT_EQ(p.tn(20), "99");
}

TEST_F(Runner, PrintQuestionNoSkipsCancelEnds) {
  p.setChb(31, true);
  p.setTn(11, "1");
  prompts.answers = {Answer::No, Answer::Yes, Answer::Cancel};
  program("Print, 2\r\nPrint, 3\r\nPrint, 4\r\nOver\r\n");
  EXPECT_EQ(runAll(ws), RunEnd::Cancelled);
  EXPECT_EQ(fake.calls, (Calls{"print 3"}));
  ASSERT_EQ(prompts.shown.size(), 3u);
  EXPECT_EQ(prompts.shown[0].text, "Печатать ?");
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(p.tn(11), "1");  // the panels still get their old values back
  p.setChb(31, false);  // without reminding nothing is asked
  program("Print, 2\r\n");
  EXPECT_EQ(runAll(ws), RunEnd::Finished);
  EXPECT_EQ(fake.calls, (Calls{"print 3", "print 2"}));
  EXPECT_EQ(prompts.shown.size(), 3u);
}

TEST_F(Runner, LongProgramAsksFirst) {
  p.setChb(31, false);
  std::string text;
  while (text.size() <= 4095) text += "' comment line\r\n";
  text += "Over\r\n";
  program(text);
  prompts.answers = {Answer::No};
  EXPECT_EQ(runAll(ws), RunEnd::NotRun);
  EXPECT_TRUE(fake.calls.empty());
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Выполнить действия ?");
  program("Over\r\n" + std::string(600, ' '));  // over 512 asks only while reminding is on
  EXPECT_EQ(runAll(ws), RunEnd::Finished);
  EXPECT_EQ(prompts.shown.size(), 1u);
  p.setChb(31, true);
  prompts.answers = {Answer::Yes};
  runAll(ws);
  EXPECT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(fake.calls, (Calls{"over", "over"}));
}

TEST_F(Runner, BlankA4SheetWhenNoPictureIsLoaded) {
  ws.image.loaded = false;
  program("Over\r\n");
  runAll(ws);
  EXPECT_EQ(fake.calls, (Calls{"new 0 program", "over"}));
  fake.calls.clear();
  ws.image.loaded = false;
  runText(ws, "Over", /*byTextDrawing=*/true);
  EXPECT_EQ(fake.calls, (Calls{"over"}));
}

TEST_F(Runner, AutomationIsSuspendedDuringTheRun) {
  const int boxes[] = {39, 38, 48, 52, 53, 61, 62, 63};
  for (int k : boxes) p.setChb(k, true);
  bool seenOn = false;
  ws.ops.turn = [&](Workspace& w, TurnDirection) {
    for (int k : boxes) seenOn = seenOn || w.params.chb(k);
  };
  program("Over");
  runAll(ws);
  EXPECT_FALSE(seenOn);
  for (int k : boxes) EXPECT_TRUE(p.chb(k)) << k;
}

struct StopAtSecondPump : Progress {
  int pumps = 0;
  void percent(int) override {}
  void status(std::string_view) override {}
  bool pump() override { return ++pumps >= 2; }
};

TEST_F(Runner, StopRequestIsClearedAtTheStartAndEndsTheLoopBeforeTheNextOperation) {
  requestStop(ws);
  program("T, 0, 0, 1, 1\r\n");
  EXPECT_EQ(runAll(ws), RunEnd::Finished);
  StopAtSecondPump progress;
  ws.progress = &progress;
  program("Over\r\nRight\r\nLeft\r\n");
  EXPECT_EQ(runAll(ws), RunEnd::Stopped);
  // Right was interpreted, its kind needs nothing more.
  EXPECT_EQ(fake.calls, (Calls{"table x flag=0", "over", "right"}));
  program("' only a comment");  // and reading one command finds nothing without a command
  EXPECT_FALSE(readOneCommand(ws, 0).found);
  program("");
  EXPECT_FALSE(readOneCommand(ws, 5).found);
}

TEST_F(Runner, LineFlagsSkipCopiesAndFeedTheOtherCommands) {
  setLineFlags(ws, {1, 0});
  runText(ws, "T, 0, 0, 1, 1, 2, 2\r\nCopy, 1\r\nT, 0, 0, 1, 1, 3, 3\r\nT, 0, 0, 1, 1, 4, 4", true);
  EXPECT_EQ(fake.calls, (Calls{"table 2x2 flag=1", "copyrecord 1 land=", "table 3x3 flag=0", "table 4x4 flag=0"}));
  EXPECT_TRUE(ws.actions.lineFlags.empty());
}

TEST_F(Runner, SelectionNeedsTheFocusInTheText) {
  EXPECT_EQ(runSelection(ws, "Over", false), RunEnd::NotRun);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Выделенная часть выполняется, если фокус ввода в тексте.");
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_EQ(runSelection(ws, "Over", true), RunEnd::Finished);
  EXPECT_EQ(fake.calls, (Calls{"over"}));
  EXPECT_TRUE(selectionMayRun(10.5, 10.0));
  EXPECT_FALSE(selectionMayRun(11.0, 10.0));
  EXPECT_FALSE(selectionMayRun(9.0, 10.0));
}

TEST_F(Runner, AFaultInAnOperationIsReportedAndTheRunGoesOn) {
  ws.ops.turn = [](Workspace&, TurnDirection d) {
    if (d == TurnDirection::Over) throw std::runtime_error("boom");
  };
  p.setTn(33, "72");
  program("X, 0, 0, 1, 1, FS=20\r\nOver\r\nPrint, 2\r\n");
  p.setChb(31, false);
  EXPECT_EQ(runAll(ws), RunEnd::Finished);
  EXPECT_EQ(fake.calls.back(), "print 2");
  ASSERT_FALSE(prompts.shown.empty());
  EXPECT_NE(prompts.shown[0].text.find("boom"), std::string::npos);
  EXPECT_EQ(p.tn(33), "72");
  EXPECT_FALSE(ws.running);
}

TEST_F(Runner, UnavailableOperationIsReportedOncePerRun) {
  ws.ops.turn = nullptr;
  program("Over\r\nOver\r\nRight\r\n");
  runAll(ws);
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[0].text, "Действие недоступно: Over");
  EXPECT_EQ(prompts.shown[1].text, "Действие недоступно: Right");
  runAll(ws);
  EXPECT_EQ(prompts.shown.size(), 4u);
}

TEST_F(Runner, ReadOneCommandAppliesTheLineAtTheCursor) {
  program("Over\r\n' note\r\nT, 1, 2, 3, 4, 5, 6\r\nPrint, 2");
  p.setChb(15, true);
  p.setChb(30, true);
  ReadCommand r = readOneCommand(ws, 8);  // the cursor in the comment line
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.kind, kCmdTable);
  EXPECT_EQ(r.start, 14u);
  EXPECT_EQ(r.length, 19u);
  EXPECT_TRUE(r.focusPageView);
  EXPECT_EQ(p.tn(0), "5");
  EXPECT_TRUE(fake.calls.empty());  // the table is not drawn
  EXPECT_FALSE(ws.readingMode);
  EXPECT_TRUE(p.check(Check::ChSelSize));
}

TEST_F(Runner, ReadOneCommandCopyAndPositionsInCharacters) {
  program("Copy, 1, 2");
  ReadCommand r = readOneCommand(ws, 3);
  EXPECT_EQ(r.kind, kCmdCopy);
  EXPECT_TRUE(r.hideTableFrame);
  EXPECT_FALSE(p.check(Check::ChSelSize));
  program("' Привет\r\nOver");
  fake.calls.clear();
  r = readOneCommand(ws, 9);  // after the Cyrillic comment
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.start, 10u);
  EXPECT_EQ(fake.calls, (Calls{"over"}));  // a turn is carried out by the interpreter
}

TEST_F(Runner, ReadingAContinuationAppliesItsTextLineFirst) {
  program("X, 1, 2, 3, 4, FS=30 <TEXT>a\r\nb</TEXT>\r\nX-, FA=B\r\nX-, FA=i");
  ReadCommand r = readOneCommand(ws, 42);  // in the first X- line
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.kind, kCmdText);
  EXPECT_TRUE(r.openTextDialog);
  EXPECT_EQ(p.tn(33), "30");
  EXPECT_EQ(p.tz(1), "a\r\nb");
  EXPECT_TRUE(p.chb(16));
  EXPECT_TRUE(ws.actions.fontAttributesOnly);
  EXPECT_TRUE(ws.actions.continueText);
  EXPECT_EQ(r.start, 40u);
}

TEST_F(Runner, PlainF1BringsThePictureItsLineWorksOnCtrlF1DoesNot) {
  program("New, F=A5\r\nT, 0, 0, 1, 1, 2, 2\r\nOpen, SRC=\"b.bmp\"\r\nT, 0, 0, 1, 1, 3, 3");
  ws.image.loaded = false;
  // No picture: plain F1 on the first table line makes the sheet of the New line first.
  ReadCommand r = readOneCommand(ws, 12);
  ASSERT_TRUE(r.producingFound);
  EXPECT_EQ(r.producingStart, 0u);
  EXPECT_EQ(fake.calls, (Calls{"new 2 program"}));  // made as by a program: not recorded
  // With a picture loaded the New line is not run again (it would wipe the picture).
  fake.calls.clear();
  ws.image.loaded = true;
  ws.image.path = "a.bmp";
  readOneCommand(ws, 12);
  EXPECT_TRUE(fake.calls.empty());
  // Below the Open line: another file is loaded, so plain F1 opens b.bmp ...
  r = readOneCommand(ws, 60);
  EXPECT_EQ(r.producingStart, 32u);
  EXPECT_EQ(fake.calls, (Calls{"open b.bmp"}));
  // ... the variant passes over it, and the file already loaded is not opened again.
  fake.calls.clear();
  readOneCommand(ws, 60, true);
  EXPECT_TRUE(fake.calls.empty());
  ws.image.path = "b.bmp";
  readOneCommand(ws, 60);
  EXPECT_TRUE(fake.calls.empty());
  // The producing line itself, read by F1, is only read once.
  readOneCommand(ws, 35);
  EXPECT_EQ(fake.calls, (Calls{"open b.bmp"}));
}

TEST(StartupTimerTest, FifthTickRunsTheProgramOnceAfterAnAutomaticCopy) {
  StartupTimer t;
  t.programPending = true;
  t.autoCopyPending = true;
  t.start();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(t.tick(), StartupTimer::Action::None);
  EXPECT_EQ(t.tick(), StartupTimer::Action::AutoCopy);
  EXPECT_TRUE(t.programPending);
  EXPECT_EQ(t.ticks, 0);
  EXPECT_FALSE(t.enabled);
  t.start();  // again after the copy
  for (int i = 0; i < 4; ++i) EXPECT_EQ(t.tick(), StartupTimer::Action::None);
  EXPECT_EQ(t.tick(), StartupTimer::Action::RunProgram);
  EXPECT_FALSE(t.enabled);
  EXPECT_FALSE(t.programPending);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(t.tick(), StartupTimer::Action::None);
}

}  // namespace
}  // namespace quillaro
