#include "ops/system_printers.h"

#include <cups/cups.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <utility>

#include "image/bitmap.h"
#include "model/shared_values.h"
#include "model/workspace.h"
#include "ops/file_printers.h"
#include "ops/pdf_page.h"

namespace quillaro {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kTwipsPerMm = 1440.0 / 25.4;

// Hundredths of a millimetre, the unit of CUPS media sizes.
int hundredths(double mm) { return static_cast<int>(std::lround(mm * 100)); }

// The lowest paper code whose sheet is within 1 mm of width x length (hundredths of mm).
int paperForSize(int width, int length) {
  for (int code = 1; code <= 18; ++code) {
    const PaperMm p = paperMmFor(code);
    if (std::abs(hundredths(p.width) - width) <= 100 && std::abs(hundredths(p.height) - length) <= 100) return code;
  }
  return 0;
}

// A media name of any of the three namings CUPS knows; null when none has it.
const pwg_media_t* mediaByName(const std::string& name) {
  if (name.empty()) return nullptr;
  const pwg_media_t* m = pwgMediaForPWG(name.c_str());
  if (!m) m = pwgMediaForLegacy(name.c_str());
  if (!m) m = pwgMediaForPPD(name.c_str());
  return m;
}

std::string cupsError() {
  const char* s = cupsLastErrorString();
  return s && *s ? s : "Printer error";
}

// A sheet in millimetres and the margins the printer cannot print on.
struct Sheet {
  double width = 210, height = 297;
  double left = 0, top = 0, right = 0, bottom = 0;
  std::string media;  // the media name for the job
};

// A queue of the CUPS scheduler. The paper, orientation, quality and copies are kept here
// and go with the job; the tray is only remembered (its codes name no tray of a queue).
class CupsPrinter : public Printer {
public:
  explicit CupsPrinter(cups_dest_t& dest) {
    cupsCopyDest(&dest, 0, &dest_);
    name_ = dest.name ? dest.name : "";
    if (dest.instance && *dest.instance) name_ += std::string("/") + dest.instance;
  }
  ~CupsPrinter() override {
    if (info_) cupsFreeDestInfo(info_);
    if (dest_) cupsFreeDests(1, dest_);
  }
  CupsPrinter(const CupsPrinter&) = delete;
  CupsPrinter& operator=(const CupsPrinter&) = delete;

  std::string deviceName() const override { return name_; }

  int paperCode() const override {
    lookUp();
    return paper_;
  }
  bool setPaperCode(int code) override {
    if (page_) return failWith(396, "Property cannot be set within a page");
    if (!((code >= 1 && code <= 18) || code == kPaperUser)) return failWith(380, "Invalid property value");
    lookUp();
    paper_ = code;
    return true;
  }
  int tray() const override { return tray_; }
  bool setTray(int code) override {
    if (code < 1 || code > 15) return failWith(380, "Invalid property value");
    tray_ = code;
    return true;
  }
  int quality() const override { return quality_; }
  bool setQuality(int q) override {
    if (q < -4 || q == 0) return failWith(380, "Invalid property value");
    quality_ = q;
    return true;
  }
  int orientation() const override { return orientation_; }
  bool setOrientation(int o) override {
    if (o != kPortrait && o != kLandscape) return failWith(380, "Invalid property value");
    orientation_ = o;
    return true;
  }
  double pageWidthTwips() const override {
    const Sheet s = orientedSheet();
    return (s.width - s.left - s.right) * kTwipsPerMm;
  }
  double pageHeightTwips() const override {
    const Sheet s = orientedSheet();
    return (s.height - s.top - s.bottom) * kTwipsPerMm;
  }
  bool setCopies(int copies) override {
    if (copies < 1) return failWith(380, "Invalid property value");
    copies_ = copies;
    return true;
  }

  bool drawPicture(const Bitmap& picture, std::int32_t, double widthTwips, double heightTwips) override {
    if (picture.empty()) return failWith(481, "Invalid picture");
    const Sheet s = orientedSheet();
    if (!page_) {
      page_ = std::make_unique<PdfPage>(s.width * kPointsPerMm, s.height * kPointsPerMm);
      media_ = s.media;
    }
    std::string error;
    if (!page_->addPicture(picture, s.left * kPointsPerMm, s.top * kPointsPerMm, widthTwips / 20, heightTwips / 20,
                           &error))
      return failWith(error == "Out of memory" ? 7 : 481, error);
    return true;
  }

  bool endDocument() override {
    if (!page_) return true;
    const std::unique_ptr<PdfPage> page = std::move(page_);
    const std::string pdf = page->document();
    lookUp();
    if (!info_) return failWith(482, cupsError());

    cups_option_t* options = nullptr;
    int n = 0;
    n = cupsAddOption("copies", std::to_string(copies_).c_str(), n, &options);
    if (!media_.empty()) n = cupsAddOption("media", media_.c_str(), n, &options);
    if (quality_ < 0)  // draft and low, medium, high
      n = cupsAddOption("print-quality", quality_ >= -2 ? "3" : quality_ == -3 ? "4" : "5", n, &options);
    else
      n = cupsAddOption("printer-resolution", (std::to_string(quality_) + "dpi").c_str(), n, &options);

    int job = 0;
    bool ok = cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest_, info_, &job, "Quillaro", n, options) <
                  IPP_STATUS_REDIRECTION_OTHER_SITE && job > 0;
    cupsFreeOptions(n, options);
    if (!ok) return failWith(482, cupsError());
    ok = cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest_, info_, job, "Quillaro", CUPS_FORMAT_PDF, 0, nullptr, 1) ==
         HTTP_STATUS_CONTINUE;
    for (std::size_t at = 0; ok && at < pdf.size(); at += 65536) {
      const std::size_t len = std::min<std::size_t>(65536, pdf.size() - at);
      ok = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.data() + at, len) == HTTP_STATUS_CONTINUE;
    }
    // The document must be finished also after a failed write, so that the connection is free.
    const bool finished = cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest_, info_) < IPP_STATUS_REDIRECTION_OTHER_SITE;
    if (!ok || !finished) {
      const std::string why = cupsError();
      cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest_, job);
      return failWith(482, why);
    }
    return true;
  }

  PrinterError lastError() const override { return error_; }

