// Every command of the action language end to end: a program text run by the runner on a
// connected workspace against the same operation called directly on a second workspace set
// up alike. Pictures, the page image and the A3 sheet must come out byte for byte the same,
// and the run must leave the user's settings as they were. A few programs also go through
// the command line of the built program.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "automation/composition.h"
#include "automation/runner.h"
#include "base/files.h"
#include "image/bmp_file.h"
#include "model/copy_state.h"
#include "model/workspace.h"
#include "ops/a3_sheet.h"
#include "ops/copy_engine.h"
#include "ops/density_ops.h"
#include "ops/file_printers.h"
#include "ops/new_sheet.h"
#include "ops/open.h"
#include "ops/picture_commands.h"
#include "ops/print.h"
#include "ops/settings_file.h"
#include "ops/tone_ops.h"
#include "support/picture_compare.h"
#include "support/run_quillaro.h"
#include "support/sample_scan.h"
#include "support/scripted_prompts.h"
#include "support/session.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

using testing::hasInk;
using testing::samePixels;

using Side = testing::Session;

// "a, b, c" as its trimmed pieces.
std::vector<std::string> pieces(const std::string& csv) {
  std::vector<std::string> out;
  std::stringstream in(csv);
  for (std::string s; std::getline(in, s, ',');) {
    const auto b = s.find_first_not_of(' ');
    out.push_back(b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(' ') - b + 1));
  }
  return out;
}

// The drawing rectangle typed into its four fields.
void typeRect(Workspace& ws, const std::string& ltwh) {
  const auto v = pieces(ltwh);
  for (int i = 0; i < 4; ++i) ws.params.setTn(24 + i, v[static_cast<std::size_t>(i)]);
}

// The positional fields of a copy line typed into the panel as a user would: the page image
// first, the frame position before its size (so that the frame is not cut on the way).
void typeCopyFields(Workspace& ws, const std::string& csv) {
  namespace F = copyfield;
  const auto v = pieces(csv);
  const bool multi = ws.params.chb(copycheck::kMultiCopy);
  const std::size_t page = multi ? 12 : 8;
  ParamStore& p = ws.params;
  if (v.size() > page + 1) {
    p.setTn(F::kPageWidth, v[page]);
    p.setTn(F::kPageHeight, v[page + 1]);
  }
  for (auto [k, field] : {std::pair{0, F::kZoneLeft}, {1, F::kZoneTop}, {4, F::kFrameLeft}, {5, F::kFrameTop},
                          {2, F::kFrameWidth}, {3, F::kFrameHeight}, {6, F::kScale}, {7, F::kAngle}})
    p.setTn(field, v[static_cast<std::size_t>(k)]);
  if (multi) {
    for (auto [k, field] : {std::pair{8, F::kAcross}, {9, F::kDown}, {10, F::kStepAcross}, {11, F::kStepDown}})
      p.setTn(field, v[static_cast<std::size_t>(k)]);
  }
}

using PanelSetup = std::function<void(Workspace&)>;

// Runs a program on the side; the run leaves the settings as they were before it.
void runKeepingSettings(Side& s, const std::string& text) {
  const std::string before = buildSettingsText(s.ws);
  runText(s.ws, text);
  EXPECT_EQ(buildSettingsText(s.ws), before) << "the run left the settings changed";
}

struct ProgramEndToEnd : ::testing::Test {
  static inline std::unique_ptr<testing::TempDir> scans;
  static inline std::string page1, page2, grey, colour, ruledGrey;

