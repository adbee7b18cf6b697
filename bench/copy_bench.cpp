// Copy kernels on a generated 600-dpi A4 page: each path at 1, 8 and 24 bits, two
// originals, 4-in-1 and the A3 assembly.
#include <benchmark/benchmark.h>

#include <map>

#include "model/workspace.h"
#include "ops/a3_sheet.h"
#include "ops/copy_engine.h"
#include "ops/copy_params.h"
#include "model/copy_state.h"
#include "image/sample_page.h"

namespace quillaro {
namespace {

const Bitmap& scan(int bits) {
  static std::map<int, Bitmap> cache;
  auto it = cache.find(bits);
  if (it == cache.end()) {
    SamplePageOptions o;
    o.bits = bits;
    it = cache.emplace(bits, makeSamplePage(o)).first;
  }
  return it->second;
}

// The default page image at 600 dpi: 202 x 289 mm.
constexpr int kPageW = 4772, kPageH = 6827;

FrameMapping fullFrame(double a, double scale) {
  FrameMapping f;
  f.width = kPageW;
  f.height = kPageH;
  f.zoneLeft = 94;
  f.zoneTop = 94;
  f.sx = scale;
  f.sy = scale;
  f.a = a;
  return f;
}

void runPath(benchmark::State& state, CopyPath path, double a, double scale) {
  const int bits = static_cast<int>(state.range(0));
  const Bitmap& pic = scan(bits);
  Bitmap page = Bitmap::create(kPageW, kPageH, bits);
  const FrameMapping f = fullFrame(a, scale);
  for (auto _ : state) {
    drawFrame(pic, page, f, path);
    benchmark::DoNotOptimize(page.data());
  }
}

void BM_WholeByte(benchmark::State& s) { runPath(s, CopyPath::WholeByte, 0, 1); }
void BM_SmallAngle(benchmark::State& s) { runPath(s, CopyPath::SmallAngle, 0.012, 1.02); }
void BM_Fast(benchmark::State& s) { runPath(s, CopyPath::Fast, 0.012, 1.02); }
void BM_General(benchmark::State& s) { runPath(s, CopyPath::General, 0.12, 1.02); }
BENCHMARK(BM_WholeByte)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallAngle)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fast)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_General)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

// Two A5 originals side by side on the scan, each turned into a half of the page.
void BM_TwoOriginals(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const double a = state.range(1) / 10000.0;
  const Bitmap& pic = scan(bits);
  Bitmap page = Bitmap::create(kPageW, kPageH, bits);
  TwoOriginalsMapping s;
  s.width = 3300;   // along the page rows
  s.height = 4600;  // along the page columns
  s.zoneLeft = 100;
  s.zoneTop = 100;
  s.a = a;
  const int middle = 3508;
  for (auto _ : state) {
    s.upper = false;
    s.rowBase = middle - 94 + 100;
    drawTwoOriginals(pic, page, s);
    s.upper = true;
    s.rowBase = middle - 94 - 100;
    s.zoneLeft = 100 + 2400;
    drawTwoOriginals(pic, page, s);
    s.zoneLeft = 100;
    benchmark::DoNotOptimize(page.data());
  }
}
BENCHMARK(BM_TwoOriginals)->Args({1, 100})->Args({8, 100})->Args({24, 100})->Args({1, 1000})->Unit(benchmark::kMillisecond);

// Four quarter frames (4-in-1), small angle.
void BM_FourInOne(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const Bitmap& pic = scan(bits);
  Bitmap page = Bitmap::create(kPageW, kPageH, bits);
  for (auto _ : state) {
    for (int q = 0; q < 4; ++q) {
      FrameMapping f = fullFrame(0.01, 0.5);
      f.width = kPageW / 2 - 20;
      f.height = kPageH / 2 - 20;
      f.destLeft = (q == 0 || q == 3) ? kPageW / 2 + 10 : 10;
      f.destTop = q < 2 ? 10 : kPageH / 2 + 10;
      drawFrame(pic, page, f, CopyPath::SmallAngle);
    }
    benchmark::DoNotOptimize(page.data());
  }
}
BENCHMARK(BM_FourInOne)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

// Two A4 pages into the A3 sheet (first page turned), at 1 and 8 bits.
void BM_A3Assembly(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  Workspace ws;
  registerCopyHandlers(ws);
  ws.params.setChb(copycheck::kRemind, false);
  ws.params.setChb(30, false);
  ws.params.setCheck(Check::ChA3, true);
  ws.page = scan(bits).clone();
  CopyState& st = copyState(ws);
  st.pageDpi = 600;
  for (auto _ : state) {
    st.freshCopy = true;
    toA3(ws);
    st.freshCopy = true;
    toA3(ws);
    benchmark::DoNotOptimize(ws.a3.data());
    state.PauseTiming();
    eraseA3(ws);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_A3Assembly)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillaro
