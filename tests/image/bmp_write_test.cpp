#include <gtest/gtest.h>

#include <cstring>

#include "image/bmp_file.h"
#include "support/bmp_test_util.h"

namespace quillaro {
namespace {

using testing::le32;
using testing::readBytes;
using testing::TempDir;

// A picture whose bytes differ from row to row and column to column.
Bitmap patterned(int width, int height, int bits) {
  Bitmap b = Bitmap::create(width, height, bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto v = static_cast<std::uint8_t>(x * 13 + y * 7);
      if (bits == 1) b.setWhite(x, y, (v & 1) != 0);
      else if (bits == 8) b.setGrey(x, y, v);
      else b.setRgb(x, y, Rgb{v, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(x)});
    }
  return b;
}

TEST(BmpRoundTrip, EveryDepthOddWidthsAndTheHeaderAsWritten) {
  TempDir dir;
  const std::string path = dir.at("rt.bmp");
  for (int bits : {1, 8, 24}) {
    for (int width : {100, 101, 103}) {
      Bitmap b = patterned(width, 105, bits);
      std::string error;
      ASSERT_TRUE(writeBitmap(path, b, kPixelsPerMetre1200, &error)) << error;
      ReadResult r = readBitmap(path, {}, nullptr);
      ASSERT_TRUE(r.ok()) << r.message;
      const Bitmap& back = r.image.bitmap;
      ASSERT_EQ((std::vector<int>{back.width, back.height, back.bits, back.stride}),
                (std::vector<int>{width, 105, bits, b.stride}));
      EXPECT_EQ(0, std::memcmp(back.data(), b.data(), b.byteCount())) << bits << "/" << width;
      EXPECT_EQ(r.image.xPixelsPerMetre, kPixelsPerMetre1200);
    }
    const std::string f = readBytes(path);  // the last width of this depth
    const std::uint32_t offset = bits == 1 ? 62 : bits == 8 ? 1078 : 54;
    const std::uint32_t pixels = static_cast<std::uint32_t>(f.size()) - offset;
    EXPECT_EQ(f.substr(0, 2), "BM");
    const std::uint32_t fields[] = {static_cast<std::uint32_t>(f.size()), 0, offset, 40, 103, 105,
                                    1u | (static_cast<std::uint32_t>(bits) << 16), 0, pixels, 47244, 47244, 0, 0};
    for (int i = 0; i < 13; ++i) EXPECT_EQ(le32(f, 2 + 4 * i), fields[i]) << bits << " field at " << 2 + 4 * i;
    const std::vector<std::uint8_t> tpl = headerTemplate(bits);
    ASSERT_EQ(tpl.size(), offset);
    EXPECT_EQ(0, std::memcmp(f.data() + 54, tpl.data() + 54, offset - 54));
  }
}

// Failures of the file replacement itself are covered by the atomic write tests.
TEST(BmpWrite, FailuresAreReportedAndLeaveNothing) {
  TempDir dir;
  Bitmap b = patterned(100, 100, 8);
  std::string error;
  EXPECT_FALSE(writeBitmap(dir.at("no/such/folder/x.bmp"), b, kPixelsPerMetre600, &error));
  EXPECT_EQ(error.rfind("Не удалось записать файл", 0), 0u);
  EXPECT_NE(error.find("x.bmp"), std::string::npos);
  // An empty or inconsistent record is not written.
  EXPECT_FALSE(writeBitmap(dir.at("e.bmp"), Bitmap{}, kPixelsPerMetre600, &error));
  b.stride = 3;
  EXPECT_FALSE(writeBitmap(dir.at("e.bmp"), b, kPixelsPerMetre600, &error));
  EXPECT_TRUE(dir.names().empty());
}

}  // namespace
}  // namespace quillaro
