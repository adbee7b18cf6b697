// Tone correction, conversion to 1 bit and whole-picture turns on a 600-dpi A4 page
// (4961 x 7016), each next to a memcpy of the bytes it reads.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "kernels/simd_level.h"
#include "kernels/to1bit.h"
#include "kernels/tone.h"
#include "kernels/turns.h"
#include "image/sample_page.h"

namespace quillaro {
namespace {

const Bitmap& page(int bits) {
  static Bitmap pages[3];
  Bitmap& p = pages[bits == 1 ? 0 : bits == 8 ? 1 : 2];
  if (p.empty()) {
    SamplePageOptions o;
    o.bits = bits;
    p = makeSamplePage(o);
  }
  return p;
}

void setBytes(benchmark::State& state, std::size_t perIteration) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(perIteration));
}

// memcpy of n bytes into a buffer that stays allocated.
void copyBytes(benchmark::State& state, std::size_t n) {
  const int bits = static_cast<int>(state.range(0));
  const Bitmap& src = page(bits);
  std::unique_ptr<std::uint8_t[]> dst(new std::uint8_t[n]);
  std::memset(dst.get(), 0, n);
  for (auto _ : state) {
    std::memcpy(dst.get(), src.data(), n);
    benchmark::DoNotOptimize(dst.get());
    benchmark::ClobberMemory();
  }
  setBytes(state, n);
}

void BM_MemcpyPage(benchmark::State& state) {
  copyBytes(state, page(static_cast<int>(state.range(0))).byteCount());
}
BENCHMARK(BM_MemcpyPage)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

// memcpy into a buffer allocated anew each time, as a turn into a new picture does.
void BM_MemcpyPageFresh(benchmark::State& state) {
  const Bitmap& src = page(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Bitmap dst;
    dst.allocate(src.height, src.width, src.bits);
    std::memcpy(dst.data(), src.data(), std::min(dst.byteCount(), src.byteCount()));
    benchmark::DoNotOptimize(dst.data());
  }
  setBytes(state, src.byteCount());
}
BENCHMARK(BM_MemcpyPageFresh)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

// ---- Reading colour rows --------------------------------------------------------------

// The vector level of a run: 0 plain, 1 AVX2, 2 AVX-512 (levels the processor lacks are
// skipped), so that the levels can be compared on one machine.
// Runs the benchmark at one level and puts the best level back afterwards; `ok` is false
// (and the run skipped) when the processor lacks the level.
struct LevelScope {
  bool ok = true;
  LevelScope(benchmark::State& state, std::int64_t level) {
    if (level > static_cast<int>(supportedSimdLevel())) {
      state.SkipWithError("level not supported here");
      ok = false;
      return;
    }
    forceSimdLevel(static_cast<SimdLevel>(level));
  }
  ~LevelScope() { forceSimdLevel(supportedSimdLevel()); }
};

