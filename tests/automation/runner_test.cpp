#include "automation/composition.h"
#include "support/test_clock.h"
#include "automation/runner.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "automation/interpreter.h"
#include "image/bmp_file.h"
#include "model/copy_state.h"
#include "model/workspace.h"
#include "ops/file_printers.h"
#include "ops/print.h"
#include "support/scripted_prompts.h"
#include "support/spy_journal.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

using Texts = std::vector<std::string>;

// Scripted prompts that throw at a message beginning with one of `throwAt`: an operation
// that fails unexpectedly in the middle of a run.
struct FaultyPrompts : testing::ScriptedPrompts {
  Texts throwAt;
  Answer ask(std::string_view text, Buttons buttons, Icon icon, Answer defaultButton) override {
    for (const std::string& start : throwAt)
      if (text.starts_with(start)) throw std::runtime_error("boom");
    return ScriptedPrompts::ask(text, buttons, icon, defaultButton);
  }
};

// The window's side of a run: what the panels hold as each line starts, and a click that
// asks to stop when the line beginning with `stopAt` starts (reaching the runner as pending
// events run, or as a request when `byRequest`).
struct RunWatch : ViewObserver, Progress {
  Workspace* ws = nullptr;
  std::vector<int> flags;     // the current line flag as each line starts
  bool automationOn = false;  // an automation box was on during the run
  std::string stopAt;
  bool byRequest = false;
  bool clicked = false;

  void programLine(const std::string& line, std::size_t, std::size_t) override {
    for (int k : {39, 38, 48, 52, 53, 61, 62, 63}) automationOn = automationOn || ws->params.chb(k);
    flags.push_back(ws->actions.lineFlag);
    if (stopAt.empty() || !line.starts_with(stopAt)) return;
    if (byRequest) requestStop(*ws);
    else clicked = true;
  }
  void percent(int) override {}
  void status(std::string_view) override {}
  bool pump() override { return clicked; }
};

struct Runner : ::testing::Test {
  testing::TempDir dir;
  FaultyPrompts prompts;
  Workspace ws{&prompts};
  testing::SpyJournal spy;
  RunWatch watch;
  PrinterList printers;
  ParamStore& p = ws.params;
  testing::TestClock clock;

