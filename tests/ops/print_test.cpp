// The print logic against a scripted printer: questions and answers, sizes in twips, the
// repeat guard, paper and orientation, error messages by step; the BMP file printer.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/test_clock.h"
#include "base/controls.h"
#include "base/files.h"
#include "model/workspace.h"
#include "model/copy_state.h"
#include "image/bmp_file.h"
#include "ops/file_printers.h"
#include "ops/print.h"
#include "ops/printer.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;

class ScriptedPrinter : public Printer {
public:
  std::string deviceName() const override { return "Fake"; }
  int paperCode() const override { return paper; }
  bool setPaperCode(int code) override {
    if (!refusePaper) paperSets.push_back(paper = code);
    return !refusePaper;
  }
  int tray() const override { return trayCode; }
  bool setTray(int code) override { trayCode = code; return true; }
  int quality() const override { return qualityValue; }
  bool setQuality(int q) override { qualityValue = q; return true; }
  int orientation() const override { return orient; }
  bool setOrientation(int o) override {
    orientationSets.push_back(orient = o);
    return true;
  }
  double pageWidthTwips() const override { return orient == kLandscape ? 16838 : 11906; }
  double pageHeightTwips() const override { return orient == kLandscape ? 11906 : 16838; }
  bool setCopies(int c) override { copies = c; return true; }
  bool drawPicture(const Bitmap& pic, std::int32_t, double w, double) override {
    drawnWidth = w;
    drawnPixels = pic.width;
    paperAtDraw = paper;
    orientationAtDraw = orient;
    return !refuseDraw;
  }
  bool endDocument() override { ++documents; return true; }
  PrinterError lastError() const override { return {482, "Printer error"}; }

  int paper = kPaperA4, trayCode = 7, qualityValue = -4, orient = kPortrait, copies = 0;
  bool refusePaper = false, refuseDraw = false;
  std::vector<int> paperSets, orientationSets;
  double drawnWidth = 0;
  int drawnPixels = 0, paperAtDraw = 0, orientationAtDraw = 0, documents = 0;
};

// 4 mm margins on an A4 page in twips.
const double kMargin = 4 * 1440 / 25.4;

struct PrintFixture : ::testing::Test {
  testing::TempDir dir;
  fs::path root = dir.path;
  testing::ScriptedPrompts prompts;
  std::unique_ptr<Workspace> ws;
  PrinterList list;
  ScriptedPrinter* printer = nullptr;
  testing::TestClock clock;

  void SetUp() override {
    ws = std::make_unique<Workspace>(&prompts);
    ws->shared.folders[kFolderSaved] = root.string();
    auto p = std::make_unique<ScriptedPrinter>();
    printer = p.get();
    list.add(std::move(p));
    installPrinting(*ws, &list);
    ws->clock = &clock;
    ws->params.setTn(11, "1");
    ws->params.setTextPrint(0, "1");
    ws->params.setTextPrint(1, "1");
  }

  // A bitmap file of w x h pixels, loaded for printing as `kind`.
  void load(int w, int h, int kind, std::int32_t ppm = kPixelsPerMetre600) {
    const std::string path = (root / "pic.bmp").string();
    ASSERT_TRUE(writeBitmap(path, Bitmap::create(w, h, 1), ppm));
    ASSERT_TRUE(loadForPrinting(*ws, path, kind));
  }
  const std::string& lastShown() const { return prompts.shown.back().text; }
};

using PrintQuestions = PrintFixture;

TEST_F(PrintQuestions, NothingToPrintIsToldAndNoPrinterEndsSilently) {
  EXPECT_FALSE(printPicture(*ws));  // nothing loaded, no original to offer
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(lastShown(), "Нечего печатать: нет ни рисунка, ни копии.");
  prompts.shown.clear();
  PrinterList empty;
  printState(*ws).printers = &empty;
  load(200, 300, kPrintA4Page);
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(printer->documents, 0);
}

