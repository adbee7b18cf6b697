// Opening a 24-bit 600-dpi A4 scan (4961 x 7016) as the Open command does it: reduced to
// 8-bit grey through the tone map, or straight to 1 bit by the threshold. Next to the time,
// the growth of the resident memory while reading (the kernel's high-water mark, reset just
// before), set against the size of the result: the reading holds the result and a row, never
// the colour picture. A result of 4 MB or more lies in whole 2-MB pages, which count in full.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "model/param_store.h"
#include "base/ports.h"
#include "model/workspace.h"
#include "image/bmp_file.h"
#include "ops/open.h"
#include "image/sample_page.h"

namespace quillaro {
namespace {

// The colour page, written once into a temporary folder for the run.
class ColourScan {
public:
  static const std::string& path() {
    static ColourScan scan;
    return scan.path_;
  }
  ~ColourScan() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

private:
  ColourScan() {
    folder_ = std::filesystem::temp_directory_path() /
              ("quillaro-open-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / "scan24.bmp").string();
    SamplePageOptions o;
    o.bits = 24;
    writeBitmap(path_, makeSamplePage(o), kPixelsPerMetre600);
  }
  std::filesystem::path folder_;
  std::string path_;
};

// A "/proc/self/status" value in kB (VmRSS, VmHWM), or -1 where there is none.
long statusKb(const std::string& key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, key.size() + 1, key + ":") == 0) {
      std::istringstream values(line.substr(key.size() + 1));
      long kb = -1;
      values >> kb;
      return kb;
    }
  return -1;
}

// Peak growth of the resident memory (kB) while fn runs; -1 where the high-water mark cannot
// be reset.
template <class Fn>
long peakGrowthKb(Fn fn) {
  {
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5";
    reset.close();  // the kernel takes the request when it is written out
    if (!reset) return -1;
  }
  const long before = statusKb("VmRSS");
  fn();
  const long peak = statusKb("VmHWM");
  return before < 0 || peak < 0 ? -1 : peak - before;
}

// Grey with a tone map (brightness 20, contrast 1.2, black and white protected) or 1 bit
// at threshold 128; green or the weights.
void setUp(ParamStore& p, bool to1bit, bool weighted) {
  p.setChb(55, to1bit);
  p.setChb(56, weighted);
  p.setChb(70, true);
  p.setHeld(Held::Brightness, "20");
  p.setTn(56, "1.2");
  p.setHeld(Held::Threshold, "128");
}

void BM_OpenColourScan(benchmark::State& state) {
  const bool to1bit = state.range(0) == 1;
  const bool weighted = state.range(1) != 0;
  const std::string& path = ColourScan::path();
  SilentPrompts prompts;
  NullProgress progress;
  long growthKb = -1;
  long resultKb = 0;
  {
    // A workspace of its own, so that no earlier picture is given back during the reading.
    Workspace first(&prompts, &progress);
    setUp(first.params, to1bit, weighted);
    growthKb = peakGrowthKb([&] {
      if (!openPicture(first, path)) state.SkipWithError("the scan did not open");
    });
    resultKb = static_cast<long>(first.image.bitmap.byteCount() / 1024);
  }
  Workspace ws(&prompts, &progress);
  setUp(ws.params, to1bit, weighted);
  std::size_t fileBytes = 0;
  for (auto _ : state) {
    ws.image.lastPath.clear();  // not the same file again: read it every time
    if (!openPicture(ws, path)) {
      state.SkipWithError("the scan did not open");
      break;
    }
    fileBytes = static_cast<std::size_t>(ws.image.bitmap.width) * ws.image.bitmap.height * 3;
    benchmark::DoNotOptimize(ws.image.bitmap.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileBytes));
  if (growthKb >= 0) {
    state.counters["result_MB"] = resultKb / 1024.0;
    state.counters["peak_growth_MB"] = growthKb / 1024.0;
    state.counters["beyond_result_kB"] = static_cast<double>(growthKb - resultKb);
  }
}
BENCHMARK(BM_OpenColourScan)
    ->ArgNames({"to1bit", "weighted"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quillaro
