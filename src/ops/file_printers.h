#pragma once
// Printers that write files into the folder for saved pictures instead of paper: the
// paper, tray, quality, orientation and copies are only remembered and reported. "BMP"
// writes the picture it is asked to draw, unchanged, as "Print-0001.bmp" with
// "Print-0001.txt" beside it (paper code, orientation, tray, quality, copies and the drawing
// rectangle in twips). "PDF" writes each document as "Print-0001.pdf": one page of the
// paper's size with the picture drawn into its rectangle (PdfPage).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "ops/printer.h"

namespace quillaro {

// The paper's size in millimetres (portrait) for the codes of the paper table; A4 for
// codes it does not know.
struct PaperMm {
  double width = 210;
  double height = 297;
};
PaperMm paperMmFor(int code);

// The next free number after the highest "Print-NNNN.<ext>" in the folder for any of the
// extensions (1 when there is none).
int nextPrintNumber(const std::string& folder, const std::vector<std::string>& extensions);
// "Print-0001" and so on (at least four digits).
std::string printFileStem(int number);

class FilePrinterBase : public Printer {
public:
  // folder: the folder the files go to, asked for at each document.
  FilePrinterBase(std::string name, std::function<std::string()> folder);

  std::string deviceName() const override { return name_; }
  int paperCode() const override { return paper_; }
  bool setPaperCode(int code) override;
  int tray() const override { return tray_; }
  bool setTray(int code) override;
  int quality() const override { return quality_; }
  bool setQuality(int quality) override;
  int orientation() const override { return orientation_; }
  bool setOrientation(int orientation) override;
  // The whole sheet: a file has no margins of its own.
  double pageWidthTwips() const override;
  double pageHeightTwips() const override;
  bool setCopies(int copies) override;
  PrinterError lastError() const override { return error_; }

protected:
  bool failWith(int number, std::string description);
  std::string folder() const { return folder_ ? folder_() : std::string(); }
  int copies_ = 1;
  PrinterError error_;

private:
  std::string name_;
  std::function<std::string()> folder_;
  int paper_ = kPaperA4;
  int tray_ = 7;
  int quality_ = -4;
  int orientation_ = kPortrait;
};

class BmpFilePrinter : public FilePrinterBase {
public:
  explicit BmpFilePrinter(std::function<std::string()> folder);

  bool drawPicture(const Bitmap& picture, std::int32_t pixelsPerMetre, double widthTwips,
                   double heightTwips) override;
  bool endDocument() override;

  // The files of the last document written (empty before the first).
  const std::string& lastBitmapPath() const { return lastBitmap_; }
  const std::string& lastTextPath() const { return lastText_; }
  std::string lastOutputPath() const override { return lastBitmap_; }

private:
  struct Drawing {
    Bitmap picture;
    std::int32_t pixelsPerMetre = 0;
    double width = 0, height = 0;
  };
  std::vector<Drawing> drawings_;
  std::string lastBitmap_, lastText_;
};

class PdfPage;

class PdfFilePrinter : public FilePrinterBase {
public:
  explicit PdfFilePrinter(std::function<std::string()> folder);
  ~PdfFilePrinter() override;

  // The page takes the paper and orientation in force at the first drawing of a document.
  bool drawPicture(const Bitmap& picture, std::int32_t pixelsPerMetre, double widthTwips,
                   double heightTwips) override;
  bool endDocument() override;

  const std::string& lastPath() const { return lastPath_; }
  std::string lastOutputPath() const override { return lastPath_; }

private:
  std::unique_ptr<PdfPage> page_;
  std::string lastPath_;
};

}  // namespace quillaro