TEST_F(PrintQuestions, NothingLoadedOffersTheOriginal) {
  const std::string path = (root / "orig.bmp").string();
  ASSERT_TRUE(writeBitmap(path, Bitmap::create(300, 200, 1), kPixelsPerMetre600));
  ws->image.loaded = true;
  ws->image.path = path;
  prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_EQ(printer->documents, 0);
  clock.seconds += 10;
  prompts.answers = {Answer::Ok, Answer::Yes};
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(prompts.shown[1].text, "Рисунок не загружен для печати.\r\nНапечатать оригинал ?");
  EXPECT_EQ(prompts.shown[1].buttons, Buttons::OkCancel);
  // A wider-than-high original needs landscape.
  EXPECT_EQ(prompts.shown[2].text, "Ориентация принтера книжная\r\nТребуется альбомная\r\nСменить ?");
  EXPECT_EQ(printer->orientationAtDraw, kLandscape);
  EXPECT_EQ(printState(*ws).kind, kPrintOriginal);
}

// A new sheet has no file, and the file of a picture drawn on lacks the drawing: both are
// printed as they are in memory. An unchanged picture is printed from its file.
TEST_F(PrintQuestions, NewOrChangedOriginalIsPrintedFromMemory) {
  const std::string path = (root / "orig.bmp").string();
  ASSERT_TRUE(writeBitmap(path, Bitmap::create(200, 300, 1), kPixelsPerMetre600));
  struct Case {
    const char* name;
    std::string path;
    int modified;
    int printedWidth;
  };
  for (const Case& c : {Case{"new sheet", "", 0, 120}, Case{"drawn on", path, 1, 120}, Case{"unchanged", path, 0, 200}}) {
    SCOPED_TRACE(c.name);
    ws->image.bitmap = Bitmap::create(120, 160, 1);
    ws->image.loaded = true;
    ws->image.path = c.path;
    ws->image.modified = c.modified;
    printState(*ws).kind = kPrintNothing;
    clock.seconds += 10;
    prompts.answers = {Answer::Ok};
    EXPECT_TRUE(printPicture(*ws));
    EXPECT_EQ(printer->drawnPixels, c.printedWidth);
  }
  EXPECT_EQ(printer->documents, 3);
}

// More copies than a print makes without asking are asked about; the default (a hidden
// run's answer) refuses and says so; the allowance can be raised.
TEST_F(PrintQuestions, ManyCopiesAreAskedAboutAndRefusedByDefault) {
  load(200, 300, kPrintA4Page);
  ws->params.setTn(11, "999999");
  EXPECT_FALSE(printPicture(*ws));
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[0].text, "Печатать 999999 копий ?");
  EXPECT_EQ(prompts.shown[0].defaultButton, Answer::No);
  EXPECT_EQ(prompts.shown[1].text, "Не напечатано: 999999 копий.");
  EXPECT_EQ(printer->documents, 0);
  ws->params.setTn(11, "100");  // up to the allowance nothing is asked
  clock.seconds += 10;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(prompts.shown.size(), 2u);
  ws->shared.copiesWithoutQuestion = 1000;
  ws->params.setTn(11, "1000");
  clock.seconds += 10;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(printer->documents, 2);
  ws->params.setTn(11, "1001");
  prompts.answers = {Answer::Yes};  // in the window the user may say Yes
  clock.seconds += 10;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(printer->documents, 3);
}

TEST_F(PrintQuestions, A4PageOnA3PrinterAsksToChange) {
  load(200, 300, kPrintA4Page);
  printer->paper = kPaperA3;
  printer->orient = kLandscape;
  prompts.answers = {Answer::Yes, Answer::Yes};
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(prompts.shown[0].text, "Формат принтера A3\r\nТребуется A4\r\nСменить A3 на A4 ?");
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(printer->paperAtDraw, kPaperA4);
  // Set once before the document; set again after it only had the printer drifted.
  EXPECT_EQ(printer->paperSets, std::vector<int>{kPaperA4});
  EXPECT_EQ(printer->orientationSets, std::vector<int>{kPortrait});
}

TEST_F(PrintQuestions, AutoPaperAndAutoOrientationAskNothing) {
  load(200, 300, kPrintA4Page);
  printer->paper = kPaperA3;
  printState(*ws).paperListIndex = 2;
  ws->params.setCheck(Check::ChLand, true);
  printState(*ws).orientationListIndex = 0;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(printer->paperAtDraw, kPaperA4);
  EXPECT_EQ(printer->orientationAtDraw, kLandscape);
}

