// Masks and line density over a whole 600 dpi A4 page (4961 x 7016), next to a plain copy
// of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>

#include "kernels/density.h"
#include "kernels/mask.h"
#include "image/bitmap.h"
#include "image/sample_page.h"

namespace {

using namespace quillaro;

const Bitmap& samplePage(int bits) {
  static const Bitmap page1 = [] {
    SamplePageOptions o;
    o.bits = 1;
    return makeSamplePage(o);
  }();
  static const Bitmap page8 = [] {
    SamplePageOptions o;
    o.bits = 8;
    Bitmap grey = makeSamplePage(o);
    // Dark strokes become pure black, as after a tone correction: only 0 is black here.
    for (std::size_t i = 0; i < grey.byteCount(); ++i)
      if (grey.data()[i] < 140) grey.data()[i] = 0;
    return grey;
  }();
  return bits == 1 ? page1 : page8;
}

void setBytes(benchmark::State& state, const Bitmap& page) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(page.byteCount()));
}

void BM_CopyPage(benchmark::State& state) {
  const Bitmap& page = samplePage(static_cast<int>(state.range(0)));
  Bitmap work = page.clone();
  for (auto _ : state) {
    std::memcpy(work.data(), page.data(), page.byteCount());
    benchmark::ClobberMemory();
  }
  setBytes(state, page);
}
BENCHMARK(BM_CopyPage)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_MaskPage(benchmark::State& state) {
  const Bitmap& page = samplePage(static_cast<int>(state.range(0)));
  Bitmap work = page.clone();
  const MaskArea all = maskAreaFor(0, 0, page.width, page.height, page.width, page.height);
  for (auto _ : state) {
    maskRectangle(work, all, MaskPattern(0x5A5A));
    benchmark::ClobberMemory();
  }
  setBytes(state, page);
}
BENCHMARK(BM_MaskPage)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_MaskPageOddEdges(benchmark::State& state) {
  const Bitmap& page = samplePage(1);
  Bitmap work = page.clone();
  const MaskArea area = maskAreaFor(3, 1, page.width - 7, page.height - 2, page.width, page.height);
  for (auto _ : state) {
    maskRectangle(work, area, MaskPattern(0x0A0A));
    benchmark::ClobberMemory();
  }
  setBytes(state, page);
}
BENCHMARK(BM_MaskPageOddEdges)->Unit(benchmark::kMillisecond);

void BM_UnevenMaskPage(benchmark::State& state) {
  const Bitmap& page = samplePage(1);
  Bitmap work = page.clone();
  const MaskArea all = maskAreaFor(0, 0, page.width, page.height, page.width, page.height);
  const UnevenMaskTable table = buildUnevenMaskTable(0, 15, page.rowBytes, 16, false);
  for (auto _ : state) {
    applyUnevenMask(work, all, table);
    benchmark::ClobberMemory();
  }
  setBytes(state, page);
}
BENCHMARK(BM_UnevenMaskPage)->Unit(benchmark::kMillisecond);

// The page is restored before each run (not timed): these operations change what they read.
void BM_DenseThinPage(benchmark::State& state) {
  const Bitmap& page = samplePage(static_cast<int>(state.range(0)));
  Bitmap work = page.clone();
  const PixelRect all{0, 0, page.width - 1, page.height - 1};
  DenseThinOptions o;
  o.lineWidth = 4;
  o.plus = state.range(1) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(work.data(), page.data(), page.byteCount());
    state.ResumeTiming();
    denseThin(work, all, o);
    benchmark::ClobberMemory();
  }
  setBytes(state, page);
}
BENCHMARK(BM_DenseThinPage)
    ->ArgNames({"bits", "plus"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({8, 0})
    ->Unit(benchmark::kMillisecond);

void BM_LineWidthPage(benchmark::State& state) {
  const Bitmap& page = samplePage(1);
  Bitmap work = page.clone();
  const PixelRect all{0, 0, page.width - 1, page.height - 1};
  LineWidthOptions o;
  o.grow = state.range(0) != 0;
  o.corners = state.range(1) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(work.data(), page.data(), page.byteCount());
    state.ResumeTiming();
    changeLineWidth(work, all, o);
    benchmark::ClobberMemory();
  }
  setBytes(state, page);
}
BENCHMARK(BM_LineWidthPage)
    ->ArgNames({"grow", "corners"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
