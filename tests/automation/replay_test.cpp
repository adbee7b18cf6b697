// A session is recorded, then its program replayed on a fresh workspace over the same files:
// the pictures must come out identical.
#include <gtest/gtest.h>

#include "ops/copy_params.h"
#include "ops/copy_engine.h"
#include "ops/open.h"
#include "ops/picture_commands.h"
#include "ops/tone_ops.h"
#include "ops/density_ops.h"
#include "automation/runner.h"
#include "automation/composition.h"
#include "base/files.h"
#include "model/workspace.h"
#include "ops/a3_sheet.h"
#include "model/copy_state.h"
#include "ops/save.h"
#include "support/picture_compare.h"
#include "support/sample_scan.h"
#include "support/scripted_prompts.h"
#include "support/session.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

using testing::hasInk;
using testing::samePixels;

struct Session : testing::Session {
  explicit Session(const std::string& home) : testing::Session(home, true) {}
  void rect(std::initializer_list<const char*> ltwh) {
    int i = 24;
    for (const char* v : ltwh) ws.params.setTn(i++, v);
  }
};

TEST(RecordReplay, AGreySessionReplaysToTheSamePixels) {
  testing::TempDir dir;
  const std::string scan = testing::writeSampleScan(dir.at("scan.bmp"), 8, 11, 900, 1300);

  Session rec(dir.sub("home"));
  Workspace& ws = rec.ws;
  ASSERT_TRUE(openPicture(ws, scan));
  rec.rect({"5", "5", "20", "15"});
  ws.params.setHeld(Held::Brightness, "-12");
  ws.params.setTn(56, "1.4");
  brightnessContrastOp(ws);
  ws.params.setTn(57, "1.2");
  rec.rect({"2", "20", "25", "10"});
  darkRelWhiteOp(ws);
  ASSERT_TRUE(convertPictureTo1bit(ws));
  rec.rect({"3", "3", "20", "20"});
  denseThinOp(ws, false);
  lineWidthOp(ws, true, false);
  maskSelection(ws, "5A5A");
  turnPictureRight(ws);
  turnPictureOver(ws);
  const std::string program = ws.params.tz(0);
  for (const char* word : {"Open", "DBC", "DarkRelWhite", "ConvertTo1bit", "DenseThin", "D+", "Mask", "Right", "Over"})
    EXPECT_NE(program.find(word), std::string::npos) << word << " not recorded in\n" << program;

  Session play(dir.sub("home2"));
  play.ws.params.setTz(0, program, false);
  runAll(play.ws);
  EXPECT_TRUE(samePixels(ws.image.bitmap, play.ws.image.bitmap));
  EXPECT_EQ(play.ws.params.tz(0), program) << "a run records nothing";
}

// --- A3 sheets: two pages copied and put side by side, recorded and replayed ---

struct A3Case {
  int bits = 1;
  bool turned = false;           // "A4 в A3 симметрично"
  bool byBytes = false;          // "Копировать по байтам"
  const char* pageMm = nullptr;  // page width in mm (height 80 mm); null: A4
  bool sameScan = false;         // the second page comes from the first scan again
  int widthMod8 = -1;            // when set: the page width mod 8 (picks the way of copying)
  bool followUp = false;         // "в A3," after copying instead of the button
};

struct A3Recording {
  std::string program;
  Bitmap sheet;
  std::string savedBytes;
  int pageWidth = 0;
};

void pageSettings(Session& s, const A3Case& c) {
  s.ws.params.setCheck(Check::ChA3, true);
  s.ws.params.setChb(copycheck::kA4InA3Turned, c.turned);
  s.ws.params.setChb(copycheck::kByBytes, c.byBytes);
  s.ws.params.setChb(copycheck::kToA3After, c.followUp);
}

std::string writeScan(const testing::TempDir& dir, const std::string& name, const A3Case& c, std::uint64_t seed) {
  return testing::writeSampleScan(dir.at(name), c.bits, seed, c.pageMm ? 1700 : 0, c.pageMm ? 2200 : 0);
}

