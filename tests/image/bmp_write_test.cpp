#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "image/bmp_file.h"
#include "image/bmp_test_util.h"

namespace quillaro {
namespace {

using testing::le32;
using testing::TempDir;

// A picture whose bytes differ from row to row and column to column.
Bitmap patterned(int width, int height, int bits) {
  Bitmap b = Bitmap::create(width, height, bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int v = (x * 13 + y * 7) & 255;
      if (bits == 1) b.setWhite(x, y, (v & 1) != 0);
      else if (bits == 8) b.setGrey(x, y, static_cast<std::uint8_t>(v));
      else b.setRgb(x, y, Rgb{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(x)});
    }
  }
  return b;
}

TEST(BmpRoundTrip, EveryDepthAndOddWidths) {
  TempDir dir;
  for (int bits : {1, 8, 24}) {
    for (int width : {100, 101, 103, 107, 129}) {
      Bitmap b = patterned(width, 105, bits);
      std::string path = dir.at("rt.bmp");
      std::string error;
      ASSERT_TRUE(writeBitmap(path, b, kPixelsPerMetre600, &error)) << error;
      ReadResult r = readBitmap(path, {}, nullptr);
      ASSERT_TRUE(r.ok()) << r.message;
      const Bitmap& back = r.image.bitmap;
      ASSERT_EQ(back.width, width);
      ASSERT_EQ(back.height, 105);
      ASSERT_EQ(back.bits, bits);
      ASSERT_EQ(back.stride, b.stride);
      EXPECT_EQ(0, std::memcmp(back.data(), b.data(), b.byteCount())) << bits << "/" << width;
      EXPECT_EQ(r.image.xPixelsPerMetre, kPixelsPerMetre600);
    }
  }
}

TEST(BmpRoundTrip, HeaderFieldsAsWritten) {
  TempDir dir;
  for (int bits : {1, 8, 24}) {
    Bitmap b = patterned(101, 100, bits);
    std::string path = dir.at("h.bmp");
    ASSERT_TRUE(writeBitmap(path, b, kPixelsPerMetre1200));
    std::string f = testing::readBytes(path);
    const std::uint32_t offset = static_cast<std::uint32_t>(headerSizeFor(bits));
    ASSERT_EQ(f.size(), offset + b.byteCount());
    EXPECT_EQ(f.substr(0, 2), "BM");
    EXPECT_EQ(le32(f, 2), f.size());
    EXPECT_EQ(le32(f, 6), 0u);
    EXPECT_EQ(le32(f, 10), offset);
    EXPECT_EQ(le32(f, 14), 40u);
    EXPECT_EQ(le32(f, 18), 101u);
    EXPECT_EQ(le32(f, 22), 100u);
    EXPECT_EQ(le32(f, 26), 1u | (static_cast<std::uint32_t>(bits) << 16));
    EXPECT_EQ(le32(f, 30), 0u);
    EXPECT_EQ(le32(f, 34), b.byteCount());
    EXPECT_EQ(le32(f, 38), 47244u);
    EXPECT_EQ(le32(f, 42), 47244u);
    EXPECT_EQ(le32(f, 46), 0u);
    EXPECT_EQ(le32(f, 50), 0u);
    std::vector<std::uint8_t> tpl = headerTemplate(bits);
    EXPECT_EQ(0, std::memcmp(f.data() + 54, tpl.data() + 54, offset - 54));
  }
}

TEST(BmpRoundTrip, A4PageAtOneBit) {
  TempDir dir;
  Bitmap page = Bitmap::create(4961, 7016, 1);
  ASSERT_FALSE(page.empty());
  page.setWhite(0, 0, false);
  page.setWhite(4960, 7015, false);
  std::string path = dir.at("a4.bmp");
  ASSERT_TRUE(writeBitmap(path, page, kPixelsPerMetre600));
  std::string f = testing::readBytes(path);
  EXPECT_EQ(f.size(), 4378046u);
  EXPECT_EQ(le32(f, 2), 4378046u);
  EXPECT_EQ(le32(f, 10), 62u);
  EXPECT_EQ(le32(f, 34), 4377984u);
  EXPECT_EQ(le32(f, 38), 23622u);
  ReadResult r = readBitmap(path, {}, nullptr);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.image.bitmap.stride, 624);
  EXPECT_FALSE(r.image.bitmap.isWhite(0, 0));
  EXPECT_FALSE(r.image.bitmap.isWhite(4960, 7015));
  EXPECT_TRUE(r.image.bitmap.isWhite(4959, 7015));
}

TEST(BmpWriteFailure, MissingFolderOrFileAsFolder) {
  TempDir dir;
  Bitmap b = patterned(100, 100, 8);
  std::string error;
  EXPECT_FALSE(writeBitmap(dir.at("no/such/folder/x.bmp"), b, kPixelsPerMetre600, &error));
  EXPECT_NE(error.find("x.bmp"), std::string::npos);
  EXPECT_EQ(error.rfind("Не удалось записать файл", 0), 0u);

  testing::writeBytes(dir.at("plain"), "text");
  error.clear();
  EXPECT_FALSE(writeBitmap(dir.at("plain") + "/x.bmp", b, kPixelsPerMetre600, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(testing::readBytes(dir.at("plain")), "text");
}

TEST(BmpWriteFailure, ExistingFileSurvivesAFailedWrite) {
  TempDir dir;
  Bitmap b = patterned(100, 100, 8);
  // A name so long that no temporary name beside it can be made.
  const std::string target = dir.at(std::string(250, 'n') + ".bmp");
  testing::writeBytes(target, "old contents");
  std::string error;
  EXPECT_FALSE(writeBitmap(target, b, kPixelsPerMetre600, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(testing::readBytes(target), "old contents");
  EXPECT_EQ(dir.names().size(), 1u);  // no temporary file left behind

  // A folder in the target's place: the rename fails, the folder stays, no litter.
  std::filesystem::create_directory(dir.at("taken.bmp"));
  testing::writeBytes(dir.at("taken.bmp") + "/inside", "x");
  EXPECT_FALSE(writeBitmap(dir.at("taken.bmp"), b, kPixelsPerMetre600, &error));
  EXPECT_EQ(testing::readBytes(dir.at("taken.bmp") + "/inside"), "x");
  EXPECT_EQ(dir.names().size(), 2u);
}

TEST(BmpWriteFailure, EmptyOrInconsistentRecordIsNotWritten) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(writeBitmap(dir.at("e.bmp"), Bitmap{}, kPixelsPerMetre600, &error));
  EXPECT_FALSE(error.empty());
  Bitmap b = patterned(100, 100, 8);
  b.stride = 3;
  EXPECT_FALSE(writeBitmap(dir.at("e.bmp"), b, kPixelsPerMetre600, &error));
  EXPECT_TRUE(dir.names().empty());
}

TEST(BmpWriteSuccess, ReplacesAnExistingFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string target = dir.at("page.bmp");
  testing::writeBytes(target, "old");
  Bitmap b = patterned(100, 100, 24);
  ASSERT_TRUE(writeBitmap(target, b, kPixelsPerMetre600));
  EXPECT_EQ(testing::readBytes(target).size(), 54 + b.byteCount());
  EXPECT_EQ(dir.names(), std::vector<std::string>{"page.bmp"});
}

}  // namespace
}  // namespace quillaro