TEST_F(PrintQuestions, NoKeepsThePaperAndCancelEnds) {
  load(300, 200, kPrintA3Sheet);
  prompts.answers = {Answer::No, Answer::Yes};
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(printer->paperAtDraw, kPaperA4);
  EXPECT_EQ(prompts.shown[0].text, "Формат принтера A4\r\nТребуется A3\r\nСменить A4 на A3 ?");
  clock.seconds += 100;
  prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_EQ(printer->documents, 1);
}

TEST_F(PrintQuestions, CustomPageOnA4AsksForA3) {
  load(200, 300, kPrintCustomPage);
  prompts.answers = {Answer::Ok};
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(prompts.shown[0].text,
            "Формат принтера A4\r\nТребуется A3 или по размерам (для принтера A4 - 216x355)\r\nСменить A4 на A3 ?");
  EXPECT_EQ(printer->paperAtDraw, kPaperA3);
}

using PrintFreshCopy = PrintFixture;

// A fresh page image on view is printed through a temporary file, which is deleted; the
// copy stays unsaved. The temporary page never takes a name of the user's: a file of the
// user's called "ForPrint.bmp" is left as it was, and the folder holds nothing more.
TEST_F(PrintFreshCopy, TemporarySaveLeavesTheCopyAndTheUsersFilesAlone) {
  const std::string own = "the user's own picture, not a bitmap at all";
  ASSERT_TRUE(writeFileAtomic((root / "ForPrint.bmp").string(), own));
  CopyState& cs = copyState(*ws);
  ws->page = Bitmap::create(300, 400, 1);
  ws->page.setWhite(3, 4, false);
  cs.copyMade = cs.freshCopy = true;
  ws->shared.copySaved = false;
  ws->params.setHeld(Held::TextFileName, "page7");
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(printer->drawnPixels, 300);
  EXPECT_FALSE(printState(*ws).picture.isWhite(3, 4));
  EXPECT_FALSE(ws->shared.copySaved);
  EXPECT_EQ(ws->params.held(Held::TextFileName), "");
  EXPECT_EQ(readWholeFile((root / "ForPrint.bmp").string()), own);
  EXPECT_EQ(dir.names(), std::vector<std::string>{"ForPrint.bmp"});
  EXPECT_TRUE(prompts.shown.empty());  // nor asked about replacing anything
}

TEST_F(PrintFreshCopy, FullA3SheetStaysAfterPrinting) {
  CopyState& cs = copyState(*ws);
  ws->params.setCheck(Check::ChA3, true);
  ws->page = Bitmap::create(300, 400, 1);
  ws->a3 = Bitmap::create(800, 400, 1);
  cs.copyMade = cs.freshCopy = true;
  cs.a3State = 2;
  ws->shared.copySaved = false;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(printer->drawnPixels, 800);
  EXPECT_EQ(cs.a3State, 2);
  EXPECT_EQ(ws->a3.width, 800);
}

using PrintRepeatGuard = PrintFixture;

TEST_F(PrintRepeatGuard, SecondPrintWithinFiveSecondsAsks) {
  load(200, 300, kPrintA4Page);
  ws->params.setTn(11, "2");
  EXPECT_TRUE(printPicture(*ws));
  clock.seconds += 4.9;
  prompts.answers = {Answer::No};
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_EQ(lastShown(), "Печатать ещё 2 копии ?");
  EXPECT_EQ(prompts.shown.back().buttons, Buttons::YesNo);
  EXPECT_EQ(printer->documents, 1);
  clock.seconds += 5.0;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(printer->copies, 2);
  printState(*ws).justLoaded = true;  // just loaded by opening: no question either
  clock.seconds += 1;
  ws->params.setTn(11, "0");  // copies below one print one
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(prompts.shown.size(), 1u);
  EXPECT_FALSE(printState(*ws).justLoaded);
  EXPECT_EQ(printer->copies, 1);
}

using PrintErrors = PrintFixture;

TEST_F(PrintErrors, MessageNamesTheFailedStep) {
  EXPECT_FALSE(loadForPrinting(*ws, (root / "none.bmp").string(), kPrintA4Page));
  EXPECT_EQ(lastShown().rfind("Ошибка загрузки для печати\r\n53 ", 0), 0u) << lastShown();
  EXPECT_EQ(printState(*ws).kind, kPrintNothing);
  load(200, 300, kPrintA4Page);
  printer->refuseDraw = true;
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_EQ(lastShown(), "Ошибка печати PaintPicture\r\n482 Printer error");
  EXPECT_EQ(printState(*ws).step, 0);
  clock.seconds += 10;
  load(200, 300, kPrintA4Page);
  printer->paper = kPaperA3;
  printer->refusePaper = true;
  prompts.answers = {Answer::Yes};
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_EQ(lastShown(), "Недопустимый формат бумаги\r\n482 Printer error");
}

