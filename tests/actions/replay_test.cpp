// A session of operations is recorded, then the recorded program is replayed on a fresh
// workspace over the same file: the pictures must come out identical, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "actions/runner.h"
#include "app/install.h"
#include "app/files.h"
#include "app/workspace.h"
#include "copy/a3_sheet.h"
#include "copy/copy_state.h"
#include "image/bmp_file.h"
#include "image/save.h"
#include "image/sample_page.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

struct Session {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  explicit Session(const std::string& home) {
    installOperations(ws);
    ws.shared.installFolder = home;
    ws.shared.folders.fill(home);
    ws.params.setChb(30, true);  // record actions
    ws.params.setChb(31, false);  // no reminders
    ws.params.setTz(0, "", false);
  }
  void rect(const char* l, const char* t, const char* w, const char* h) {
    ws.params.setTn(24, l);
    ws.params.setTn(25, t);
    ws.params.setTn(26, w);
    ws.params.setTn(27, h);
  }
};

bool samePixels(const Bitmap& a, const Bitmap& b) {
  if (a.width != b.width || a.height != b.height || a.bits != b.bits) return false;
  if (a.empty() || b.empty()) return a.empty() == b.empty();
  for (int y = 0; y < a.height; ++y)
    if (std::memcmp(a.row(y), b.row(y), static_cast<std::size_t>(a.rowBytes)) != 0) {
      if (a.bits != 1 || a.width % 8 == 0) return false;
      // Bits after the last pixel of a 1-bit row carry no meaning.
      for (int x = 0; x < a.width; ++x)
        if (a.isWhite(x, y) != b.isWhite(x, y)) return false;
    }
  return true;
}

TEST(RecordReplay, AGreySessionReplaysToTheSamePixels) {
  testing::TempDir dir;
  SamplePageOptions o;
  o.width = 900;
  o.height = 1300;
  o.bits = 8;
  o.seed = 11;
  const std::string scan = dir.at("scan.bmp");
  ASSERT_TRUE(writeBitmap(scan, makeSamplePage(o), samplePixelsPerMetre(o)));

  Session rec(dir.sub("home"));
  Workspace& ws = rec.ws;
  ASSERT_TRUE(ws.ops.open(ws, scan));
  rec.rect("5", "5", "20", "15");
  ws.params.setHeld(Held::Brightness, "-12");
  ws.params.setTn(56, "1.4");
  ws.ops.brightnessContrast(ws);
  ws.params.setTn(57, "1.2");
  rec.rect("2", "20", "25", "10");
  ws.ops.darkRelWhite(ws);
  ASSERT_TRUE(ws.ops.convertTo1bit(ws));
  rec.rect("3", "3", "20", "20");
  ws.ops.density(ws, false);
  ws.ops.lineWidth(ws, true, false);
  ws.ops.mask(ws, "5A5A");
  ws.ops.turn(ws, TurnDirection::Right);
  ws.ops.turn(ws, TurnDirection::Over);
  const std::string program = ws.params.tz(0);
  for (const char* word : {"Open", "DBC", "DarkRelWhite", "ConvertTo1bit", "DenseThin", "D+", "Mask", "Right", "Over"})
    EXPECT_NE(program.find(word), std::string::npos) << word << " not recorded in\n" << program;

  Session play(dir.sub("home2"));
  play.ws.params.setTz(0, program, false);
  runAll(play.ws);
  EXPECT_TRUE(samePixels(ws.image.bitmap, play.ws.image.bitmap));
  EXPECT_EQ(play.ws.params.tz(0), program) << "a run records nothing";
}

TEST(RecordReplay, ACopySessionReplaysToTheSamePage) {
  testing::TempDir dir;
  SamplePageOptions o;
  o.bits = 1;
  o.seed = 12;
  const std::string scan = dir.at("page7.bmp");
  ASSERT_TRUE(writeBitmap(scan, makeSamplePage(o), samplePixelsPerMetre(o)));

  Session rec(dir.sub("home"));
  Workspace& ws = rec.ws;
  ASSERT_TRUE(ws.ops.open(ws, scan));
  ws.params.setTn(12, "120");  // a small turn, radians * 10000
  ws.params.setTn(22, "95");
  ASSERT_TRUE(ws.ops.copy(ws));
  const std::string program = ws.params.tz(0);
  ASSERT_NE(program.find("Copy"), std::string::npos) << program;

  Session play(dir.sub("home2"));
  play.ws.params.setTz(0, program, false);
  runAll(play.ws);
  ASSERT_FALSE(play.ws.page.empty());
  EXPECT_TRUE(samePixels(ws.page, play.ws.page));
}

