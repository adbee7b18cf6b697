#include "image/bitmap.h"

#include <gtest/gtest.h>

namespace quillaro {
namespace {

TEST(BitmapGeometry, RowBytesAndStride) {
  // {width, bits, row bytes, stride}: the A4 width at each depth, odd widths, no overflow.
  const long long rows[][4] = {{4961, 1, 621, 624}, {4961, 8, 4961, 4964}, {4961, 24, 14883, 14884},
                               {33, 1, 5, 8},        {0x7FFFFFFF, 24, 6442450941LL, 6442450944LL}};
  for (const auto& r : rows) {
    EXPECT_EQ(rowBytesFor(r[0], static_cast<int>(r[1])), r[2]) << r[0] << "/" << r[1];
    EXPECT_EQ(strideFor(r[0], static_cast<int>(r[1])), r[3]) << r[0] << "/" << r[1];
  }
  EXPECT_EQ(strideFor(100, 16), -1);
}

TEST(BitmapGeometry, CreateIsWhiteAndRefusesImpossibleSizes) {
  Bitmap b = Bitmap::create(101, 3, 1);
  ASSERT_EQ(b.byteCount(), 48u);
  for (std::size_t i = 0; i < b.byteCount(); ++i) ASSERT_EQ(b.data()[i], 255);
  EXPECT_TRUE(Bitmap::create(0, 10, 8).empty());
  EXPECT_TRUE(Bitmap::create(10, -1, 8).empty());
  EXPECT_TRUE(Bitmap::create(10, 10, 16).empty());
  EXPECT_TRUE(Bitmap::create(100000, 100000, 8).empty());  // 10^10 bytes
  EXPECT_TRUE(Bitmap::create(0x7FFFFFFF, 1, 24).empty());  // one row over the limit
  Bitmap keep = Bitmap::create(10, 10, 8);
  EXPECT_FALSE(keep.allocate(100000, 100000, 24));
  EXPECT_EQ(keep.width, 10);  // unchanged by the failed allocation
  EXPECT_FALSE(keep.empty());
}

TEST(BitmapPixels, AddressingAtByteEdgesAndBottomUpRows) {
  Bitmap b = Bitmap::create(101, 2, 1);
  for (int x : {0, 7, 8, 100}) b.setWhite(x, 0, false);
  const std::uint8_t* top = b.fileRow(1);  // picture row 0 is the last file row
  EXPECT_EQ(top[0], 0x7E);
  EXPECT_EQ(top[1], 0x7F);
  EXPECT_EQ(top[12], 0xF7);  // x = 100 is bit 2^(7 - 4) of byte 12
  EXPECT_EQ(top[13], 0xFF);  // padding untouched
  EXPECT_EQ(b.fileRow(0)[0], 0xFF);
  EXPECT_TRUE(b.isWhite(99, 0));
  EXPECT_FALSE(b.isWhite(100, 0));

  Bitmap g = Bitmap::create(103, 3, 8);
  g.setGrey(102, 2, 17);
  EXPECT_EQ(g.fileRow(0)[102], 17);
  Bitmap c = Bitmap::create(103, 3, 24);
  c.setRgb(102, 0, Rgb{1, 2, 3});
  const std::uint8_t* p = c.fileRow(2) + 3 * 102;
  EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{3, 2, 1, 255}));  // blue first
  EXPECT_EQ((c.rgb(102, 0)), (Rgb{1, 2, 3}));
  EXPECT_FALSE(c.contains(103, 0));
  EXPECT_FALSE(c.contains(0, -1));
}

// The header fields are checked on written files (bmp_write_test); here the palettes.
TEST(BitmapHeader, TemplatePalettes) {
  std::vector<std::uint8_t> one = headerTemplate(1);
  EXPECT_EQ(std::vector<std::uint8_t>(one.begin() + 54, one.end()),
            (std::vector<std::uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
  std::vector<std::uint8_t> grey = headerTemplate(8);
  ASSERT_EQ(grey.size(), 1078u);
  for (int i = 0; i < 256; ++i)
    ASSERT_EQ(std::vector<std::uint8_t>(grey.begin() + 54 + 4 * i, grey.begin() + 58 + 4 * i),
              (std::vector<std::uint8_t>{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0})) << i;
  std::vector<std::uint8_t> reuse(5000, 7);
  buildHeaderTemplate(reuse, 24);
  EXPECT_EQ(reuse, headerTemplate(24));
}

}  // namespace
}  // namespace quillaro
