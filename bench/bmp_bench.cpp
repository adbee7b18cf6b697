// Reading and writing a 600 dpi A4 page (4961 x 7016) at 1, 8 and 24 bits, each next to a
// memcpy of the same number of bytes, and a 24-bit page reduced row by row to 8-bit grey.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "image/bmp_file.h"
#include "image/sample_page.h"

namespace {

using namespace quillaro;

// The pages are made once per depth and written into a temporary folder for the run.
class Pages {
public:
  static Pages& get() {
    static Pages pages;
    return pages;
  }
  const Bitmap& page(int bits) {
    auto it = pages_.find(bits);
    if (it == pages_.end()) {
      SamplePageOptions o;
      o.bits = bits;
      o.seed = 42;
      it = pages_.emplace(bits, makeSamplePage(o)).first;
    }
    return it->second;
  }
  std::string file(int bits) {
    std::string path = (folder_ / ("page" + std::to_string(bits) + ".bmp")).string();
    if (!std::filesystem::exists(path)) writeBitmap(path, page(bits), kPixelsPerMetre600);
    return path;
  }
  std::string scratch(int bits) const {
    return (folder_ / ("out" + std::to_string(bits) + ".bmp")).string();
  }
  ~Pages() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

private:
  Pages() {
    folder_ = std::filesystem::temp_directory_path() / ("quillaro-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
  }
  std::filesystem::path folder_;
  std::map<int, Bitmap> pages_;
};

void BM_Memcpy(benchmark::State& state) {
  const Bitmap& page = Pages::get().page(static_cast<int>(state.range(0)));
  std::unique_ptr<std::uint8_t[]> dst(new std::uint8_t[page.byteCount()]);
  std::memset(dst.get(), 0, page.byteCount());
  for (auto _ : state) {
    std::memcpy(dst.get(), page.data(), page.byteCount());
    benchmark::DoNotOptimize(dst.get());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.byteCount()));
}

// A fresh pixel array per iteration, as reading has to allocate its own.
void BM_MemcpyFresh(benchmark::State& state) {
  const Bitmap& page = Pages::get().page(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    PixelArray dst = allocatePixels(page.byteCount());
    std::memcpy(dst.get(), page.data(), page.byteCount());
    benchmark::DoNotOptimize(dst.get());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.byteCount()));
}

// The file system's own cost: the same bytes written to a new file and read back into a
// fresh array with plain stdio, no header, no checks.
void BM_RawFileWrite(benchmark::State& state) {
  const Bitmap& page = Pages::get().page(static_cast<int>(state.range(0)));
  const std::string path = Pages::get().scratch(100 + static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::remove(path.c_str());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(page.data(), 1, page.byteCount(), f) != page.byteCount()) state.SkipWithError("write");
    if (f) std::fclose(f);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.byteCount()));
}

void BM_RawFileRead(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const std::string path = Pages::get().file(bits);
  const std::size_t bytes = Pages::get().page(bits).byteCount();
  for (auto _ : state) {
    PixelArray dst = allocatePixels(bytes);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f || std::fread(dst.get(), 1, bytes, f) != bytes) state.SkipWithError("read");
    if (f) std::fclose(f);
    benchmark::DoNotOptimize(dst.get());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_Read(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const std::string path = Pages::get().file(bits);
  const std::size_t bytes = Pages::get().page(bits).byteCount();
  for (auto _ : state) {
    ReadResult r = readBitmap(path, {}, nullptr);
    if (!r.ok()) state.SkipWithError(r.message.c_str());
    benchmark::DoNotOptimize(r.image.bitmap.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_Write(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const Bitmap& page = Pages::get().page(bits);
  const std::string path = Pages::get().scratch(bits);
  for (auto _ : state) {
    std::string error;
    if (!writeBitmap(path, page, kPixelsPerMetre600, &error)) state.SkipWithError(error.c_str());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.byteCount()));
}

// The same into a name that does not exist yet: without an old file to replace, the file
// system has no reason to flush the new one at the rename (ext4 does so on replacement).
void BM_WriteNewFile(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const Bitmap& page = Pages::get().page(bits);
  const std::string path = Pages::get().scratch(200 + bits);
  for (auto _ : state) {
    std::remove(path.c_str());
    std::string error;
    if (!writeBitmap(path, page, kPixelsPerMetre600, &error)) state.SkipWithError(error.c_str());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.byteCount()));
}

void greenRow(const std::uint8_t* bgr, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x) out[x] = bgr[3 * x + 1];
}

// Bytes counted are those of the colour file's pixels.
void BM_ReadReducedToGrey(benchmark::State& state) {
  const std::string path = Pages::get().file(24);
  const std::size_t bytes = Pages::get().page(24).byteCount();
  ReadOptions o;
  o.colour = ColourMode::Reduce;
  o.reducedBits = 8;
  o.convertRow = greenRow;
  for (auto _ : state) {
    ReadResult r = readBitmap(path, o, nullptr);
    if (!r.ok()) state.SkipWithError(r.message.c_str());
    benchmark::DoNotOptimize(r.image.bitmap.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_MakeSamplePage(benchmark::State& state) {
  SamplePageOptions o;
  o.bits = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Bitmap page = makeSamplePage(o);
    benchmark::DoNotOptimize(page.data());
  }
}

BENCHMARK(BM_Memcpy)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MemcpyFresh)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawFileRead)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawFileWrite)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Read)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Write)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteNewFile)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadReducedToGrey)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MakeSamplePage)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
