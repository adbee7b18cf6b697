// The PDF of a printed page: its structure, the pixels as a PDF reader renders them
// (pdftoppm; skipped when missing), bad input, the PDF file printer, and the paper names
// and printer list of runs without the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "base/files.h"
#include "image/bitmap.h"
#include "model/workspace.h"
#include "ops/file_printers.h"
#include "ops/pdf_page.h"
#include "ops/system_printers.h"
#include "support/pdf_render.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

constexpr double kPt = 72.0 / 600.0;  // one pixel at 600 dpi, in points

TEST(PdfPage, CrossReferencePointsAtEveryObject) {
  PdfPage page(595.276, 841.89);
  ASSERT_TRUE(page.addPicture(Bitmap::create(120, 100, 1), 0, 0, 100, 80));
  ASSERT_TRUE(page.addPicture(Bitmap::create(100, 100, 24), 10, 10, 50, 50));
  const std::string pdf = page.document();
  EXPECT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
  EXPECT_NE(pdf.find("/MediaBox [0 0 595 842]"), std::string::npos);
  EXPECT_NE(pdf.find("/ImageMask true /BitsPerComponent 1"), std::string::npos);
  const std::size_t xref = std::stoul(pdf.substr(pdf.rfind("startxref\n") + 10));
  ASSERT_EQ(pdf.compare(xref, 9, "xref\n0 8\n"), 0);  // the free entry and seven objects
  for (std::size_t n = 1; n < 8; ++n) {  // entries of 20 bytes
    const std::size_t offset = std::stoul(pdf.substr(xref + 9 + 20 * n, 10));
    EXPECT_EQ(pdf.compare(offset, 7, std::to_string(n) + " 0 obj"), 0) << n;
  }
  EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
}

TEST(PdfPage, BadPicturesAndSizesAreRefused) {
  PdfPage page(100, 100);
  std::string error;
  EXPECT_FALSE(page.addPicture(Bitmap(), 0, 0, 10, 10, &error));
  EXPECT_EQ(error, "Invalid picture");
  const Bitmap b = Bitmap::create(100, 100, 8);
  for (double size : {0.0, -5.0, std::nan("")})
    EXPECT_FALSE(page.addPicture(b, 0, 0, 10, size, &error)) << size;
  EXPECT_EQ(page.pictureCount(), 0);
  EXPECT_EQ(PdfPage(0, -3).pageWidth(), 1);  // still a page a reader opens
}

struct PdfRendering : ::testing::Test {
  testing::TempDir dir;
  void SetUp() override {
    if (!testing::havePdftoppm()) GTEST_SKIP() << "pdftoppm is not installed";
  }
  // The page rendered at 600 dpi.
  testing::Raster render(const PdfPage& page, bool colour) {
    EXPECT_TRUE(writeFileAtomic(dir.at("page.pdf"), page.document()));
    return testing::renderPdf(dir.at("page.pdf"), dir.at("render"), 600, colour);
  }
};

TEST_F(PdfRendering, OneBitPageRendersPixelForPixelAtItsPlace) {
  // Single dots, a bar across byte boundaries and a column in the last, partial byte, 100
  // and 200 pixels from the corner. The last column and row stay white: a reader may
  // round a picture's far edges outwards by a pixel.
  Bitmap b = Bitmap::create(203, 150, 1);
  for (int y = 0; y + 1 < b.height; ++y)
    for (int x = 0; x + 1 < b.width; ++x)
      b.setWhite(x, y, !((x * 7 + y * 3) % 11 == 0 || (y >= 40 && y < 43 && x >= 5 && x < 190) || x == 200));
  PdfPage page(72, 72);
  ASSERT_TRUE(page.addPicture(b, 100 * kPt, 200 * kPt, b.width * kPt, b.height * kPt));
  const testing::Raster r = render(page, false);
  ASSERT_EQ(r.width, 600);
  ASSERT_EQ(r.height, 600);
  int wrong = 0, black = 0;
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) {
      const bool white = !b.contains(x - 100, y - 200) || b.isWhite(x - 100, y - 200);
      black += r.at(x, y) < 128;
      wrong += (r.at(x, y) >= 128) != white;
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(black, 3000);
}

