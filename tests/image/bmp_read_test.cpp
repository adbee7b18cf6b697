#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "image/bmp_file.h"
#include "support/bmp_test_util.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

using testing::BmpLayout;
using testing::PaletteEntry;
using testing::ScriptedPrompts;

// Green byte of every pixel: the simplest grey reduction.
void greenRow(const std::uint8_t* bgr, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x) out[x] = bgr[3 * x + 1];
}
// Black where green is below 128.
void thresholdRow(const std::uint8_t* bgr, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x)
    if (bgr[3 * x + 1] < 128) setBitWhite(out, x, false);
}
ReadOptions reduceTo(int bits) {
  ReadOptions o;
  o.colour = ColourMode::Reduce;
  o.reducedBits = bits;
  o.convertRow = bits == 8 ? RowConverter(greenRow) : RowConverter(thresholdRow);
  return o;
}
const ReadOptions kEveryMode[] = {ReadOptions{}, reduceTo(8), reduceTo(1)};

BmpLayout colour(int width = 100) {
  BmpLayout s;
  s.bits = 24;
  s.width = width;
  s.noPalette = true;
  return s;
}

struct BmpRead : ::testing::Test {
  testing::TempDir dir;
  std::string put(const std::string& name, const BmpLayout& layout) { return putBytes(name, layout.build()); }
  std::string putBytes(const std::string& name, const std::string& bytes) {
    testing::writeBytes(dir.at(name), bytes);
    return dir.at(name);
  }
  ReadResult read(const std::string& name, const BmpLayout& s, const ReadOptions& o = {}) {
    ReadResult r = readBitmap(put(name, s), o, nullptr);
    EXPECT_TRUE(r.ok()) << name << ": " << r.message;
    return r;
  }
};

// ---- Refusals: exact messages, shown once with prompts, the same without.

TEST_F(BmpRead, BrokenAndUnsupportedFilesAreRefusedWithTheirMessage) {
  const char* small = "Рисунки размером меньше 100 точек не открываются.\r\nЭтот - ";
  const std::string whole = BmpLayout{}.build();
  std::string huge = whole.substr(0, 54);
  huge.replace(18, 8, std::string("\x40\x9c\0\0\x50\xc3\0\0", 8));  // 40000 x 50000
  struct Case {
    std::function<void(BmpLayout&)> change;  // null: `bytes` is the file
    std::string bytes;
    ReadError error;
    std::string message;
    ReadOptions options = {};
  };
  const std::vector<Case> cases = {
      {[](BmpLayout& s) { s.signature = 0x4D43; }, "", ReadError::NotBitmap, " - не битмап"},
      {nullptr, "", ReadError::NotBitmap, " - не битмап"},
      {[](BmpLayout& s) { s.bits = 16, s.noPalette = true; }, "", ReadError::UnsupportedDepth, " -  16-бит"},
      {[](BmpLayout& s) { s.bits = 4; }, "", ReadError::UnsupportedDepth, " -  4-бит"},
      {[](BmpLayout& s) { s.width = 99; }, "", ReadError::TooSmall, std::string(small) + "99 x 100"},
      {[](BmpLayout& s) { s.height = 99; }, "", ReadError::TooSmall, std::string(small) + "100 x 99"},
      {[](BmpLayout& s) { s.width = 200, s.height = -300; }, "", ReadError::TooSmall, std::string(small) + "200 x -300"},
      {[](BmpLayout& s) { s.compression = 1; }, "", ReadError::Compressed, " - сжатый битмап"},
      {nullptr, whole.substr(0, 2), ReadError::ShortHeader, " - неполный заголовок битмапа"},
      {nullptr, whole.substr(0, 53), ReadError::ShortHeader, " - неполный заголовок битмапа"},
      {[](BmpLayout& s) { s.infoSize = 12; }, "", ReadError::UnknownHeader, " - неизвестный заголовок битмапа"},
      {[](BmpLayout& s) { s.width = s.height = 100000, s.pixels.assign(16, 0); }, "", ReadError::TooLarge,
       "Рисунок слишком большой.\r\nЭтот - 100000 x 100000"},
      {[](BmpLayout& s) { s = colour(0x7FFFFFFF), s.pixels.assign(16, 0); }, "", ReadError::TooLarge, ""},
      // Reduced to 1 bit the result would be small enough, but a colour row is not.
      {[](BmpLayout& s) { s = colour(0x7FFFFFFF), s.pixels.assign(16, 0); }, "", ReadError::TooLarge, "", reduceTo(1)},
      // A 54-byte file declaring 40000 x 50000: 2 GB that the file cannot fill.
      {nullptr, huge, ReadError::TooLarge, "Рисунок слишком большой.\r\nЭтот - 40000 x 50000"},
      {[](BmpLayout& s) { s.width = 20000, s.height = 20000, s.pixels.assign(16, 0); }, "", ReadError::Truncated,
       " - файл неполный: в нём нет точек рисунка.\r\nЭтот - 20000 x 20000"},
      {[](BmpLayout& s) { s.pixels.assign(100 * 97 - 1, 0); }, "", ReadError::Truncated, ""},  // 3 rows short
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    BmpLayout s;
    if (c.change) c.change(s);
    const std::string name = "case" + std::to_string(i) + ".bmp";
    const std::string path = c.change ? put(name, s) : putBytes(name, c.bytes);
    ScriptedPrompts prompts;
    ReadResult shown = readBitmap(path, c.options, &prompts);
    ReadResult silent = readBitmap(path, c.options, nullptr);
    EXPECT_EQ(shown.error, c.error) << name;
    if (!c.message.empty()) {
      EXPECT_EQ(shown.message, c.message[0] == ' ' ? name + c.message : c.message) << name;
    }
    EXPECT_EQ(silent.message, shown.message) << name;
    EXPECT_TRUE(shown.image.bitmap.empty());
    EXPECT_FALSE(shown.image.loaded);
    ASSERT_EQ(prompts.shown.size(), 1u) << name;
    EXPECT_EQ(prompts.shown[0].text, shown.message);
  }
  EXPECT_TRUE(read("c.bmp", BmpLayout{}).ok());  // 100 x 100 is big enough
}

