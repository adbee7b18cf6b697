#include "ops/batch_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "automation/composition.h"
#include "automation/runner.h"
#include "base/files.h"
#include "image/bmp_file.h"
#include "image/sample_page.h"
#include "model/copy_state.h"
#include "model/workspace.h"
#include "ops/copy_engine.h"
#include "ops/open.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;

// A workspace set for 2-in-1 copies of small 1-bit scans p1.bmp ... into A5 halves.
struct Batch : ::testing::Test {
  testing::TempDir dir;
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  ParamStore& p = ws.params;
  std::string scans, saved;

  void SetUp() override {
    connectWorkspace(ws);
    scans = dir.sub("scans");
    saved = dir.sub("saved");
    ws.shared.folders[kFolderPictures] = scans;
    ws.shared.folders[kFolderSaved] = saved;
    p.setChb(check::kRecordActions, false);
    p.setChb(check::kRemind, false);
    p.setCheck(Check::Ch2in1, true);
    p.setTn(field::kFrameLeft, "10");
    p.setTn(field::kFrameTop, "5");
    p.setTn(field::kFrameWidth, "60");
    p.setTn(field::kFrameHeight, "80");
    p.setTn(field::kZoneLeft, "0");
    p.setTn(field::kZoneTop, "0");
  }
  void writeScan(const std::string& name, std::uint64_t seed) {
    SamplePageOptions o;
    o.width = 1600;
    o.height = 2000;
    o.bits = 1;
    o.seed = seed;
    ASSERT_TRUE(writeBitmap(joinPath(scans, name), makeSamplePage(o), kPixelsPerMetre600));
  }
  Bitmap readSaved(const std::string& name) {
    ReadResult r = readBitmap(joinPath(saved, name), {}, nullptr);
    EXPECT_TRUE(r.ok()) << name << " " << r.message;
    return std::move(r.image.bitmap);
  }
  std::map<std::string, fs::file_time_type> savedTimes() {
    std::map<std::string, fs::file_time_type> out;
    for (const auto& e : fs::directory_iterator(saved)) out[e.path().filename().string()] = e.last_write_time();
    return out;
  }
  bool asked(const std::string& text) {
    for (const auto& m : prompts.shown)
      if (m.text == text) return true;
    return false;
  }
};

