// Table geometry (lines, cells, repetitions, into-cells), and the drawing operation on a
// connected workspace: zero sizes, bad numbers, edges, masked lines, merged cells.
#include <gtest/gtest.h>

#include <cmath>

#include "automation/composition.h"
#include "kernels/cell_lines.h"
#include "model/workspace.h"
#include "ops/draw_table.h"
#include "ops/merge_cells.h"
#include "ops/new_sheet.h"
#include "support/scripted_prompts.h"
#include "support/status_log.h"

namespace quillaro {
namespace {

// "H" or "V" and the start of each line, with the extension, in order.
std::vector<std::string> starts(const TableLayout& s) {
  std::vector<std::string> out;
  for (const TableLine& l : tableGeometry(s)) {
    char b[64];
    std::snprintf(b, sizeof b, "%c%g,%g+%g", l.horizontal ? 'H' : 'V', l.x, l.y, l.extension);
    out.emplace_back(b);
  }
  return out;
}

using Texts = std::vector<std::string>;

TEST(TableGeometry, TablesLinesIntoCellsAndRepetitions) {
  TableLayout t;  // 3 columns, 2 rows in 0, 0, 300, 200
  t.columns = 3;
  t.rows = 2;
  t.width = 300;
  t.height = 200;
  EXPECT_EQ(starts(t), (Texts{"H0,0+1", "H0,100+1", "H0,200+1", "V0,0+1", "V100,0+1", "V200,0+1", "V300,0+1"}));

  TableLayout lines = t;  // 3 horizontal lines in a height of 200, no vertical ones
  lines.table = false;
  lines.vertical = false;
  lines.rows = 3;
  EXPECT_EQ(starts(lines), (Texts{"H0,0+0", "H0,100+0", "H0,200+0"}));
  lines.rows = 1;
  lines.top = 7;
  EXPECT_EQ(starts(lines), (Texts{"H0,7+0"}));
  lines.extension = 5;  // carried by a replayed line
  EXPECT_EQ(starts(lines), (Texts{"H0,7+5"}));

  TableLayout in = t;  // thick lines grow into the cell before them
  in.columns = 1;
  in.intoCells = true;
  in.horizontalThickness = 4;
  in.verticalThickness = 4;
  in.innerThickness = 1;
  EXPECT_EQ(starts(in), (Texts{"H0,0+0", "H0,97+0", "H0,197+0", "V0,0+0", "V297,0+0"}));

  TableLayout rep;  // 2 x 3 repetitions of one cell with offsets 100 and 50
  rep.width = rep.height = 10;
  rep.repeatAcross = 2;
  rep.repeatDown = 3;
  rep.stepAcross = 100;
  rep.stepDown = 50;
  const auto all = starts(rep);
  ASSERT_EQ(all.size(), 24u);
  EXPECT_EQ(all[20], "H100,100+1");  // the last copy: down 2, across 1
  EXPECT_EQ(all[23], "V110,100+1");
}

TEST(TableGeometry, CellsAreTheInsidesBetweenTheLines) {
  TableLayout t;
  t.columns = t.rows = 2;
  t.width = 100;
  t.height = 60;
  t.verticalThickness = 2;
  t.horizontalThickness = 3;
  auto cells = tableCells(t);
  ASSERT_EQ(cells.size(), 4u);
  const double want[4][4] = {{2, 3, 48, 27}, {52, 3, 48, 27}, {2, 33, 48, 27}, {52, 33, 48, 27}};
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(cells[i].x == want[i][0] && cells[i].y == want[i][1] && cells[i].w == want[i][2] &&
                cells[i].h == want[i][3]) << i;
  t.table = false;  // lines mode: two lines each way give one cell
  EXPECT_EQ(tableCells(t).size(), 1u);
}

struct DrawTable : ::testing::Test {
  testing::ScriptedPrompts prompts;
  testing::StatusLog status;
  Workspace ws{&prompts, &status};
  ParamStore& p = ws.params;
  double d = 0;
  void SetUp() override {
    connectWorkspace(ws);
    p.setTz(0, "", false);
    ASSERT_TRUE(newSheet(ws, 0, true));
    d = ws.shared.dotsPerMm;
    defaults();
  }
  void defaults() {
    table(true, "10", "10", "50", "20", "2", "2");
    for (int f : {field::kVerticalLineWidth, field::kHorizontalLineWidth, field::kRepeatAcross, field::kRepeatDown})
      p.setTn(f, "1");
  }
  void table(bool cells, const char* l, const char* t, const char* w, const char* h, const char* cols, const char* rows) {
    p.setCheck(Check::ChTabTab, cells);
    p.setChb(check::kTableHorizontal, true);
    p.setChb(check::kTableVertical, true);
    int i = field::kDrawLeft;
    for (const char* v : {l, t, w, h}) p.setTn(i++, v);
    p.setTn(field::kAcross, cols);
    p.setTn(field::kDown, rows);
  }
  // Whether the pixel at a point given in millimetres is black.
  bool ink(double xMm, double yMm) const {
    return isInk(ws.image.bitmap, static_cast<int>(std::lround(xMm * d)), static_cast<int>(std::lround(yMm * d)), Rgb{});
  }
  int inkCount() const {
    int n = 0;
    const Bitmap& b = ws.image.bitmap;
    for (int y = 0; y < b.height; ++y)
      for (int x = 0; x < b.width; x += 1) n += !b.isWhite(x, y);
    return n;
  }
};

TEST_F(DrawTable, ZeroWidthDrawsOneVerticalLineZeroBothNothing) {
  table(false, "10", "10", "0", "20", "3", "1");
  ASSERT_TRUE(drawTable(ws));
  EXPECT_FALSE(p.chb(check::kTableHorizontal));
  EXPECT_EQ(p.tn(field::kAcross), "3");  // the panel keeps its count
  EXPECT_TRUE(ink(10, 10) && ink(10, 29.9) && !ink(10.2, 15));
  const int lines = inkCount();
  EXPECT_EQ(lines, std::lround(30 * d) - std::lround(10 * d));  // one dot wide, 10 to 30 mm
  table(true, "10", "10", "0", "20", "3", "1");  // cells: two lines at the same place
  ASSERT_TRUE(drawTable(ws));
  EXPECT_EQ(inkCount(), lines);
  EXPECT_EQ(p.tz(0), "V, 10, 10, 0, 20, 3, 1\r\nV, 10, 10, 0, 20, 3, 1, Cells=1\r\n");

  table(true, "10", "10", "0", "0", "3", "1");
  EXPECT_FALSE(drawTable(ws));
  EXPECT_EQ(status.texts.back(), "Нулевые размеры");
}

TEST_F(DrawTable, BadNumbersAreRefusedWithAMessage) {
  struct Case {
    int field;
    const char* value;
    const char* caption;
  };
  const Case cases[] = {
      {field::kAcross, "0", "Колонок"}, {field::kDown, "-3", "Рядов"},
      {field::kRepeatDown, "99999999", "Повторов таблицы по вертикали"},
      {field::kVerticalLineWidth, "-1", "Толщина вертикальных линий, точек"},
  };
  for (const Case& c : cases) {
    defaults();
    prompts.shown.clear();
    p.setTn(c.field, c.value);
    EXPECT_FALSE(drawTable(ws)) << c.value;
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text.rfind("Таблица не нарисована: \"" + std::string(c.caption) + "\"", 0), 0u)
        << prompts.shown[0].text;
    EXPECT_EQ(inkCount(), 0);
    EXPECT_EQ(p.tz(0), "");
  }
  // Too many lines in all: 10000 x 10000 cells repeated 1000 times.
  defaults();
  p.setTn(field::kAcross, "10000");
  p.setTn(field::kDown, "10000");
  p.setTn(field::kRepeatAcross, "1000");
  EXPECT_FALSE(drawTable(ws));
  EXPECT_EQ(prompts.shown.back().text, "Таблица не нарисована: больше 1000000 линий");
}

TEST_F(DrawTable, LinesPastThePictureAreCutOrSkipped) {
  table(true, "200", "280", "40", "40", "4", "4");  // the A4 sheet is 210 x 297 mm
  ASSERT_TRUE(drawTable(ws));
  EXPECT_TRUE(ink(209.9, 280) && ink(200, 296.9));
  EXPECT_FALSE(ink(209.9, 285));  // the vertical line at 210 mm starts past the last column
}

TEST_F(DrawTable, MaskedLinesAreDottedAndMergedCellsLoseTheirInnerLines) {
  p.setTn(field::kHorizontalLineWidth, "4");
  p.setChb(check::kMaskLines, true);
  ws.setMaskPattern("5A5A");
  ASSERT_TRUE(drawTable(ws));
  const Bitmap& b = ws.image.bitmap;
  const int y = static_cast<int>(std::lround(10 * d)) + 1, x0 = static_cast<int>(std::lround(20 * d));
  int white = 0;
  for (int x = x0; x < x0 + 8; ++x) white += b.isWhite(x, y);
  EXPECT_EQ(white, 4);  // half of each pattern row is whitened

  p.setChb(check::kMaskLines, false);
  ws.image.modified = 0;
  ASSERT_TRUE(newSheet(ws, 1, true));
  ASSERT_TRUE(drawTable(ws));
  EXPECT_TRUE(ink(35, 10) && ink(35, 20));
  ASSERT_TRUE(mergeCells(ws));
  EXPECT_TRUE(ink(35, 10) && !ink(35, 20) && !ink(35, 15) && ink(60, 15));
  EXPECT_FALSE(mergeCells(ws));  // nothing left to merge: nothing recorded
  EXPECT_EQ(p.tz(0), "T, 10, 10, 50, 20, 2, 2, 4, 1, Mask=5A5A\r\nT, 10, 10, 50, 20, 2, 2, 4, 1\r\nU, 10, 10, 50, 20\r\n");
}

}  // namespace
}  // namespace quillaro
