// The lines that the operations record, run through their own entry points on a connected
// workspace and compared with the literal lines of the action language.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/test_clock.h"
#include "automation/composition.h"
#include "image/bitmap.h"
#include "image/bmp_file.h"
#include "model/copy_state.h"
#include "model/workspace.h"
#include "ops/a3_sheet.h"
#include "ops/copy_engine.h"
#include "ops/copy_record.h"
#include "ops/density_ops.h"
#include "ops/file_printers.h"
#include "ops/new_sheet.h"
#include "ops/open.h"
#include "ops/picture_commands.h"
#include "ops/print.h"
#include "ops/printer.h"
#include "ops/tone_ops.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

// One panel value: 'c' ChB(i), 't' TN(i), 'b' the brightness text, 'w' the threshold text,
// 'n' the named check box i (on), 'm' the mask pattern.
struct Value {
  char kind;
  int index;
  const char* text = "1";
};
using Values = std::vector<Value>;

void apply(Workspace& ws, const Values& values) {
  ParamStore& p = ws.params;
  for (const Value& v : values) {
    const std::string t = v.text;
    switch (v.kind) {
      case 'c': p.setChb(v.index, t == "1"); break;
      case 't': p.setTn(v.index, t); break;
      case 'b': p.setHeld(Held::Brightness, t); break;
      case 'w': p.setHeld(Held::Threshold, t); break;
      case 'n': p.setCheck(static_cast<Check>(v.index), true); break;
      case 'm': ws.setMaskPattern(t); break;
    }
  }
}

// A small scan of 120 x 130 dots with black lines two dots thick across and down.
Bitmap scan(int bits) {
  Bitmap b = Bitmap::create(120, 130, bits);
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      if (!((y >= 40 && y < 42) || (x >= 50 && x < 52))) continue;
      if (bits == 1) b.setWhite(x, y, false);
      else if (bits == 8) b.setGrey(x, y, 0);
      else b.setRgb(x, y, {0, 0, 0});
    }
  return b;
}

struct Recorded : ::testing::Test {
  testing::TempDir tmp;
  testing::ScriptedPrompts prompts;
  std::unique_ptr<Workspace> ws;

  void SetUp() override { fresh(); }
  // A new connected workspace with recording on and nothing recorded yet.
  void fresh() {
    ws = std::make_unique<Workspace>(&prompts);
    connectWorkspace(*ws);
    ws->params.setChb(30, true);
    ws->shared.folders[kFolderSaved] = tmp.sub("saved");
  }
  ParamStore& p() { return ws->params; }
  const std::string& program() { return ws->params.tz(0); }

  // Writes the scan as a file of `bits` and opens it; the path.
  std::string open(int bits, const std::string& name = "") {
    static int n = 0;
    const std::string path = tmp.at(name.empty() ? "scan" + std::to_string(++n) + ".bmp" : name);
    EXPECT_TRUE(writeBitmap(path, scan(bits), kPixelsPerMetre600));
    EXPECT_TRUE(openPicture(*ws, path));
    return path;
  }
  static std::string openLine(const std::string& path) { return "Open, SRC=\"" + path + "\""; }
  void rect(const char* l, const char* t, const char* w, const char* h) {
    int i = 24;
    for (const char* v : {l, t, w, h}) p().setTn(i++, v);
  }
  // The program after the Open line of `path`.
  std::string afterOpen(const std::string& path) {
    const std::string head = openLine(path) + "\r\n";
    EXPECT_TRUE(program().starts_with(head)) << program();
    return program().substr(std::min(head.size(), program().size()));
  }
};

TEST_F(Recorded, OpenLineCarriesTheOptionsThatApply) {
  struct Case {
    int bits;
    Values values;
    const char* options;
  };
  const Case cases[] = {
      {1, {}, ""},
      {1, {{'c', 55}, {'c', 56}, {'c', 70}, {'b', 0, "-20"}}, ""},  // no tone options at 1 bit
      {1, {{'c', 0}}, " ForPrint=1"},
      {8, {}, ""},
      {8, {{'b', 0, "-20"}}, ""},  // correction off
      {8, {{'c', 70}}, ""},        // brightness 0 and contrast 1: no correction
      {8, {{'c', 70}, {'b', 0, "-20"}, {'t', 56, "1.5"}, {'c', 58}}, " BW=-20 Contrast=1.5 White=1"},
      {8, {{'c', 70}, {'b', 0, "7"}, {'c', 57}}, " BW=7 Black=1"},
      {8, {{'c', 0}, {'c', 55}, {'w', 0, "120"}}, " ForPrint=1 To1bit=1 BW=120"},
      {24, {{'c', 55}}, " To1bit=1"},
      {24, {{'c', 55}, {'w', 0, "150"}}, " To1bit=1 BW=150"},
      {24, {{'c', 55}, {'w', 0, "139.6"}}, " To1bit=1"},  // the threshold used is 140
      {24, {{'c', 56}, {'c', 70}, {'b', 0, "5"}, {'t', 56, "1.25"}, {'c', 57}}, " RGB=1 BW=5 Contrast=1.25 Black=1"},
  };
  std::string path;
  for (const Case& c : cases) {
    fresh();
    apply(*ws, c.values);
    path = open(c.bits);
    EXPECT_EQ(program(), openLine(path) + c.options + "\r\n") << c.bits << "-bit";
  }
  // The same unchanged file opened again is not read again and records nothing.
  EXPECT_TRUE(openPicture(*ws, path));
  EXPECT_EQ(program(), openLine(path) + " RGB=1 BW=5 Contrast=1.25 Black=1\r\n");
}

