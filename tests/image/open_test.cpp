#include "image/open.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "adjust/tone.h"
#include "app/param_store.h"
#include "app/workspace.h"
#include "copy/copy_state.h"
#include "image/bmp_file.h"
#include "image/bmp_test_util.h"
#include "image/sample_page.h"
#include "support/scripted_prompts.h"
#include "support/status_log.h"

namespace quillaro {
namespace {

using testing::StatusLog;

struct Opening : ::testing::Test {
  testing::TempDir dir;
  testing::ScriptedPrompts prompts;
  StatusLog status;
  Workspace ws{&prompts, &status};
  ParamStore& p = ws.params;

  Opening() {
    p.setChb(30, true);  // record actions
    p.setTz(0, "");
  }
  // A colour file of 120 x 100 whose every pixel is the given colour, except pixel (0, 0)
  // (top left) which is `first`.
  std::string colourFile(const std::string& name, Rgb all, Rgb first) {
    Bitmap b = Bitmap::create(120, 100, 24);
    for (int y = 0; y < b.height; ++y)
      for (int x = 0; x < b.width; ++x) b.setRgb(x, y, all);
    b.setRgb(0, 0, first);
    const std::string path = dir.at(name);
    EXPECT_TRUE(writeBitmap(path, b, kPixelsPerMetre600));
    return path;
  }
  std::string greyFile(const std::string& name, std::uint8_t all, std::uint8_t first) {
    Bitmap b = Bitmap::create(100, 110, 8);
    b.fill(all);
    b.setGrey(0, 0, first);
    const std::string path = dir.at(name);
    EXPECT_TRUE(writeBitmap(path, b, kPixelsPerMetre600));
    return path;
  }
  std::string sampleFile(const std::string& name, int bits) {
    SamplePageOptions o;
    o.width = 160;
    o.height = 130;
    o.bits = bits;
    Bitmap b = makeSamplePage(o);
    const std::string path = dir.at(name);
    EXPECT_TRUE(writeBitmap(path, b, kPixelsPerMetre600));
    return path;
  }
  std::string quoted(const std::string& path) { return "Open, SRC=\"" + path + "\""; }
};

// ---- Depths and options -------------------------------------------------------------

TEST_F(Opening, GreyFileOpensAsItIsWithAPlainLine) {
  const std::string path = sampleFile("scan01.bmp", 8);
  ASSERT_TRUE(openPicture(ws, path));
  ReadResult direct = readBitmap(path, ReadOptions{}, nullptr);
  ASSERT_TRUE(direct.ok());
  const Bitmap& b = ws.image.bitmap;
  EXPECT_EQ(b.bits, 8);
  EXPECT_EQ(ws.shared.bitDepth, 8);
  EXPECT_TRUE(std::equal(b.data(), b.data() + b.byteCount(), direct.image.bitmap.data()));
  EXPECT_EQ(p.tz(0), quoted(path) + "\r\n");
  EXPECT_TRUE(ws.image.loaded);
  EXPECT_FALSE(ws.image.busy);
  EXPECT_EQ(ws.image.lastPath, path);
  EXPECT_EQ(p.held(Held::TextFileName), "scan01.bmp");
  EXPECT_EQ(openState(ws).sizeX, " X = 7 :  160");
  EXPECT_EQ(openState(ws).sizeY, " Y = 6 :  130");
  EXPECT_EQ(status.texts.front(), "Открытие 0 MB");
  EXPECT_EQ(status.texts.back(), path.size() >= 25 ? "scan01.bmp" : path);
}

TEST_F(Opening, ColourScanBecomesGreyFromGreenOrFromTheWeights) {
  const std::string path = sampleFile("colour.bmp", 24);
  ReadResult colour = readBitmap(path, ReadOptions{}, nullptr);
  ASSERT_TRUE(colour.ok());
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
  EXPECT_EQ(p.tz(0), quoted(path) + "\r\n" + quoted(path) + " RGB=1" + "\r\n");
}

TEST_F(Opening, ColourToGreyWithTheToneMapProtectsBlackAndWhite) {
  const std::string path = colourFile("c.bmp", Rgb{0, 0, 0}, Rgb{0, 100, 0});
  p.setChb(70, true);
  p.setHeld(Held::Brightness, "50");
  p.setTn(56, "1");
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(ws.image.bitmap.grey(0, 0), 150);
  EXPECT_EQ(ws.image.bitmap.grey(5, 5), 0);  // black kept
  EXPECT_EQ(p.tz(0), quoted(path) + " BW=50" + "\r\n");
  p.setChb(57, true);
  ws.image.lastPath.clear();
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(ws.image.bitmap.grey(5, 5), 50);
}

TEST_F(Opening, ColourToOneBitByTheThreshold) {
  const std::string path = colourFile("c.bmp", Rgb{0, 140, 0}, Rgb{0, 139, 0});
  p.setChb(55, true);
  p.setHeld(Held::Threshold, "140");
  ASSERT_TRUE(openPicture(ws, path));
  const Bitmap& b = ws.image.bitmap;
  ASSERT_EQ(b.bits, 1);
  EXPECT_EQ(ws.shared.bitDepth, 1);
  EXPECT_FALSE(b.isWhite(0, 0));
  EXPECT_TRUE(b.isWhite(1, 0));
  EXPECT_TRUE(b.isWhite(0, 1));
  EXPECT_EQ(p.tz(0), quoted(path) + " To1bit=1" + "\r\n");
  p.setHeld(Held::Threshold, "150");
  ws.image.lastPath.clear();
  p.setTz(0, "");
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_FALSE(ws.image.bitmap.isWhite(1, 0));
  EXPECT_EQ(p.tz(0), quoted(path) + " To1bit=1 BW=150" + "\r\n");
}

TEST_F(Opening, ColourKeptWithCorrectionChannelByChannel) {
  const std::string path = colourFile("c.bmp", Rgb{255, 255, 255}, Rgb{254, 255, 255});
  p.setChb(73, true);
  p.setChb(70, true);
  p.setTn(56, "0.5");
  ASSERT_TRUE(openPicture(ws, path));
  const Bitmap& b = ws.image.bitmap;
  ASSERT_EQ(b.bits, 24);
  EXPECT_EQ(ws.shared.bitDepth, 24);
  EXPECT_EQ(b.rgb(1, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(b.rgb(0, 0), (Rgb{127, 128, 128}));
  EXPECT_EQ(p.tz(0), quoted(path) + " Contrast=0.5" + "\r\n");
}

TEST_F(Opening, GreyWithBrightnessContrastAndWhite) {
  const std::string path = greyFile("g.bmp", 255, 100);
  p.setChb(70, true);
  p.setChb(58, true);
  p.setHeld(Held::Brightness, "0");
  p.setTn(56, "1");  // neutral: no correction, no options
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(ws.image.bitmap.grey(0, 0), 100);
  EXPECT_EQ(p.tz(0), quoted(path) + "\r\n");
  ws.image.lastPath.clear();
  p.setTz(0, "");
  p.setHeld(Held::Brightness, "-20");
  p.setTn(56, "1.5");
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(ws.image.bitmap.grey(0, 0), 130);
  EXPECT_EQ(ws.image.bitmap.grey(3, 3), 255);  // 255 x 1.5 - 20 clamped
  EXPECT_EQ(p.tz(0), quoted(path) + " BW=-20 Contrast=1.5 White=1" + "\r\n");
}

TEST_F(Opening, GreyToOneBitWithTheThresholdText) {
  const std::string path = greyFile("g.bmp", 140, 139);
  p.setChb(55, true);
  p.setHeld(Held::Threshold, "140");
  ASSERT_TRUE(openPicture(ws, path));
  ASSERT_EQ(ws.image.bitmap.bits, 1);
  EXPECT_FALSE(ws.image.bitmap.isWhite(0, 0));
  EXPECT_TRUE(ws.image.bitmap.isWhite(1, 0));
  EXPECT_EQ(p.tz(0), quoted(path) + " To1bit=1" + "\r\n");
}

TEST_F(Opening, OneBitFileGetsNoOptionsButForPrint) {
  const std::string path = sampleFile("b.bmp", 1);
  p.setChb(55, true);
  p.setChb(56, true);
  p.setChb(70, true);
  p.setHeld(Held::Threshold, "150");
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(ws.image.bitmap.bits, 1);
  EXPECT_EQ(p.tz(0), quoted(path) + "\r\n");
  p.setChb(0, true);
  std::string printed;
  copyState(ws).loadForPrint = [&](Workspace&, const std::string& s) { printed = s; };
  ws.image.lastPath.clear();
  p.setTz(0, "");
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(p.tz(0), quoted(path) + " ForPrint=1" + "\r\n");
  EXPECT_EQ(printed, path);
  EXPECT_TRUE(copyState(ws).printEnabled);
}

// ---- Refusals leave the previous picture --------------------------------------------

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
    EXPECT_EQ(ws.image.bitmap.bits, 8);
    EXPECT_EQ(ws.image.bitmap.grey(5, 5), 77);
    EXPECT_EQ(ws.shared.bitDepth, 8);
    EXPECT_EQ(p.tz(0), "kept");
    EXPECT_EQ(p.held(Held::TextFileName), "first.bmp");
    EXPECT_FALSE(ws.image.busy);
    EXPECT_TRUE(ws.image.loaded);
  }
};

// The exact texts of the reader's refusals are checked in bmp_read_test; here each one is
// shown once and leaves the previous picture, whatever the options say.
TEST_F(OpeningRefused, BrokenFilesLeaveThePreviousPicture) {
  testing::BmpSpec four, small;
  four.bits = 4;
  small.width = 99;
  testing::writeBytes(dir.at("t.bmp"), std::string(300, 'x'));
  testing::writeBytes(dir.at("f.bmp"), four.build());
  testing::writeBytes(dir.at("s.bmp"), small.build());
  testing::writeBytes(dir.at("h.bmp"), testing::BmpSpec{}.build().substr(0, 30));
  p.setChb(55, true);  // the depth must not follow the options of a refused file
  std::size_t shown = 0;
  for (const char* name : {"none.bmp", "t.bmp", "f.bmp", "s.bmp", "h.bmp"}) {
    EXPECT_FALSE(openPicture(ws, dir.at(name))) << name;
    EXPECT_EQ(prompts.shown.size(), ++shown) << name;
  }
  EXPECT_EQ(prompts.shown[0].text, "Нет файла " + dir.at("none.bmp"));
  EXPECT_EQ(prompts.shown[2].text, "f.bmp -  4-бит");
  expectUnchanged();
}

TEST_F(OpeningRefused, ChangedPictureAndTheUsersNo) {
  const std::string other = greyFile("other.bmp", 10, 10);
  p.setChb(30, false);
  p.setChb(31, true);
  ws.image.modified = 1;
  prompts.answers = {Answer::No};
  EXPECT_FALSE(openPicture(ws, other));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Рисунок был изменён, не сохранять ?");
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::YesNo);
  EXPECT_EQ(ws.image.bitmap.grey(5, 5), 77);
  prompts.answers = {Answer::Yes};
  EXPECT_TRUE(openPicture(ws, other));
  EXPECT_EQ(ws.image.bitmap.grey(5, 5), 10);
  p.setChb(30, true);  // while actions are recorded nothing is asked
  ws.image.modified = 1;
  EXPECT_TRUE(openPicture(ws, first));
  EXPECT_EQ(prompts.shown.size(), 2u);
}

TEST_F(OpeningRefused, CompositionCheckRefuses) {
  ws.page = Bitmap::create(200, 200, 8);
  p.setChb(55, true);  // the new picture would be 1-bit: the 8-bit copy would be lost
  prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(openPicture(ws, greyFile("other.bmp", 10, 10)));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_FALSE(ws.page.empty());
  expectUnchanged();
}

// ---- Same file, steps after reading --------------------------------------------------

TEST_F(Opening, SameUnchangedFileIsReadOnceAndRecordedOnce) {
  const std::string path = greyFile("g.bmp", 90, 90);
  ASSERT_TRUE(openPicture(ws, path));
  const std::uint8_t* pixels = ws.image.bitmap.data();
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(ws.image.bitmap.data(), pixels);
  EXPECT_EQ(p.tz(0), quoted(path) + "\r\n");
  ws.image.modified = 1;  // an edited picture is read again
  p.setChb(31, false);
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(p.tz(0), quoted(path) + "\r\n" + quoted(path) + "\r\n");
}

TEST_F(Opening, AngleSecondHalfAndSaveName) {
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
  ws.image.lastPath.clear();
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(p.tn(12), "25");
}

TEST_F(Opening, CopyLineOfTheFileIsApplied) {
  const std::string path = greyFile("scan3.bmp", 90, 90);
  p.setChb(77, true);
  p.setChb(30, false);
  p.setTz(0, "Open, SRC=\"SCAN3.BMP\"\r\nCopy, 0, 0, 202, 289, 4, 4, 100, 0\r\nOpen, SRC=\"x.bmp\"\r\n");
  int applied = 0;
  ws.ops.readCopyRecord = [&](Workspace&) { ++applied; };
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(p.tzCursor(0), 23u);
  EXPECT_EQ(applied, 1);
  p.setChb(77, false);
  ws.image.lastPath.clear();
  ASSERT_TRUE(openPicture(ws, path));
  EXPECT_EQ(applied, 1);
}

TEST_F(Opening, AutomaticCopyIsStartedUnlessAProgramRuns) {
  p.setChb(52, true);
  int started = 0;
  openState(ws).startAutoCopy = [&](Workspace&) { ++started; };
  ASSERT_TRUE(openPicture(ws, greyFile("g.bmp", 90, 90)));
  EXPECT_EQ(started, 1);
  EXPECT_TRUE(openState(ws).autoCopyPending);
  EXPECT_EQ("Стоп", p.caption(namedLabelId(NamedLabel::ComCopy)));
  ws.actions.runDepth = 1;
  ASSERT_TRUE(openPicture(ws, greyFile("h.bmp", 90, 90)));
  EXPECT_EQ(started, 1);
}

// ---- Names, labels and the copy line search ------------------------------------------

TEST(OpenNames, SaveNameParityAndLabels) {
  EXPECT_EQ(saveNameFor("scan01.bmp", true, "-Print"), "scan01-Print.bmp");
  EXPECT_EQ(saveNameFor("scan01.bmp", false, "-Print"), "scan01.bmp");
  EXPECT_EQ(saveNameFor("лист.bmp", true, "-П"), "лист-П.bmp");
  EXPECT_EQ(saveNameFor("ab", true, "-P"), "-P.bmp");
  EXPECT_EQ(pageParityOf("page7.bmp"), 1);
  EXPECT_EQ(pageParityOf("page10.bmp"), 2);
  EXPECT_EQ(pageParityOf("page.bmp"), 0);
  EXPECT_EQ(pageParityOf("page0.bmp"), 2);
  EXPECT_EQ(trailingNumber("p12345678901234567890.bmp") % 2, 0);
  EXPECT_EQ(sizeLabel('X', 4961, 23.622), " X = 210 :  4961");
  EXPECT_EQ(sizeLabel('Y', 7016, 23.622), " Y = 297 :  7016");
}

TEST(OpenNames, CopyLineSearch) {
  const std::string text =
      "Open, SRC=\"a1.bmp\"\r\nCopy, 1\r\nCopy, 2, 2of2=1\r\nOpen, SRC=\"A2.bmp\"\r\nCopy, 3";
  EXPECT_EQ(findCopyLineFor(text, "a1.bmp", false, false), text.find("Copy, 1"));
  EXPECT_EQ(findCopyLineFor(text, "a1.bmp", true, true), text.find("Copy, 2"));
  EXPECT_EQ(findCopyLineFor(text, "a1.bmp", true, false), text.find("Copy, 1"));
  EXPECT_EQ(findCopyLineFor(text, "a2.bmp", false, false), text.find("Copy, 3"));
  EXPECT_EQ(findCopyLineFor(text, "a2.bmp", true, true), std::string::npos);
  EXPECT_EQ(findCopyLineFor(text, "a3.bmp", false, false), std::string::npos);
  EXPECT_EQ(findCopyLineFor("Open, SRC=\"a1.bmp\"\r\nOpen, SRC=\"b\"\r\nCopy, 1", "a1.bmp", false, false),
            std::string::npos);
}

}  // namespace
}  // namespace quillaro
