#pragma once
// The printer as printing sees it: one print device with its paper, tray, quality and
// orientation, its printable area in twips, and a document of one picture drawn scaled
// into a rectangle at the page origin. The system's printers and the file printers (PDF,
// BMP) all stand behind this interface; the list of devices and the current one is
// PrinterList.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillaro {

class Bitmap;

// An error reported by a device: a number and a description, as the platform gives them.
struct PrinterError {
  int number = 0;
  std::string description;
};

// Paper codes that printing tests.
inline constexpr int kPaperA3 = 8;
inline constexpr int kPaperA4 = 9;
inline constexpr int kPaperA5 = 11;
inline constexpr int kPaperUser = 256;
// Orientation codes.
inline constexpr int kPortrait = 1;
inline constexpr int kLandscape = 2;

class Printer {
public:
  virtual ~Printer() = default;

  virtual std::string deviceName() const = 0;

  // Setters return false when the device refuses the value; lastError() tells why.
  virtual int paperCode() const = 0;
  virtual bool setPaperCode(int code) = 0;
  virtual int tray() const = 0;
  virtual bool setTray(int code) = 0;
  virtual int quality() const = 0;  // -1 draft, -2 low, -3 medium, -4 high, or dpi
  virtual bool setQuality(int quality) = 0;
  virtual int orientation() const = 0;  // kPortrait or kLandscape
  virtual bool setOrientation(int orientation) = 0;

  // The printable page in twips (1/1440 inch) for the current paper and orientation.
  virtual double pageWidthTwips() const = 0;
  virtual double pageHeightTwips() const = 0;

  virtual bool setCopies(int copies) = 0;
  // Draws the picture (pixelsPerMetre as its file states) scaled into width x height twips
  // at the page origin; the document stays open until endDocument().
  virtual bool drawPicture(const Bitmap& picture, std::int32_t pixelsPerMetre, double widthTwips,
                           double heightTwips) = 0;
  virtual bool endDocument() = 0;

  virtual PrinterError lastError() const = 0;
  // The file the last document went to, for printers that write files; empty otherwise.
  virtual std::string lastOutputPath() const { return {}; }
};

// Every printer of this run in the order shown (system printers, then the file printers),
// and the current one. Printing does nothing when the list is empty.
class PrinterList {
public:
  void add(std::unique_ptr<Printer> printer);
  int count() const { return static_cast<int>(printers_.size()); }
  std::string deviceName(int i) const;
  // The current printer, nullptr when there is none.
  Printer* current() const;
  int currentIndex() const { return current_; }
  // Makes printer i current when its device name differs from the current one's.
  void select(int i);
  // Makes the printer of that device name current; false when there is none of that name.
  bool selectByName(const std::string& name);

private:
  std::vector<std::unique_ptr<Printer>> printers_;
  int current_ = -1;
};

}  // namespace quillaro