TEST_F(BmpRead, MissingFileBadOptionsAndTheProbe) {
  ScriptedPrompts prompts;
  const std::string missing = dir.at("nothing.bmp");
  EXPECT_EQ(readBitmap(missing, {}, &prompts).message, "Нет файла " + missing);
  ASSERT_EQ(prompts.shown.size(), 1u);

  ReadOptions o;
  o.colour = ColourMode::Reduce;  // without a converter
  ScriptedPrompts quiet;
  EXPECT_EQ(readBitmap(put("c.bmp", colour()), o, &quiet).error, ReadError::BadOptions);
  o.convertRow = greenRow;
  o.reducedBits = 24;
  EXPECT_EQ(readBitmap(put("c.bmp", colour()), o, &quiet).error, ReadError::BadOptions);
  EXPECT_TRUE(quiet.shown.empty());

  BmpLayout s;
  s.width = 50;  // too small, but the probe does not look at the size
  BitmapProbe p = probeBitmap(put("small.bmp", s), nullptr);
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.info.pixelOffset, 1078u);
  EXPECT_EQ(p.info.pixelBytes, 52 * 100);
  s.bits = 16;
  p = probeBitmap(put("deep.bmp", s), &prompts);
  EXPECT_EQ(p.error, ReadError::UnsupportedDepth);
  EXPECT_EQ(prompts.shown.back().text, "deep.bmp -  16-бит");
}

// ---- Palettes.

TEST_F(BmpRead, OneBitPalettesDarkerFirstKeepTheBits) {
  BmpLayout s;
  s.bits = 1;
  s.width = 101;
  const std::vector<std::uint8_t> src = s.pattern();
  s.palette = {PaletteEntry{100, 0, 0, 0}, PaletteEntry{0, 255, 255, 0}};  // dark blue, yellow
  ReadResult r = read("by.bmp", s);
  EXPECT_EQ(0, std::memcmp(r.image.bitmap.data(), src.data(), src.size()));
  // Yellow first (g = 170 > 33) or white first: the bits are inverted.
  for (auto pal : {std::vector<PaletteEntry>{{0, 255, 255, 0}, {100, 0, 0, 0}},
                   std::vector<PaletteEntry>{{255, 255, 255, 0}, {0, 0, 0, 0}}}) {
    s.palette = pal;
    r = read("inv.bmp", s);
    for (std::size_t i = 0; i < src.size(); ++i)
      ASSERT_EQ(r.image.bitmap.data()[i], static_cast<std::uint8_t>(~src[i])) << i;
  }
  // Saved again: the standard palette, and the same look.
  const std::string out = dir.at("again.bmp");
  ASSERT_TRUE(writeBitmap(out, r.image.bitmap, kPixelsPerMetre600));
  EXPECT_EQ(testing::readBytes(out).substr(54, 8), std::string("\0\0\0\0\xFF\xFF\xFF\0", 8));
  ReadResult again = readBitmap(out, {}, nullptr);
  EXPECT_EQ(0, std::memcmp(again.image.bitmap.data(), r.image.bitmap.data(), src.size()));
}

