// The print logic against a scripted printer: questions and answers, sizes in twips, the
// repeat guard, paper and orientation set back, error messages by step; the copies noun;
// the BMP file printer.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/controls.h"
#include "app/files.h"
#include "app/workspace.h"
#include "copy/copy_state.h"
#include "image/bmp_file.h"
#include "print/file_printers.h"
#include "print/print.h"
#include "print/printer.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;

class ScriptedPrinter : public Printer {
public:
  std::string deviceName() const override { return "Fake"; }
  int paperCode() const override { return paper; }
  bool setPaperCode(int code) override {
    if (refusePaper) return fail();
    paperSets.push_back(code);
    paper = code;
    return true;
  }
  int tray() const override { return trayCode; }
  bool setTray(int code) override { trayCode = code; return true; }
  int quality() const override { return qualityValue; }
  bool setQuality(int q) override { qualityValue = q; return true; }
  int orientation() const override { return orient; }
  bool setOrientation(int o) override {
    orientationSets.push_back(o);
    orient = o;
    return true;
  }
  double pageWidthTwips() const override { return orient == kLandscape ? 16838 : 11906; }
  double pageHeightTwips() const override { return orient == kLandscape ? 11906 : 16838; }
  bool setCopies(int c) override { copies = c; return true; }
  bool drawPicture(const Bitmap& pic, std::int32_t, double w, double h) override {
    if (refuseDraw) return fail();
    drawnWidth = w;
    drawnHeight = h;
    drawnPixels = pic.width;
    paperAtDraw = paper;
    orientationAtDraw = orient;
    return true;
  }
  bool endDocument() override { ++documents; return true; }
  PrinterError lastError() const override { return {482, "Printer error"}; }

  bool fail() { return false; }
  int paper = kPaperA4, trayCode = 7, qualityValue = -4, orient = kPortrait, copies = 0;
  bool refusePaper = false, refuseDraw = false;
  std::vector<int> paperSets, orientationSets;
  double drawnWidth = 0, drawnHeight = 0;
  int drawnPixels = 0, paperAtDraw = 0, orientationAtDraw = 0, documents = 0;
};

struct PrintFixture : ::testing::Test {
  fs::path root;
  testing::ScriptedPrompts prompts;
  std::unique_ptr<Workspace> ws;
  PrinterList list;
  ScriptedPrinter* printer = nullptr;
  double clock = 1000;

  void SetUp() override {
    root = fs::temp_directory_path() /
           ("quillaro-print-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root);
    fs::create_directories(root);
    ws = std::make_unique<Workspace>(&prompts);
    ws->shared.folders[kFolderSaved] = root.string();
    auto p = std::make_unique<ScriptedPrinter>();
    printer = p.get();
    list.add(std::move(p));
    installPrinting(*ws, &list);
    printState(*ws).now = [this] { return clock; };
    printState(*ws).shownView = [](Workspace&) { return ShownView::Original; };
    ws->params.setTn(11, "1");
    ws->params.setTextPrint(0, "1");
    ws->params.setTextPrint(1, "1");
  }
  void TearDown() override { fs::remove_all(root); }

  // A bitmap file of w x h pixels at 600 dpi, loaded for printing as `kind`.
  void load(int w, int h, int kind, std::int32_t ppm = kPixelsPerMetre600) {
    const std::string path = (root / "pic.bmp").string();
    Bitmap b = Bitmap::create(w, h, 1);
    ASSERT_TRUE(writeBitmap(path, b, ppm));
    ASSERT_TRUE(loadForPrinting(*ws, path, kind));
  }
  const std::string& lastShown() const { return prompts.shown.back().text; }
};

using PrintQuestions = PrintFixture;

TEST_F(PrintQuestions, NoPrinterPrintsNothingAndAsksNothing) {
  PrinterList empty;
  printState(*ws).printers = &empty;
  load(200, 300, kPrintA4Page);
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PrintQuestions, NothingLoadedAndNothingToOfferEndsSilently) {
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(printer->documents, 0);
}

TEST_F(PrintQuestions, NothingLoadedOffersTheOriginal) {
  const std::string path = (root / "orig.bmp").string();
  ASSERT_TRUE(writeBitmap(path, Bitmap::create(300, 200, 1), kPixelsPerMetre600));
  ws->image.loaded = true;
  ws->image.path = path;
  prompts.answers = {Answer::Ok, Answer::Yes};
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(prompts.shown[0].text, "Рисунок не загружен для печати.\r\nНапечатать оригинал ?");
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::OkCancel);
  // A wider-than-high original needs landscape.
  EXPECT_EQ(prompts.shown[1].text, "Ориентация принтера книжная\r\nТребуется альбомная\r\nСменить ?");
  EXPECT_EQ(printer->orientationAtDraw, kLandscape);
  EXPECT_EQ(printState(*ws).kind, kPrintOriginal);
}

