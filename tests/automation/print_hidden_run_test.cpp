// The file printers end to end: a hidden run opens a page, copies it and prints one copy
// to "PDF" or "BMP" (the command-line key printer=).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/files.h"
#include "image/bitmap.h"
#include "image/bmp_file.h"
#include "support/pdf_render.h"
#include "support/run_quillaro.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

#ifdef QUILLARO_EXE
namespace fs = std::filesystem;

struct PrintHiddenRun : ::testing::Test {
  testing::TempDir dir;
  fs::path root = dir.path;
  std::string err;
  void SetUp() override {
    ASSERT_TRUE(writeTextFile(dir.sub("home") + "/Quillaro.ini", "SavePath=\"" + dir.sub("saved") + "\"\r\n"));
    // A 1-bit scan of 5000 x 7000 pixels at 600 dpi with a black bar.
    Bitmap scan = Bitmap::create(5000, 7000, 1);
    for (int y = 1000; y < 1100; ++y)
      for (int x = 500; x < 4000; ++x) scan.setWhite(x, y, false);
    ASSERT_TRUE(writeBitmap(dir.at("scan.bmp"), scan, kPixelsPerMetre600));
    ASSERT_TRUE(writeTextFile(dir.at("print.pfp"), "Open, SRC=\"" + dir.at("scan.bmp") + "\"\r\nCopy\r\nPrint, 1\r\n"));
  }

  int run(const std::string& printer, const std::string& more = "") {
    const testing::ProgramExit e = testing::runQuillaroHidden(
        dir.at("home"), "'" + dir.at("print.pfp") + "' hide=1 exit=1 " + more + " printer=" + printer, dir.at("stderr.txt"));
    err = e.err;
    return e.status;
  }

  // The one PDF written, without the temporary file left behind; false when pdfinfo is missing.
  bool pdfWritten() {
    EXPECT_TRUE(fs::exists(root / "saved" / "Print-0001.pdf")) << err;
    EXPECT_FALSE(fs::exists(root / "saved" / "ForPrint.bmp"));
    return std::system("command -v pdfinfo >/dev/null 2>&1") == 0;
  }
  // Whether pdfinfo's report on that PDF has a line matching `line`.
  bool pdfInfoHas(const std::string& line) {
    return std::system(("pdfinfo '" + dir.at("saved/Print-0001.pdf") + "' | grep -Eq '^" + line + "$'").c_str()) == 0;
  }
};

// A hidden run refuses a print of more copies than allowed (a failure: exit 1, nothing
// printed) unless the command line allows as many.
TEST_F(PrintHiddenRun, ManyCopiesNeedTheCommandLinesAllowance) {
  ASSERT_TRUE(writeTextFile(dir.at("print.pfp"), "Open, SRC=\"" + dir.at("scan.bmp") + "\"\r\nCopy\r\nPrint, 5000\r\n"));
  EXPECT_EQ(run("BMP"), 1) << err;
  EXPECT_NE(err.find("Печатать 5000 копий ? -> No"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(root / "saved" / "Print-0001.bmp"));
  EXPECT_EQ(run("BMP", "copies=5000"), 0) << err;
  EXPECT_NE(readTextFile((root / "saved" / "Print-0001.txt").string()).value_or("").find("5000"), std::string::npos);
}

TEST_F(PrintHiddenRun, BmpPrinterWritesThePageUnchangedWithItsText) {
  ASSERT_EQ(run("BMP"), 0) << err;
  const fs::path bmp = root / "saved" / "Print-0001.bmp";
  ASSERT_TRUE(fs::exists(bmp)) << err;
  EXPECT_FALSE(fs::exists(root / "saved" / "ForPrint.bmp"));
  // The standard A4 page image (202 x 289 mm at 600 dpi), 1 bit, exactly as written by
  // the temporary save: writing it again gives the same bytes.
  ReadResult r = readBitmap(bmp.string(), ReadOptions{}, nullptr);
  ASSERT_TRUE(r.ok()) << r.message;
  const Bitmap& page = r.image.bitmap;
  EXPECT_EQ(page.width, 4772);
  EXPECT_EQ(page.height, 6827);
  EXPECT_EQ(page.bits, 1);
  ASSERT_TRUE(writeBitmap(dir.at("again.bmp"), page, kPixelsPerMetre600));
  EXPECT_EQ(readWholeFile(dir.at("again.bmp")), readWholeFile(bmp.string()));
  bool black = false;  // the copied bar
  for (int y = 0; y < page.height && !black; y += 4) black = !page.isWhite(2000, y);
  EXPECT_TRUE(black);
  // 1:1: 4772 pixels at 600 dpi are 11453 twips (through the 0.01 mm size).
  EXPECT_EQ(readTextFile((root / "saved" / "Print-0001.txt").string()).value_or(""),
            "Paper=9\r\nOrientation=1\r\nTray=7\r\nQuality=-4\r\nCopies=1\r\nRect=0, 0, 11453, 16385\r\n");
  ASSERT_EQ(run("BMP"), 0) << err;  // a second run continues the numbering
  EXPECT_TRUE(fs::exists(root / "saved" / "Print-0002.bmp"));
}

TEST_F(PrintHiddenRun, PdfShowsThePageAtItsSizeAsTheBmpPrinterWritesIt) {
  ASSERT_EQ(run("PDF"), 0) << err;
  ASSERT_EQ(run("BMP"), 0) << err;
  if (!testing::havePdftoppm()) GTEST_SKIP() << "pdftoppm is not installed";
  const testing::Raster r = testing::renderPdf(dir.at("saved/Print-0001.pdf"), dir.at("render"), 600, false);
  ReadResult bmp = readBitmap(dir.at("saved/Print-0001.bmp"), ReadOptions{}, nullptr);
  ASSERT_TRUE(bmp.ok()) << bmp.message;
  const Bitmap& page = bmp.image.bitmap;
  // 1:1 at 600 dpi on a whole A4 sheet (the file printer has no margins of its own).
  ASSERT_GE(r.width, page.width);
  ASSERT_GE(r.height, page.height);
  EXPECT_NEAR(r.width, 4961, 2);
  long black = 0, wrong = 0;
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) {
      black += !page.isWhite(x, y);
      wrong += (r.at(x, y) >= 128) != page.isWhite(x, y);
    }
  for (int y = page.height + 2; y < r.height; y += 3)
    for (int x = 0; x < r.width; x += 3) wrong += r.at(x, y) < 128;  // below the page: paper
  EXPECT_GT(black, 100000);
  // 4772 pixels are 11453 twips, not 11452.8: the last columns may move by a fraction.
  EXPECT_LT(wrong, black / 1000) << wrong << " of " << black;
}

TEST_F(PrintHiddenRun, PdfOfAWideOriginalIsLandscape) {
  ASSERT_TRUE(writeBitmap(dir.at("wide.bmp"), Bitmap::create(7000, 5000, 1), kPixelsPerMetre600));
  ASSERT_TRUE(writeTextFile(dir.at("print.pfp"), "Open, SRC=\"" + dir.at("wide.bmp") + "\", ForPrint=1\r\nPrint, 1\r\n"));
  ASSERT_EQ(run("PDF"), 0) << err;
  EXPECT_NE(err.find("Ориентация принтера книжная"), std::string::npos) << err;
  if (!pdfWritten()) GTEST_SKIP() << "pdfinfo is not installed";
  EXPECT_TRUE(pdfInfoHas("Page size: +842 x 595 pts \\(A4\\)"));
}

#endif

}  // namespace
}  // namespace quillaro