  void SetUp() override {
    connectWorkspace(ws);
    ws.journal = &spy;
    watch.ws = &ws;
    ws.view = &watch;
    ws.progress = &watch;
    ws.shared.installFolder = dir.str();
    ws.shared.folders.fill(dir.str());
    printers.add(std::make_unique<BmpFilePrinter>([this] { return dir.str(); }));
    installPrinting(ws, &printers);
    clock.step = 60;  // prints never follow each other closely
    ws.clock = &clock;
    p.setChb(31, false);  // no reminders unless a test wants them
    picture(1);
  }
  // A blank picture in memory, 300 x 300 dots (12.7 mm), read from no file.
  void picture(int bits) {
    ws.image = ImageBuffer{};
    ws.image.bitmap = Bitmap::create(300, 300, bits);
    ws.image.loaded = true;
    ws.shared.bitDepth = bits;
  }
  void loadForPrint() {
    const std::string path = dir.at("print.bmp");
    ASSERT_TRUE(writeBitmap(path, Bitmap::create(120, 170, 1), kPixelsPerMetre600));
    ASSERT_TRUE(loadForPrinting(ws, path, kPrintA4Page));
  }
  void program(const std::string& text) { p.setTz(0, text); }
  Texts shown() const {
    Texts out;
    for (const auto& m : prompts.shown) out.push_back(m.text);
    return out;
  }
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

TEST(RunnerLines, LfAndCrAloneEndLinesToo) {
  struct Case { const char* text; std::size_t from; const char* want; std::size_t next; };
  for (const Case c : {
           Case{"Over\nLeft", 0, "Over", 5},
           {"Over\rLeft", 0, "Over", 5},
           {"Over\r\nLeft", 0, "Over", 6},
           {"Over\r\r\nLeft", 0, "Over", 5},  // a CR alone, then an empty CR LF line
           {"Over\n\rLeft", 5, "", 6},
           {"X, 1, <TEXT>a\nb</TEXT>\nOver", 0, "X, 1, <TEXT>a\nb</TEXT>", 23},
           {"X, 1, <TEXT>a\rb</TEXT>\rOver", 0, "X, 1, <TEXT>a\rb</TEXT>", 23},
           {"X, 1, <TEXT>a\nb</TEXT>\r\nOver", 0, "X, 1, <TEXT>a\nb</TEXT>", 24}}) {
    const std::string text = c.text;
    const ProgramLine line = nextProgramLine(text, upperUtf8(text), c.from);
    EXPECT_EQ(line.text, c.want) << c.text;
    EXPECT_EQ(line.next, c.next) << c.text;
  }
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
  picture(8);  // the tone steps first, then the 1-bit ones after the conversion
  loadForPrint();
  program("T, 0, 0, 10, 10, 2, 3\r\nX, 0, 0, 1, 1, <TEXT>a</TEXT>\r\nH, 0, 0, 1, 1, 2\r\n"
          "DarkRelWhite, 1, 1, 8, 8, Contrast=2\r\nDBC, 1, 1, 8, 8, BW=10\r\nDenseThin, 1, 1, 8, 8, W=3\r\n"
          "Print, 3\r\nConvertTo1bit, BW=120\r\nMask, 1, 1, 8, 8, 0A0A\r\nErase, 1, 1, 8, 8\r\n"
          "DenseThin, 1, 1, 8, 8, Plus=1\r\nU, 1, 1, 1, 1\r\nD+, 1, 1, 8, 8\r\nD-/, 1, 1, 8, 8\r\n"
          "X, 1, 1, 1, 1\r\nCopy, 0, 0, 5, 5, 1, 1, 100, 0, 10, 10\r\nA3\r\n' a comment\r\nReload\r\n");
  EXPECT_EQ(runAll(ws), RunEnd::Finished);
  EXPECT_EQ(spy.steps, (Texts{"table", "table", "darkrelwhite 2", "dbc", "density 3", "print 3", "to1bit 120", "mask 0A0A",
                              "mask FFFF", "density plus 4", "width +", "width -/", "copy", "a3 1", "reload 0"}));
  // Each text that finds no room is told.
  const std::string noRoom = "Текст не нарисован: недостаточно места.";
  EXPECT_EQ(shown(), (Texts{noRoom, noRoom}));
  EXPECT_EQ(ws.image.bitmap.width, 236);  // the 10 mm page image became the picture
  EXPECT_EQ(copyState(ws).a3State, 1);
}

TEST_F(Runner, PanelValuesComeBackAfterTheRun) {
  p.setTn(33, "72");
  p.setTn(0, "4");
  p.setTn(10, "4");
  p.setTn(24, "1");
  p.setTz(1, "mine");
  p.setHeld(Held::MaskPattern, "5A5A");
  p.setCheck(Check::ChA3, false);
  p.setTn(20, "10");
  program("X, 5, 5, 5, 5, 7, 8, FS=30 <TEXT>run</TEXT>\r\nDenseThin, 2, 2, 6, 6, W=6\r\n"
          "Mask, 2, 2, 6, 6, 0A0A\r\nA3, 1\r\nCopy, 7, 0, 5, 5, 1, 1, 100, 0, 10, 10\r\n");
  runAll(ws);
  EXPECT_EQ(spy.steps, (Texts{"density 6", "mask 0A0A", "copy"}));  // done with the values of the run
  // The copy fields come back after a copy (see the line flags for a skipped one).
  for (const auto& [i, text] : {std::pair{33, "72"}, {0, "4"}, {10, "4"}, {24, "1"}, {20, "10"}})
    EXPECT_EQ(p.tn(i), text) << i;
  EXPECT_EQ(p.tz(1), "mine");
  EXPECT_EQ(p.held(Held::MaskPattern), "5A5A");
  EXPECT_FALSE(p.check(Check::ChA3));
  EXPECT_FALSE(ws.running);
}

TEST_F(Runner, PrintQuestionNoSkipsCancelEnds) {
  loadForPrint();
  p.setChb(31, true);
  p.setTn(11, "1");
  prompts.answers = {Answer::No, Answer::Yes, Answer::Cancel};
  program("Print, 2\r\nPrint, 3\r\nPrint, 4\r\nOver\r\n");
  EXPECT_EQ(runAll(ws), RunEnd::Cancelled);
  EXPECT_EQ(spy.steps, Texts{"print 3"});  // nothing after Cancel, not even the turn
  ASSERT_EQ(prompts.shown.size(), 3u) << ::testing::PrintToString(shown());
  EXPECT_EQ(prompts.shown[0].text, "Печатать ?");
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(p.tn(11), "1");  // the panels still get their old values back
  p.setChb(31, false);  // without reminding nothing is asked
  program("Print, 2\r\n");
  EXPECT_EQ(runAll(ws), RunEnd::Finished);
  EXPECT_EQ(spy.steps, (Texts{"print 3", "print 2"}));
  EXPECT_EQ(prompts.shown.size(), 3u);
}

TEST_F(Runner, LongProgramAsksFirst) {
  std::string text;
  while (text.size() <= 4095) text += "' comment line\r\n";
  text += "Over\r\n";
  program(text);
  prompts.answers = {Answer::No};
  EXPECT_EQ(runAll(ws), RunEnd::NotRun);
  EXPECT_TRUE(spy.steps.empty());
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Выполнить действия ?");
  program("Over\r\n" + std::string(600, ' '));  // over 511 asks only while reminding is on
  EXPECT_EQ(runAll(ws), RunEnd::Finished);
  EXPECT_EQ(prompts.shown.size(), 1u);
  p.setChb(31, true);
  prompts.answers = {Answer::Yes};
  runAll(ws);
  EXPECT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(spy.steps, (Texts{"over", "over"}));
}

TEST_F(Runner, BlankA4SheetWhenNoPictureIsLoaded) {
  ws.image.bitmap.release();
  ws.image.loaded = false;
  program("Over\r\n");
  runAll(ws);
  EXPECT_EQ(spy.steps, Texts{"over"});  // the sheet a run makes is not journaled
  EXPECT_TRUE(ws.image.loaded);
  EXPECT_EQ(ws.image.bitmap.width, 4960);
  EXPECT_EQ(ws.image.bitmap.height, 7016);
  spy.steps.clear();
  ws.image.bitmap.release();
  ws.image.loaded = false;
  runText(ws, "Over", /*byTextDrawing=*/true);
  EXPECT_TRUE(spy.steps.empty());
  EXPECT_FALSE(ws.image.loaded);
}

TEST_F(Runner, AutomationIsSuspendedDuringTheRun) {
  const int boxes[] = {39, 38, 48, 52, 53, 61, 62, 63};
  for (int k : boxes) p.setChb(k, true);
  program("Over");
  runAll(ws);
  EXPECT_EQ(spy.steps, Texts{"over"});
  EXPECT_FALSE(watch.automationOn);
  for (int k : boxes) EXPECT_TRUE(p.chb(k)) << k;
}

TEST_F(Runner, StopRequestIsClearedAtTheStartAndEndsTheLoopBeforeTheNextOperation) {
  requestStop(ws);
  program("Over\r\n");
  EXPECT_EQ(runAll(ws), RunEnd::Finished);
  for (bool byRequest : {false, true}) {
    SCOPED_TRACE(byRequest ? "request" : "click");
    spy.steps.clear();
    watch.clicked = false;
    watch.stopAt = "Mask";
    watch.byRequest = byRequest;
    p.setHeld(Held::MaskPattern, "5A5A");
    program("Right\r\nMask, 1, 1, 8, 8, 0A0A\r\nLeft\r\n");
    EXPECT_EQ(runAll(ws), RunEnd::Stopped);
    EXPECT_EQ(spy.steps, Texts{"right"});  // the Mask line was read, its mask not drawn
    EXPECT_EQ(p.held(Held::MaskPattern), "5A5A");
  }
  program("' only a comment");  // and reading one command finds nothing without a command
  EXPECT_FALSE(readOneCommand(ws, 0).found);
  program("");
  EXPECT_FALSE(readOneCommand(ws, 5).found);
}

TEST_F(Runner, HiddenRunShowsControlCharactersEscaped) {
  reportRunOnStderr(ws);
  ::testing::internal::CaptureStderr();
  runText(ws, "X, 1, 1, 1, 1, <TEXT>\x1B[2J\x1B]0;\xD0\xBA\xD0\xBD\x07\x7F\t</TEXT>\r\n"
              "X, 2, 2, 1, 1, <TEXT>\xC2\x9B" "31m\xC2\xA0" "a\nb</TEXT>\r\nOver");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.find_first_of("\x1B\x07\x7F\t"), std::string::npos) << err;
  EXPECT_NE(err.find("] X, 1, 1, 1, 1, <TEXT>\\x1B[2J\\x1B]0;\xD0\xBA\xD0\xBD\\x07\\x7F\\x09</TEXT>\n"),
            std::string::npos) << err;
  // C1 controls are escaped, other two-byte letters (no-break space here) kept; a line
  // running on shows its first part.
  EXPECT_NE(err.find("] X, 2, 2, 1, 1, <TEXT>\\xC2\\x9B31m\xC2\xA0" "a ...\n"), std::string::npos) << err;
  EXPECT_NE(err.find("[100 %] Over\n"), std::string::npos) << err;
  EXPECT_EQ(spy.steps, Texts{"over"});
}

