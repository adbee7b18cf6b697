#include <gtest/gtest.h>

#include <cstring>

#include "image/bmp_file.h"
#include "image/bmp_test_util.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

using testing::BmpSpec;
using testing::PaletteEntry;
using testing::ScriptedPrompts;
using testing::TempDir;

// Green byte of every pixel: the simplest grey reduction.
void greenRow(const std::uint8_t* bgr, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x) out[x] = bgr[3 * x + 1];
}
// Black where green is below 128.
void thresholdRow(const std::uint8_t* bgr, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x) {
    if (bgr[3 * x + 1] < 128) setBitWhite(out, x, false);
  }
}

ReadOptions keepColour() { return ReadOptions{}; }
ReadOptions reduceTo(int bits) {
  ReadOptions o;
  o.colour = ColourMode::Reduce;
  o.reducedBits = bits;
  o.convertRow = bits == 8 ? RowConverter(greenRow) : RowConverter(thresholdRow);
  return o;
}

class BmpRead : public ::testing::Test {
protected:
  std::string put(const std::string& name, const BmpSpec& layout) {
    std::string p = dir.at(name);
    testing::writeBytes(p, layout.build());
    return p;
  }
  std::string putBytes(const std::string& name, const std::string& bytes) {
    std::string p = dir.at(name);
    testing::writeBytes(p, bytes);
    return p;
  }
  TempDir dir;
};

// ---- Refusals: exact messages, shown once with prompts, silent without.

struct Refusal {
  ReadError error;
  std::string message;
};

class BmpRefusal : public BmpRead {
protected:
  // Reads with prompts and without; both give the same refusal, only the first shows it.
  Refusal check(const std::string& path, const ReadOptions& options = {}) {
    ScriptedPrompts prompts;
    ReadResult shown = readBitmap(path, options, &prompts);
    ReadResult silent = readBitmap(path, options, nullptr);
    EXPECT_FALSE(shown.ok());
    EXPECT_EQ(shown.error, silent.error);
    EXPECT_EQ(shown.message, silent.message);
    EXPECT_TRUE(shown.image.bitmap.empty());
    EXPECT_FALSE(shown.image.loaded);
    EXPECT_EQ(prompts.shown.size(), 1u);
    if (!prompts.shown.empty()) {
      EXPECT_EQ(prompts.shown[0].text, shown.message);
    }
    return {shown.error, shown.message};
  }
};

TEST_F(BmpRefusal, WrongSignature) {
  BmpSpec s;
  s.signature = 0x4D43;  // "CM"
  Refusal r = check(put("a.bmp", s));
  EXPECT_EQ(r.error, ReadError::NotBitmap);
  EXPECT_EQ(r.message, "a.bmp - не битмап");
  EXPECT_EQ(check(putBytes("empty.bmp", "")).message, "empty.bmp - не битмап");
  EXPECT_EQ(check(putBytes("one.bmp", "B")).message, "one.bmp - не битмап");
  EXPECT_EQ(check(putBytes("text.bmp", "hello, world")).message, "text.bmp - не битмап");
}

TEST_F(BmpRefusal, UnsupportedDepthHasTwoSpaces) {
  BmpSpec s;
  s.bits = 16;
  s.noPalette = true;
  s.pixels.assign(200 * 100, 0);
  Refusal r = check(put("a.bmp", s));
  EXPECT_EQ(r.error, ReadError::UnsupportedDepth);
  EXPECT_EQ(r.message, "a.bmp -  16-бит");
  s.bits = 32;
  EXPECT_EQ(check(put("b.bmp", s)).message, "b.bmp -  32-бит");
  s.bits = 4;
  EXPECT_EQ(check(put("c.bmp", s)).message, "c.bmp -  4-бит");
}

TEST_F(BmpRefusal, TooSmallPictures) {
  BmpSpec s;
  s.width = 99;
  Refusal r = check(put("a.bmp", s));
  EXPECT_EQ(r.error, ReadError::TooSmall);
  EXPECT_EQ(r.message, "Рисунки размером меньше 100 точек не открываются.\r\nЭтот - 99 x 100");
  s.width = 100;
  s.height = 99;
  EXPECT_EQ(check(put("b.bmp", s)).message,
            "Рисунки размером меньше 100 точек не открываются.\r\nЭтот - 100 x 99");
  s.width = 100;
  s.height = 100;
  EXPECT_TRUE(readBitmap(put("c.bmp", s), {}, nullptr).ok());
}

TEST_F(BmpRefusal, TopDownFilesAreRefusedBySize) {
  BmpSpec s;
  s.width = 200;
  s.height = -300;
  Refusal r = check(put("top.bmp", s));
  EXPECT_EQ(r.error, ReadError::TooSmall);
  EXPECT_EQ(r.message, "Рисунки размером меньше 100 точек не открываются.\r\nЭтот - 200 x -300");
}

TEST_F(BmpRefusal, CompressedFiles) {
  BmpSpec s;
  s.compression = 1;  // run-length
  Refusal r = check(put("rle.bmp", s));
  EXPECT_EQ(r.error, ReadError::Compressed);
  EXPECT_EQ(r.message, "rle.bmp - сжатый битмап");
}

TEST_F(BmpRefusal, ShortAndOldHeaders) {
  std::string whole = BmpSpec{}.build();
  for (std::size_t cut : {2u, 14u, 30u, 53u}) {
    Refusal r = check(putBytes("cut.bmp", whole.substr(0, cut)));
    EXPECT_EQ(r.error, ReadError::ShortHeader) << cut;
    EXPECT_EQ(r.message, "cut.bmp - неполный заголовок битмапа");
  }
  BmpSpec os2;
  os2.infoSize = 12;
  Refusal r = check(put("os2.bmp", os2));
  EXPECT_EQ(r.error, ReadError::UnknownHeader);
  EXPECT_EQ(r.message, "os2.bmp - неизвестный заголовок битмапа");
}

TEST_F(BmpRefusal, HugeDimensionsAreRefusedBeforeAllocation) {
  BmpSpec s;
  s.width = 100000;
  s.height = 100000;  // 10^10 bytes claimed by a tiny file
  s.pixels.assign(16, 0);
  Refusal r = check(put("huge.bmp", s));
  EXPECT_EQ(r.error, ReadError::TooLarge);
  EXPECT_EQ(r.message, "Рисунок слишком большой.\r\nЭтот - 100000 x 100000");
  s.width = 0x7FFFFFFF;
  s.height = 100;
  s.bits = 24;
  s.noPalette = true;
  EXPECT_EQ(check(put("wide.bmp", s)).error, ReadError::TooLarge);
  // Reduced to 1 bit the result would be small enough, but a colour row is not.
  EXPECT_EQ(check(put("wide.bmp", s), reduceTo(1)).error, ReadError::TooLarge);
}

TEST_F(BmpRefusal, MissingFileAndBadOptions) {
  ScriptedPrompts prompts;
  std::string missing = dir.at("nothing.bmp");
  ReadResult r = readBitmap(missing, {}, &prompts);
  EXPECT_EQ(r.error, ReadError::CannotOpen);
  EXPECT_EQ(r.message, "Нет файла " + missing);
  ASSERT_EQ(prompts.shown.size(), 1u);

  BmpSpec s;
  s.bits = 24;
  s.noPalette = true;
  ReadOptions o;
  o.colour = ColourMode::Reduce;  // without a converter
  ScriptedPrompts quiet;
  EXPECT_EQ(readBitmap(put("c.bmp", s), o, &quiet).error, ReadError::BadOptions);
  o.convertRow = greenRow;
  o.reducedBits = 24;
  EXPECT_EQ(readBitmap(put("c.bmp", s), o, &quiet).error, ReadError::BadOptions);
  EXPECT_TRUE(quiet.shown.empty());
}

TEST_F(BmpRefusal, ProbeChecksTheFirstStepsOnly) {
  BmpSpec s;
  s.width = 50;  // too small, but the probe does not look at the size
  BitmapProbe p = probeBitmap(put("small.bmp", s), nullptr);
  EXPECT_TRUE(p.ok());
  EXPECT_EQ(p.info.width, 50);
  EXPECT_EQ(p.info.bits, 8);
  EXPECT_EQ(p.info.pixelOffset, 1078u);
  EXPECT_EQ(p.info.pixelBytes, 52 * 100);
  s.bits = 16;
  ScriptedPrompts prompts;
  p = probeBitmap(put("deep.bmp", s), &prompts);
  EXPECT_EQ(p.error, ReadError::UnsupportedDepth);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "deep.bmp -  16-бит");
}

// ---- Palettes.

TEST_F(BmpRead, InvertedOneBitPaletteIsInvertedOnReading) {
  BmpSpec s;
  s.bits = 1;
  s.width = 101;
  s.palette = {PaletteEntry{255, 255, 255, 0}, PaletteEntry{0, 0, 0, 0}};
  ReadResult r = readBitmap(put("inv.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok()) << r.message;
  std::vector<std::uint8_t> src = s.pattern();
  for (std::size_t i = 0; i < src.size(); ++i) {
    ASSERT_EQ(r.image.bitmap.data()[i], static_cast<std::uint8_t>(~src[i])) << i;
  }
  // Saved again: the standard palette, and the same look.
  std::string out = dir.at("again.bmp");
  ASSERT_TRUE(writeBitmap(out, r.image.bitmap, kPixelsPerMetre600));
  std::string bytes = testing::readBytes(out);
  EXPECT_EQ(bytes.substr(54, 8), std::string("\0\0\0\0\xFF\xFF\xFF\0", 8));
  ReadResult again = readBitmap(out, {}, nullptr);
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(0, std::memcmp(again.image.bitmap.data(), r.image.bitmap.data(), src.size()));
}

TEST_F(BmpRead, ColouredOneBitPaletteKeepsItsBits) {
  BmpSpec s;
  s.bits = 1;
  s.palette = {PaletteEntry{100, 0, 0, 0}, PaletteEntry{0, 255, 255, 0}};  // dark blue, yellow
  ReadResult r = readBitmap(put("by.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  std::vector<std::uint8_t> src = s.pattern();
  EXPECT_EQ(0, std::memcmp(r.image.bitmap.data(), src.data(), src.size()));
  // Yellow first, dark blue second: g(0) = 170 > g(1) = 33, so the bits are inverted.
  s.palette = {PaletteEntry{0, 255, 255, 0}, PaletteEntry{100, 0, 0, 0}};
  r = readBitmap(put("yb.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.bitmap.data()[5], static_cast<std::uint8_t>(~src[5]));
}

TEST_F(BmpRead, EightBitPaletteMapsThroughGrey) {
  BmpSpec s;
  s.palette = testing::standardPalette(8);
  s.palette[10] = {30, 30, 30, 0};
  s.palette[7] = {10, 20, 31, 0};   // 61 / 3 = 20.33
  s.palette[200] = {0, 0, 1, 0};    // 1 / 3 -> 0
  s.palette[201] = {1, 1, 0, 0};    // 2 / 3 -> 1
  s.pixels.assign(static_cast<std::size_t>(s.stride()) * 100, 10);
  s.pixels[1] = 7;
  s.pixels[2] = 200;
  s.pixels[3] = 201;
  s.pixels[4] = 99;
  ReadResult r = readBitmap(put("pal.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  const std::uint8_t* p = r.image.bitmap.data();
  EXPECT_EQ(p[0], 30);
  EXPECT_EQ(p[1], 20);
  EXPECT_EQ(p[2], 0);
  EXPECT_EQ(p[3], 1);
  EXPECT_EQ(p[4], 99);
  EXPECT_EQ(p[r.image.bitmap.byteCount() - 1], 30);
}

TEST_F(BmpRead, StandardPaletteChangesNothingAndByteMapApplies) {
  BmpSpec s;
  s.pixels = s.pattern();
  ReadResult r = readBitmap(put("std.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(0, std::memcmp(r.image.bitmap.data(), s.pixels.data(), s.pixels.size()));

  std::uint8_t map[256];
  for (int i = 0; i < 256; ++i) map[i] = static_cast<std::uint8_t>(255 - i);
  map[20] = 99;
  ReadOptions o;
  o.byteMap = map;
  r = readBitmap(put("std.bmp", s), o, nullptr);
  ASSERT_TRUE(r.ok());
  for (std::size_t i = 0; i < s.pixels.size(); ++i) {
    ASSERT_EQ(r.image.bitmap.data()[i], map[s.pixels[i]]) << i;
  }
  // After the palette: entry 7 gives 20, which the map turns into 99.
  s.palette = testing::standardPalette(8);
  s.palette[7] = {10, 20, 31, 0};
  s.pixels.assign(s.pixels.size(), 7);
  r = readBitmap(put("pal.bmp", s), o, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.bitmap.data()[0], 99);
  // The map is for 8-bit files only.
  BmpSpec one;
  one.bits = 1;
  r = readBitmap(put("one.bmp", one), o, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.bitmap.data()[3], one.pattern()[3]);
}

TEST_F(BmpRead, ShortEightBitPalettes) {
  // 16 entries after a 124-byte info header, declared by colours used: values beyond the
  // palette keep their own grey.
  BmpSpec s;
  s.infoSize = 124;
  s.coloursUsed = 16;
  s.palette.clear();
  for (int i = 0; i < 16; ++i) {
    auto v = static_cast<std::uint8_t>(i * 17);
    s.palette.push_back({v, v, v, 0});
  }
  s.pixels.assign(static_cast<std::size_t>(s.stride()) * 100, 0);
  for (int i = 0; i < 20; ++i) s.pixels[i] = static_cast<std::uint8_t>(i);
  s.pixels[20] = 255;
  ReadResult r = readBitmap(put("p16.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.info.pixelOffset, 138u + 64u);
  const std::uint8_t* p = r.image.bitmap.data();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(p[i], i * 17) << i;
  for (int i = 16; i < 20; ++i) EXPECT_EQ(p[i], i) << i;
  EXPECT_EQ(p[20], 255);
  // The same without colours used: the size comes from the gap before the pixels.
  s.coloursUsed = 0;
  r = readBitmap(put("gap.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.bitmap.data()[15], 255);
  EXPECT_EQ(r.image.bitmap.data()[17], 17);
  // A palette that is standard as far as it goes changes nothing.
  s.palette.resize(16);
  for (int i = 0; i < 16; ++i) s.palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), 0};
  r = readBitmap(put("std16.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(0, std::memcmp(r.image.bitmap.data(), s.pixels.data(), s.pixels.size()));
  // No room for a palette at all: the picture is taken as grey.
  BmpSpec none;
  none.noPalette = true;
  r = readBitmap(put("none.bmp", none), {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.bitmap.data()[9], none.pattern()[9]);
}

// ---- Header variants.

TEST_F(BmpRead, V5HeaderIsReadFromItsPixelOffsetInEveryMode) {
  BmpSpec s;
  s.bits = 24;
  s.width = 103;
  s.infoSize = 124;
  s.noPalette = true;
  std::string path = put("v5.bmp", s);
  std::vector<std::uint8_t> src = s.pattern();
  const int fileStride = s.stride();

  ReadResult keep = readBitmap(path, keepColour(), nullptr);
  ASSERT_TRUE(keep.ok()) << keep.message;
  EXPECT_EQ(keep.info.pixelOffset, 138u);
  ASSERT_EQ(keep.image.bitmap.byteCount(), src.size());
  EXPECT_EQ(0, std::memcmp(keep.image.bitmap.data(), src.data(), src.size()));
  EXPECT_EQ(keep.image.header.size(), 54u);

  ReadResult grey = readBitmap(path, reduceTo(8), nullptr);
  ASSERT_TRUE(grey.ok());
  EXPECT_EQ(grey.image.bitmap.bits, 8);
  EXPECT_EQ(grey.image.header.size(), 1078u);
  for (int s2 = 0; s2 < 100; ++s2) {
    for (int x = 0; x < 103; ++x) {
      ASSERT_EQ(grey.image.bitmap.fileRow(s2)[x], src[static_cast<std::size_t>(s2) * fileStride + 3 * x + 1]);
    }
  }

  ReadResult bw = readBitmap(path, reduceTo(1), nullptr);
  ASSERT_TRUE(bw.ok());
  EXPECT_EQ(bw.image.bitmap.bits, 1);
  EXPECT_EQ(bw.image.bitmap.stride, 16);
  for (int s2 = 0; s2 < 100; ++s2) {
    for (int x = 0; x < 103; ++x) {
      bool white = src[static_cast<std::size_t>(s2) * fileStride + 3 * x + 1] >= 128;
      ASSERT_EQ(bitIsWhite(bw.image.bitmap.fileRow(s2), x), white) << s2 << "," << x;
    }
    // Bits after the last pixel and the padding stay white.
    for (int x = 103; x < 128; ++x) ASSERT_TRUE(bitIsWhite(bw.image.bitmap.fileRow(s2), x));
  }
}

TEST_F(BmpRead, PixelCountZeroTakesFileSizeLessOffset) {
  BmpSpec s;
  s.pixelCount = 0;
  ReadResult r = readBitmap(put("zero.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.info.pixelBytes, s.stride() * 100);
  EXPECT_EQ(0, std::memcmp(r.image.bitmap.data(), s.pattern().data(), s.pattern().size()));
  // The file size field says less: pixels beyond it read as white.
  s.fileSize = 1078 + 100 * 50;
  r = readBitmap(put("zero2.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.info.pixelBytes, 5000);
  EXPECT_EQ(r.image.bitmap.data()[4999], s.pattern()[4999]);
  EXPECT_EQ(r.image.bitmap.data()[5000], 255);
  // A file size field of 0 falls back to the real length.
  s.fileSize = 0;
  r = readBitmap(put("zero3.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.info.pixelBytes, s.stride() * 100);
}

TEST_F(BmpRead, SmallPixelCountIsPaddedWithWhite) {
  for (int bits : {1, 8, 24}) {
    BmpSpec s;
    s.bits = bits;
    s.width = 101;
    if (bits == 24) s.noPalette = true;
    const std::size_t total = static_cast<std::size_t>(s.stride()) * 100;
    s.pixels.assign(total, 0);  // all black
    s.pixelCount = static_cast<std::uint32_t>(total / 2);
    ReadResult r = readBitmap(put("half.bmp", s), keepColour(), nullptr);
    ASSERT_TRUE(r.ok()) << bits;
    EXPECT_EQ(r.image.bitmap.data()[total / 2 - 1], 0) << bits;
    EXPECT_EQ(r.image.bitmap.data()[total / 2], 255) << bits;
    EXPECT_EQ(r.image.bitmap.data()[total - 1], 255) << bits;
  }
}

TEST_F(BmpRead, WhitePaddingSurvivesAnInvertingPalette) {
  BmpSpec s;
  s.bits = 1;
  s.palette = {PaletteEntry{255, 255, 255, 0}, PaletteEntry{0, 0, 0, 0}};
  s.pixels.assign(static_cast<std::size_t>(s.stride()) * 100, 0xFF);  // all black here
  s.pixelCount = 16 * 10;
  ReadResult r = readBitmap(put("inv.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.bitmap.data()[0], 0x00);
  EXPECT_EQ(r.image.bitmap.data()[160], 0xFF);
}

TEST_F(BmpRead, SuccessFillsTheImageBuffer) {
  BmpSpec s;
  s.xPixelsPerMetre = 47244;
  s.yPixelsPerMetre = 11811;
  std::string path = put("scan01.bmp", s);
  ReadResult r = readBitmap(path, {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.xPixelsPerMetre, 47244);
  EXPECT_EQ(r.image.yPixelsPerMetre, 11811);
  EXPECT_EQ(r.image.path, path);
  EXPECT_EQ(r.image.lastPath, path);
  EXPECT_EQ(r.image.fileName, "scan01.bmp");
  EXPECT_EQ(r.image.fileTime, fileTimeOf(path));
  EXPECT_NE(r.image.fileTime, 0);
  EXPECT_TRUE(r.image.loaded);
  EXPECT_EQ(r.image.modified, 0);
  EXPECT_FALSE(r.image.busy);
  // The header bytes are the file's own: 1078 bytes for 8 bits.
  std::string bytes = s.build();
  ASSERT_EQ(r.image.header.size(), 1078u);
  EXPECT_EQ(0, std::memcmp(r.image.header.data(), bytes.data(), 1078));
  EXPECT_EQ(bitmapFileName("C:\\scans\\page7.bmp"), "page7.bmp");
  EXPECT_EQ(bitmapFileName("/tmp/x/page8.bmp"), "page8.bmp");
  EXPECT_EQ(bitmapFileName("plain.bmp"), "plain.bmp");
}

// ---- Broken files: no crash, white where bytes are missing, a clear result.

TEST_F(BmpRead, TruncatedFilesAtEveryCutPoint) {
  for (int bits : {1, 8, 24}) {
    BmpSpec s;
    s.bits = bits;
    s.width = 101;
    if (bits == 24) s.noPalette = true;
    const std::string whole = s.build();
    const std::uint32_t offset = testing::le32(whole, 10);
    std::vector<std::size_t> cuts = {0, 1, 2, 53, 54, 55, 60, 61, 62, 63, 500, 1077, 1078, 1079,
                                     whole.size() / 2, whole.size() - 1};
    for (std::size_t cut : cuts) {
      if (cut >= whole.size()) continue;
      std::string path = putBytes("cut.bmp", whole.substr(0, cut));
      for (const ReadOptions& o : {keepColour(), reduceTo(8), reduceTo(1)}) {
        ReadResult r = readBitmap(path, o, nullptr);
        if (cut < 54) {
          EXPECT_FALSE(r.ok()) << bits << " cut " << cut;
          continue;
        }
        ASSERT_TRUE(r.ok()) << bits << " cut " << cut << ": " << r.message;
        const Bitmap& b = r.image.bitmap;
        const std::size_t present = cut > offset ? cut - offset : 0;
        // The last byte is past every cut: white.
        EXPECT_EQ(b.data()[b.byteCount() - 1], 255) << bits << " cut " << cut;
        if (bits != 24 && present > 0 && present < b.byteCount()) {
          EXPECT_EQ(b.data()[present], 255) << bits << " cut " << cut;
        }
        if (bits == 8 && cut >= offset + 10) {
          EXPECT_EQ(b.data()[9], s.pattern()[9]) << "cut " << cut;
        }
      }
    }
  }
}

TEST_F(BmpRead, PixelOffsetBeyondTheEndGivesWhite) {
  BmpSpec s;
  s.pixelOffset = 0x7FFFFFF0;
  s.pixelsAt = 1078;
  s.pixels.assign(16, 0);
  ReadResult r = readBitmap(put("far.bmp", s), {}, nullptr);
  ASSERT_TRUE(r.ok());
  for (std::size_t i = 0; i < r.image.bitmap.byteCount(); ++i) ASSERT_EQ(r.image.bitmap.data()[i], 255);
  s.bits = 24;
  s.noPalette = true;
  s.pixelOffset = 0xFFFFFFFF - 1;
  s.pixelsAt = 54;
  r = readBitmap(put("far24.bmp", s), reduceTo(8), nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.bitmap.data()[0], 255);
}

TEST_F(BmpRead, GarbageHeadersNeverCrash) {
  // Random bytes behind a valid signature and depth: every read ends in a result.
  std::uint64_t state = 12345;
  auto next = [&] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint8_t>(state >> 56);
  };
  int accepted = 0;
  for (int round = 0; round < 300; ++round) {
    std::string bytes(60 + round * 7, '\0');
    for (char& c : bytes) c = static_cast<char>(next());
    bytes[0] = 'B';
    bytes[1] = 'M';
    const int depths[] = {1, 8, 24};
    bytes[28] = static_cast<char>(depths[round % 3]);
    bytes[29] = 0;
    bytes[14] = 40;  // half the rounds keep a sane header length
    if (round % 2) bytes[15] = bytes[16] = bytes[17] = 0;
    bytes[30] = bytes[31] = bytes[32] = bytes[33] = 0;
    // Modest sizes on some rounds so that reading really happens.
    if (round % 4 == 0) {
      bytes[18] = static_cast<char>(100 + round % 50);
      bytes[19] = bytes[20] = bytes[21] = 0;
      bytes[22] = static_cast<char>(100 + round % 30);
      bytes[23] = bytes[24] = bytes[25] = 0;
    }
    std::string path = putBytes("junk.bmp", bytes);
    for (const ReadOptions& o : {keepColour(), reduceTo(8), reduceTo(1)}) {
      ReadResult r = readBitmap(path, o, nullptr);
      if (r.ok()) {
        ++accepted;
        EXPECT_FALSE(r.image.bitmap.empty());
      } else {
        EXPECT_FALSE(r.message.empty());
      }
    }
  }
  EXPECT_GT(accepted, 0);
}

TEST_F(BmpRead, ReductionReportsProgressEvery32Rows) {
  struct Counting : Progress {
    std::vector<int> seen;
    int pumps = 0;
    void percent(int v) override { seen.push_back(v); }
    void status(std::string_view) override {}
    bool pump() override { return ++pumps, false; }
  } progress;
  BmpSpec s;
  s.bits = 24;
  s.noPalette = true;
  s.height = 128;
  ReadOptions o = reduceTo(8);
  o.progress = &progress;
  ASSERT_TRUE(readBitmap(put("p.bmp", s), o, nullptr).ok());
  EXPECT_EQ(progress.seen, (std::vector<int>{25, 50, 75, 100}));
  EXPECT_EQ(progress.pumps, 4);
}

}  // namespace
}  // namespace quillaro