TEST(PrintSizes, OneToOneAndFit) {
  // 4800 pixels = 8 inches = 11520 twips at 600 dpi; half that at 1200 dpi.
  const int him = static_cast<int>(4800 * 2540.0 / 96 + 0.5);
  PrintSize s = printSize(false, false, 1.5, 0.5, 4, 11906, 16838, 4800, 2400, him, him / 2, false);
  EXPECT_NEAR(s.width, 17280, 4);
  EXPECT_NEAR(s.height, 2880, 1);
  s = printSize(false, false, 1, 1, 4, 11906, 16838, 4800, 2400, him, him / 2, true);
  EXPECT_NEAR(s.width, 5760, 2);
  // Twice as high as wide on a page of aspect 1.41: fills the height, keeps the aspect.
  s = printSize(true, true, 1, 1, 4, 11906, 16838, 1000, 2000, 0, 0, false);
  EXPECT_DOUBLE_EQ(s.height, 16838 - 2 * kMargin);
  EXPECT_DOUBLE_EQ(s.width * 2, s.height);
}

TEST_F(PrintFixture, DrawnSizeFollowsTheFitOptionAndTheFileResolution) {
  load(4800, 7000, kPrintA4Page);
  ws->params.setChb(80, true);
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_DOUBLE_EQ(printer->drawnWidth, 11906 - 2 * kMargin);
  clock.seconds += 10;
  ws->params.setChb(80, false);
  load(4800, 7000, kPrintA4Page, kPixelsPerMetre1200);
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_NEAR(printer->drawnWidth, 5760, 2);
}

TEST_F(PrintFixture, PanelChoicesReachThePrinter) {
  ws->params.setCheck(Check::ChA3, true);
  choosePaper(*ws, 2);
  EXPECT_EQ(printer->paper, kPaperA3);
  chooseQuality(*ws, 2);
  EXPECT_EQ(printer->qualityValue, -3);
  chooseOrientation(*ws, 2);
  EXPECT_EQ(printer->orient, kLandscape);
  chooseQuality(*ws, 7);
  EXPECT_EQ(lastShown(), "Недопустимо");
  printer->refusePaper = true;
  choosePaper(*ws, 0);
  EXPECT_EQ(lastShown(), "Недопустимый формат бумаги");
  EXPECT_EQ(printPanelView(*ws).orientation, " Альбомная ориентация");
}

TEST(PrintFilePrinters, BmpNumbersPastTheHighestAndWritesTheSettingsText) {
  testing::TempDir dir;
  dir.file("Print-0041.bmp", "x");
  dir.file("Print-x.bmp", "x");
  BmpFilePrinter bmp([&dir] { return dir.str(); });
  ASSERT_TRUE(bmp.setOrientation(kLandscape));
  ASSERT_TRUE(bmp.setCopies(3));
  ASSERT_TRUE(bmp.drawPicture(Bitmap::create(120, 130, 8), kPixelsPerMetre600, 1000.4, 2000.6));
  ASSERT_TRUE(bmp.endDocument());
  EXPECT_EQ(bmp.lastBitmapPath(), dir.at("Print-0042.bmp"));
  EXPECT_EQ(readWholeFile(dir.at("Print-0042.txt")),
            std::string("Paper=9\r\nOrientation=2\r\nTray=7\r\nQuality=-4\r\nCopies=3\r\nRect=0, 0, 1000, 2001\r\n"));
}

TEST(PrintFilePrinters, MissingFolderIsAnError) {
  BmpFilePrinter bmp([] { return std::string("/nonexistent-quillaro/x"); });
  ASSERT_TRUE(bmp.drawPicture(Bitmap::create(100, 100, 1), kPixelsPerMetre600, 1, 1));
  EXPECT_FALSE(bmp.endDocument());
  EXPECT_EQ(bmp.lastError().number, 76);
}

}  // namespace
}  // namespace quillaro