bool copyPage(Session& s, const A3Case& c) {
  Workspace& ws = s.ws;
  if (c.pageMm) {
    setPageImageSize(ws, 0, c.pageMm);
    setPageImageSize(ws, 1, "80");
    ws.params.setTn(copyfield::kFrameWidth, "50");
    ws.params.setTn(copyfield::kFrameHeight, "70");
  }
  ws.params.setTn(copyfield::kZoneLeft, "3");
  ws.params.setTn(copyfield::kZoneTop, "5");
  return copyPage(ws);
}

bool saveSheet(Workspace& ws, const std::string& name) {
  ws.params.setHeld(Held::TextFileName, name);
  return savePanel(ws);
}

// Records open, copy, "В A3" twice and saves the full sheet.
A3Recording recordA3(const testing::TempDir& dir, const A3Case& c) {
  A3Recording out;
  const std::string first = writeScan(dir, "page1.bmp", c, 31);
  const std::string second = c.sameScan ? first : writeScan(dir, "page2.bmp", c, 32);
  EXPECT_FALSE(first.empty() || second.empty());
  Session rec(dir.sub("home"));
  Workspace& ws = rec.ws;
  pageSettings(rec, c);
  int state = 0;
  for (const std::string& scan : {first, second}) {
    EXPECT_TRUE(openPicture(ws, scan));
    EXPECT_TRUE(copyPage(rec, c));
    EXPECT_EQ(ws.page.bits, c.bits);
    out.pageWidth = ws.page.width;
    if (!c.followUp) {
      EXPECT_TRUE(toA3(ws));
    }
    EXPECT_EQ(copyState(ws).a3State, ++state);
  }
  EXPECT_TRUE(rec.prompts.shown.empty()) << rec.shown();
  out.program = ws.params.tz(0);
  out.sheet = ws.a3.clone();
  // Both halves hold a page (blank ones would make the comparison say nothing).
  EXPECT_TRUE(hasInk(out.sheet, 0, out.pageWidth));
  EXPECT_TRUE(hasInk(out.sheet, out.pageWidth + copyState(ws).a3Gap, out.sheet.width));
  EXPECT_TRUE(saveSheet(ws, "sheet")) << rec.shown();
  out.savedBytes = readWholeFile(picturePathFor(dir.sub("home"), "sheet")).value_or("");
  EXPECT_FALSE(out.savedBytes.empty());
  return out;
}

void expectSameSheetOnReplay(const A3Case& c) {
  testing::TempDir dir;
  const A3Recording r = recordA3(dir, c);
  ASSERT_FALSE(::testing::Test::HasFailure()) << r.program;
  if (c.widthMod8 >= 0) {
    ASSERT_EQ(r.pageWidth % 8, c.widthMod8) << r.pageWidth;
  }
  const std::size_t one = r.program.find("\r\nA3, 1\r\n");
  const std::size_t two = r.program.find("\r\nA3, 2\r\n");
  ASSERT_NE(one, std::string::npos) << r.program;
  ASSERT_NE(two, std::string::npos) << r.program;
  EXPECT_LT(r.program.find("Copy"), one);
  EXPECT_LT(r.program.find("Copy", one), two);
  EXPECT_EQ(r.program.find("\r\nA3, ", two + 2), std::string::npos) << "one line per step\n" << r.program;

  Session play(dir.sub("home2"));
  pageSettings(play, c);
  // The A3 lines turn "A3" on for the run only.
  play.ws.params.setCheck(Check::ChA3, false);
  play.ws.params.setTz(0, r.program, false);
  runAll(play.ws);
  EXPECT_TRUE(play.prompts.shown.empty()) << play.shown();
  EXPECT_FALSE(play.ws.params.check(Check::ChA3));
  EXPECT_EQ(copyState(play.ws).a3State, 2);
  EXPECT_EQ(play.ws.a3.bits, c.bits);
  EXPECT_TRUE(samePixels(r.sheet, play.ws.a3));
  EXPECT_EQ(play.ws.params.tz(0), r.program) << "a run records nothing";

  play.ws.params.setCheck(Check::ChA3, true);
  ASSERT_TRUE(saveSheet(play.ws, "sheet")) << play.shown();
  EXPECT_EQ(readWholeFile(picturePathFor(dir.sub("home2"), "sheet")).value_or("-"), r.savedBytes);
}