TEST_F(PrintQuestions, CancelOfTheLoadQuestionPrintsNothing) {
  ws->image.loaded = true;
  ws->image.path = (root / "orig.bmp").string();
  prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_EQ(printer->documents, 0);
}

TEST_F(PrintQuestions, A4PageOnA3PrinterAsksToChangeAndRestoresAfter) {
  load(200, 300, kPrintA4Page);
  printer->paper = kPaperA3;
  prompts.answers = {Answer::Yes};
  EXPECT_TRUE(printPicture(*ws));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(lastShown(), "Формат принтера A3\r\nТребуется A4\r\nСменить A3 на A4 ?");
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(printer->paperAtDraw, kPaperA4);
  EXPECT_EQ(printer->paper, kPaperA4);
}

TEST_F(PrintQuestions, AutoPaperSetsA4WithoutAQuestion) {
  load(200, 300, kPrintA4Page);
  printer->paper = kPaperA3;
  printState(*ws).paperListIndex = 2;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(printer->paper, kPaperA4);
}

TEST_F(PrintQuestions, NoKeepsTheCurrentPaperAndCancelEnds) {
  load(300, 200, kPrintA3Sheet);
  prompts.answers = {Answer::No, Answer::Yes};
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(printer->paperAtDraw, kPaperA4);
  EXPECT_EQ(prompts.shown[0].text, "Формат принтера A4\r\nТребуется A3\r\nСменить A4 на A3 ?");
  clock += 100;
  prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_EQ(printer->documents, 1);
}

TEST_F(PrintQuestions, PaperOtherThanA3OrA4SkipsThePaperQuestion) {
  load(200, 300, kPrintA4Page);
  printer->paper = 1;  // Letter
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(printer->paperAtDraw, 1);
}

TEST_F(PrintQuestions, CustomPageOnA4AsksForA3) {
  load(200, 300, kPrintCustomPage);
  prompts.answers = {Answer::Ok};
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(prompts.shown[0].text,
            "Формат принтера A4\r\nТребуется A3 или по размерам (для принтера A4 - 216x355)\r\nСменить A4 на A3 ?");
  EXPECT_EQ(printer->paperAtDraw, kPaperA3);
}

TEST_F(PrintQuestions, OrientationAutoAndLandFlag) {
  load(200, 300, kPrintA4Page);
  ws->params.setCheck(Check::ChLand, true);
  printState(*ws).orientationListIndex = 0;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(printer->orientationAtDraw, kLandscape);
}

TEST_F(PrintQuestions, PaperAndOrientationOfThePrintAreSetAgainAfterwards) {
  load(200, 300, kPrintA4Page);
  printer->paper = kPaperA3;
  printer->orient = kLandscape;
  prompts.answers = {Answer::Yes, Answer::Yes};
  EXPECT_TRUE(printPicture(*ws));
  // Two changes before the document, and the used values written once more after it
  // only when the printer had drifted from them (here it had not).
  EXPECT_EQ(printer->paperSets, std::vector<int>{kPaperA4});
  EXPECT_EQ(printer->orientationSets, std::vector<int>{kPortrait});
  EXPECT_EQ(printer->paper, kPaperA4);
  EXPECT_EQ(printer->orient, kPortrait);
}

