// A full A4 page of 10-point text (about 4,000 characters) laid out and drawn into a 1-bit
// 600 dpi page through the text operation, next to a plain copy of the page's bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "image/bitmap.h"
#include "model/workspace.h"
#include "ops/draw_text.h"
#include "ops/new_sheet.h"

namespace {

using namespace quillaro;

std::string pageOfText() {
  const std::string para =
      "Съешь же ещё этих мягких французских булок, да выпей чаю. В чащах юга жил бы цитрус? "
      "Да, но фальшивый экземпляр! The quick brown fox jumps over the lazy dog 0123456789. ";
  std::string text;
  while (text.size() < 6000) text += para;  // UTF-8: about 4,000 characters
  return text;
}

void BM_CopyA4Page(benchmark::State& state) {
  const SheetSize a4 = sheetSize(0, 600);
  Bitmap page = Bitmap::create(a4.width, a4.height, 1), work = Bitmap::create(a4.width, a4.height, 1);
  for (auto _ : state) {
    std::memcpy(work.data(), page.data(), page.byteCount());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyA4Page)->Unit(benchmark::kMillisecond);

void BM_DrawTextA4Page(benchmark::State& state) {
  Workspace ws;
  const SheetSize a4 = sheetSize(0, 600);
  ws.image.bitmap = Bitmap::create(a4.width, a4.height, 1);
  ws.image.loaded = true;
  ParamStore& p = ws.params;
  p.setTn(field::kDrawLeft, "10");
  p.setTn(field::kDrawTop, "10");
  p.setTn(field::kDrawWidth, "182");
  p.setTn(field::kDrawHeight, "269");
  p.setTn(field::kFontSize, "10");
  p.setOption(OptionGroup::HAlign, 3);
  const std::string text = pageOfText();
  std::size_t drawn = 0;
  for (auto _ : state) {
    p.setTz(text::kBody, text, false);
    if (!drawText(ws)) state.SkipWithError("nothing drawn");
    drawn = text.size() - p.tz(text::kBody).size();
    benchmark::ClobberMemory();
  }
  state.counters["bytes_drawn"] = static_cast<double>(drawn);
}
BENCHMARK(BM_DrawTextA4Page)->Unit(benchmark::kMillisecond);

}  // namespace