// --- A3 sheets: two pages copied and put side by side, recorded and replayed ---

std::string shownText(const testing::ScriptedPrompts& prompts) {
  std::string all;
  for (const auto& m : prompts.shown) all += "[" + m.text + "] ";
  return all;
}

struct A3Case {
  int bits = 1;            // depth of the scans (and so of the pages and the sheet)
  bool turned = false;     // "A4 в A3 симметрично"
  bool byBytes = false;    // "Копировать по байтам"
  const char* pageMm = nullptr;  // page image width in mm (height 80 mm); null: standard A4
  bool sameScan = false;   // the second page comes from the first scan again
  int widthMod8 = -1;      // when set: the page width mod 8 that picks the way of copying
  bool followUp = false;   // "в A3," after copying instead of the button
};

struct A3Recording {
  std::string program;
  Bitmap sheet;
  std::string savedBytes;
  int pageWidth = 0;
};

// Whether any pixel in columns [x0, x1) of the sheet is not white.
bool inkBetween(const Bitmap& sheet, int x0, int x1) {
  for (int y = 0; y < sheet.height; ++y) {
    const std::uint8_t* row = sheet.row(y);
    for (int x = x0; x < x1; ++x)
      if (sheet.bits == 1 ? !bitIsWhite(row, x) : row[x] != 255) return true;
  }
  return false;
}

void pageSettings(Session& s, const A3Case& c) {
  s.ws.params.setCheck(Check::ChA3, true);
  s.ws.params.setChb(copycheck::kA4InA3Turned, c.turned);
  s.ws.params.setChb(copycheck::kByBytes, c.byBytes);
  s.ws.params.setChb(copycheck::kToA3After, c.followUp);
}

std::string writeScan(const testing::TempDir& dir, const std::string& name, const A3Case& c, std::uint64_t seed) {
  SamplePageOptions o;
  o.bits = c.bits;
  o.seed = seed;
  if (c.pageMm) {
    o.width = 1700;
    o.height = 2200;
  }
  const std::string path = dir.at(name);
  if (!writeBitmap(path, makeSamplePage(o), samplePixelsPerMetre(o))) return {};
  return path;
}

// Copies the opened scan into a fresh page image.
bool copyPage(Session& s, const A3Case& c) {
  Workspace& ws = s.ws;
  if (c.pageMm) {
    ws.setCopySize(0, c.pageMm);
    ws.setCopySize(1, "80");
    ws.params.setTn(copyfield::kFrameWidth, "50");
    ws.params.setTn(copyfield::kFrameHeight, "70");
  }
  ws.params.setTn(copyfield::kZoneLeft, "3");
  ws.params.setTn(copyfield::kZoneTop, "5");
  return ws.ops.copy(ws);
}

bool saveSheet(Workspace& ws, const std::string& name) {
  ws.params.setHeld(Held::TextFileName, name);
  return savePanel(ws);
}

// Records open, copy, "В A3", open, copy, "В A3" and saves the full sheet.
A3Recording recordA3(const testing::TempDir& dir, const A3Case& c) {
  A3Recording out;
  const std::string first = writeScan(dir, "page1.bmp", c, 31);
  const std::string second = c.sameScan ? first : writeScan(dir, "page2.bmp", c, 32);
  EXPECT_FALSE(first.empty() || second.empty());
  Session rec(dir.sub("home"));
  Workspace& ws = rec.ws;
  pageSettings(rec, c);
  EXPECT_TRUE(ws.ops.open(ws, first));
  EXPECT_TRUE(copyPage(rec, c));
  EXPECT_EQ(ws.page.bits, c.bits);
  out.pageWidth = ws.page.width;
  if (!c.followUp) {
    EXPECT_TRUE(toA3(ws));
  }
  EXPECT_EQ(copyState(ws).a3State, 1);
  EXPECT_TRUE(ws.ops.open(ws, second));
  EXPECT_TRUE(copyPage(rec, c));
  if (!c.followUp) {
    EXPECT_TRUE(toA3(ws));
  }
  EXPECT_EQ(copyState(ws).a3State, 2);
  EXPECT_TRUE(rec.prompts.shown.empty()) << shownText(rec.prompts);
  out.program = ws.params.tz(0);
  out.sheet = ws.a3.clone();
  // Both halves hold a page (a blank sheet would make the comparison say nothing).
  const int half = out.pageWidth;
  EXPECT_TRUE(inkBetween(out.sheet, 0, half));
  EXPECT_TRUE(inkBetween(out.sheet, half + copyState(ws).a3Gap, out.sheet.width));
  EXPECT_TRUE(saveSheet(ws, "sheet")) << shownText(rec.prompts);
  out.savedBytes = readWholeFile(picturePathFor(dir.sub("home"), "sheet")).value_or("");
  EXPECT_FALSE(out.savedBytes.empty());
  return out;
}

// Replays the recorded program on a fresh workspace with the same settings, then saves.
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
  EXPECT_LT(one, two);
  EXPECT_EQ(r.program.find("\r\nA3, ", two + 2), std::string::npos) << "one line per step\n" << r.program;
  EXPECT_LT(r.program.find("Copy"), one) << "the page is copied before it goes into the sheet";
  EXPECT_NE(r.program.find("Copy", one), std::string::npos) << "the second copy comes between";

  Session play(dir.sub("home2"));
  pageSettings(play, c);
  // The A3 lines turn "A3" on for the run; it is off before and after.
  play.ws.params.setCheck(Check::ChA3, false);
  play.ws.params.setTz(0, r.program, false);
  runAll(play.ws);
  EXPECT_TRUE(play.prompts.shown.empty()) << shownText(play.prompts);
  EXPECT_FALSE(play.ws.params.check(Check::ChA3));
  EXPECT_EQ(copyState(play.ws).a3State, 2);
  EXPECT_EQ(play.ws.a3.bits, c.bits);
  EXPECT_TRUE(samePixels(r.sheet, play.ws.a3));
  EXPECT_EQ(play.ws.params.tz(0), r.program) << "a run records nothing";

  play.ws.params.setCheck(Check::ChA3, true);
  ASSERT_TRUE(saveSheet(play.ws, "sheet")) << shownText(play.prompts);
  EXPECT_EQ(readWholeFile(picturePathFor(dir.sub("home2"), "sheet")).value_or("-"), r.savedBytes);
}

TEST(RecordReplayA3, OneBitPagesMakeTheSameSheet) { expectSameSheetOnReplay({1, false, false, nullptr, false}); }

TEST(RecordReplayA3, TurnedFirstPageMakesTheSameSheet) {
  // A4 width 4772 dots: 4772 mod 8 = 4, so the turned page goes in pixel by pixel.
  expectSameSheetOnReplay({1, true, false, nullptr, false, 4});
}

TEST(RecordReplayA3, TurnedFirstPageByBytesMakesTheSameSheet) {
  // Width mod 8 of 2 or more: "Копировать по байтам" chooses the byte copy, mod 8 of 0 or
  // 1 takes it anyway.
  expectSameSheetOnReplay({1, true, true, "65", false, 7});
  expectSameSheetOnReplay({1, true, false, "60", false, 1});
}

TEST(RecordReplayA3, EightBitPagesMakeTheSameSheet) { expectSameSheetOnReplay({8, false, false, "60", false}); }

TEST(RecordReplayA3, TurnedEightBitFirstPageMakesTheSameSheet) {
  expectSameSheetOnReplay({8, true, false, "61", true});
}

TEST(RecordReplayA3, TheSameScanTwiceFillsBothHalves) { expectSameSheetOnReplay({1, false, false, "60", true}); }

TEST(RecordReplayA3, TheFollowUpAfterCopyingIsReplayedOnce) {
  // With "в A3," after copying the copy itself fills the halves; a replay must not put
  // each page in twice (once by the copy, once by the recorded A3 line).
  A3Case c{1, false, false, "60", false};
  c.followUp = true;
  expectSameSheetOnReplay(c);
}

TEST(RecordReplayA3, ASecondReplayStartsANewSheet) {
  // A program is replayed over and over: its "A3, 1" begins a new sheet each time, even
  // when the sheet of the last run is still in the buffer.
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
  EXPECT_TRUE(play.prompts.shown.empty()) << shownText(play.prompts);
  EXPECT_EQ(copyState(play.ws).a3State, 2);
  EXPECT_TRUE(samePixels(r.sheet, play.ws.a3));

  // With reminders the old sheet is only erased after a Yes; No keeps it, and the full
  // sheet then refuses the new pages.
  play.ws.params.setChb(copycheck::kRemind, true);
  play.prompts.shown.clear();
  play.prompts.answers = {Answer::No};
  runAll(play.ws);
  ASSERT_FALSE(play.prompts.shown.empty());
  EXPECT_EQ(play.prompts.shown.front().text, "Стереть A3 ?");
  EXPECT_NE(shownText(play.prompts).find("[A3 заполнен]"), std::string::npos) << shownText(play.prompts);
  EXPECT_TRUE(samePixels(r.sheet, play.ws.a3));
}

TEST(RecordReplayA3, TheSecondHalfOfAFullSheetIsReplaced) {
  // The recorded sheet holds pages 1 and 2. A sheet of page 1 twice, given the program's
  // second half alone, must become the same sheet: the old second page does not show
  // through (at 60 mm the second page starts at a column that is not a byte boundary,
  // so it is drawn pixel by pixel).
  testing::TempDir dir;
  const A3Case c{1, false, false, "60", false};
  const A3Recording r = recordA3(dir, c);
  ASSERT_FALSE(::testing::Test::HasFailure()) << r.program;
  const std::size_t second = r.program.find("Open", 1);
  ASSERT_NE(second, std::string::npos) << r.program;

  Session play(dir.sub("home2"));
  pageSettings(play, c);
  Workspace& ws = play.ws;
  ASSERT_TRUE(ws.ops.open(ws, dir.at("page1.bmp")));
  ASSERT_TRUE(copyPage(play, c));
  ASSERT_TRUE(toA3(ws));
  ASSERT_TRUE(toA3(ws));  // the same page again, without a question (no reminders)
  ASSERT_EQ(copyState(ws).a3State, 2);
  ASSERT_GE((r.pageWidth + copyState(ws).a3Gap) % 8, 2);
  ASSERT_FALSE(samePixels(r.sheet, ws.a3));
  ws.params.setTz(0, r.program.substr(second), false);
  runAll(ws);
  EXPECT_TRUE(play.prompts.shown.empty()) << shownText(play.prompts);
  EXPECT_EQ(copyState(ws).a3State, 2);
  EXPECT_TRUE(samePixels(r.sheet, ws.a3));
}

TEST(RecordReplayA3, HalfSelectionOutsideItsPlaceChangesNothing) {
  // "A3, 2" over an empty buffer or one with a single page, and "A3, 3", leave the buffer
  // as it is; the A3 step that follows then works as the button does.
  testing::TempDir dir;
  const A3Case c{1, false, false, "60", false};
  const std::string scan = writeScan(dir, "page1.bmp", c, 31);
  Session s(dir.sub("home"));
  pageSettings(s, c);
  Workspace& ws = s.ws;
  selectA3Half(ws, 2);
  EXPECT_EQ(copyState(ws).a3State, 0);
  EXPECT_TRUE(ws.a3.empty());
  ASSERT_TRUE(ws.ops.open(ws, scan));
  ASSERT_TRUE(copyPage(s, c));
  ASSERT_TRUE(toA3(ws));
  const Bitmap one = ws.a3.clone();
  selectA3Half(ws, 2);
  selectA3Half(ws, 3);
  selectA3Half(ws, 0);
  EXPECT_EQ(copyState(ws).a3State, 1);
  EXPECT_TRUE(samePixels(one, ws.a3));
  // Reading the line with F1 only sets the panels: the sheet is not begun anew.
  ws.readingMode = true;
  selectA3Half(ws, 1);
  ws.readingMode = false;
  EXPECT_EQ(copyState(ws).a3State, 1);
  selectA3Half(ws, 1);
  EXPECT_EQ(copyState(ws).a3State, 0);
  EXPECT_TRUE(ws.a3.empty());
  EXPECT_TRUE(s.prompts.shown.empty()) << shownText(s.prompts);
}

}  // namespace
}  // namespace quillaro
