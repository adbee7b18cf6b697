// The file printers end to end: a hidden run opens a page, copies it and prints one copy
// to "PDF" or "BMP" (the command-line key printer=).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "app/files.h"
#include "image/bitmap.h"
#include "image/bmp_file.h"

namespace quillaro {
namespace {

#ifdef QUILLARO_EXE
namespace fs = std::filesystem;

struct PrintHiddenRun : ::testing::Test {
  fs::path root;
  std::string err;
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("quillaro-printrun-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root);
    fs::create_directories(root / "home");
    fs::create_directories(root / "saved");
    ASSERT_TRUE(writeTextFile((root / "home" / "Quillaro.ini").string(),
                              "SavePath=\"" + (root / "saved").string() + "\"\r\n"));
    // A 1-bit scan of 5000 x 7000 pixels at 600 dpi with a black bar.
    Bitmap scan = Bitmap::create(5000, 7000, 1);
    ASSERT_FALSE(scan.empty());
    for (int y = 1000; y < 1100; ++y)
      for (int x = 500; x < 4000; ++x) scan.setWhite(x, y, false);
    ASSERT_TRUE(writeBitmap((root / "scan.bmp").string(), scan, kPixelsPerMetre600));
    ASSERT_TRUE(writeTextFile((root / "print.pfp").string(),
                              "Open, SRC=\"" + (root / "scan.bmp").string() + "\"\r\nCopy\r\nPrint, 1\r\n"));
  }
  void TearDown() override { fs::remove_all(root); }

  std::string pdfField(const fs::path& pdf, const std::string& name) {
    FILE* p = popen(("pdfinfo '" + pdf.string() + "'").c_str(), "r");
    if (!p) return {};
    std::string info = "\n";
    std::array<char, 256> buf{};
    while (fgets(buf.data(), buf.size(), p)) info += buf.data();
    pclose(p);
    const std::size_t at = info.find("\n" + name + ":");
    if (at == std::string::npos) return std::string();
    const std::size_t from = info.find_first_not_of(' ', at + name.size() + 2);
    return info.substr(from, info.find('\n', from) - from);
  }

  int run(const std::string& printer) {
    const fs::path errPath = root / "stderr.txt";
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM QUILLARO_HOME='" +
                            (root / "home").string() + "' '" + QUILLARO_EXE + "' '" + (root / "print.pfp").string() +
                            "' hide=1 exit=1 printer=" + printer + " 2>'" + errPath.string() + "' </dev/null";
    const int raw = std::system(cmd.c_str());
    std::ifstream in(errPath);
    std::stringstream ss;
    ss << in.rdbuf();
    err = ss.str();
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
};

TEST_F(PrintHiddenRun, BmpPrinterWritesThePageUnchangedWithItsText) {
  ASSERT_EQ(run("BMP"), 0) << err;
  const fs::path bmp = root / "saved" / "Print-0001.bmp";
  ASSERT_TRUE(fs::exists(bmp)) << err;
  EXPECT_FALSE(fs::exists(root / "saved" / "ForPrint.bmp"));
  // The printed picture is the standard A4 page image (202 x 289 mm at 600 dpi), 1 bit,
  // and it is the file the temporary save wrote, byte for byte: reading and writing it
  // again gives the same bytes.
  ReadResult r = readBitmap(bmp.string(), ReadOptions{}, nullptr);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.image.bitmap.width, 4772);
  EXPECT_EQ(r.image.bitmap.height, 6827);
  EXPECT_EQ(r.image.bitmap.bits, 1);
  const std::string again = (root / "again.bmp").string();
  ASSERT_TRUE(writeBitmap(again, r.image.bitmap, kPixelsPerMetre600));
  EXPECT_EQ(readWholeFile(again), readWholeFile(bmp.string()));
  // The copied black bar is in the page.
  bool black = false;
  for (int y = 0; y < r.image.bitmap.height && !black; y += 4) black = !r.image.bitmap.isWhite(2000, y);
  EXPECT_TRUE(black);
  const auto text = readTextFile((root / "saved" / "Print-0001.txt").string());
  ASSERT_TRUE(text.has_value());
  // 1:1: 4772 pixels at 600 dpi are 11453 twips (through the 0.01 mm size).
  EXPECT_EQ(*text, "Paper=9\r\nOrientation=1\r\nTray=7\r\nQuality=-4\r\nCopies=1\r\nRect=0, 0, 11453, 16385\r\n");
  // A second run continues the numbering.
  ASSERT_EQ(run("BMP"), 0) << err;
  EXPECT_TRUE(fs::exists(root / "saved" / "Print-0002.bmp"));
}

TEST_F(PrintHiddenRun, PdfPrinterWritesAnA4PortraitPage) {
  ASSERT_EQ(run("PDF"), 0) << err;
  const fs::path pdf = root / "saved" / "Print-0001.pdf";
  ASSERT_TRUE(fs::exists(pdf)) << err;
  EXPECT_FALSE(fs::exists(root / "saved" / "ForPrint.bmp"));
  if (std::system("command -v pdfinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdfinfo is not installed";
  const std::string cmd = "pdfinfo '" + pdf.string() + "'";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string info;
  std::array<char, 256> buf{};
  while (fgets(buf.data(), buf.size(), p)) info += buf.data();
  EXPECT_EQ(pclose(p), 0) << info;
  // The value of a "Name:   value" line.
  auto field = [&info](const std::string& name) {
    const std::size_t at = info.find("\n" + name + ":");
    if (at == std::string::npos) return std::string();
    const std::size_t from = info.find_first_not_of(' ', at + name.size() + 2);
    return info.substr(from, info.find('\n', from) - from);
  };
  EXPECT_EQ(field("Pages"), "1") << info;
  EXPECT_EQ(field("Page size"), "595 x 842 pts (A4)") << info;  // portrait
  EXPECT_EQ(field("Page rot"), "0") << info;
}

TEST_F(PrintHiddenRun, PdfOfAWideOriginalIsLandscape) {
  Bitmap scan = Bitmap::create(7000, 5000, 1);
  ASSERT_TRUE(writeBitmap((root / "wide.bmp").string(), scan, kPixelsPerMetre600));
  ASSERT_TRUE(writeTextFile((root / "print.pfp").string(),
                            "Open, SRC=\"" + (root / "wide.bmp").string() + "\", ForPrint=1\r\nPrint, 1\r\n"));
  ASSERT_EQ(run("PDF"), 0) << err;
  EXPECT_NE(err.find("Ориентация принтера книжная"), std::string::npos) << err;
  const fs::path pdf = root / "saved" / "Print-0001.pdf";
  ASSERT_TRUE(fs::exists(pdf)) << err;
  if (std::system("command -v pdfinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdfinfo is not installed";
  EXPECT_EQ(pdfField(pdf, "Page size"), "842 x 595 pts (A4)");
}

TEST_F(PrintHiddenRun, UnknownPrinterIsReported) {
  run("NoSuchPrinter");
  EXPECT_NE(err.find("Нет принтера NoSuchPrinter"), std::string::npos) << err;
}
#endif

}  // namespace
}  // namespace quillaro