// A colour file kept in colour is not converted: the value of the tone map is the
// brightness, and it goes into " BW=" because "Открывать как 1-битный" is on.
TEST_F(Recorded, OpenLineOfAColourFileKeptInColourCarriesTheBrightness) {
  apply(*ws, {{'c', 73}, {'c', 55}, {'c', 70}, {'b', 0, "-20"}, {'t', 56, "1.5"}});
  const std::string path = open(24);
  EXPECT_EQ(program(), openLine(path) + " To1bit=1 BW=-20\r\n");
}

TEST_F(Recorded, NewSheetsAndTurns) {
  ASSERT_TRUE(newSheet(*ws, 0, false));
  ASSERT_TRUE(turnPictureOver(*ws));
  ASSERT_TRUE(turnPictureRight(*ws));
  ASSERT_TRUE(turnPictureLeft(*ws));
  ASSERT_TRUE(newSheet(*ws, 3, false));
  ASSERT_TRUE(newSheet(*ws, 2, true));  // made by a program: no line
  ASSERT_TRUE(newSheet(*ws, 1, false));
  EXPECT_EQ(program(), "New\r\nOver\r\nRight\r\nLeft\r\nNew, L, F=A5\r\nNew, L\r\n");
}

TEST_F(Recorded, ConversionTo1bit) {
  const std::string first = open(8);
  ASSERT_TRUE(convertPictureTo1bit(*ws));
  EXPECT_FALSE(convertPictureTo1bit(*ws));  // already 1 bit: nothing
  p().setHeld(Held::Threshold, "150");
  const std::string second = open(8);
  ASSERT_TRUE(convertPictureTo1bit(*ws));
  EXPECT_EQ(program(), openLine(first) + "\r\nConvertTo1bit\r\n" + openLine(second) + "\r\nConvertTo1bit, BW=150\r\n");
}

// The rectangle is written by the number formatter: 1.25 with one decimal is 1.3.
TEST_F(Recorded, MaskAndErase) {
  const std::string one = open(1);
  rect("1.25", "2", "3", "2.5");
  p().setChb(59, true);  // masks on grey: not for 1-bit pictures
  ASSERT_TRUE(maskSelection(*ws, "5a5a"));
  ASSERT_TRUE(maskSelection(*ws, "FFFF"));
  EXPECT_EQ(afterOpen(one), "Mask, 1.3, 2, 3, 2.5, 5A5A\r\nErase, 1.3, 2, 3, 2.5\r\n");
  fresh();
  const std::string grey = open(8);
  rect("1", "2", "3", "2.5");
  p().setChb(59, true);
  ASSERT_TRUE(maskSelection(*ws, "0A0A"));
  ASSERT_TRUE(maskSelection(*ws, "FFFF"));
  p().setChb(59, false);
  ASSERT_TRUE(maskSelection(*ws, "0A0A"));
  EXPECT_EQ(afterOpen(grey), "Mask, 1, 2, 3, 2.5, 0A0A, OnGray=1\r\nErase, 1, 2, 3, 2.5, OnGray=1\r\n"
                             "Mask, 1, 2, 3, 2.5, 0A0A\r\n");
}

