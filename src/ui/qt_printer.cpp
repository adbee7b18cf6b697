#include "ui/qt_printer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cstring>
#include <functional>

#include "base/files.h"
#include "model/shared_values.h"
#include "model/workspace.h"
#include "image/bitmap.h"
#include "ops/file_printers.h"
#include "ops/printer.h"

namespace quillaro {

namespace {

QImage toQImage(const Bitmap& b) {
  QImage::Format format = b.bits == 1   ? QImage::Format_Mono
                          : b.bits == 8 ? QImage::Format_Grayscale8
                                        : QImage::Format_BGR888;
  QImage img(b.width, b.height, format);
  if (img.isNull()) return img;
  if (b.bits == 1) img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});  // bit 1 white
  const int bytes = std::min<int>(b.rowBytes, static_cast<int>(img.bytesPerLine()));
  for (int y = 0; y < b.height; ++y) std::memcpy(img.scanLine(y), b.row(y), static_cast<std::size_t>(bytes));
  return img;
}

QPageSize pageSizeFor(int code) {
  const QPageSize::PageSizeId id = QPageSize::id(code);
  if (id != QPageSize::Custom) return QPageSize(id);
  const PaperMm mm = paperMmFor(code);
  return QPageSize(QSizeF(mm.width, mm.height), QPageSize::Millimeter);
}

// "PDF" of the window: one file per print document, drawn by Qt.
class QtPdfPrinter : public FilePrinterBase {
public:
  explicit QtPdfPrinter(std::function<std::string()> folder) : FilePrinterBase("PDF", std::move(folder)) {}

  bool drawPicture(const Bitmap& picture, std::int32_t pixelsPerMetre, double widthTwips,
                   double heightTwips) override {
    if (picture.empty()) return failWith(481, "Invalid picture");
    const QImage img = toQImage(picture);
    if (img.isNull()) return failWith(7, "Out of memory");
    if (!writer_) {
      buffer_ = std::make_unique<QBuffer>(&bytes_);
      buffer_->open(QIODevice::WriteOnly);
      writer_ = std::make_unique<QPdfWriter>(buffer_.get());
      const int dpi = pixelsPerMetre >= 35000 ? 1200 : 600;
      writer_->setResolution(dpi);
      writer_->setPageLayout(QPageLayout(pageSizeFor(paperCode()),
                                         orientation() == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
      writer_->setCreator("Quillaro");
      painter_ = std::make_unique<QPainter>();
      if (!painter_->begin(writer_.get())) {
        reset();
        return failWith(482, "PDF writer");
      }
    }
    const double k = writer_->resolution() / 1440.0;
    painter_->drawImage(QRectF(0, 0, widthTwips * k, heightTwips * k), img);
    return true;
  }

  bool endDocument() override {
    if (!painter_) return true;
    painter_->end();
    painter_.reset();
    writer_.reset();
    buffer_->close();
    const std::string dir = folder();
    const std::string path = joinPath(dir, printFileStem(nextPrintNumber(dir, {"pdf"})) + ".pdf");
    std::string error;
    const bool ok = folderExists(dir) && writeFileAtomic(path, std::string_view(bytes_.constData(), bytes_.size()), &error);
    reset();
    if (!ok) return failWith(75, error.empty() ? "Path not found: " + dir : error);
    return true;
  }

private:
  void reset() {
    painter_.reset();
    writer_.reset();
    buffer_.reset();
    bytes_.clear();
  }
  QByteArray bytes_;
  std::unique_ptr<QBuffer> buffer_;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<QPainter> painter_;
};

// A printer of the system (CUPS): a QPrinter set from the remembered choices.
class SystemPrinter : public Printer {
public:
  explicit SystemPrinter(const QPrinterInfo& info) : info_(info) { printer_ = std::make_unique<QPrinter>(info_, QPrinter::HighResolution); }

  std::string deviceName() const override { return info_.printerName().toStdString(); }
  int paperCode() const override {
    const int w = printer_->pageLayout().pageSize().windowsId();
    return w > 0 ? w : kPaperUser;
  }
  bool setPaperCode(int code) override {
    if (busy()) return failWith(396, "Property cannot be set within a page");
    if (!printer_->setPageSize(pageSizeFor(code))) return failWith(380, "Invalid property value");
    return true;
  }
  int tray() const override { return static_cast<int>(printer_->paperSource()) + 1; }
  bool setTray(int code) override {
    if (code < 1 || code > 15) return failWith(380, "Invalid property value");
    printer_->setPaperSource(static_cast<QPrinter::PaperSource>(code - 1));
    return true;
  }
  int quality() const override { return quality_; }
  bool setQuality(int q) override {
    static const int dpi[] = {100, 150, 300, 600};
    if (q < -4 || q == 0) return failWith(380, "Invalid property value");
    printer_->setResolution(q < 0 ? dpi[-1 - q] : q);
    quality_ = q;
    return true;
  }
  int orientation() const override {
    return printer_->pageLayout().orientation() == QPageLayout::Landscape ? kLandscape : kPortrait;
  }
  bool setOrientation(int o) override {
    if (o != kPortrait && o != kLandscape) return failWith(380, "Invalid property value");
    printer_->setPageOrientation(o == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    return true;
  }
  double pageWidthTwips() const override { return printer_->pageLayout().paintRect(QPageLayout::Point).width() * 20; }
  double pageHeightTwips() const override { return printer_->pageLayout().paintRect(QPageLayout::Point).height() * 20; }
  bool setCopies(int copies) override {
    if (copies < 1) return failWith(380, "Invalid property value");
    printer_->setCopyCount(copies);
    return true;
  }
  bool drawPicture(const Bitmap& picture, std::int32_t, double w, double h) override {
    const QImage img = toQImage(picture);
    if (img.isNull()) return failWith(481, "Invalid picture");
    if (!painter_) {
      painter_ = std::make_unique<QPainter>();
      if (!painter_->begin(printer_.get())) {
        painter_.reset();
        return failWith(482, "Printer error");
      }
    }
    const double k = printer_->resolution() / 1440.0;
    painter_->drawImage(QRectF(0, 0, w * k, h * k), img);
    return true;
  }
  bool endDocument() override {
    if (!painter_) return true;
    const bool ok = painter_->end();
    painter_.reset();
    return ok || failWith(482, "Printer error");
  }
  PrinterError lastError() const override { return error_; }

private:
  bool busy() const { return painter_ != nullptr; }
  bool failWith(int n, std::string d) {
    error_ = {n, std::move(d)};
    return false;
  }
  QPrinterInfo info_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
  int quality_ = -4;
  PrinterError error_;
};

}  // namespace

std::unique_ptr<Printer> makePdfPrinter(Workspace& ws) {
  return std::make_unique<QtPdfPrinter>([&ws] { return ws.shared.folders[kFolderSaved]; });
}

std::unique_ptr<PrinterList> makePrinterList(Workspace& ws, const std::string& wanted) {
  auto list = std::make_unique<PrinterList>();
  int defaultIndex = -1;
  if (QCoreApplication::instance()) {
    const QString def = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
      if (info.printerName() == def) defaultIndex = list->count();
      list->add(std::make_unique<SystemPrinter>(info));
    }
  }
  list->add(makePdfPrinter(ws));
  list->add(std::make_unique<BmpFilePrinter>([&ws] { return ws.shared.folders[kFolderSaved]; }));
  if (defaultIndex >= 0) list->select(defaultIndex);
  if (!wanted.empty() && !list->selectByName(wanted))
    ws.prompts->message("Нет принтера " + wanted, Icon::Exclamation);
  return list;
}

}  // namespace quillaro
