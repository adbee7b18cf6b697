// The bitmap reader in every mode, then the whole opening through the program's own
// "Open" line with the options taken from the first two bytes.
#include <cstdio>
#include <string>

#include "automation/composition.h"
#include "automation/interpreter.h"
#include "base/control_numbers.h"
#include "base/ports.h"
#include "fuzz_targets.h"
#include "image/bmp_file.h"
#include "kernels/tone.h"
#include "model/workspace.h"

namespace quillaro::fuzz {
namespace {

void writeInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) fail("cannot write the input file");
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

void checkResult(const ReadResult& r) {
  if (!r.ok()) {
    if (r.message.empty()) fail("a refusal without a message");
    if (!r.image.bitmap.empty()) fail("a refusal that kept a picture");
    return;
  }
  const Bitmap& b = r.image.bitmap;
  if (b.empty() || b.width < kMinPictureDots || b.height < kMinPictureDots) fail("an accepted picture of a bad size");
  if (b.stride != strideFor(b.width, b.bits)) fail("an accepted picture with a wrong stride");
  // Every byte is readable (the sanitizer checks the bounds).
  unsigned sum = 0;
  for (std::size_t i = 0; i < b.byteCount(); i += 61) sum += b.data()[i];
  sum += b.data()[b.byteCount() - 1];
  if (sum == 0xFFFFFFFFu) std::puts("");
}

}  // namespace

int bitmapAndOpening(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t options = data[0];
  const int brightness = static_cast<int>(data[1]) - 128;
  const std::string path = std::string(scratchFolder()) + "/in.bmp";
  writeInput(path, data + 2, size - 2);

  const ToneMap tone = identityToneMap();
  const GreyReduction mode = options & 1 ? GreyReduction::Weighted : GreyReduction::Green;
  ReadOptions keep, grey, bits;
  grey.colour = bits.colour = ColourMode::Reduce;
  grey.reducedBits = 8;
  grey.convertRow = [&](const std::uint8_t* bgr, int w, std::uint8_t* out) { greyRowFrom24(bgr, w, out, mode, tone); };
  bits.reducedBits = 1;
  bits.convertRow = [&](const std::uint8_t* bgr, int w, std::uint8_t* out) { bitRowFrom24(bgr, w, out, mode, 140); };
  for (const ReadOptions* o : {&keep, &grey, &bits}) checkResult(readBitmap(path, *o, nullptr));

  // One workspace for every input: each opening replaces the picture or keeps the last.
  static SilentPrompts prompts;
  static Workspace& ws = *[] {
    auto* w = new Workspace(&prompts);
    connectWorkspace(*w);
    return w;
  }();
  ws.params.setChb(check::kToneOnOpen, options & 2);
  ws.params.setChb(check::kKeepColour, options & 4);
  std::string line = "Open, SRC=\"" + path + "\"";
  if (options & 8) line += " To1bit=1";
  if (options & 1) line += " RGB=1";
  if (options & 16) line += " BW=" + std::to_string(brightness);
  if (options & 32) line += " Contrast=" + std::to_string(1 + brightness / 50.0);
  if (options & 64) line += " Black=1";
  if (options & 128) line += " White=1";
  interpret(ws, line);
  if (ws.image.loaded && ws.image.bitmap.empty()) fail("a loaded picture without pixels");
  return 0;
}

}  // namespace quillaro::fuzz

QUILLARO_FUZZ_ENTRY(bitmapAndOpening)