TEST_F(Recorded, DensityAndLineWidth) {
  const std::string path = open(1);
  rect("0", "0", "5", "5");
  ASSERT_TRUE(denseThinOp(*ws, false));
  apply(*ws, {{'t', 10, "3"}, {'c', 7, "0"}});
  ASSERT_TRUE(denseThinOp(*ws, true));
  apply(*ws, {{'c', 7}, {'c', 34, "0"}});
  ASSERT_TRUE(lineWidthOp(*ws, true, false));
  apply(*ws, {{'c', 34}});
  ASSERT_TRUE(lineWidthOp(*ws, false, true));
  apply(*ws, {{'c', 6, "0"}});  // corners need both directions
  ASSERT_TRUE(lineWidthOp(*ws, true, true));
  EXPECT_EQ(afterOpen(path),
            "DenseThin, 0, 0, 5, 5\r\n"
            "DenseThin, 0, 0, 5, 5, W=3, Plus=1, H=1 V=0\r\n"
            "D+, 0, 0, 5, 5\r\n"
            "D-/C, 0, 0, 5, 5\r\n"
            "D+/, 0, 0, 5, 5, H=0 V=1\r\n");
  fresh();
  p().setChb(73, true);  // "Цвет 24 бит": the colour file stays 24-bit
  open(24);
  rect("0", "0", "5", "5");
  EXPECT_FALSE(denseThinOp(*ws, false));  // not for colour
  fresh();
  const std::string grey = open(8);
  rect("0", "0", "5", "5");
  EXPECT_FALSE(lineWidthOp(*ws, true, false));  // 1 bit only
  EXPECT_EQ(program(), openLine(grey) + "\r\n");
}


TEST_F(Recorded, BrightnessContrastAndDarkRelWhite) {
  const std::string grey = open(8);
  rect("1", "2.5", "3", "2");
  apply(*ws, {{'b', 0, "-10"}, {'t', 56, "1.3"}, {'c', 57}, {'c', 58}});
  ASSERT_TRUE(brightnessContrastOp(*ws));
  apply(*ws, {{'b', 0, "0"}, {'t', 56, "1.2"}, {'c', 57, "0"}, {'c', 58, "0"}});
  ASSERT_TRUE(brightnessContrastOp(*ws));
  p().setTn(56, "1");
  EXPECT_FALSE(brightnessContrastOp(*ws));  // k = 1 and b = 0: nothing
  p().setTn(57, "1.5");
  ASSERT_TRUE(darkRelWhiteOp(*ws));
  EXPECT_EQ(afterOpen(grey),
            "DBC, 1, 2.5, 3, 2, BW=-10 Contrast=1.3 White=1\r\n"
            "DBC, 1, 2.5, 3, 2, Contrast=1.2 Black=0\r\n"
            "DarkRelWhite, 1, 2.5, 3, 2, Contrast=1.5\r\n");
  fresh();
  p().setChb(73, true);
  const std::string colour = open(24);
  rect("1", "2.5", "3", "2");
  p().setHeld(Held::Brightness, "5");
  ASSERT_TRUE(brightnessContrastOp(*ws));
  EXPECT_FALSE(darkRelWhiteOp(*ws));  // 8 bits only
  EXPECT_EQ(afterOpen(colour), "DBC, 1, 2.5, 3, 2, BW=5 Black=0\r\n");
  fresh();
  const std::string one = open(1);
  p().setHeld(Held::Brightness, "5");
  EXPECT_FALSE(brightnessContrastOp(*ws));
  EXPECT_EQ(program(), openLine(one) + "\r\n");
}