using PrintFreshCopy = PrintFixture;

// A fresh page image on view is printed through the temporary file, which is deleted; the
// copy stays unsaved and a full A3 sheet stays in place.
TEST_F(PrintFreshCopy, TemporarySaveLeavesTheCopyUnsaved) {
  CopyState& cs = copyState(*ws);
  printState(*ws).shownView = [](Workspace&) { return ShownView::Page; };
  ws->page = Bitmap::create(300, 400, 1);
  ws->page.setWhite(3, 4, false);
  cs.copyMade = true;
  cs.freshCopy = true;
  ws->shared.copySaved = false;
  ws->params.setHeld(Held::TextFileName, "page7");
  prompts.answers = {Answer::Ok};  // a page of its own size on A4: change to A3
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(printer->drawnPixels, 300);
  EXPECT_FALSE(printState(*ws).picture.isWhite(3, 4));
  EXPECT_FALSE(fs::exists(root / "ForPrint.bmp"));
  EXPECT_FALSE(ws->shared.copySaved);
  EXPECT_TRUE(cs.lastSavedPicture.empty());
  EXPECT_EQ(ws->params.held(Held::TextFileName), "");
  EXPECT_FALSE(ws->params.chb(copycheck::kLoadSaved));
}

TEST_F(PrintFreshCopy, FullA3SheetStaysAfterPrinting) {
  CopyState& cs = copyState(*ws);
  printState(*ws).shownView = [](Workspace&) { return ShownView::A3Preview; };
  ws->params.setCheck(Check::ChA3, true);
  ws->page = Bitmap::create(300, 400, 1);
  ws->a3 = Bitmap::create(800, 400, 1);
  cs.copyMade = true;
  cs.freshCopy = true;
  cs.a3State = 2;
  ws->shared.copySaved = false;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(printer->drawnPixels, 800);
  EXPECT_EQ(cs.a3State, 2);
  EXPECT_EQ(ws->a3.width, 800);
  EXPECT_FALSE(fs::exists(root / "ForPrint.bmp"));
}

using PrintRepeatGuard = PrintFixture;

TEST_F(PrintRepeatGuard, SecondPrintWithinFiveSecondsAsks) {
  load(200, 300, kPrintA4Page);
  ws->params.setTn(11, "2");
  EXPECT_TRUE(printPicture(*ws));
  clock += 4.9;
  prompts.answers = {Answer::No};
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_EQ(lastShown(), "Печатать ещё 2 копии ?");
  EXPECT_EQ(prompts.shown.back().buttons, Buttons::YesNo);
  EXPECT_EQ(printer->documents, 1);
  clock += 5.0;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(printer->copies, 2);
}

TEST_F(PrintRepeatGuard, JustLoadedByOpeningDoesNotAsk) {
  load(200, 300, kPrintA4Page);
  EXPECT_TRUE(printPicture(*ws));
  printState(*ws).justLoaded = true;
  clock += 1;
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_FALSE(printState(*ws).justLoaded);
}

TEST_F(PrintRepeatGuard, CopiesBelowOnePrintOne) {
  load(200, 300, kPrintA4Page);
  ws->params.setTn(11, "0");
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_EQ(printer->copies, 1);
}

using PrintErrors = PrintFixture;

TEST_F(PrintErrors, LoadingAMissingFile) {
  EXPECT_FALSE(loadForPrinting(*ws, (root / "none.bmp").string(), kPrintA4Page));
  EXPECT_EQ(lastShown().rfind("Ошибка загрузки для печати\r\n53 ", 0), 0u) << lastShown();
  EXPECT_EQ(printState(*ws).kind, kPrintNothing);
}

TEST_F(PrintErrors, RefusedPaper) {
  load(200, 300, kPrintA4Page);
  printer->paper = kPaperA3;
  printer->refusePaper = true;
  prompts.answers = {Answer::Yes};
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_EQ(lastShown(), "Недопустимый формат бумаги\r\n482 Printer error");
}