TEST_F(PdfRendering, GreyAndColourKeepTheirValuesAndRowOrder) {
  // Blocks of 10 x 10 pixels of their own value; a reader may blend the edges of a scaled
  // picture, so the centres are compared.
  Bitmap grey = Bitmap::create(120, 100, 8), colour = Bitmap::create(120, 100, 24);
  auto value = [](int x, int y) { return static_cast<std::uint8_t>(x / 10 * 20 + y / 10); };
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 120; ++x) {
      grey.setGrey(x, y, value(x, y));
      colour.setRgb(x, y, Rgb{value(x, y), static_cast<std::uint8_t>(y / 10 * 25), static_cast<std::uint8_t>(y < 50 ? 30 : 220)});
    }
  for (const Bitmap* picture : {&grey, &colour}) {
    PdfPage page(72, 72);
    ASSERT_TRUE(page.addPicture(*picture, 0, 0, 120 * kPt, 100 * kPt));
    const testing::Raster r = render(page, picture == &colour);
    ASSERT_GT(r.width, 130);
    int worst = 0;
    for (int y = 5; y < 100; y += 10)
      for (int x = 5; x < 120; x += 10) {
        const Rgb c = picture == &colour ? colour.rgb(x, y) : Rgb{grey.grey(x, y), 0, 0};
        for (int k = 0; k < r.channels; ++k)
          worst = std::max(worst, std::abs(r.at(x, y, k) - (k == 0 ? c.red : k == 1 ? c.green : c.blue)));
      }
    EXPECT_LE(worst, 1) << picture->bits << " bits";
    EXPECT_EQ(r.at(130, 50), 255);  // beside the picture: paper
  }
}

TEST(PdfFilePrinter, WritesItsSheetNumberedAfterTheHighestAndRefusesBadInput) {
  testing::TempDir dir;
  dir.file("Print-0007.pdf", "x");
  PdfFilePrinter pdf([&dir] { return dir.str(); });
  EXPECT_TRUE(pdf.endDocument());  // nothing drawn: no file
  ASSERT_TRUE(pdf.setPaperCode(kPaperA3));
  ASSERT_TRUE(pdf.setOrientation(kLandscape));
  EXPECT_FALSE(pdf.drawPicture(Bitmap(), kPixelsPerMetre600, 100, 100));
  EXPECT_EQ(pdf.lastError().number, 481);
  ASSERT_TRUE(pdf.drawPicture(Bitmap::create(200, 100, 1), kPixelsPerMetre600, 4800, 2400));
  ASSERT_TRUE(pdf.endDocument());
  const std::string bytes = readWholeFile(dir.at("Print-0008.pdf")).value_or("");
  EXPECT_NE(bytes.find("/MediaBox [0 0 1191 842]"), std::string::npos);
  EXPECT_NE(bytes.find("240 0 0 120 0 722 cm"), std::string::npos);  // at the sheet's top-left
  EXPECT_EQ(dir.names().size(), 2u);  // no temporary file is left

  PdfFilePrinter lost([] { return std::string("/nonexistent-quillaro/x"); });
  ASSERT_TRUE(lost.drawPicture(Bitmap::create(100, 100, 8), kPixelsPerMetre600, 100, 100));
  EXPECT_FALSE(lost.endDocument());
  EXPECT_EQ(lost.lastError().number, 75);
  EXPECT_TRUE(lost.endDocument());  // the failed document is gone
}

TEST(SystemPrinterMedia, PaperCodesAndMediaNamesMeetBySize) {
  EXPECT_EQ(mediaForPaper(kPaperA4), "iso_a4_210x297mm");
  EXPECT_EQ(mediaForPaper(kPaperA3), "iso_a3_297x420mm");
  EXPECT_EQ(mediaForPaper(1), "na_letter_8.5x11in");
  EXPECT_EQ(paperForMedia("iso_a4_210x297mm"), kPaperA4);  // not 10, "A4 Small"
  EXPECT_EQ(paperForMedia("A4"), kPaperA4);
  EXPECT_EQ(paperForMedia("iso-a3"), kPaperA3);
  EXPECT_EQ(paperForMedia("iso_b4_250x353mm"), 12);  // the table's 354 mm is within a millimetre
  EXPECT_EQ(paperForMedia("iso_a0_841x1189mm"), 0);
  EXPECT_EQ(paperForMedia("no such paper"), 0);
  EXPECT_EQ(paperForMedia(""), 0);
}

TEST(CorePrinterList, FilePrintersAndTheWantedOne) {
  testing::ScriptedPrompts prompts;
  Workspace ws(&prompts);
  auto plain = makeCorePrinterList(ws, "");
  ASSERT_EQ(plain->count(), 2);
  EXPECT_EQ(plain->current()->deviceName(), "PDF");
  EXPECT_EQ(makeCorePrinterList(ws, "BMP")->current()->deviceName(), "BMP");
  EXPECT_TRUE(prompts.shown.empty());
  // Whatever the system offers, a name nobody has is told and a printer stays current.
  auto unknown = makeCorePrinterList(ws, "Quillaro no such printer");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Нет принтера Quillaro no such printer");
  EXPECT_NE(unknown->current(), nullptr);
}

}  // namespace
}  // namespace quillaro