TEST_F(Recorded, CopyRecordsItsRecord) {
  // Frame left, top, width and height.
  auto frame = [](const char* l, const char* t, const char* w, const char* h) {
    return Values{{'t', 16, l}, {'t', 17, t}, {'t', 18, w}, {'t', 19, h}};
  };
  auto with = [](Values a, const Values& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const int land = static_cast<int>(Check::ChLand), mirror = static_cast<int>(Check::ChMirror),
            paste = static_cast<int>(Check::ChPaste), twoInOne = static_cast<int>(Check::Ch2in1),
            form = static_cast<int>(Check::ChForm);
  const Values small = frame("4", "4", "100", "100");
  struct Case {
    Values values;
    const char* line;
  };
  const Case cases[] = {
      {{}, "Copy, 0, 0, 202, 289, 4, 4, 100, 0"},
      {with(frame("10", "12", "100", "120"), {{'t', 20, "1.5"}, {'t', 21, "2"}, {'t', 22, "150"}, {'t', 60, "120"}, {'t', 12, "-40"}}),
       "Copy, 1.5, 2, 100, 120, 10, 12, 150, -40, ScaleX=120"},
      {with({{'n', land}}, with(small, {{'n', mirror}, {'n', paste}})),
       "Copy, 0, 0, 100, 100, 4, 4, 100, 0, Land=1 Mirror=1 Paste=1"},
      {with(small, {{'n', twoInOne}, {'t', 53, "5"}}), "Copy, 0, 0, 100, 100, 4, 4, 100, 0, 2in1=1 Mid=\"5\""},
      // "Середина - по размеру бумаги": no Mid.
      {with(small, {{'n', twoInOne}, {'t', 53, "5"}, {'c', 45}}), "Copy, 0, 0, 100, 100, 4, 4, 100, 0, 2in1=1"},
      // A grid of 2 x 2 copies; with no steps only one copy is made and no grid is written.
      {with(frame("4", "4", "40", "50"), {{'c', 9}, {'t', 0, "2"}, {'t', 1, "2"}, {'t', 28, "50"}, {'t', 29, "60"}}),
       "Copy, 0, 0, 40, 50, 4, 4, 100, 0, 2, 2, 50, 60, MultiCopy=1"},
      {with(frame("4", "4", "40", "50"), {{'c', 9}, {'t', 0, "2"}, {'t', 1, "2"}}), "Copy, 0, 0, 40, 50, 4, 4, 100, 0"},
      {with(frame("4", "4", "60", "60"), {{'c', 40}, {'m', 0, "0A0A"}}), "Copy, 0, 0, 60, 60, 4, 4, 100, 0, Mask=0A0A"},
      {with({{'t', 68, "150"}, {'t', 69, "200"}}, small), "Copy, 0, 0, 100, 100, 4, 4, 100, 0, 150, 200"},
      {with(small, {{'n', form}}), "Copy, 0, 0, 100, 100, 4, 4, 100, 0, Form=1"},
  };
  for (const Case& c : cases) {
    fresh();
    const std::string path = open(1);
    apply(*ws, c.values);
    ASSERT_TRUE(copyPage(*ws)) << c.line;
    EXPECT_EQ(afterOpen(path), std::string(c.line) + "\r\n");
  }
}

// Copy as is records its own fixed line instead of the record of the copy it makes.
TEST_F(Recorded, CopyAsIsRecordsItsFixedLine) {
  const std::string path = open(1);
  p().setTn(18, "100");
  ASSERT_TRUE(copyAsIs(*ws));
  p().setCheck(Check::ChLand, true);
  ASSERT_TRUE(copyAsIs(*ws));
  EXPECT_EQ(afterOpen(path), "Copy, 0, 0, 202, 289, 4, 4, 100, 0\r\nCopy, 0, 0, 289, 202, 4, 4, 100, 0, Land=1\r\n");
}

TEST_F(Recorded, A3HalvesReloadAndPrint) {
  PrinterList printers;
  printers.add(std::make_unique<BmpFilePrinter>([this] { return ws->shared.folders[kFolderSaved]; }));
  installPrinting(*ws, &printers);
  testing::TestClock clock;
  ws->clock = &clock;

  const std::string path = open(1);
  p().setCheck(Check::ChA3, true);
  ASSERT_TRUE(copyPage(*ws));
  ASSERT_TRUE(toA3(*ws));
  ASSERT_TRUE(copyPage(*ws));
  ASSERT_TRUE(toA3(*ws));
  EXPECT_FALSE(toA3(*ws));  // full, and no new copy: nothing added, nothing recorded
  p().setCheck(Check::ChA3, false);
  ASSERT_TRUE(copyPage(*ws));
  p().setTn(11, "2");
  ASSERT_TRUE(printPicture(*ws));
  EXPECT_TRUE(std::filesystem::exists(tmp.at("saved/Print-0001.bmp")));
  ASSERT_TRUE(reloadCopy(*ws, 'R'));
  ASSERT_TRUE(reloadCopy(*ws, 'L'));
  ASSERT_TRUE(reloadCopy(*ws));
  const std::string copy = "Copy, 0, 0, 202, 289, 4, 4, 100, 0\r\n";
  EXPECT_EQ(afterOpen(path), copy + "A3, 1\r\n" + copy + "A3, 2\r\n" + copy + "Print, 2\r\nReload, R\r\nReload, L\r\nReload\r\n");
}

TEST_F(Recorded, NothingWithRecordingOff) {
  p().setChb(30, false);
  open(1);
  rect("0", "0", "5", "5");
  ASSERT_TRUE(maskSelection(*ws, "FFFF"));
  ASSERT_TRUE(copyPage(*ws));
  ASSERT_TRUE(turnPictureOver(*ws));
  EXPECT_EQ(program(), "");
}

// In insertion mode the erase goes right after the Open line, before the copies made from
// it; the other picture lines are in the recorder's own table.
TEST_F(Recorded, InsertedEraseFollowsThePictureLine) {
  const std::string path = open(1);
  ASSERT_TRUE(copyPage(*ws));
  ASSERT_TRUE(copyPage(*ws));
  rect("1", "2", "3", "4");
  ws->recorder.insertionMode = true;
  ASSERT_TRUE(maskSelection(*ws, "FFFF"));
  ws->recorder.insertionMode = false;
  ASSERT_TRUE(maskSelection(*ws, "0A0A"));
  const std::string copy = "Copy, 0, 0, 202, 289, 4, 4, 100, 0\r\n";
  EXPECT_EQ(afterOpen(path), "Erase, 1, 2, 3, 4\r\n" + copy + copy + "Mask, 1, 2, 3, 4, 0A0A\r\n");
}

}  // namespace
}  // namespace quillaro
