// Tables drawn from the panel are recorded and replayed by the runner to the same pixels;
// bad numbers in table lines are refused with a message and the run goes on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "automation/composition.h"
#include "automation/runner.h"
#include "model/workspace.h"
#include "ops/draw_table.h"
#include "ops/merge_cells.h"
#include "ops/new_sheet.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

struct Session {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  ParamStore& p = ws.params;
  Session() {
    connectWorkspace(ws);
    p.setChb(check::kRecordActions, true);
    p.setChb(check::kRemind, false);
    p.setTz(text::kProgram, "", false);
  }
  void set(std::initializer_list<std::pair<int, const char*>> fields) {
    for (const auto& [f, v] : fields) p.setTn(f, v);
  }
  void mode(bool cells, bool h, bool v) {
    p.setCheck(Check::ChTabTab, cells);
    p.setChb(check::kTableHorizontal, h);
    p.setChb(check::kTableVertical, v);
  }
};

bool samePixels(const Bitmap& a, const Bitmap& b) {
  return a.width == b.width && a.height == b.height && a.bits == b.bits && !a.empty() &&
         std::memcmp(a.data(), b.data(), a.byteCount()) == 0;
}

TEST(TableReplay, ASessionOfTablesAndLinesReplaysToTheSamePixels) {
  Session rec;
  Workspace& ws = rec.ws;
  ASSERT_TRUE(newSheet(ws, 1, false));
  using namespace field;
  // A table with thick inner lines growing into the cells, repeated 2 x 2.
  rec.mode(true, true, true);
  rec.p.setCheck(Check::ChDrawInCell, true);
  rec.set({{kDrawLeft, "10"}, {kDrawTop, "10"}, {kDrawWidth, "60"}, {kDrawHeight, "30"}, {kAcross, "3"},
           {kDown, "4"}, {kVerticalLineWidth, "6"}, {kHorizontalLineWidth, "5"}, {kInnerLineWidth, "2"},
           {kRepeatAcross, "2"}, {kRepeatDown, "2"}, {kStepAcross, "70"}, {kStepDown, "40"}});
  ASSERT_TRUE(drawTable(ws));
  // Parallel lines both ways with dimension arrows: an H and a V line carrying the corners.
  rec.p.setCheck(Check::ChDrawInCell, false);
  rec.mode(false, true, true);
  rec.p.setChb(check::kArrows, true);
  rec.set({{kDrawLeft, "160"}, {kDrawTop, "20"}, {kDrawWidth, "40"}, {kDrawHeight, "60"}, {kAcross, "3"},
           {kDown, "4"}, {kVerticalLineWidth, "3"}, {kHorizontalLineWidth, "7"}, {kRepeatAcross, "1"},
           {kRepeatDown, "1"}});
  ASSERT_TRUE(drawTable(ws));
  // Horizontal lines of a table with one direction, masked; then two cells merged.
  rec.p.setChb(check::kArrows, false);
  rec.mode(true, true, false);
  rec.p.setChb(check::kMaskLines, true);
  ws.setMaskPattern("5A5A");
  rec.set({{kDrawLeft, "20"}, {kDrawTop, "100"}, {kDrawWidth, "150"}, {kDrawHeight, "50"}, {kDown, "5"},
           {kHorizontalLineWidth, "8"}});
  ASSERT_TRUE(drawTable(ws));
  rec.p.setChb(check::kMaskLines, false);
  rec.set({{kDrawLeft, "10"}, {kDrawTop, "10"}, {kDrawWidth, "40"}, {kDrawHeight, "15"}});
  ASSERT_TRUE(mergeCells(ws));

  const std::string program = rec.p.tz(text::kProgram);
  EXPECT_EQ(program,
            "New, L\r\n"
            "Tin2, 10, 10, 60, 30, 3, 4, 5, 6, 2, 2, 70, 40\r\n"
            "H, 160, 20, 40, 60, 4, 7, Arrow=1, Ext=3\r\n"
            "V, 160, 20, 40, 60, 3, 3, Arrow=1, Ext=7\r\n"
            "H, 20, 100, 150, 50, 5, 8, Mask=5A5A, Cells=1\r\n"
            "U, 10, 10, 40, 15\r\n");
  EXPECT_TRUE(rec.prompts.shown.empty());

  Session play;
  play.p.setTz(text::kProgram, program, false);
  EXPECT_EQ(runAll(play.ws), RunEnd::Finished);
  EXPECT_TRUE(play.prompts.shown.empty());
  EXPECT_TRUE(samePixels(ws.image.bitmap, play.ws.image.bitmap));
  EXPECT_EQ(play.p.tz(text::kProgram), program) << "a run records nothing";
}

TEST(TableReplay, BadNumbersInTableLinesGetAMessageAndTheRunGoesOn) {
  Session s;
  s.p.setTz(text::kProgram,
            "T, 5, 5, 10, 10, abc, 2, 1, 1\r\n"      // "abc" leaves the columns as they were
            "T, 0, 0, 10, 10, 0, 2, 1, 1\r\n"        // no columns
            "H, 0, 0, 10, 10, 2, 99999999\r\n"       // a thickness past every picture
            "V, 0, 0, 10, 10, 2, 1, 5000, 1, 1, 1\r\n",  // too many repetitions
            false);
  s.p.setTn(field::kAcross, "4");
  EXPECT_EQ(runAll(s.ws), RunEnd::Finished);
  ASSERT_EQ(s.prompts.shown.size(), 3u);
  EXPECT_EQ(s.prompts.shown[0].text, "Таблица не нарисована: \"Колонок\" = 0, нужно число от 1 до 10000");
  EXPECT_EQ(s.prompts.shown[1].text.rfind("Таблица не нарисована: \"Толщина горизонтальных линий", 0), 0u);
  EXPECT_EQ(s.prompts.shown[2].text.rfind("Таблица не нарисована: \"Повторов таблицы по горизонтали\"", 0), 0u);
  // The first table was drawn with the 4 columns of the panel.
  const Bitmap& b = s.ws.image.bitmap;
  const double d = s.ws.shared.dotsPerMm;
  EXPECT_FALSE(b.isWhite(static_cast<int>(std::lround(7.5 * d)), static_cast<int>(std::lround(10 * d))));
}

}  // namespace
}  // namespace quillaro