TEST_F(Runner, LineFlagsSkipCopiesAndFeedTheOtherCommands) {
  p.setTn(20, "10");
  setLineFlags(ws, {1, 0, 1});
  runText(ws, "Over\r\nCopy, 7, 0, 5, 5, 1, 1, 100, 0, 10, 10\r\nOver\r\nOver\r\nZoom", true);
  // The flag in force as each line starts: the copy takes none.
  EXPECT_EQ(watch.flags, (std::vector<int>{0, 1, 1, 0, 1}));
  EXPECT_EQ(spy.steps, (Texts{"over", "over", "over"}));
  EXPECT_TRUE(ws.page.empty());
  EXPECT_EQ(p.tn(20), "7");  // a skipped copy is no copy: its fields are not put back
  EXPECT_TRUE(ws.actions.lineFlags.empty());
  EXPECT_EQ(ws.actions.lineFlag, 0);
}

TEST_F(Runner, SelectionNeedsTheFocusInTheText) {
  EXPECT_EQ(runSelection(ws, "Over", false), RunEnd::NotRun);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Выделенная часть выполняется, если фокус ввода в тексте.");
  EXPECT_TRUE(spy.steps.empty());
  EXPECT_EQ(runSelection(ws, "Over", true), RunEnd::Finished);
  EXPECT_EQ(spy.steps, Texts{"over"});
  EXPECT_TRUE(selectionMayRun(10.5, 10.0));
  EXPECT_FALSE(selectionMayRun(11.0, 10.0));
  EXPECT_FALSE(selectionMayRun(9.0, 10.0));
}