  static void SetUpTestSuite() {
    scans = std::make_unique<testing::TempDir>();
    auto make = [](const char* name, int bits, std::uint64_t seed, int w, int h) {
      const std::string path = testing::writeSampleScan(scans->at(name), bits, seed, w, h);
      EXPECT_FALSE(path.empty()) << name;
      return path;
    };
    page1 = make("page1.bmp", 1, 3, 2600, 3600);
    page2 = make("page2.bmp", 1, 4, 2600, 3600);
    grey = make("grey.bmp", 8, 5, 900, 1200);
    colour = make("colour.bmp", 24, 6, 700, 900);
    // Grey line finding takes only 0 for black: a page ruled with thin pure black lines.
    Bitmap ruled = Bitmap::create(900, 1200, 8);
    for (int k = 100; k < 1200; k += 90)
      for (int x = 20; x < 880; ++x) {
        ruled.setGrey(x, k, 0);
        ruled.setGrey(x, k + 1, 0);
      }
    ruledGrey = scans->at("ruled.bmp");
    EXPECT_TRUE(writeBitmap(ruledGrey, ruled, kPixelsPerMetre600));
  }
  static void TearDownTestSuite() { scans.reset(); }

  testing::TempDir dir;
  Side prog{dir.sub("prog")};
  Side direct{dir.sub("direct")};

  static std::string open(const std::string& path, const std::string& keys = "") {
    return "Open, SRC=\"" + path + "\"" + (keys.empty() ? "" : ", " + keys) + "\r\n";
  }
  void run(const std::string& text) { runKeepingSettings(prog, text); }
  void expectSamePictures() {
    EXPECT_TRUE(samePixels(prog.ws.image.bitmap, direct.ws.image.bitmap)) << "picture";
    EXPECT_TRUE(samePixels(prog.ws.page, direct.ws.page)) << "page image";
    EXPECT_TRUE(samePixels(prog.ws.a3, direct.ws.a3)) << "A3 sheet";
    EXPECT_EQ(prog.ws.shared.bitDepth, direct.ws.shared.bitDepth);
  }
};