TEST(RecordReplayA3, BothPagesReplayToTheSameSheet) {
  // 4772 dots (A4) mod 8 = 4: the turned page goes in pixel by pixel; 65 mm by bytes; the
  // follow-up "в A3," after copying must not put each page in twice on replay.
  for (const A3Case c : {A3Case{1, true, false, nullptr, false, 4}, A3Case{1, true, true, "65", false, 7},
                         A3Case{8, true, false, "61", true}, A3Case{1, false, false, "60", false, -1, true}}) {
    SCOPED_TRACE(::testing::Message() << c.bits << " bits, turned " << c.turned << ", " << (c.pageMm ? c.pageMm : "A4"));
    expectSameSheetOnReplay(c);
  }
}

TEST(RecordReplayA3, ASecondReplayStartsANewSheet) {
  // "A3, 1" begins a new sheet on every replay, though the last run's sheet is still there.
  testing::TempDir dir;
  const A3Case c{1, true, false, "60", false};
  const A3Recording r = recordA3(dir, c);
  ASSERT_FALSE(::testing::Test::HasFailure()) << r.program;
  Session play(dir.sub("home2"));
  pageSettings(play, c);
  play.ws.params.setTz(0, r.program, false);
  runAll(play.ws);
  ASSERT_TRUE(samePixels(r.sheet, play.ws.a3));
  runAll(play.ws);
  EXPECT_TRUE(play.prompts.shown.empty()) << play.shown();
  EXPECT_EQ(copyState(play.ws).a3State, 2);
  EXPECT_TRUE(samePixels(r.sheet, play.ws.a3));

  // With reminders the unsaved copy of the full sheet is asked about first; then No keeps
  // the old sheet, which refuses the new pages.
  play.ws.params.setChb(copycheck::kRemind, true);
  play.prompts.shown.clear();
  play.prompts.answers = {Answer::Yes, Answer::No};
  runAll(play.ws);
  ASSERT_GE(play.prompts.shown.size(), 2u);
  EXPECT_EQ(play.prompts.shown[0].text, "Копия не сохранена.\r\nСтереть ?");
  EXPECT_EQ(play.prompts.shown[1].text, "Стереть A3 ?");
  EXPECT_NE(play.shown().find("[A3 заполнен]"), std::string::npos) << play.shown();
  EXPECT_TRUE(samePixels(r.sheet, play.ws.a3));
}

TEST(RecordReplayA3, TheSecondHalfOfAFullSheetIsReplaced) {
  // A sheet of page 1 twice, given the program's second half, becomes the recorded sheet:
  // the old second page (drawn pixel by pixel, off a byte boundary) does not show through.
  testing::TempDir dir;
  const A3Case c{1, false, false, "60", false};
  const A3Recording r = recordA3(dir, c);
  ASSERT_FALSE(::testing::Test::HasFailure()) << r.program;
  const std::size_t second = r.program.find("Open", 1);
  ASSERT_NE(second, std::string::npos) << r.program;

  Session play(dir.sub("home2"));
  pageSettings(play, c);
  Workspace& ws = play.ws;
  ASSERT_TRUE(openPicture(ws, dir.at("page1.bmp")));
  ASSERT_TRUE(copyPage(play, c));
  ASSERT_TRUE(toA3(ws));
  ASSERT_TRUE(toA3(ws));  // the same page again, without a question (no reminders)
  ASSERT_EQ(copyState(ws).a3State, 2);
  ASSERT_GE((r.pageWidth + copyState(ws).a3Gap) % 8, 2);
  ASSERT_FALSE(samePixels(r.sheet, ws.a3));
  ws.params.setTz(0, r.program.substr(second), false);
  runAll(ws);
  EXPECT_TRUE(play.prompts.shown.empty()) << play.shown();
  EXPECT_EQ(copyState(ws).a3State, 2);
  EXPECT_TRUE(samePixels(r.sheet, ws.a3));
}

}  // namespace
}  // namespace quillaro
