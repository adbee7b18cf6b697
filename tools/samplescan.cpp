// samplescan: writes a synthetic scanned copybook page as a bitmap file.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "image/bmp_file.h"
#include "image/sample_page.h"

namespace {

const char kUsage[] =
    "Usage: samplescan OUT.bmp [--bits 1|8|24] [--width W --height H] [--seed N]\n"
    "                  [--grid ruled|squared] [--dpi 600|1200]\n"
    "Writes a synthetic scanned copybook page: grey paper with a gradient and noise,\n"
    "ruled lines or a squared grid, handwriting-like strokes and a small skew.\n"
    "Defaults: 24 bits, A4 at the resolution (4961 x 7016 at 600 dpi), seed 1, ruled.\n"
    "The same options always give the same file.\n";

bool parseInt(const char* text, long long lo, long long hi, long long* out) {
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < lo || v > hi) return false;
  *out = v;
  return true;
}

int usageError(const std::string& what) {
  std::fprintf(stderr, "samplescan: %s\n%s", what.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  quillaro::SamplePageOptions options;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg.rfind("--", 0) == 0) {
      if (i + 1 >= argc) return usageError("missing value after " + arg);
      const char* value = argv[++i];
      long long n = 0;
      if (arg == "--bits") {
        if (!parseInt(value, 1, 24, &n) || (n != 1 && n != 8 && n != 24)) return usageError("--bits must be 1, 8 or 24");
        options.bits = static_cast<int>(n);
      } else if (arg == "--width" || arg == "--height") {
        if (!parseInt(value, 1, 1000000, &n)) return usageError(arg + " must be a positive number");
        (arg == "--width" ? options.width : options.height) = static_cast<int>(n);
      } else if (arg == "--seed") {
        char* end = nullptr;
        errno = 0;
        unsigned long long s = std::strtoull(value, &end, 10);
        if (errno != 0 || end == value || *end != '\0') return usageError("--seed must be a number");
        options.seed = s;
      } else if (arg == "--grid") {
        if (std::strcmp(value, "ruled") == 0) options.grid = quillaro::SampleGrid::Ruled;
        else if (std::strcmp(value, "squared") == 0) options.grid = quillaro::SampleGrid::Squared;
        else return usageError("--grid must be ruled or squared");
      } else if (arg == "--dpi") {
        if (!parseInt(value, 600, 1200, &n) || (n != 600 && n != 1200)) return usageError("--dpi must be 600 or 1200");
        options.dpi = static_cast<int>(n);
      } else {
        return usageError("unknown option " + arg);
      }
    } else if (out.empty()) {
      out = arg;
    } else {
      return usageError("more than one output file");
    }
  }
  if (out.empty()) return usageError("no output file");

  quillaro::Bitmap page = quillaro::makeSamplePage(options);
  if (page.empty()) {
    std::fprintf(stderr, "samplescan: the page cannot be made at this size\n");
    return 1;
  }
  std::string error;
  if (!quillaro::writeBitmap(out, page, quillaro::samplePixelsPerMetre(options), &error)) {
    std::fprintf(stderr, "samplescan: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