TEST_F(ProgramEndToEnd, OpenWithItsOptionsOnEveryDepth) {
  struct Case {
    const std::string* file;
    const char* keys;
    int bits;  // of the opened picture
    bool keepColour;
    int printKind;
    PanelSetup panel;
  };
  const Case cases[] = {
      {&page1, "", 1, false, kPrintNothing, [](Workspace&) {}},
      {&grey, "BW=25 Contrast=1.6 Black=1 White=1", 8, false, kPrintNothing,
       [](Workspace& w) {
         w.params.setHeld(Held::Brightness, "25");
         w.params.setTn(56, "1.6");
         w.params.setChb(57, true);
         w.params.setChb(58, true);
       }},
      {&grey, "To1bit=1 BW=150", 1, false, kPrintNothing,
       [](Workspace& w) {
         w.params.setHeld(Held::Threshold, "150");
         w.params.setChb(55, true);
       }},
      {&colour, "RGB=1", 8, false, kPrintNothing, [](Workspace& w) { w.params.setChb(56, true); }},
      {&colour, "Contrast=1.3 BW=-10", 24, true, kPrintNothing,
       [](Workspace& w) {
         w.params.setHeld(Held::Brightness, "-10");
         w.params.setTn(56, "1.3");
       }},
      {&page1, "ForPrint=1", 1, false, kPrintOriginal, [](Workspace& w) { w.params.setChb(0, true); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(*c.file + " " + c.keys);
    testing::TempDir d;
    Side p(d.sub("p")), q(d.sub("q"));
    for (Side* s : {&p, &q}) {
      s->ws.params.setChb(70, true);  // tone correction at opening
      s->ws.params.setChb(73, c.keepColour);
    }
    runKeepingSettings(p, open(*c.file, c.keys));
    c.panel(q.ws);
    ASSERT_TRUE(openPicture(q.ws, *c.file));
    EXPECT_EQ(p.ws.image.bitmap.bits, c.bits);
    EXPECT_TRUE(samePixels(p.ws.image.bitmap, q.ws.image.bitmap));
    EXPECT_EQ(p.ws.image.path, *c.file);
    EXPECT_EQ(printState(p.ws).kind, c.printKind);
    EXPECT_EQ(printState(q.ws).kind, c.printKind);
    EXPECT_EQ(printState(p.ws).loadedName, printState(q.ws).loadedName);
    EXPECT_TRUE(p.prompts.shown.empty()) << p.shown();
  }
}

TEST_F(ProgramEndToEnd, ReloadTakesThePageImageTurnedAsAsked) {
  // A small page image (fields 9-10) keeps the turns quick. Any other field reloads nothing.
  const char* copy = "Copy, 2, 3, 100, 120, 4, 4, 100, 0, 108, 128\r\n";
  const std::pair<const char*, char> cases[] = {
      {"Reload, L", 'L'}, {"Reload, X", '-'}};
  for (const auto& [line, turn] : cases) {
    SCOPED_TRACE(line);
    testing::TempDir d;
    Side p(d.sub("p")), q(d.sub("q"));
    runText(p.ws, open(page1) + copy + line + "\r\n");
    ASSERT_TRUE(openPicture(q.ws, page1));
    typeCopyFields(q.ws, "2, 3, 100, 120, 4, 4, 100, 0, 108, 128");
    ASSERT_TRUE(copyPage(q.ws));
    if (turn != '-') {
      ASSERT_TRUE(reloadCopy(q.ws, turn));
    }
    EXPECT_EQ(p.ws.page.width, 2551);  // 108 mm
    EXPECT_TRUE(samePixels(p.ws.image.bitmap, q.ws.image.bitmap));
    EXPECT_EQ(copyState(p.ws).editingCopy, turn != '-');
    EXPECT_TRUE(p.prompts.shown.empty()) << p.shown();
  }
}

// One copy line and the same copy made by hand: the flags set in the panel (`before`), the
// fields typed, the scales typed after them (`after`), then the copy button.
struct CopyStep {
  std::string fields;
  std::string keys;
  PanelSetup before = [](Workspace&) {};
  PanelSetup after = [](Workspace&) {};
};

struct CopyCase {
  const char* name;
  std::vector<CopyStep> steps;
  std::function<void(Workspace& prog, Workspace& direct)> more = [](Workspace&, Workspace&) {};
};

// The copy check boxes ticked by hand (their click handling runs).
PanelSetup tick(std::initializer_list<Check> boxes) {
  return [list = std::vector<Check>(boxes)](Workspace& w) {
    for (Check c : list) w.params.setCheck(c, true);
  };
}

TEST_F(ProgramEndToEnd, CopyLinesWithEveryOption) {
  namespace C = copycheck;
  const CopyCase cases[] = {
      {"plain", {{"3, 5, 202, 289, 4, 4, 100, 0", ""}}},
      {"landscape mirrored",
       {{"0, 0, 289, 202, 4, 4, 100, 0", "Land=1 Mirror=1", tick({Check::ChLand, Check::ChMirror})}}},
      {"scale and angle", {{"2, 2, 150, 200, 20, 30, 80, 150", ""}},
       [](Workspace& p, Workspace& d) { EXPECT_EQ(p.params.tn(copyfield::kAngle), d.params.tn(copyfield::kAngle)); }},
      {"axis scales",
       {{"0, 0, 150, 200, 10, 10, 100, 0", "ScaleX=150 ScaleY=70", [](Workspace&) {},
         [](Workspace& w) {
           w.params.setTn(copyfield::kScaleX, "150");
           w.params.setTn(copyfield::kScaleY, "70");
         }}}},
      {"2 in 1, lower then upper A5",
       {{"0, 0, 180, 120, 10, 10, 100, 0", "2in1=1", tick({Check::Ch2in1})},
        {"20, 40, 180, 120, 10, 10, 100, 0", "2in1=1 2of2=1 Mirror=1", tick({Check::Ch2of2, Check::ChMirror})}},
       [](Workspace& p, Workspace&) {
         // 2 in 1 is off again after the run, and the upper A5 with it.
         EXPECT_FALSE(p.params.check(Check::Ch2in1));
         EXPECT_FALSE(p.params.check(Check::Ch2of2));
       }},
      {"two originals turned back",
       {{"0, 0, 120, 180, 10, 10, 100, 0", "2in1=1 2origin=1", tick({Check::Ch2origin})},
        {"30, 30, 120, 180, 10, 10, 100, 0", "2in1=1 2origin=1 2of2=1 BackRotat=1",
         tick({Check::Ch2of2, Check::ChBackRotat})}},
       [](Workspace& p, Workspace&) {
         EXPECT_FALSE(p.params.check(Check::Ch2origin));
         EXPECT_FALSE(p.params.check(Check::ChBackRotat));
       }},
      {"paste onto the page",
       {{"0, 0, 202, 289, 4, 4, 100, 0", ""},
        {"40, 60, 50, 50, 120, 150, 100, 0", "Paste=1", tick({Check::ChPaste})}}},
      {"form 370",
       {{"0, 0, 150, 200, 20, 20, 100, 0", "Form=1", tick({Check::ChForm})}},
       [](Workspace& p, Workspace&) {
         EXPECT_EQ(p.page.width, 4913);  // 216 - 2 x 4 mm
         EXPECT_EQ(p.page.height, 7783);  // 333.5 - 4 mm
       }},
      {"mask on the copy",
       {{"0, 0, 202, 289, 4, 4, 100, 0", "Mask=5A5A",
         [](Workspace& w) {
           w.params.setChb(C::kMaskOnCopy, true);
           w.setMaskPattern("5A5A");
         }}}},
      {"4 in 1, two quarters",
       {{"0, 0, 90, 130, 10, 10, 100, 0", "4in1=1", [](Workspace& w) { w.params.setChb(C::kFourInOne, true); }},
        {"20, 30, 90, 130, 110, 10, 100, 0", "4in1=2"}},
       [](Workspace& p, Workspace& d) {
         EXPECT_EQ(copyState(d).quadrant, 2);
         // "4 в 1" is off again after the run: the next copy begins a whole page.
         EXPECT_FALSE(p.params.chb(copycheck::kFourInOne));
         EXPECT_EQ(copyState(p).quadrant, 0);
       }},
      {"multi-copy: counts and steps, not a page size",
       {{"0, 0, 50, 60, 10, 10, 100, 0, 3, 2, 60, 70", "MultiCopy=1",
         [](Workspace& w) { w.params.setChb(C::kMultiCopy, true); }}},
       [](Workspace& p, Workspace& d) {
         EXPECT_EQ(p.page.width, 4772);
         EXPECT_EQ(p.page.height, 6827);
         EXPECT_EQ(copyState(p).copyCounter, 6);
         EXPECT_EQ(copyState(d).copyCounter, 6);
       }},
  };
  for (const CopyCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir d;
    Side p(d.sub("p")), q(d.sub("q"));
    std::string program = open(page1);
    ASSERT_TRUE(openPicture(q.ws, page1));
    for (const CopyStep& s : c.steps) {
      program += "Copy, " + s.fields + (s.keys.empty() ? "" : ", " + s.keys) + "\r\n";
      s.before(q.ws);
      typeCopyFields(q.ws, s.fields);
      s.after(q.ws);
      ASSERT_TRUE(copyPage(q.ws));
    }
    runKeepingSettings(p, program);
    ASSERT_FALSE(p.ws.page.empty()) << program;
    EXPECT_TRUE(hasInk(p.ws.page));
    EXPECT_TRUE(samePixels(p.ws.page, q.ws.page)) << program;
    EXPECT_TRUE(copyState(p.ws).freshCopy);
    c.more(p.ws, q.ws);
    EXPECT_TRUE(p.prompts.shown.empty()) << p.shown();
    EXPECT_TRUE(q.prompts.shown.empty()) << q.shown();
  }
}

TEST_F(ProgramEndToEnd, RectangleCommandsOnOneBitGreyAndColour) {
  struct Case {
    const std::string* file;
    const char* line;  // after the word: the rectangle comes from `rect`
    const char* rect;
    std::function<bool(Workspace&)> op;  // the panel as the line sets it, then the operation
  };
  const char* r1 = "10, 15, 60, 40";
  const char* r8 = "3, 4, 25, 30";
  // The directions of the density and line width operations, and "+ - углы".
  using Op = std::function<bool(Workspace&)>;
  auto width = [](bool h, bool v, bool corners, bool thicker, bool variant) -> Op {
    return [=](Workspace& w) {
      w.params.setChb(6, h);
      w.params.setChb(7, v);
      w.params.setChb(34, corners);
      return lineWidthOp(w, thicker, variant);
    };
  };
  auto dense = [](const char* lineWidth, bool v, bool plus) -> Op {
    return [=](Workspace& w) {
      w.params.setTn(10, lineWidth);
      w.params.setChb(6, true);
      w.params.setChb(7, v);
      w.params.setChb(34, false);
      return denseThinOp(w, plus);
    };
  };
  const Case cases[] = {
      {&page1, "Mask, %, 5A5A", r1, [](Workspace& w) { return maskSelection(w, "5A5A"); }},
      {&page1, "DenseThin, %, W=6", r1, dense("6", true, false)},
      {&page1, "DenseThin, %, W=5 V=0", r1, dense("5", false, false)},
      {&page1, "D+, %", r1, width(true, true, false, true, false)},
      {&page1, "D-/, %, H=0", r1, width(false, true, false, false, true)},
      {&page1, "DC+, %", r1, width(true, true, true, true, false)},
      {&ruledGrey, "DenseThin, %, W=5", r8, dense("5", true, false)},
      {&grey, "DarkRelWhite, %, Contrast=1.3", r8,
       [](Workspace& w) { w.params.setTn(57, "1.3"); return darkRelWhiteOp(w); }},
      {&grey, "DBC, %, BW=-20 Contrast=1.4 Black=0 White=1", r8,
       [](Workspace& w) {
         w.params.setHeld(Held::Brightness, "-20");
         w.params.setTn(56, "1.4");
         w.params.setChb(57, false);
         w.params.setChb(58, true);
         return brightnessContrastOp(w);
       }},
      {&colour, "DBC, %, BW=15 Contrast=0.8", r8,
       [](Workspace& w) {
         w.params.setHeld(Held::Brightness, "15");
         w.params.setTn(56, "0.8");
         w.params.setChb(57, true);  // on unless Black=0
         w.params.setChb(58, false);
         return brightnessContrastOp(w);
       }},
      {&grey, "Mask, %, 0F0F, OnGray=1", r8,
       [](Workspace& w) { w.params.setChb(59, true); return maskSelection(w, "0F0F"); }},
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    line.replace(line.find('%'), 1, c.rect);
    SCOPED_TRACE(line);
    testing::TempDir d;
    Side p(d.sub("p")), q(d.sub("q"));
    for (Side* s : {&p, &q}) s->ws.params.setChb(73, true);  // colour stays colour
    runKeepingSettings(p, open(*c.file) + line + "\r\n");
    ASSERT_TRUE(openPicture(q.ws, *c.file));
    const Bitmap opened = q.ws.image.bitmap.clone();
    typeRect(q.ws, c.rect);
    ASSERT_TRUE(c.op(q.ws));
    EXPECT_FALSE(samePixels(opened, q.ws.image.bitmap)) << "the operation changes the picture";
    EXPECT_TRUE(samePixels(p.ws.image.bitmap, q.ws.image.bitmap));
    EXPECT_TRUE(p.prompts.shown.empty()) << p.shown();
  }
}

// Print file n of the BMP file printer writing into `folder`: its settings text, its picture.
std::string printedText(const std::string& folder, int n) {
  return readWholeFile(folder + "/" + printFileStem(n) + ".txt").value_or("(none)");
}
Bitmap printedPicture(const std::string& folder, int n) {
  return std::move(readBitmap(folder + "/" + printFileStem(n) + ".bmp", ReadOptions{}, nullptr).image.bitmap);
}

// The sheet of two pages is what gets printed, not the original last opened.
TEST_F(ProgramEndToEnd, A3SheetOfTwoPagesIsPrinted) {
  const std::string copy = "Copy, 3, 5, 202, 289, 4, 4, 100, 0\r\n";
  run(open(page1) + copy + "A3, 1\r\n" + open(page2) + copy + "A3, 2\r\nPrint, 1\r\n");
  direct.ws.params.setCheck(Check::ChA3, true);
  for (const std::string* file : {&page1, &page2}) {
    ASSERT_TRUE(openPicture(direct.ws, *file));
    typeCopyFields(direct.ws, "3, 5, 202, 289, 4, 4, 100, 0");
    ASSERT_TRUE(copyPage(direct.ws));
    ASSERT_TRUE(toA3(direct.ws));
  }
  ASSERT_EQ(copyState(direct.ws).a3State, 2);
  printPicture(direct.ws);
  expectSamePictures();
  EXPECT_EQ(copyState(prog.ws).a3State, 2);
  EXPECT_EQ(prog.ws.a3.width, 2 * 4772 + 189);
  EXPECT_FALSE(prog.ws.params.check(Check::ChA3)) << "A3 is on for the run only";
  for (Side* s : {&prog, &direct}) {
    EXPECT_TRUE(samePixels(printedPicture(s->home, 1), s->ws.a3)) << s->home;
    // The A4 printer is asked to take A3 paper, landscape (the default answers).
    EXPECT_EQ(s->shown(),
              "[Формат принтера A4\r\nТребуется A3\r\nСменить A4 на A3 ?] "
              "[Ориентация принтера книжная\r\nТребуется альбомная\r\nСменить ?] ");
    EXPECT_EQ(printedText(s->home, 1).substr(0, 24), "Paper=8\r\nOrientation=2\r\n");
  }
}

#ifdef QUILLARO_EXE
// The built program, hidden, printing to "BMP" into the saved pictures folder.
struct CommandLineRun {
  testing::TempDir dir;
  std::string err;
  int run(const std::string& program) {
    EXPECT_TRUE(writeTextFile(dir.sub("home") + "/Quillaro.ini",
                              "SavePath=\"" + dir.sub("saved") + "\"\r\nChRemind=0\r\nChWrite=0\r\n"));
    EXPECT_TRUE(writeTextFile(dir.at("prog.pfp"), program));
    const testing::ProgramExit e =
        testing::runQuillaroHidden(dir.at("home"), "'" + dir.at("prog.pfp") + "' hide=1 exit=1 printer=BMP", dir.at("stderr.txt"));
    err = e.err;
    return e.status;
  }
};

TEST_F(ProgramEndToEnd, CommandLineLandscapeMirroredCopyIsPrintedAsTheDirectCopy) {
  CommandLineRun cl;
  ASSERT_EQ(cl.run(open(page1) + "Copy, 0, 0, 289, 202, 4, 4, 100, 0, Land=1 Mirror=1\r\nPrint, 1\r\n"), 0) << cl.err;
  ASSERT_TRUE(openPicture(direct.ws, page1));
  tick({Check::ChLand, Check::ChMirror})(direct.ws);
  typeCopyFields(direct.ws, "0, 0, 289, 202, 4, 4, 100, 0");
  ASSERT_TRUE(copyPage(direct.ws));
  EXPECT_EQ(direct.ws.page.width, 6827);
  EXPECT_TRUE(samePixels(printedPicture(cl.dir.at("saved"), 1), direct.ws.page)) << cl.err;
  const std::string text = printedText(cl.dir.at("saved"), 1);
  EXPECT_NE(text.find("Orientation=2"), std::string::npos) << text;
}

TEST_F(ProgramEndToEnd, CommandLineA3SheetIsPrintedWhole) {
  CommandLineRun cl;
  const std::string copy = "Copy, 3, 5, 202, 289, 4, 4, 100, 0\r\n";
  ASSERT_EQ(cl.run(open(page1) + copy + "A3, 1\r\n" + open(page2) + copy + "A3, 2\r\nPrint, 1\r\n"), 0) << cl.err;
  const Bitmap printed = printedPicture(cl.dir.at("saved"), 1);
  EXPECT_EQ(printed.width, 2 * 4772 + 189) << cl.err;
  EXPECT_EQ(printed.height, 6827);
}
#endif

}  // namespace
}  // namespace quillaro