TEST_F(PrintErrors, RefusedDrawing) {
  load(200, 300, kPrintA4Page);
  printer->refuseDraw = true;
  EXPECT_FALSE(printPicture(*ws));
  EXPECT_EQ(lastShown(), "Ошибка печати PaintPicture\r\n482 Printer error");
  EXPECT_EQ(printState(*ws).step, 0);
}

TEST(PrintSizes, OneToOneAt600And1200Dpi) {
  // 4800 pixels = 8 inches = 11520 twips at 600 dpi.
  const int him = static_cast<int>(4800 * 2540.0 / 96 + 0.5);
  PrintSize s = printSize(false, false, 1, 1, 4, 11906, 16838, 4800, 2400, him, him / 2, false);
  EXPECT_NEAR(s.width, 11520, 3);
  EXPECT_NEAR(s.height, 5760, 2);
  s = printSize(false, false, 1.5, 0.5, 4, 11906, 16838, 4800, 2400, him, him / 2, false);
  EXPECT_NEAR(s.width, 17280, 4);
  EXPECT_NEAR(s.height, 2880, 1);
  s = printSize(false, false, 1, 1, 4, 11906, 16838, 4800, 2400, him, him / 2, true);
  EXPECT_NEAR(s.width, 5760, 2);
}

TEST(PrintSizes, FitWithAndWithoutProportions) {
  const double m = 4 * 1440 / 25.4;
  PrintSize s = printSize(true, false, 1, 1, 4, 11906, 16838, 100, 100, 0, 0, false);
  EXPECT_DOUBLE_EQ(s.width, 11906 - 2 * m);
  EXPECT_DOUBLE_EQ(s.height, 16838 - 2 * m);
  // Twice as high as wide on a page of aspect 1.41: fills the height, keeps the aspect.
  s = printSize(true, true, 1, 1, 4, 11906, 16838, 1000, 2000, 0, 0, false);
  EXPECT_DOUBLE_EQ(s.height, 16838 - 2 * m);
  EXPECT_DOUBLE_EQ(s.width * 2, s.height);
  // A wide picture fills the width.
  s = printSize(true, true, 1, 1, 4, 11906, 16838, 2000, 1000, 0, 0, false);
  EXPECT_DOUBLE_EQ(s.width, 11906 - 2 * m);
  EXPECT_DOUBLE_EQ(s.height * 2, s.width);
}

TEST_F(PrintFixture, DrawnSizeFollowsTheFitOption) {
  load(4800, 7000, kPrintA4Page);
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_NEAR(printer->drawnWidth, 11520, 3);
  clock += 10;
  ws->params.setChb(80, true);
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_DOUBLE_EQ(printer->drawnWidth, 11906 - 2 * 4 * 1440 / 25.4);
}

TEST_F(PrintFixture, A1200DpiFileIsHalved) {
  load(4800, 7000, kPrintA4Page, kPixelsPerMetre1200);
  EXPECT_TRUE(printPicture(*ws));
  EXPECT_NEAR(printer->drawnWidth, 5760, 2);
}

TEST(PrintCopiesNoun, FormsOfTheNumber) {
  EXPECT_EQ(copiesCaption(1), "копию");
  EXPECT_EQ(copiesCaption(11), "копий");
  EXPECT_EQ(copiesCaption(12), "копий");
  EXPECT_EQ(copiesCaption(21), "копию");
  EXPECT_EQ(copiesCaption(22), "копии");
  EXPECT_EQ(copiesCaption(101), "копию");
  EXPECT_EQ(copiesCaption(111), "копий");
}

