#include "ops/file_printers.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/files.h"
#include "base/numeric.h"
#include "image/bmp_file.h"
#include "ops/pdf_page.h"

namespace quillaro {

namespace {
constexpr double kTwipsPerMm = 1440.0 / 25.4;
constexpr double kTwipsPerPoint = 20.0;
}

PaperMm paperMmFor(int code) {
  constexpr double in = 25.4;
  switch (code) {
    case 1: case 2: case 18: return {8.5 * in, 11 * in};
    case 3: case 17: return {11 * in, 17 * in};
    case 4: return {11 * in, 17 * in};  // ledger is tabloid turned; the sheet is the same
    case 5: return {8.5 * in, 14 * in};
    case 6: return {5.5 * in, 8.5 * in};
    case 7: return {7.5 * in, 10.5 * in};
    case 8: return {297, 420};
    case 11: return {148, 210};
    case 12: return {250, 354};
    case 13: return {182, 257};
    case 14: return {8.5 * in, 13 * in};
    case 15: return {215, 275};
    case 16: return {10 * in, 14 * in};
    default: return {210, 297};
  }
}

int nextPrintNumber(const std::string& folder, const std::vector<std::string>& extensions) {
  namespace fs = std::filesystem;
  int highest = 0;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), ec);
  if (ec) return 1;
  for (const fs::directory_entry& e : it) {
    const std::string name = e.path().filename().string();
    if (name.size() < 7 || name.compare(0, 6, "Print-") != 0) continue;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot <= 6) continue;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    bool wanted = false;
    for (const std::string& x : extensions) wanted = wanted || x == ext;
    if (!wanted) continue;
    const std::string digits = name.substr(6, dot - 6);
    if (digits.size() > 9) continue;
    bool allDigits = true;
    for (char c : digits) allDigits = allDigits && std::isdigit(static_cast<unsigned char>(c));
    if (!allDigits) continue;
    highest = std::max(highest, std::stoi(digits));
  }
  return highest + 1;
}

std::string printFileStem(int number) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "Print-%04d", number);
  return buf;
}

FilePrinterBase::FilePrinterBase(std::string name, std::function<std::string()> folder)
    : name_(std::move(name)), folder_(std::move(folder)) {}

bool FilePrinterBase::failWith(int number, std::string description) {
  error_ = {number, std::move(description)};
  return false;
}

bool FilePrinterBase::setPaperCode(int code) {
  if (!((code >= 1 && code <= 18) || code == kPaperUser)) return failWith(380, "Invalid property value");
  paper_ = code;
  return true;
}

bool FilePrinterBase::setTray(int code) {
  if (code < 1 || code > 15) return failWith(380, "Invalid property value");
  tray_ = code;
  return true;
}

bool FilePrinterBase::setQuality(int quality) {
  if (quality < -4 || quality == 0) return failWith(380, "Invalid property value");
  quality_ = quality;
  return true;
}

bool FilePrinterBase::setOrientation(int orientation) {
  if (orientation != kPortrait && orientation != kLandscape) return failWith(380, "Invalid property value");
  orientation_ = orientation;
  return true;
}

double FilePrinterBase::pageWidthTwips() const {
  const PaperMm p = paperMmFor(paper_);
  return (orientation_ == kLandscape ? p.height : p.width) * kTwipsPerMm;
}

double FilePrinterBase::pageHeightTwips() const {
  const PaperMm p = paperMmFor(paper_);
  return (orientation_ == kLandscape ? p.width : p.height) * kTwipsPerMm;
}

bool FilePrinterBase::setCopies(int copies) {
  if (copies < 1) return failWith(380, "Invalid property value");
  copies_ = copies;
  return true;
}

BmpFilePrinter::BmpFilePrinter(std::function<std::string()> folder)
    : FilePrinterBase("BMP", std::move(folder)) {}

bool BmpFilePrinter::drawPicture(const Bitmap& picture, std::int32_t pixelsPerMetre, double widthTwips,
                                 double heightTwips) {
  if (picture.empty()) return failWith(481, "Invalid picture");
  Drawing d;
  d.picture = picture.clone();
  if (d.picture.empty()) return failWith(7, "Out of memory");
  d.pixelsPerMetre = pixelsPerMetre;
  d.width = widthTwips;
  d.height = heightTwips;
  drawings_.push_back(std::move(d));
  return true;
}

bool BmpFilePrinter::endDocument() {
  std::vector<Drawing> drawings = std::move(drawings_);
  drawings_.clear();
  const std::string dir = folder();
  if (!folderExists(dir)) return failWith(76, "Path not found: " + dir);
  for (const Drawing& d : drawings) {
    const std::string stem = joinPath(dir, printFileStem(nextPrintNumber(dir, {"bmp", "txt"})));
    std::string error;
    if (!writeBitmap(stem + ".bmp", d.picture, d.pixelsPerMetre, &error)) return failWith(75, error);
    const std::string text = "Paper=" + std::to_string(paperCode()) + "\r\nOrientation=" +
                             std::to_string(orientation()) + "\r\nTray=" + std::to_string(tray()) +
                             "\r\nQuality=" + std::to_string(quality()) + "\r\nCopies=" +
                             std::to_string(copies_) + "\r\nRect=0, 0, " + std::to_string(nearest(d.width)) +
                             ", " + std::to_string(nearest(d.height)) + "\r\n";
    if (!writeTextFile(stem + ".txt", text, &error)) return failWith(75, error);
    lastBitmap_ = stem + ".bmp";
    lastText_ = stem + ".txt";
  }
  return true;
}

PdfFilePrinter::PdfFilePrinter(std::function<std::string()> folder)
    : FilePrinterBase("PDF", std::move(folder)) {}

PdfFilePrinter::~PdfFilePrinter() = default;

bool PdfFilePrinter::drawPicture(const Bitmap& picture, std::int32_t, double widthTwips, double heightTwips) {
  if (picture.empty()) return failWith(481, "Invalid picture");
  if (!page_) page_ = std::make_unique<PdfPage>(pageWidthTwips() / kTwipsPerPoint, pageHeightTwips() / kTwipsPerPoint);
  std::string error;
  if (!page_->addPicture(picture, 0, 0, widthTwips / kTwipsPerPoint, heightTwips / kTwipsPerPoint, &error))
    return failWith(error == "Out of memory" ? 7 : 481, error);
  return true;
}

bool PdfFilePrinter::endDocument() {
  if (!page_) return true;
  const std::unique_ptr<PdfPage> page = std::move(page_);
  const std::string dir = folder();
  if (!folderExists(dir)) return failWith(75, "Path not found: " + dir);
  const std::string path = joinPath(dir, printFileStem(nextPrintNumber(dir, {"pdf"})) + ".pdf");
  std::string error;
  if (!writeFileAtomic(path, page->document(), &error)) return failWith(75, error);
  lastPath_ = path;
  return true;
}

}  // namespace quillaro