TEST_F(Runner, AFaultInAnOperationIsReportedAndTheRunGoesOn) {
  prompts.throwAt = {"Нет файла", "Печатать ?"};
  p.setTn(33, "72");
  p.setChb(31, true);
  const std::string open = "Open, SRC=\"" + dir.at("missing.bmp") + "\"";
  program("X, 0, 0, 1, 1, FS=20\r\n" + open + "\r\nOver\r\nPrint, 2\r\nLeft\r\n");
  EXPECT_EQ(runAll(ws), RunEnd::Finished);
  EXPECT_EQ(spy.steps, (Texts{"over", "left"}));
  EXPECT_EQ(shown(), (Texts{open + "\r\nboom", "Print, 2\r\nboom"}));  // the X line has no text
  EXPECT_EQ(p.tn(33), "72");
  EXPECT_FALSE(ws.running);
}

TEST_F(Runner, ReadOneCommandAppliesTheLineAtTheCursor) {
  program("Over\r\n' note\r\nT, 1, 2, 3, 4, 5, 6\r\nPrint, 2");
  p.setChb(15, true);
  ReadCommand r = readOneCommand(ws, 8);  // the cursor in the comment line
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.kind, kCmdTable);
  EXPECT_EQ(r.start, 14u);
  EXPECT_EQ(r.length, 19u);
  EXPECT_TRUE(r.focusPageView);
  EXPECT_EQ(p.tn(0), "5");
  EXPECT_TRUE(spy.steps.empty());     // the turn above is not the reader's business
  EXPECT_TRUE(prompts.shown.empty());  // nor is drawing the table
  EXPECT_FALSE(ws.readingMode);
  EXPECT_TRUE(p.check(Check::ChSelSize));
}