TEST_F(BmpRead, EightBitPaletteMapsThroughGreyThenTheByteMap) {
  BmpLayout s;
  s.palette = testing::standardPalette(8);
  s.palette[10] = {30, 30, 30, 0};
  s.palette[7] = {10, 20, 31, 0};  // 61 / 3 = 20.33
  s.palette[200] = {0, 0, 1, 0};   // 1 / 3 -> 0
  s.palette[201] = {1, 1, 0, 0};   // 2 / 3 -> 1
  s.pixels.assign(static_cast<std::size_t>(s.stride()) * 100, 10);
  const std::uint8_t values[] = {10, 7, 200, 201, 99};
  std::copy(std::begin(values), std::end(values), s.pixels.begin());
  ReadResult r = read("pal.bmp", s);
  const std::uint8_t* p = r.image.bitmap.data();
  EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3], p[4]}), (std::vector<int>{30, 20, 0, 1, 99}));
  EXPECT_EQ(p[r.image.bitmap.byteCount() - 1], 30);

  std::uint8_t map[256];
  for (int i = 0; i < 256; ++i) map[i] = static_cast<std::uint8_t>(255 - i);
  map[20] = 99;
  ReadOptions o;
  o.byteMap = map;
  EXPECT_EQ(read("pal.bmp", s, o).image.bitmap.data()[1], 99);  // after the palette
  const std::vector<std::uint8_t> plain = BmpLayout{}.pattern();  // the standard palette changes nothing
  EXPECT_EQ(0, std::memcmp(read("std.bmp", BmpLayout{}).image.bitmap.data(), plain.data(), plain.size()));
  r = read("std.bmp", BmpLayout{}, o);
  for (std::size_t i = 0; i < plain.size(); ++i) ASSERT_EQ(r.image.bitmap.data()[i], map[plain[i]]) << i;
  BmpLayout one;  // the map is for 8-bit files only
  one.bits = 1;
  EXPECT_EQ(read("one.bmp", one, o).image.bitmap.data()[3], one.pattern()[3]);
}

