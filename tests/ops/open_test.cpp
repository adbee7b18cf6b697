#include "automation/composition.h"
#include "ops/print.h"
#include "support/recording_view.h"
#include "ops/open.h"

#include <gtest/gtest.h>

#include <string>

#include "kernels/tone.h"
#include "model/param_store.h"
#include "model/workspace.h"
#include "model/copy_state.h"
#include "image/bmp_file.h"
#include "support/bmp_test_util.h"
#include "image/sample_page.h"
#include "support/scripted_prompts.h"
#include "support/status_log.h"

namespace quillaro {
namespace {

struct Opening : ::testing::Test {
  testing::TempDir dir;
  testing::ScriptedPrompts prompts;
  testing::StatusLog status;
  Workspace ws{&prompts, &status};
  ParamStore& p = ws.params;

  Opening() {
    connectWorkspace(ws);
    p.setChb(30, true);  // record actions
    p.setTz(0, "");
  }
  std::string file(const std::string& name, const Bitmap& b) {
    EXPECT_TRUE(writeBitmap(dir.at(name), b, kPixelsPerMetre600));
    return dir.at(name);
  }
  // Every pixel `all` but the top left one, which is `first`.
  std::string colourFile(const std::string& name, Rgb all, Rgb first) {
    Bitmap b = Bitmap::create(120, 100, 24);
    for (int y = 0; y < b.height; ++y)
      for (int x = 0; x < b.width; ++x) b.setRgb(x, y, x || y ? all : first);
    return file(name, b);
  }
  std::string greyFile(const std::string& name, std::uint8_t all, std::uint8_t first) {
    Bitmap b = Bitmap::create(100, 110, 8);
    b.fill(all);
    b.setGrey(0, 0, first);
    return file(name, b);
  }
  std::string sampleFile(const std::string& name, int bits) {
    SamplePageOptions o;
    o.width = 160;
    o.height = 130;
    o.bits = bits;
    return file(name, makeSamplePage(o));
  }
  // Opens again as a fresh file with an empty record.
  bool reopen(const std::string& path) {
    ws.image.lastPath.clear();
    p.setTz(0, "");
    return openPicture(ws, path);
  }
  static std::string line(const std::string& path, const std::string& options = "") {
    return "Open, SRC=\"" + path + "\"" + options + "\r\n";
  }
};

TEST_F(Opening, GreyFileOpensAsItIsWithAPlainLine) {
  const std::string path = sampleFile("scan01.bmp", 8);
  ASSERT_TRUE(openPicture(ws, path));
  ReadResult direct = readBitmap(path, ReadOptions{}, nullptr);
  const Bitmap& b = ws.image.bitmap;
  EXPECT_EQ(ws.shared.bitDepth, 8);
  EXPECT_TRUE(std::equal(b.data(), b.data() + b.byteCount(), direct.image.bitmap.data()));
  EXPECT_EQ(p.tz(0), line(path));
  EXPECT_TRUE(ws.image.loaded);
  EXPECT_FALSE(ws.image.busy);
  EXPECT_EQ(p.held(Held::TextFileName), "scan01.bmp");
  EXPECT_EQ(openState(ws).sizeX, " X = 7 :  160");
  EXPECT_EQ(openState(ws).sizeY, " Y = 6 :  130");
  EXPECT_EQ(status.texts.front(), "Открытие 0 MB");
  EXPECT_EQ(status.texts.back(), path.size() >= 25 ? "scan01.bmp" : path);
}

TEST_F(Opening, ColourScanBecomesGreyFromGreenOrFromTheWeights) {
  const std::string path = sampleFile("colour.bmp", 24);
  ReadResult colour = readBitmap(path, ReadOptions{}, nullptr);
  for (bool weighted : {false, true}) {
    p.setChb(56, weighted);
    ws.image.lastPath.clear();
    ASSERT_TRUE(openPicture(ws, path));
    const Bitmap& g = ws.image.bitmap;
    ASSERT_EQ(g.bits, 8);
    const GreyReduction mode = weighted ? GreyReduction::Weighted : GreyReduction::Green;
    for (int y = 0; y < g.height; y += 7)
      for (int x = 0; x < g.width; x += 5) {
        const Rgb c = colour.image.bitmap.rgb(x, y);
        ASSERT_EQ(g.grey(x, y), greyOf(c.blue, c.green, c.red, mode)) << x << "," << y;
      }
  }
  EXPECT_EQ(p.tz(0), line(path) + line(path, " RGB=1"));
}

TEST_F(Opening, ToneCorrectionOnColourAndGrey) {
  // Colour to grey with the tone map: black and white are protected unless ChB(57).
  const std::string c = colourFile("c.bmp", Rgb{0, 0, 0}, Rgb{0, 100, 0});
  p.setChb(70, true);
  p.setHeld(Held::Brightness, "50");
  p.setTn(56, "1");
  ASSERT_TRUE(openPicture(ws, c));
  EXPECT_EQ(ws.image.bitmap.grey(0, 0), 150);
  EXPECT_EQ(ws.image.bitmap.grey(5, 5), 0);
  EXPECT_EQ(p.tz(0), line(c, " BW=50"));
  p.setChb(57, true);
  ASSERT_TRUE(reopen(c));
  EXPECT_EQ(ws.image.bitmap.grey(5, 5), 50);
  // Grey with brightness, contrast and white; neutral values give no options.
  const std::string g = greyFile("g.bmp", 255, 100);
  p.setChb(57, false);
  p.setChb(58, true);
  p.setHeld(Held::Brightness, "0");
  ASSERT_TRUE(reopen(g));
  EXPECT_EQ(ws.image.bitmap.grey(0, 0), 100);
  EXPECT_EQ(p.tz(0), line(g));
  p.setHeld(Held::Brightness, "-20");
  p.setTn(56, "1.5");
  ASSERT_TRUE(reopen(g));
  EXPECT_EQ(ws.image.bitmap.grey(0, 0), 130);
  EXPECT_EQ(ws.image.bitmap.grey(3, 3), 255);  // 255 x 1.5 - 20 clamped
  EXPECT_EQ(p.tz(0), line(g, " BW=-20 Contrast=1.5 White=1"));
  // Colour kept, corrected channel by channel.
  const std::string k = colourFile("k.bmp", Rgb{255, 255, 255}, Rgb{254, 255, 255});
  p.setChb(73, true);
  p.setChb(58, false);
  p.setHeld(Held::Brightness, "0");
  p.setTn(56, "0.5");
  ASSERT_TRUE(reopen(k));
  ASSERT_EQ(ws.image.bitmap.bits, 24);
  EXPECT_EQ(ws.image.bitmap.rgb(1, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(ws.image.bitmap.rgb(0, 0), (Rgb{127, 128, 128}));
  EXPECT_EQ(p.tz(0), line(k, " Contrast=0.5"));
}

TEST_F(Opening, ColourAndGreyToOneBitByTheThreshold) {
  p.setChb(55, true);
  p.setHeld(Held::Threshold, "140");
  for (const std::string& path : {colourFile("c.bmp", Rgb{0, 140, 0}, Rgb{0, 139, 0}), greyFile("g.bmp", 140, 139)}) {
    ASSERT_TRUE(reopen(path));
    ASSERT_EQ(ws.image.bitmap.bits, 1);
    EXPECT_EQ(ws.shared.bitDepth, 1);
    EXPECT_FALSE(ws.image.bitmap.isWhite(0, 0));
    EXPECT_TRUE(ws.image.bitmap.isWhite(1, 0));
    EXPECT_EQ(p.tz(0), line(path, " To1bit=1"));
  }
  p.setHeld(Held::Threshold, "150");
  ASSERT_TRUE(reopen(dir.at("c.bmp")));
  EXPECT_FALSE(ws.image.bitmap.isWhite(1, 0));
  EXPECT_EQ(p.tz(0), line(dir.at("c.bmp"), " To1bit=1 BW=150"));
}

TEST_F(Opening, OneBitFileGetsNoOptionsButForPrint) {
  const std::string path = sampleFile("b.bmp", 1);
  for (int chb : {55, 56, 70}) p.setChb(chb, true);
  p.setHeld(Held::Threshold, "150");
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(ws.image.bitmap.bits, 1);
  EXPECT_EQ(p.tz(0), line(path));
  p.setChb(0, true);
  ASSERT_TRUE(reopen(path));
  EXPECT_EQ(p.tz(0), line(path, " ForPrint=1"));
  EXPECT_EQ(printState(ws).loadedName, "b.bmp");  // loaded for printing as it opened
  EXPECT_TRUE(copyState(ws).printEnabled);
}

// ---- Refusals leave the previous picture ----------------------------------------------

struct OpeningRefused : Opening {
  std::string first;
  void SetUp() override {
    first = greyFile("first.bmp", 77, 77);
    ASSERT_TRUE(openPicture(ws, first));
    p.setTz(0, "kept");
    prompts.shown.clear();
  }
  void expectUnchanged() {
    EXPECT_EQ(ws.image.lastPath, first);
    EXPECT_EQ(ws.image.bitmap.grey(5, 5), 77);
    EXPECT_EQ(ws.shared.bitDepth, 8);
    EXPECT_EQ(p.tz(0), "kept");
    EXPECT_EQ(p.held(Held::TextFileName), "first.bmp");
    EXPECT_FALSE(ws.image.busy);
  }
};

// The reader's messages are checked in bmp_read_test; here each one is shown once.
TEST_F(OpeningRefused, BrokenFilesLeaveThePreviousPicture) {
  testing::BmpLayout four, small;
  four.bits = 4;
  small.width = 99;
  testing::writeBytes(dir.at("t.bmp"), std::string(300, 'x'));
  testing::writeBytes(dir.at("f.bmp"), four.build());
  testing::writeBytes(dir.at("s.bmp"), small.build());
  testing::writeBytes(dir.at("h.bmp"), testing::BmpLayout{}.build().substr(0, 30));
  testing::writeBytes(dir.at("c.bmp"), testing::BmpLayout{}.build().substr(0, 5000));  // cut off
  p.setChb(55, true);  // the depth must not follow the options of a refused file
  std::size_t shown = 0;
  for (const char* name : {"none.bmp", "t.bmp", "f.bmp", "s.bmp", "h.bmp", "c.bmp"}) {
    EXPECT_FALSE(openPicture(ws, dir.at(name))) << name;
    EXPECT_EQ(prompts.shown.size(), ++shown) << name;
  }
  EXPECT_EQ(prompts.shown[0].text, "Нет файла " + dir.at("none.bmp"));
  expectUnchanged();
}

TEST_F(OpeningRefused, ChangedPictureTheUsersNoAndTheCompositionCheck) {
  const std::string other = greyFile("other.bmp", 10, 10);
  p.setChb(30, false);
  p.setChb(31, true);
  ws.image.modified = 1;
  prompts.answers = {Answer::No};
  EXPECT_FALSE(openPicture(ws, other));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Рисунок был изменён, не сохранять ?");
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::YesNo);
  p.setChb(30, true);  // while actions are recorded nothing is asked
  ws.page = Bitmap::create(200, 200, 8);
  p.setChb(55, true);  // the new picture would be 1-bit: the 8-bit copy would be lost
  prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(openPicture(ws, other));
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_FALSE(ws.page.empty());
  expectUnchanged();
  p.setChb(55, false);
  p.setChb(30, false);
  prompts.answers = {Answer::Yes};
  EXPECT_TRUE(openPicture(ws, other));
}

// ---- Same file, steps after reading ----------------------------------------------------

TEST_F(Opening, SameUnchangedFileIsReadOnceAndRecordedOnce) {
  const std::string path = greyFile("g.bmp", 90, 90);
  ASSERT_TRUE(openPicture(ws, path));
  const std::uint8_t* pixels = ws.image.bitmap.data();
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(ws.image.bitmap.data(), pixels);
  EXPECT_EQ(p.tz(0), line(path));
  ws.image.modified = 1;  // an edited picture is read again
  p.setChb(31, false);
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(p.tz(0), line(path) + line(path));
}

TEST_F(Opening, AngleSecondHalfSaveNameAndTheCopyLine) {
  const std::string path = greyFile("page7.bmp", 90, 90);
  p.setTn(12, "25");
  p.setCheck(Check::Ch2of2, true);
  p.setChb(26, true);
  p.setTtb(1, "-Print");
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(p.tn(12), "0");
  EXPECT_FALSE(p.check(Check::Ch2of2));
  EXPECT_EQ(p.held(Held::TextFileName), "page7-Print.bmp");
  EXPECT_EQ(openState(ws).pageParity, 1);
  p.setTn(12, "25");
  p.setChb(65, true);
  ASSERT_TRUE(reopen(path));
  EXPECT_EQ(p.tn(12), "25");

  p.setChb(77, true);  // the file's copy line in the program is applied
  p.setChb(30, false);
  p.setTz(0, "Open, SRC=\"PAGE7.BMP\"\r\nCopy, 0, 0, 202, 289, 4, 4, 100, 0\r\nOpen, SRC=\"x.bmp\"\r\n");
  p.setTn(18, "150");
  ws.image.lastPath.clear();
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(p.tzCursor(0), 23u);
  EXPECT_EQ(p.tn(18), "202");  // the frame width of the copy line
}

TEST_F(Opening, AutomaticCopyIsStartedUnlessAProgramRuns) {
  p.setChb(52, true);
  testing::RecordingView view;
  ws.view = &view;
  ASSERT_TRUE(openPicture(ws, greyFile("g.bmp", 90, 90)));
  EXPECT_EQ(view.count("autocopy"), 1);
  EXPECT_EQ("Стоп", p.caption(namedLabelId(NamedLabel::ComCopy)));
  ws.actions.runDepth = 1;
  ASSERT_TRUE(openPicture(ws, greyFile("h.bmp", 90, 90)));
  EXPECT_EQ(view.count("autocopy"), 1);
}

// Edges the openings above do not reach.
TEST(OpenNames, ShortNamesLongNumbersAndTheHalfOfTheCopyLine) {
  EXPECT_EQ(saveNameFor("ab", true, "-P"), "-P.bmp");
  EXPECT_EQ(saveNameFor("лист.bmp", true, "-П"), "лист-П.bmp");
  EXPECT_EQ(pageParityOf("page.bmp"), 0);
  EXPECT_EQ(trailingNumber("p12345678901234567890.bmp") % 2, 0);
  const std::string text = "Open, SRC=\"a1.bmp\"\r\nCopy, 1\r\nCopy, 2, 2of2=1\r\nOpen, SRC=\"A2.bmp\"\r\nCopy, 3";
  EXPECT_EQ(findCopyLineFor(text, "a1.bmp", true, true), text.find("Copy, 2"));
  EXPECT_EQ(findCopyLineFor(text, "a2.bmp", true, true), std::string::npos);
  EXPECT_EQ(findCopyLineFor("Open, SRC=\"a1.bmp\"\r\nOpen, SRC=\"b\"\r\nCopy, 1", "a1.bmp", false, false),
            std::string::npos);
}

}  // namespace
}  // namespace quillaro