TEST_F(Runner, ReadOneCommandCopyAndPositionsInCharacters) {
  program("Copy, 1, 2");
  ReadCommand r = readOneCommand(ws, 3);
  EXPECT_EQ(r.kind, kCmdCopy);
  EXPECT_TRUE(r.hideTableFrame);
  EXPECT_FALSE(p.check(Check::ChSelSize));
  EXPECT_EQ(p.tn(20), "1");   // the record is in the panel
  EXPECT_TRUE(ws.page.empty());  // but nothing is copied
  program("' Привет\r\nOver");
  r = readOneCommand(ws, 9);  // after the Cyrillic comment
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.start, 10u);
  EXPECT_EQ(spy.steps, Texts{"over"});  // a turn is carried out by the interpreter
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
  const std::string a = dir.at("a.bmp"), b = dir.at("b.bmp");
  for (const std::string& path : {a, b})
    ASSERT_TRUE(writeBitmap(path, Bitmap::create(120, 150, 1), kPixelsPerMetre600));
  const std::string text = "New, F=A5\r\nT, 0, 0, 1, 1, 2, 2\r\nOpen, SRC=\"" + b + "\"\r\nT, 0, 0, 1, 1, 3, 3";
  const std::size_t openAt = text.find("Open"), below = text.rfind("T,");
  program(text);
  ws.image.bitmap.release();
  ws.image.loaded = false;
  // No picture: plain F1 on the first table line makes the sheet of the New line first.
  ReadCommand r = readOneCommand(ws, 12);
  ASSERT_TRUE(r.producingFound);
  EXPECT_EQ(r.producingStart, 0u);
  EXPECT_EQ(ws.image.bitmap.width, 3508);  // A5, made as by a program: not journaled
  EXPECT_EQ(ws.image.bitmap.height, 4960);
  EXPECT_TRUE(spy.steps.empty());
  // With a picture loaded the New line is not run again (it would wipe the picture).
  picture(1);
  ws.image.path = a;
  readOneCommand(ws, 12);
  EXPECT_EQ(ws.image.bitmap.width, 300);
  // Below the Open line: another file is loaded, so plain F1 opens b.bmp ...
  r = readOneCommand(ws, below);
  EXPECT_EQ(r.producingStart, openAt);
  EXPECT_EQ(spy.steps, Texts{"open " + b});
  // ... the variant passes over it, and the file already loaded is not opened again.
  spy.steps.clear();
  picture(1);
  ws.image.path = a;
  readOneCommand(ws, below, true);
  EXPECT_TRUE(spy.steps.empty());
  ws.image.path = b;
  readOneCommand(ws, below);
  EXPECT_TRUE(spy.steps.empty());
  EXPECT_EQ(ws.image.bitmap.width, 300);
  // The Open line itself, read by F1, is not its own producing line.
  ws.image.path = a;
  r = readOneCommand(ws, openAt + 3);
  EXPECT_EQ(r.producingStart, 0u);
  EXPECT_EQ(spy.steps, Texts{"open " + b});
  EXPECT_EQ(ws.image.bitmap.width, 120);
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