TEST(PrintPanel, StateTexts) {
  EXPECT_EQ(paperName(9, 0, 0, 2), "A4, 210 x 297 mm");
  EXPECT_EQ(paperName(256, 56.693 * 100, 56.693 * 150, 2), "100 x 150");
  EXPECT_EQ(trayText(2), " Нижний лоток");
  EXPECT_EQ(trayText(7), " Лоток по умолчанию");
  EXPECT_EQ(trayText(15), " Код лотка 15");
  EXPECT_EQ(qualityText(-4), " Разрешение = -4");
  EXPECT_EQ(orientationText(kLandscape), " Альбомная ориентация");
  EXPECT_EQ(orientationText(kPortrait), " Книжная ориентация");
}

TEST_F(PrintFixture, PanelChoicesReachThePrinter) {
  ws->params.setCheck(Check::ChA3, true);
  choosePaper(*ws, 2);
  EXPECT_EQ(printer->paper, kPaperA3);
  chooseTray(*ws, 1);
  EXPECT_EQ(printer->trayCode, 2);
  chooseQuality(*ws, 2);
  EXPECT_EQ(printer->qualityValue, -3);
  chooseOrientation(*ws, 2);
  EXPECT_EQ(printer->orient, kLandscape);
  chooseQuality(*ws, 7);
  EXPECT_EQ(lastShown(), "Недопустимо");
  printer->refusePaper = true;
  choosePaper(*ws, 0);
  EXPECT_EQ(lastShown(), "Недопустимый формат бумаги");
  const PrintPanelView v = printPanelView(*ws);
  EXPECT_EQ(v.printers, std::vector<std::string>{"Fake"});
  EXPECT_EQ(v.orientation, " Альбомная ориентация");
}

TEST(PrintFilePrinters, BmpWritesThePictureAndItsTextNumbered) {
  const fs::path dir = fs::temp_directory_path() / "quillaro-print-bmp";
  fs::remove_all(dir);
  fs::create_directories(dir);
  ASSERT_TRUE(writeTextFile((dir / "Print-0041.bmp").string(), "x"));
  ASSERT_TRUE(writeTextFile((dir / "Print-x.bmp").string(), "x"));
  BmpFilePrinter bmp([dir] { return dir.string(); });
  Bitmap b = Bitmap::create(120, 130, 8);
  b.setGrey(5, 6, 17);
  ASSERT_TRUE(bmp.setOrientation(kLandscape));
  ASSERT_TRUE(bmp.setCopies(3));
  ASSERT_TRUE(bmp.drawPicture(b, kPixelsPerMetre600, 1000.4, 2000.6));
  ASSERT_TRUE(bmp.endDocument());
  EXPECT_EQ(bmp.lastBitmapPath(), (dir / "Print-0042.bmp").string());
  const std::string expected = "/tmp/x.bmp";
  const std::string ref = (dir / "ref.bmp").string();
  ASSERT_TRUE(writeBitmap(ref, b, kPixelsPerMetre600));
  EXPECT_EQ(readWholeFile(bmp.lastBitmapPath()), readWholeFile(ref));
  EXPECT_EQ(readWholeFile((dir / "Print-0042.txt").string()),
            std::string("Paper=9\r\nOrientation=2\r\nTray=7\r\nQuality=-4\r\nCopies=3\r\nRect=0, 0, 1000, 2001\r\n"));
  EXPECT_EQ(nextPrintNumber(dir.string(), {"bmp"}), 43);
  EXPECT_EQ(nextPrintNumber((dir / "absent").string(), {"bmp"}), 1);
  EXPECT_FALSE(bmp.setPaperCode(99));
  EXPECT_FALSE(bmp.drawPicture(Bitmap(), 0, 1, 1));
  fs::remove_all(dir);
}

TEST(PrintFilePrinters, MissingFolderIsAnError) {
  BmpFilePrinter bmp([] { return std::string("/nonexistent-quillaro/x"); });
  ASSERT_TRUE(bmp.drawPicture(Bitmap::create(100, 100, 1), kPixelsPerMetre600, 1, 1));
  EXPECT_FALSE(bmp.endDocument());
  EXPECT_EQ(bmp.lastError().number, 76);
}

}  // namespace
}  // namespace quillaro