private:
  bool failWith(int number, std::string description) {
    error_ = {number, std::move(description)};
    return false;
  }

  // Asks the scheduler once for the printer's media: its default paper (the user's
  // "media" option, else the printer's media-default) and, later, the margins.
  void lookUp() const {
    if (lookedUp_) return;
    lookedUp_ = true;
    info_ = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest_);
    const char* media = cupsGetOption("media", dest_->num_options, dest_->options);
    if (!media && info_) {
      if (ipp_attribute_t* a = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest_, info_, "media"))
        media = ippGetString(a, 0, nullptr);
    }
    int code = 0;
    if (const pwg_media_t* m = media ? mediaByName(media) : nullptr) {
      code = paperForSize(m->width, m->length);
      if (code == 0 && m->width > 0 && m->length > 0) {
        userMm_ = {m->width / 100.0, m->length / 100.0};
        code = kPaperUser;
      }
    }
    paper_ = code != 0 ? code : kPaperA4;
  }

  // The current paper, portrait, with the printer's margins for it.
  Sheet sheet() const {
    lookUp();
    const auto cached = sheets_.find(paper_);
    if (cached != sheets_.end()) return cached->second;
    Sheet s;
    const PaperMm mm = paper_ == kPaperUser ? userMm_ : paperMmFor(paper_);
    s.width = mm.width;
    s.height = mm.height;
    const int w = hundredths(mm.width), h = hundredths(mm.height);
    cups_size_t size{};
    if (info_ && cupsGetDestMediaBySize(CUPS_HTTP_DEFAULT, dest_, info_, w, h, CUPS_MEDIA_FLAGS_DEFAULT, &size) &&
        std::abs(size.width - w) <= 100 && std::abs(size.length - h) <= 100) {
      s.left = size.left / 100.0;
      s.top = size.top / 100.0;
      s.right = size.right / 100.0;
      s.bottom = size.bottom / 100.0;
      // Margins that leave nothing to print on are not believed.
      if (s.left + s.right >= s.width || s.top + s.bottom >= s.height) s.left = s.top = s.right = s.bottom = 0;
      s.media = size.media;
    }
    if (s.media.empty()) {
      const pwg_media_t* m = pwgMediaForSize(w, h);
      if (m && m->pwg) s.media = m->pwg;
    }
    sheets_.emplace(paper_, s);
    return s;
  }

  // The sheet as the page lies: a landscape page lies on it turned a quarter to the left,
  // its top along the sheet's left edge.
  Sheet orientedSheet() const {
    Sheet s = sheet();
    if (orientation_ != kLandscape) return s;
    Sheet t = s;
    t.width = s.height;
    t.height = s.width;
    t.top = s.left;
    t.right = s.top;
    t.bottom = s.right;
    t.left = s.bottom;
    return t;
  }

  cups_dest_t* dest_ = nullptr;  // an own copy
  std::string name_;
  mutable cups_dinfo_t* info_ = nullptr;
  mutable bool lookedUp_ = false;
  mutable int paper_ = kPaperA4;
  mutable PaperMm userMm_;
  mutable std::map<int, Sheet> sheets_;
  int tray_ = 7;
  int quality_ = -4;
  int orientation_ = kPortrait;
  int copies_ = 1;
  std::unique_ptr<PdfPage> page_;
  std::string media_;
  PrinterError error_;
};

}  // namespace

std::string mediaForPaper(int code) {
  const PaperMm p = paperMmFor(code);
  const pwg_media_t* m = pwgMediaForSize(hundredths(p.width), hundredths(p.height));
  return m && m->pwg ? m->pwg : std::string();
}

int paperForMedia(const std::string& media) {
  const pwg_media_t* m = mediaByName(media);
  return m ? paperForSize(m->width, m->length) : 0;
}

SystemPrinters systemPrinters() {
  SystemPrinters out;
  cups_dest_t* dests = nullptr;
  const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  for (int i = 0; i < n; ++i) {
    if (dests[i].is_default) out.defaultIndex = static_cast<int>(out.printers.size());
    out.printers.push_back(std::make_unique<CupsPrinter>(dests[i]));
  }
  cupsFreeDests(n, dests);
  return out;
}

std::unique_ptr<PrinterList> makeCorePrinterList(Workspace& ws, const std::string& wanted) {
  auto list = std::make_unique<PrinterList>();
  int defaultIndex = -1;
  if (!wanted.empty() && wanted != "BMP") {
    SystemPrinters system = systemPrinters();
    defaultIndex = system.defaultIndex;
    for (std::unique_ptr<Printer>& p : system.printers) list->add(std::move(p));
  }
  auto folder = [&ws] { return ws.shared.folders[kFolderSaved]; };
  list->add(std::make_unique<PdfFilePrinter>(folder));
  list->add(std::make_unique<BmpFilePrinter>(folder));
  if (defaultIndex >= 0) list->select(defaultIndex);
  if (!wanted.empty() && !list->selectByName(wanted))
    ws.prompts->message("Нет принтера " + wanted, Icon::Exclamation);
  return list;
}

}  // namespace quillaro