void BM_GreyRowsFrom24(benchmark::State& state) {
  const LevelScope level(state, state.range(1));
  if (!level.ok) return;
  const Bitmap& src = page(24);
  const auto mode = state.range(0) ? GreyReduction::Weighted : GreyReduction::Green;
  const ToneMap tone = makeToneMap(1.3f, -10, false, false);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(strideFor(src.width, 8)) * src.height);
  const std::size_t stride = static_cast<std::size_t>(strideFor(src.width, 8));
  for (auto _ : state) {
    for (int s = 0; s < src.height; ++s)
      greyRowFrom24(src.fileRow(s), src.width, out.data() + s * stride, mode, tone);
    benchmark::DoNotOptimize(out.data());
  }
  setBytes(state, src.byteCount());
}
BENCHMARK(BM_GreyRowsFrom24)
    ->ArgNames({"weighted", "level"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

void BM_BitRowsFrom24(benchmark::State& state) {
  const LevelScope level(state, state.range(1));
  if (!level.ok) return;
  const Bitmap& src = page(24);
  const auto mode = state.range(0) ? GreyReduction::Weighted : GreyReduction::Green;
  const std::size_t stride = static_cast<std::size_t>(strideFor(src.width, 1));
  std::vector<std::uint8_t> out(stride * src.height);
  for (auto _ : state) {
    for (int s = 0; s < src.height; ++s)
      bitRowFrom24(src.fileRow(s), src.width, out.data() + s * stride, mode, 140);
    benchmark::DoNotOptimize(out.data());
  }
  setBytes(state, src.byteCount());
}
BENCHMARK(BM_BitRowsFrom24)
    ->ArgNames({"weighted", "level"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// ---- Grey to 1 bit -----------------------------------------------------------------------

void BM_To1bit(benchmark::State& state) {
  const Bitmap& src = page(8);
  for (auto _ : state) {
    Bitmap b = to1bit(src, 140);
    benchmark::DoNotOptimize(b.data());
  }
  setBytes(state, src.byteCount());
}
BENCHMARK(BM_To1bit)->Unit(benchmark::kMillisecond);

// The rows alone, into a buffer that stays allocated.
void BM_BitRowsFrom8(benchmark::State& state) {
  const Bitmap& src = page(8);
  const std::size_t stride = static_cast<std::size_t>(strideFor(src.width, 1));
  std::vector<std::uint8_t> out(stride * src.height);
  for (auto _ : state) {
    for (int s = 0; s < src.height; ++s)
      bitRowFrom8(src.fileRow(s), src.width, out.data() + s * stride, 140);
    benchmark::DoNotOptimize(out.data());
  }
  setBytes(state, src.byteCount());
}
BENCHMARK(BM_BitRowsFrom8)->Unit(benchmark::kMillisecond);

// ---- Tone in place ---------------------------------------------------------------------------

// Inversion with protected black and white undoes itself, so repeated runs see the same
// kind of pixels.
void BM_ToneWholePage(benchmark::State& state) {
  const LevelScope level(state, state.range(1));
  if (!level.ok) return;
  Bitmap p = page(static_cast<int>(state.range(0))).clone();
  const ToneMap invert = makeToneMap(-1.0f, 255, false, false);
  for (auto _ : state) {
    applyTone(p, invert);
    benchmark::DoNotOptimize(p.data());
  }
  setBytes(state, p.byteCount());
}
BENCHMARK(BM_ToneWholePage)
    ->ArgNames({"bits", "level"})
    ->ArgsProduct({{8, 24}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

void BM_DarkRelWhiteWholePage(benchmark::State& state) {
  const LevelScope level(state, state.range(0));
  if (!level.ok) return;
  Bitmap p = page(8).clone();
  for (auto _ : state) {
    darkRelWhite(p, wholePicture(p), 1.5f);
    benchmark::DoNotOptimize(p.data());
  }
  setBytes(state, p.byteCount());
}
BENCHMARK(BM_DarkRelWhiteWholePage)->ArgName("level")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// ---- Turns -------------------------------------------------------------------------------

void BM_TurnOver(benchmark::State& state) {
  const LevelScope level(state, state.range(1));
  if (!level.ok) return;
  Bitmap p = page(static_cast<int>(state.range(0))).clone();
  for (auto _ : state) {
    turnOver(p);
    benchmark::DoNotOptimize(p.data());
  }
  setBytes(state, p.byteCount());
}
BENCHMARK(BM_TurnOver)
    ->ArgNames({"bits", "level"})
    ->ArgsProduct({{1, 8, 24}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

void BM_TurnInto(benchmark::State& state) {
  const LevelScope level(state, state.range(2));
  if (!level.ok) return;
  const Bitmap& src = page(static_cast<int>(state.range(0)));
  const bool right = state.range(1) != 0;
  Bitmap dst = Bitmap::create(src.height, src.width, src.bits);
  for (auto _ : state) {
    if (right) turnRightInto(src, dst);
    else turnLeftInto(src, dst);
    benchmark::DoNotOptimize(dst.data());
  }
  setBytes(state, src.byteCount());
}
BENCHMARK(BM_TurnInto)
    ->ArgNames({"bits", "right", "level"})
    ->ArgsProduct({{1, 8, 24}, {1, 0}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// With the allocation of the new picture, as the command does it.
void BM_TurnRight(benchmark::State& state) {
  const Bitmap& src = page(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Bitmap b = turnRight(src);
    benchmark::DoNotOptimize(b.data());
  }
  setBytes(state, src.byteCount());
}
BENCHMARK(BM_TurnRight)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillaro
