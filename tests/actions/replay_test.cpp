// A session of operations is recorded, then the recorded program is replayed on a fresh
// workspace over the same file: the pictures must come out identical, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "actions/runner.h"
#include "app/install.h"
#include "app/workspace.h"
#include "image/bmp_file.h"
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

}  // namespace
}  // namespace quillaro