TEST_F(BmpRead, ShortEightBitPalettes) {
  // 16 entries after a 124-byte info header, declared by colours used: values beyond the
  // palette keep their own grey.
  BmpLayout s;
  s.infoSize = 124;
  s.coloursUsed = 16;
  for (int i = 0; i < 16; ++i) s.palette.push_back(PaletteEntry{std::uint8_t(i * 17), std::uint8_t(i * 17), std::uint8_t(i * 17), 0});
  s.pixels.assign(static_cast<std::size_t>(s.stride()) * 100, 0);
  for (int i = 0; i < 20; ++i) s.pixels[i] = static_cast<std::uint8_t>(i);
  ReadResult r = read("p16.bmp", s);
  EXPECT_EQ(r.info.pixelOffset, 138u + 64u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(r.image.bitmap.data()[i], i < 16 ? i * 17 : i) << i;
  s.coloursUsed = 0;  // the size comes from the gap before the pixels
  r = read("gap.bmp", s);
  EXPECT_EQ(r.image.bitmap.data()[15], 255);
  EXPECT_EQ(r.image.bitmap.data()[17], 17);
  BmpLayout none;  // no room for a palette at all: the picture is taken as grey
  none.noPalette = true;
  EXPECT_EQ(read("none.bmp", none).image.bitmap.data()[9], none.pattern()[9]);
}

// ---- Header variants: a plain reference of every mode, the pixel count and file size.

TEST_F(BmpRead, V5HeaderIsReadFromItsPixelOffsetInEveryMode) {
  BmpLayout s = colour(103);
  s.infoSize = 124;
  const std::string path = put("v5.bmp", s);
  const std::vector<std::uint8_t> src = s.pattern();
  auto green = [&](int row, int x) { return src[static_cast<std::size_t>(row) * s.stride() + 3 * x + 1]; };

  ReadResult keep = readBitmap(path, {}, nullptr);
  ASSERT_TRUE(keep.ok()) << keep.message;
  EXPECT_EQ(keep.info.pixelOffset, 138u);
  ASSERT_EQ(keep.image.bitmap.byteCount(), src.size());
  EXPECT_EQ(0, std::memcmp(keep.image.bitmap.data(), src.data(), src.size()));
  EXPECT_EQ(keep.image.header.size(), 54u);

  ReadResult grey = readBitmap(path, reduceTo(8), nullptr);
  ASSERT_EQ(grey.image.bitmap.bits, 8);
  EXPECT_EQ(grey.image.header.size(), 1078u);
  ReadResult bw = readBitmap(path, reduceTo(1), nullptr);
  ASSERT_EQ(bw.image.bitmap.bits, 1);
  EXPECT_EQ(bw.image.bitmap.stride, 16);
  for (int row = 0; row < 100; ++row) {
    for (int x = 0; x < 103; ++x) {
      ASSERT_EQ(grey.image.bitmap.fileRow(row)[x], green(row, x));
      ASSERT_EQ(bitIsWhite(bw.image.bitmap.fileRow(row), x), green(row, x) >= 128) << row << "," << x;
    }
    for (int x = 103; x < 128; ++x) ASSERT_TRUE(bitIsWhite(bw.image.bitmap.fileRow(row), x));  // padding white
  }
}

TEST_F(BmpRead, PixelCountAndFileSizeFields) {
  BmpLayout s;
  s.pixelCount = 0;  // taken as the file size less the offset
  EXPECT_EQ(read("zero.bmp", s).info.pixelBytes, s.stride() * 100);
  s.fileSize = 1078 + 100 * 50;  // the file size field says less: the rest reads as white
  ReadResult r = read("short.bmp", s);
  EXPECT_EQ(r.info.pixelBytes, 5000);
  EXPECT_EQ(r.image.bitmap.data()[4999], s.pattern()[4999]);
  EXPECT_EQ(r.image.bitmap.data()[5000], 255);
  s.fileSize = 0;  // falls back to the real length
  EXPECT_EQ(read("zero3.bmp", s).info.pixelBytes, s.stride() * 100);

  // A small pixel count reads as white even under an inverting palette.
  BmpLayout inv;
  inv.bits = 1;
  inv.palette = {PaletteEntry{255, 255, 255, 0}, PaletteEntry{0, 0, 0, 0}};
  inv.pixels.assign(static_cast<std::size_t>(inv.stride()) * 100, 0xFF);
  inv.pixelCount = 16 * 10;
  r = read("inv.bmp", inv);
  EXPECT_EQ(r.image.bitmap.data()[0], 0x00);
  EXPECT_EQ(r.image.bitmap.data()[160], 0xFF);
}

TEST_F(BmpRead, SuccessFillsTheImageBuffer) {
  BmpLayout s;
  s.xPixelsPerMetre = 47244;
  s.yPixelsPerMetre = 11811;
  ReadResult r = read("scan01.bmp", s);
  const std::string path = dir.at("scan01.bmp");
  EXPECT_EQ(r.image.xPixelsPerMetre, 47244);
  EXPECT_EQ(r.image.yPixelsPerMetre, 11811);
  EXPECT_EQ(r.image.lastPath, path);
  EXPECT_EQ(r.image.fileName, "scan01.bmp");
  EXPECT_EQ(r.image.fileTime, fileTimeOf(path));
  ASSERT_EQ(r.image.header.size(), 1078u);  // the file's own header bytes
  EXPECT_EQ(0, std::memcmp(r.image.header.data(), s.build().data(), 1078));
  EXPECT_EQ(bitmapFileName("C:\\scans\\page7.bmp"), "page7.bmp");
  EXPECT_EQ(bitmapFileName("/tmp/x/page8.bmp"), "page8.bmp");
}

// ---- Broken files: no crash, white where bytes are missing, a clear result.

TEST_F(BmpRead, FilesShortByTwoRowsReadWhiteShorterOnesAreRefused) {
  for (int bits : {1, 8, 24}) {
    BmpLayout s = bits == 24 ? colour(101) : BmpLayout{};
    s.bits = bits;
    s.width = 101;
    const std::string whole = s.build();
    const std::size_t offset = testing::le32(whole, 10);
    const std::size_t stride = static_cast<std::size_t>(s.stride());
    for (std::size_t missing : {std::size_t{1}, stride, 2 * stride, 2 * stride + 1, whole.size() / 2,
                                whole.size() - 1079, whole.size() - offset, whole.size() - 54}) {
      const std::string path = putBytes("cut.bmp", whole.substr(0, whole.size() - missing));
      for (const ReadOptions& o : kEveryMode) {
        ReadResult r = readBitmap(path, o, nullptr);
        if (missing > 2 * stride) {
          EXPECT_EQ(r.error, ReadError::Truncated) << bits << " missing " << missing;
          EXPECT_TRUE(r.image.bitmap.empty());
          continue;
        }
        ASSERT_TRUE(r.ok()) << bits << " missing " << missing << ": " << r.message;
        const Bitmap& b = r.image.bitmap;
        const std::size_t present = whole.size() - missing - offset;
        EXPECT_EQ(b.data()[b.byteCount() - 1], 255) << bits << " missing " << missing;
        if (bits != 24) EXPECT_EQ(b.data()[present], 255) << bits << " missing " << missing;
        if (bits == 8) EXPECT_EQ(b.data()[9], s.pattern()[9]);
      }
    }
  }
}

TEST_F(BmpRead, PixelOffsetBeyondTheEndIsACutFile) {
  BmpLayout s;
  s.pixelOffset = 0x7FFFFFF0;
  s.pixelsAt = 1078;
  EXPECT_EQ(readBitmap(put("far.bmp", s), {}, nullptr).error, ReadError::Truncated);
  BmpLayout c = colour();
  c.pixelOffset = 0xFFFFFFFF - 1;
  c.pixelsAt = 54;
  EXPECT_EQ(readBitmap(put("far24.bmp", c), reduceTo(8), nullptr).error, ReadError::Truncated);
}

TEST_F(BmpRead, GarbageHeadersNeverCrash) {
  // Random bytes behind a valid signature and depth: every read ends in a result.
  std::uint64_t state = 12345;
  int accepted = 0;
  for (int round = 0; round < 150; ++round) {
    std::string b(60 + round * 7, '\0');
    for (char& c : b) c = static_cast<char>((state = state * 6364136223846793005ull + 1442695040888963407ull) >> 56);
    b.replace(0, 2, "BM");
    b.replace(28, 6, std::string{static_cast<char>(round % 3 == 0 ? 1 : round % 3 == 1 ? 8 : 24), 0, 0, 0, 0, 0});
    b[14] = 40;  // half the rounds keep a sane header length
    if (round % 2) b.replace(15, 3, 3, '\0');
    if (round % 4 == 0) {  // modest sizes so that reading really happens
      b.replace(18, 8, std::string{static_cast<char>(100 + round % 50), 0, 0, 0, static_cast<char>(100 + round % 30), 0, 0, 0});
      b.replace(10, 4, std::string{54, 0, 0, 0});
      b.append(152 * 3 * 130, '\x7f');
    }
    const std::string path = putBytes("junk.bmp", b);
    for (const ReadOptions& o : kEveryMode) {
      ReadResult r = readBitmap(path, o, nullptr);
      EXPECT_TRUE(r.ok() ? !r.image.bitmap.empty() : !r.message.empty());
      accepted += r.ok();
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
  BmpLayout s = colour();
  s.height = 128;
  ReadOptions o = reduceTo(8);
  o.progress = &progress;
  read("p.bmp", s, o);
  EXPECT_EQ(progress.seen, (std::vector<int>{25, 50, 75, 100}));
  EXPECT_EQ(progress.pumps, 4);
}

}  // namespace
}  // namespace quillaro
