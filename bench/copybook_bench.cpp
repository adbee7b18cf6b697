// A whole copybook, hidden: 16 generated 600-dpi 8-bit scans opened as 1 bit, copied into
// 2-in-1 halves with a small angle and 70.7 % scale, assembled on A3 sheets of the one-fold
// plan, saved and printed to the BMP file printer, all by the program line "Batch". Next to
// it the same steps as an ImageMagick shell script on the same files (skipped when `convert`
// is missing). Counters: pages per second, peak resident memory, and the script's time over
// the program's.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "automation/composition.h"
#include "automation/runner.h"
#include "base/control_numbers.h"
#include "image/bmp_file.h"
#include "image/sample_page.h"
#include "model/workspace.h"
#include "ops/imposition_plan.h"
#include "ops/print.h"
#include "ops/system_printers.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;
constexpr int kPages = 16;

// The benchmark's folder, removed with everything in it when the process ends.
struct BenchFolder {
  fs::path path;
  ~BenchFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

// The scans, made once per process.
const fs::path& scanFolder() {
  static const BenchFolder folder{[] {
    const fs::path f = fs::temp_directory_path() / ("quillaro-copybook-bench-" + std::to_string(::getpid()));
    fs::create_directories(f / "scans");
    for (int n = 1; n <= kPages; ++n) {
      SamplePageOptions o;
      o.bits = 8;
      o.seed = static_cast<std::uint64_t>(n);
      writeBitmap((f / "scans" / ("p" + std::to_string(n) + ".bmp")).string(), makeSamplePage(o), kPixelsPerMetre600);
    }
    return f;
  }()};
  return folder.path;
}

fs::path freshFolder(const std::string& name) {
  const fs::path f = scanFolder() / name;
  fs::remove_all(f);
  fs::create_directories(f);
  return f;
}

long statusKb(const std::string& key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, key.size() + 1, key + ":") == 0) return std::stol(line.substr(key.size() + 1));
  return -1;
}

void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double programSeconds = 0;

void BM_CopybookHidden(benchmark::State& state) {
  const fs::path scans = scanFolder() / "scans";
  long peakKb = 0;
  double seconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path saved = freshFolder("saved");
    Workspace ws;
    connectWorkspace(ws);
    auto printers = makeCorePrinterList(ws, "BMP");
    installPrinting(ws, printers.get());
    ws.shared.folders[kFolderPictures] = scans.string();
    ws.shared.folders[kFolderSaved] = saved.string();
    ParamStore& p = ws.params;
    p.setChb(check::kRecordActions, false);
    p.setChb(check::kRemind, false);
    p.setChb(check::kOpenAs1Bit, true);
    p.setChb(check::kKeepAngle, true);
    p.setCheck(Check::Ch2in1, true);
    for (auto [tn, v] : {std::pair{field::kFrameLeft, "5"}, {field::kFrameTop, "2"}, {field::kFrameWidth, "200"},
                         {field::kFrameHeight, "140"}, {field::kZoneLeft, "0"}, {field::kZoneTop, "0"},
                         {field::kScale, "70.7"}, {field::kAngle, "30"}})
      p.setTn(tn, v);
    resetPeak();
    state.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    runText(ws, "Batch, From=1, To=16, A3=1, Prefix=\"p\", Print=1\r\n");
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.PauseTiming();
    peakKb = std::max(peakKb, statusKb("VmHWM"));
    if (!fs::exists(saved / "8+1-16+9.bmp") || !fs::exists(saved / "Print-0004.bmp"))
      state.SkipWithError("the copybook was not made");
    state.ResumeTiming();
  }
  programSeconds = seconds / static_cast<double>(state.iterations());
  state.counters["pages_per_s"] = kPages / programSeconds;
  state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024.0;
}
BENCHMARK(BM_CopybookHidden)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

// The same steps by ImageMagick: threshold, small rotation and scale of each scan into an A5
// half, two halves stacked into an A4 form, two forms side by side into an A3 sheet (the
// one-fold plan), each sheet saved and "printed" as a BMP file.
// The ImageMagick convert command: the first of "convert" on the path and /usr/bin/convert
// that says it is ImageMagick; empty when there is none.
std::string findConvert() {
  for (const char* c : {"convert", "/usr/bin/convert"})
    if (std::system((std::string(c) + " -version 2>/dev/null | grep -q ImageMagick").c_str()) == 0) return c;
  return {};
}

std::string magickScript(const std::string& convert, const fs::path& scans, const fs::path& out) {
  const ImpositionPlan plan = makePlan({1, kPages, false, 0, PlanKind::A3OneFold});
  std::ostringstream s;
  // Debian's policy keeps pictures over 256 MiB in a disk cache; the peer gets the memory a
  // page needs, so that it is measured working in memory as the program does.
  const fs::path policy = scanFolder() / "magick-policy";
  fs::create_directories(policy);
  std::ofstream(policy / "policy.xml") << "<policymap>\n"
      "  <policy domain=\"resource\" name=\"memory\" value=\"4GiB\"/>\n"
      "  <policy domain=\"resource\" name=\"map\" value=\"4GiB\"/>\n"
      "  <policy domain=\"resource\" name=\"area\" value=\"4GP\"/>\n</policymap>\n";
  s << "set -e\nexport MAGICK_CONFIGURE_PATH='" << policy.string() << "'\ncd '" << out.string() << "'\n";
  for (int n = 1; n <= kPages; ++n)
    s << convert << " '" << (scans / ("p" + std::to_string(n) + ".bmp")).string()
      << "' -threshold 55% -rotate 0.17 -resize 70.7% -gravity northwest -crop 4725x3307+0+0 +repage "
         "-monochrome h" << n << ".bmp\n";
  for (std::size_t i = 0; i < plan.names.size(); ++i) {
    const auto& a = plan.formPages[2 * i];
    const auto& b = plan.formPages[2 * i + 1];
    s << convert << " h" << a[1] << ".bmp h" << a[0] << ".bmp -append -monochrome fa.bmp\n";
    s << convert << " h" << b[1] << ".bmp h" << b[0] << ".bmp -append -monochrome fb.bmp\n";
    s << convert << " fa.bmp fb.bmp +append -monochrome '" << plan.names[i] << "'\n";
    s << convert << " '" << plan.names[i] << "' -monochrome Print-000" << i + 1 << ".bmp\n";
  }
  return s.str();
}

void BM_CopybookImageMagickScript(benchmark::State& state) {
  const std::string convert = findConvert();
  if (convert.empty()) {
    state.SkipWithError("ImageMagick is not installed (scripts/install-deps --bench): no peer to compare with");
    return;
  }
  const fs::path scans = scanFolder() / "scans";
  double seconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path out = freshFolder("magick");
    const fs::path script = scanFolder() / "copybook.sh";
    std::ofstream(script) << magickScript(convert, scans, out);
    state.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    const int rc = std::system(("sh '" + script.string() + "' >/dev/null 2>&1").c_str());
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (rc != 0) state.SkipWithError("the ImageMagick script failed");
  }
  seconds /= static_cast<double>(state.iterations());
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  state.counters["pages_per_s"] = kPages / seconds;
  state.counters["peak_MB"] = static_cast<double>(children.ru_maxrss) / 1024.0;
  if (programSeconds > 0) state.counters["script_over_program"] = seconds / programSeconds;
}
BENCHMARK(BM_CopybookImageMagickScript)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace quillaro