// A 16-page copybook through the program line: files named as planned, the lower half of a
// form equal to a single copy of its scan, a missing scan made a blank half after the
// question, and a second run that only makes the page images whose files are missing.
TEST_F(Batch, SixteenPageCopybookByProgramLine) {
  for (int n = 1; n <= 16; ++n)
    if (n != 5) writeScan("p" + std::to_string(n) + ".bmp", static_cast<std::uint64_t>(n));
  ASSERT_EQ(runText(ws, "Batch, From=1, To=16, Prefix=\"p\"\r\n"), RunEnd::Finished);
  const std::vector<std::string> planned = {"16+1.bmp", "2+15.bmp", "14+3.bmp", "4+13.bmp",
                                            "12+5.bmp", "6+11.bmp", "10+7.bmp", "8+9.bmp"};
  for (const auto& name : planned) EXPECT_TRUE(fileExists(joinPath(saved, name))) << name;
  EXPECT_EQ(savedTimes().size(), planned.size());
  EXPECT_TRUE(asked("Файлы p5.bmp, p5-6.bmp не существуют, создать пустой A5 ?"));
  EXPECT_FALSE(batchRunning(ws));
  EXPECT_EQ(batchButtonCaption(ws), kBatchStartCaption);

  const Bitmap form = readSaved("16+1.bmp");
  const Bitmap blankUpper = readSaved("12+5.bmp");
  // A single copy of p16 into the lower half, made by hand.
  p.setCheck(Check::Ch2of2, false);
  ASSERT_TRUE(openPicture(ws, joinPath(scans, "p16.bmp")));
  ASSERT_TRUE(copyPage(ws));
  ASSERT_EQ(form.height, ws.page.height);
  const int middle = ws.page.height / 2 - 40;  // rows above the lower half's frame
  int differing = 0, black = 0;
  for (int r = middle; r < form.height; ++r)
    for (int x = 0; x < form.width; ++x) {
      differing += form.isWhite(x, r) != ws.page.isWhite(x, r);
      black += !form.isWhite(x, r);
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(black, 1000);
  int blackAbove = 0;
  for (int r = 0; r < middle; ++r)
    for (int x = 0; x < blankUpper.width; ++x) blackAbove += !blankUpper.isWhite(x, r);
  EXPECT_EQ(blackAbove, 0) << "page 5 is a blank half";

  // Resume: only the missing page images are made.
  fs::remove(joinPath(saved, "4+13.bmp"));
  fs::remove(joinPath(saved, "10+7.bmp"));
  auto before = savedTimes();
  prompts.shown.clear();
  ASSERT_EQ(runText(ws, "Batch, From=1, To=16, Prefix=\"p\"\r\n"), RunEnd::Finished);
  auto after = savedTimes();
  EXPECT_EQ(after.size(), planned.size());
  for (const auto& [name, time] : before) EXPECT_EQ(after[name], time) << name << " was made again";
  EXPECT_FALSE(asked("Файлы p5.bmp, p5-6.bmp не существуют, создать пустой A5 ?"));

  prompts.shown.clear();
  EXPECT_EQ(runText(ws, "Batch, From=1, To=16, Prefix=\"p\"\r\n"), RunEnd::Finished);
  EXPECT_TRUE(asked(kBatchAllExistMessage));
}

TEST_F(Batch, TurnedOriginalsTwoPageScansAndTheA3Plan) {
  // Pages 1-4 in two-page scans; the turned original puts slot 1 into the lower half.
  writeScan("s1-2.bmp", 1);
  writeScan("s3-4.bmp", 3);
  ASSERT_EQ(runText(ws, "Batch, From=1, To=4, A3=1, Turned=1, Prefix=s\r\n"), RunEnd::Finished);
  EXPECT_TRUE(fileExists(joinPath(saved, "2+1-4+3.bmp")));
  EXPECT_EQ(savedTimes().size(), 1u);
  const Bitmap sheet = readSaved("2+1-4+3.bmp");
  EXPECT_GT(sheet.width, sheet.height) << "an A3 sheet";
  ASSERT_EQ(prompts.shown.size(), 1u) << "only the warning of a one-fold plan of 2 forms";
  EXPECT_EQ(prompts.shown[0].text, kOneFoldWarning);
}

TEST_F(Batch, StopsAndRefusals) {
  writeScan("p1.bmp", 1);
  p.setTn(field::kFromPage, "1");
  p.setTn(field::kToPage, "8");
  batchState(ws).scanPrefix = "p";
  p.setCheck(Check::ChLand, true);
  EXPECT_FALSE(calculateAndStart(ws));
  EXPECT_TRUE(asked(kBatchLandscapeMessage));
  p.setCheck(Check::ChLand, false);
  p.setCheck(Check::Ch2in1, true);
  p.setChb(check::kOriginalTurned, true);  // the lower half takes page 1 of form (8, 1)

  // Started in the window: the first scan opened, the automatic copy waits.
  ASSERT_TRUE(calculateAndStart(ws));
  EXPECT_TRUE(batchRunning(ws));
  EXPECT_EQ(batchButtonCaption(ws), kBatchStopCaption);
  EXPECT_EQ(ws.image.fileName, "p1.bmp");
  EXPECT_EQ(p.caption(namedLabelId(NamedLabel::ComCopy)), kCopyButtonStop);
  // The copy button's "Стоп" stops the batch.
  EXPECT_FALSE(copyPage(ws));
  EXPECT_FALSE(batchRunning(ws));
  EXPECT_FALSE(p.chb(check::kAutoCopy));
  EXPECT_EQ(p.caption(namedLabelId(NamedLabel::ComCopy)), kCopyButtonCopy);

  // BTN 1 stops it; turning landscape on stops it.
  p.setChb(check::kOriginalTurned, false);
  prompts.answers = {Answer::No};  // page 8 is missing: No stops the batch
  EXPECT_TRUE(calculateAndStart(ws));
  EXPECT_FALSE(batchRunning(ws));
  EXPECT_TRUE(asked("Файлы p8.bmp, p7-8.bmp не существуют, создать пустой A5 ?"));
  p.setChb(check::kOriginalTurned, true);
  ASSERT_TRUE(calculateAndStart(ws));
  EXPECT_FALSE(calculateAndStart(ws));
  EXPECT_FALSE(batchRunning(ws));
  ASSERT_TRUE(calculateAndStart(ws));
  p.setCheck(Check::ChLand, true);
  EXPECT_FALSE(batchRunning(ws));
}

}  // namespace
}  // namespace quillaro
