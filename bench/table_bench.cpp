// A 40 x 60 grid drawn into a 600 dpi A4 page (4960 x 7016), 2-dot lines over
// 190 x 277 mm: the line kernels alone and the whole drawing operation (with its undo
// copy), next to a plain copy of the page's bytes.
#include <benchmark/benchmark.h>

#include <cstring>

#include "base/control_numbers.h"
#include "base/numeric.h"
#include "image/bitmap.h"
#include "kernels/lines.h"
#include "model/workspace.h"
#include "ops/draw_table.h"
#include "ops/new_sheet.h"

namespace {

using namespace quillaro;

TableLayout grid() {
  TableLayout s;
  s.columns = 40;
  s.rows = 60;
  s.verticalThickness = s.horizontalThickness = 2;
  s.left = s.top = 10 * kDotsPerMm600;
  s.width = 190 * kDotsPerMm600;
  s.height = 277 * kDotsPerMm600;
  return s;
}

void BM_CopyA4Page(benchmark::State& state) {
  const Bitmap page = Bitmap::create(4960, 7016, static_cast<int>(state.range(0)));
  Bitmap work = page.clone();
  for (auto _ : state) {
    std::memcpy(work.data(), page.data(), page.byteCount());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyA4Page)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

void BM_GridLines(benchmark::State& state) {
  Bitmap page = Bitmap::create(4960, 7016, static_cast<int>(state.range(0)));
  const TableLayout table = grid();
  for (auto _ : state) {
    for (const TableLine& l : tableGeometry(table)) {
      const PixelBox b = l.horizontal ? horizontalLineBox(l.x, l.y, l.length, l.thickness, l.extension, page.width, page.height)
                                      : verticalLineBox(l.x, l.y, l.length, l.thickness, l.extension, page.width, page.height);
      fillBox(page, b, Rgb{});
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GridLines)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

// The operation as the button runs it: panel values, undo copy of the block, drawing.
void BM_DrawTableOperation(benchmark::State& state) {
  Workspace ws;
  newSheet(ws, state.range(0) == 8 ? kSheetGrey : 0, true);
  ParamStore& p = ws.params;
  p.setCheck(Check::ChTabTab, true);
  p.setChb(check::kTableHorizontal, true);
  p.setChb(check::kTableVertical, true);
  const std::pair<int, const char*> fields[] = {
      {field::kDrawLeft, "10"}, {field::kDrawTop, "10"}, {field::kDrawWidth, "190"}, {field::kDrawHeight, "277"},
      {field::kAcross, "40"}, {field::kDown, "60"}, {field::kVerticalLineWidth, "2"},
      {field::kHorizontalLineWidth, "2"}, {field::kRepeatAcross, "1"}, {field::kRepeatDown, "1"}};
  for (const auto& [f, v] : fields) p.setTn(f, v);
  for (auto _ : state) {
    if (!drawTable(ws)) state.SkipWithError("not drawn");
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawTableOperation)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
