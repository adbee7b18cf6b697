#include "ops/print.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#include "base/controls.h"
#include "base/files.h"
#include "base/numeric.h"
#include "base/fields.h"
#include "model/workspace.h"
#include "ops/copy_params.h"
#include "model/copy_state.h"
#include "image/bmp_file.h"
#include "ops/save.h"
#include "ops/printer.h"

namespace quillaro {

namespace {

constexpr double kTwipsPerMm = 1440.0 / 25.4;

// A hidden name that no file in the folder has, for the print's temporary page: the page
// never replaces, and its removal never takes, a file of the user's.
std::string freeTempPrintName(const std::string& folder) {
  static std::mt19937_64 rng{std::random_device{}() ^
                             static_cast<std::uint64_t>(
                                 std::chrono::steady_clock::now().time_since_epoch().count())};
  static const char digits[] = "0123456789abcdef";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = ".quillaro-print-";
    std::uint64_t r = rng();
    for (int k = 0; k < 16; ++k, r >>= 4) name += digits[r & 15];
    name += ".bmp";
    if (!fileExists(picturePathFor(folder, name))) return name;
  }
  return ".quillaro-print.bmp";  // asked about as any existing file would be
}

std::string errorMessage(Workspace& ws, int step, const PrinterError& e) {
  const char* head = step == 1   ? "Ошибка загрузки для печати"
                     : step == 2 ? "Недопустимый формат бумаги"
                     : step == 3 ? "Ошибка печати PaintPicture"
                                 : "Ошибка печати";
  return std::string(head) + ws.shared.lineBreak + std::to_string(e.number) + " " + e.description;
}

// Shows the error of the printer for the step running and ends the print.
bool fail(Workspace& ws, Printer& printer) {
  PrintState& st = printState(ws);
  ws.prompts->message(errorMessage(ws, st.step, printer.lastError()), Icon::Exclamation);
  st.step = 0;
  return false;
}

const char* paperShort(int code) { return code == kPaperA3 ? "A3" : "A4"; }
const char* orientationWord(int o) { return o == kLandscape ? "альбомная" : "книжная"; }

ShownView viewShown(Workspace& ws) {
  if (copyState(ws).freshCopy)
    return ws.params.check(Check::ChA3) ? ShownView::A3Preview : ShownView::Page;
  return ShownView::Original;
}

// Saves the fresh copy (or the full sheet) into a temporary file of its own so that it is
// loaded for printing. What the save marks (saved copy, emptied sheet, last saved name) is
// put back: the temporary file is deleted, so the copy itself is still unsaved. No file of
// the user's is touched: the temporary page has a hidden name no file has.
void saveFreshCopyForPrint(Workspace& ws) {
  ParamStore& p = ws.params;
  CopyState& cs = copyState(ws);
  const std::string folder = ws.shared.folders[kFolderSaved];
  const std::string tempName = freeTempPrintName(folder);
  const std::string path = picturePathFor(folder, tempName);
  const bool madeHere = !fileExists(path);

  const bool printAfter = p.chb(check::kPrintAfter);
  const bool loadSaved = p.chb(check::kLoadSaved);
  const bool openAfter = p.chb(check::kOpenAfterSave);
  const bool copySaved = ws.shared.copySaved;
  const bool saveEnabled = cs.saveEnabled;
  const std::string lastSaved = cs.lastSavedPicture;
  const int a3State = cs.a3State;
  const std::string a3Caption = p.caption(namedLabelId(NamedLabel::LabA4inA3));
  Bitmap a3 = p.check(Check::ChA3) ? ws.a3.clone() : Bitmap();

  {
    ParamStore::QuietScope quiet(p);
    p.setChb(check::kPrintAfter, false);
    p.setChb(check::kLoadSaved, true);
    p.setChb(check::kOpenAfterSave, false);
  }
  p.setHeld(Held::TextFileName, tempName);
  const bool saved = savePanel(ws);
  {
    ParamStore::QuietScope quiet(p);
    p.setChb(check::kPrintAfter, printAfter);
    p.setChb(check::kLoadSaved, loadSaved);
    p.setChb(check::kOpenAfterSave, openAfter);
  }
  p.setHeld(Held::TextFileName, "");
  if (saved) {
    ws.shared.copySaved = copySaved;
    cs.saveEnabled = saveEnabled;
    cs.lastSavedPicture = lastSaved;
    if (cs.a3State != a3State) {
      cs.a3State = a3State;
      ws.a3 = std::move(a3);
      p.setCaption(namedLabelId(NamedLabel::LabA4inA3), a3Caption);
    }
  }
  // Only a file this print made.
  std::error_code ec;
  if (madeHere) std::filesystem::remove(path, ec);
}

}  // namespace

PrintState& printState(Workspace& ws) {
  if (!ws.printState) ws.printState = std::make_shared<PrintState>();
  return *ws.printState;
}

int copyPrintKind(Workspace& ws) {
  const ParamStore& p = ws.params;
  if (p.check(Check::ChForm) || !isPageImageStandard(ws)) return kPrintCustomPage;
  return p.check(Check::ChA3) ? kPrintA3Sheet : kPrintA4Page;
}

bool loadForPrinting(Workspace& ws, const std::string& path, int kind) {
  PrintState& st = printState(ws);
  st.step = 1;
  ReadResult r = readBitmap(path, ReadOptions{}, nullptr);
  if (!r.ok()) {
    PrinterError e{r.error == ReadError::CannotOpen ? 53 : 481,
                   r.message.empty() ? path : r.message};
    ws.prompts->message(errorMessage(ws, 1, e), Icon::Exclamation);
    st.step = 0;
    return false;
  }
  st.picture = std::move(r.image.bitmap);
  st.pixelsPerMetre = r.image.xPixelsPerMetre;
  st.widthHimetric = nearesti(st.picture.width * 2540.0 / 96.0);
  st.heightHimetric = nearesti(st.picture.height * 2540.0 / 96.0);
  st.loadedName = bitmapFileName(path);
  st.kind = kind;
  st.step = 0;
  ws.view->printPanelChanged();
  return true;
}

namespace {

// The opened picture as it is in memory: a new sheet has no file, and the file of a picture
// drawn on since it was read lacks what was drawn.
void loadShownPictureForPrinting(Workspace& ws) {
  PrintState& st = printState(ws);
  st.picture = ws.image.bitmap.clone();
  st.pixelsPerMetre = ws.image.xPixelsPerMetre > 0 ? ws.image.xPixelsPerMetre
                                                   : nearesti(ws.shared.dotsPerMm * 1000.0);
  st.widthHimetric = nearesti(st.picture.width * 2540.0 / 96.0);
  st.heightHimetric = nearesti(st.picture.height * 2540.0 / 96.0);
  st.loadedName = ws.image.fileName;
  st.kind = kPrintOriginal;
  ws.view->printPanelChanged();
}

}  // namespace

int requiredOrientation(Workspace& ws) {
  PrintState& st = printState(ws);
  if (ws.params.check(Check::ChLand) || st.kind == kPrintA3Sheet) return kLandscape;
  if ((st.kind == kPrintOriginal || st.kind == kPrintCustomPage) && st.picture.width > st.picture.height)
    return kLandscape;
  return kPortrait;
}

PrintSize printSize(bool fit, bool keepAspect, double factorX, double factorY, double marginMm,
                    double pageWidthTwips, double pageHeightTwips, int pictureWidth, int pictureHeight,
                    int widthHimetric, int heightHimetric, bool dpi1200) {
  PrintSize s;
  if (fit) {
    const double m = marginMm * kTwipsPerMm;
    s.width = pageWidthTwips - 2 * m;
    s.height = pageHeightTwips - 2 * m;
    if (keepAspect && pictureWidth > 0 && pictureHeight > 0 && s.width > 0) {
      if (s.height / s.width <= static_cast<double>(pictureHeight) / pictureWidth)
        s.width = static_cast<double>(pictureWidth) * s.height / pictureHeight;
      else
        s.height = s.width * pictureHeight / pictureWidth;
    }
  } else {
    s.width = widthHimetric / 11.024 * factorX;
    s.height = heightHimetric / 11.024 * factorY;
    if (dpi1200) {
      s.width /= 2;
      s.height /= 2;
    }
  }
  return s;
}

std::string copiesCaption(int n) { return copiesNoun(n); }

bool printPicture(Workspace& ws) {
  PrintState& st = printState(ws);
  ParamStore& p = ws.params;
  const std::string& br = ws.shared.lineBreak;
  CopyState& cs = copyState(ws);

  // 1. Copies; no printer, no print. A count below 1 prints one copy.
  int n = nearesti(clampv(p.tnValue(field::kCopies), -1e6, 1e6));
  if (n < 1) n = 1;
  if (!st.printers || !st.printers->current()) return false;
  if (n > ws.shared.copiesWithoutQuestion) {
    const std::string q = "Печатать " + std::to_string(n) + " " + copiesCaption(n) + " ?";
    if (ws.prompts->ask(q, Buttons::YesNo, Icon::Exclamation, Answer::No) != Answer::Yes) {
      ws.prompts->message("Не напечатано: " + std::to_string(n) + " " + copiesCaption(n) + ".", Icon::Stop);
      return false;
    }
  }

  // 2. Repeat guard.
  const double now = ws.clock->secondsSinceMidnight();
  const double since = now - st.lastPrintSecond;
  if (since >= 0 && since < 5 && !st.justLoaded) {
    const std::string q = "Печатать ещё " + std::to_string(n) + " " + copiesCaption(n) + " ?";
    if (ws.prompts->ask(q, Buttons::YesNo, Icon::Exclamation, Answer::Yes) == Answer::No) return false;
  }
  st.lastPrintSecond = now;

  // 3. A fresh copy on view is saved into the temporary file and loaded from it.
  const ShownView view = viewShown(ws);
  const bool sheet = p.check(Check::ChA3);
  if (cs.freshCopy && ((!sheet && view == ShownView::Page) || (sheet && view == ShownView::A3Preview))) {
    if (ws.shared.copySaved && !cs.lastSavedPicture.empty() && fileExists(cs.lastSavedPicture))
      loadForPrinting(ws, cs.lastSavedPicture, copyPrintKind(ws));
    else
      saveFreshCopyForPrint(ws);
  }

  // 4. Nothing loaded: the original or the copy, after a question.
  if (st.kind == kPrintNothing) {
    const bool original =
        ws.image.loaded && (!ws.image.path.empty() || !ws.image.bitmap.empty()) && view == ShownView::Original;
    const bool copy = !original && cs.freshCopy;
    if (!original && !copy) {
      ws.prompts->message("Нечего печатать: нет ни рисунка, ни копии.", Icon::Exclamation);
      return false;
    }
    const std::string q = "Рисунок не загружен для печати." + br + "Напечатать " +
                          (original ? "оригинал ?" : "копию ?");
    if (ws.prompts->ask(q, Buttons::OkCancel, Icon::Question, Answer::Ok) != Answer::Ok) return false;
    if (original && !ws.image.bitmap.empty() && (ws.image.path.empty() || ws.image.modified != 0)) {
      loadShownPictureForPrinting(ws);
    } else if (original) {
      if (!loadForPrinting(ws, ws.image.path, kPrintOriginal)) return false;
    } else {
      if (!loadForPrinting(ws, cs.lastSavedPicture, copyPrintKind(ws))) return false;
    }
  }
  if (st.picture.empty()) return false;

  Printer& printer = *st.printers->current();

  // 5. Paper of an A4 page or an A3 sheet.
  int paper = printer.paperCode();
  if ((paper == kPaperA3 || paper == kPaperA4) && (st.kind == kPrintA3Sheet || st.kind == kPrintA4Page)) {
    const int required = st.kind == kPrintA3Sheet ? kPaperA3 : kPaperA4;
    if (st.paperListIndex == 2) {
      st.step = 2;
      if (!printer.setPaperCode(required)) return fail(ws, printer);
      st.step = 0;
      paper = printer.paperCode();
    }
    if (paper != required) {
      const std::string q = std::string("Формат принтера ") + paperShort(paper) + br + "Требуется " +
                            paperShort(required) + br + "Сменить " + paperShort(paper) + " на " +
                            paperShort(required) + " ?";
      const Answer a = ws.prompts->ask(q, Buttons::YesNoCancel, Icon::Exclamation, Answer::Yes);
      if (a == Answer::Cancel) return false;
      if (a == Answer::Yes) {
        st.step = 2;
        if (!printer.setPaperCode(required)) return fail(ws, printer);
        st.step = 0;
        st.paperListIndex = -1;
      }
    }
  }

  // 6. A page of its own size on A4 paper.
  if (printer.paperCode() == kPaperA4 && st.kind == kPrintCustomPage) {
    const std::string q = "Формат принтера A4" + br +
                          "Требуется A3 или по размерам (для принтера A4 - 216x355)" + br + "Сменить A4 на A3" +
                          " ?";
    if (ws.prompts->ask(q, Buttons::OkCancel, Icon::Exclamation, Answer::Ok) != Answer::Ok) return false;
    st.step = 2;
    if (!printer.setPaperCode(kPaperA3)) return fail(ws, printer);
    st.step = 0;
  }

  // 7. Orientation.
  const int usedPaper = printer.paperCode();
  const int required = requiredOrientation(ws);
  if (st.orientationListIndex == 0 && printer.orientation() != required) {
    if (!printer.setOrientation(required)) return fail(ws, printer);
  }
  if (printer.orientation() != required) {
    const std::string q = std::string("Ориентация принтера ") + orientationWord(printer.orientation()) + br +
                          "Требуется " + orientationWord(required) + br + "Сменить ?";
    const Answer a = ws.prompts->ask(q, Buttons::YesNoCancel, Icon::Exclamation, Answer::Yes);
    if (a == Answer::Cancel) return false;
    if (a == Answer::Yes) {
      if (!printer.setOrientation(required)) return fail(ws, printer);
      st.orientationListIndex = -1;
    }
  }
  const int usedOrientation = printer.orientation();

  // 8. Size in twips.
  const bool dpi1200 = st.pixelsPerMetre > 0 ? st.pixelsPerMetre >= 35000 : ws.shared.resolution == 1200;
  const PrintSize size =
      printSize(p.chb(check::kFitToPage), p.chb(check::kKeepProportions), parseNumber(p.textPrint(0)), parseNumber(p.textPrint(1)),
                printerMarginMm(p), printer.pageWidthTwips(), printer.pageHeightTwips(), st.picture.width,
                st.picture.height, st.widthHimetric, st.heightHimetric, dpi1200);

  // 9. The document.
  st.step = 3;
  if (!printer.setCopies(n)) return fail(ws, printer);
  const std::int32_t ppm = st.pixelsPerMetre > 0 ? st.pixelsPerMetre
                           : ws.shared.resolution == 1200 ? kPixelsPerMetre1200 : kPixelsPerMetre600;
  if (!printer.drawPicture(st.picture, ppm, size.width, size.height)) return fail(ws, printer);
  if (!printer.endDocument()) return fail(ws, printer);
  st.step = 0;

  // 10. The line and the focus.
  ws.journal->printed(ws, n);
  {
    const std::string file = printer.lastOutputPath();
    ws.view->resultReported("Напечатано: " + printer.deviceName() + (file.empty() ? "" : " / " + file));
  }
  ws.view->printed();

  // 11. The paper and orientation of this print are set again.
  if (printer.paperCode() != usedPaper) printer.setPaperCode(usedPaper);
  if (printer.orientation() != usedOrientation) printer.setOrientation(usedOrientation);
  st.justLoaded = false;
  ws.view->printPanelChanged();
  return true;
}

void installPrinting(Workspace& ws, PrinterList* printers) { printState(ws).printers = printers; }

void loadForPrint(Workspace& ws, const std::string& path) {
  // Opening loads the original (and marks it just loaded); saving loads the copy.
  const bool original = ws.image.loaded && path == ws.image.path && ws.params.chb(check::kLoadOpened) &&
                        path != copyState(ws).lastSavedPicture;
  if (loadForPrinting(ws, path, original ? kPrintOriginal : copyPrintKind(ws)) && original)
    printState(ws).justLoaded = true;
}

// ---- Print settings panel ----

std::string paperName(int code, double pageWidthTwips, double pageHeightTwips, int decimals) {
  switch (code) {
    case 1: return "Letter, 8 1/2 x 11 inch";
    case 2: return "Letter Small, 8 1/2 x 11 inch";
    case 3: return "Tabloid, 11 x 17 inch";
    case 4: return "Ledger, 17 x 11 inch";
    case 5: return "Legal, 8 1/2 x 14 inch";
    case 6: return "Statement, 5 1/2 x 8 1/2 inch";
    case 7: return "Executive, 7 1/2 x 10 1/2 inch";
    case 8: return "A3, 297 x 420 mm";
    case 9: return "A4, 210 x 297 mm";
    case 10: return "A4 Small, 210 x 297 mm";
    case 11: return "A5, 148 x 210 mm";
    case 12: return "B4, 250 x 354 mm";
    case 13: return "B5, 182 x 257 mm";
    case 14: return "Folio, 8 1/2 x 13 inch";
    case 15: return "Quarto, 215 x 275 mm";
    case 16: return "10 x 14 inch";
    case 17: return "11 x 17 inch";
    case 18: return "Note, 8 1/2 x 11 inch";
    case 256:
      return formatNumber(pageWidthTwips / 56.693, decimals) + " x " + formatNumber(pageHeightTwips / 56.693, decimals);
    default: return std::to_string(code);
  }
}

const std::vector<std::string>& paperListEntries() {
  static const std::vector<std::string> v{"A4, 210 x 297 мм", "A3, 297 x 420 мм", "Авто"};
  return v;
}
const std::vector<std::string>& trayListEntries() {
  static const std::vector<std::string> v{"Верхний лоток", "Нижний лоток", "Средний лоток"};
  return v;
}
const std::vector<std::string>& qualityListEntries() {
  static const std::vector<std::string> v{"Черновик  100 dpi", "Низкое разрешение", "Среднее разрешение  300 dpi",
                                          "Высокое разрешение  600 dpi"};
  return v;
}
const std::vector<std::string>& orientationListEntries() {
  static const std::vector<std::string> v{"Авто", "Книжная ориентация", "Альбомная ориентация"};
  return v;
}

std::string trayText(int code) {
  if (code >= 1 && code <= 3) return " " + trayListEntries()[static_cast<std::size_t>(code - 1)];
  if (code == 7) return " Лоток по умолчанию";
  return " Код лотка " + std::to_string(code);
}

std::string qualityText(int quality) { return " Разрешение = " + std::to_string(quality); }

std::string orientationText(int orientation) {
  return std::string(orientation == kLandscape ? " Альбомная" : " Книжная") + " ориентация";
}

PrintPanelView printPanelView(Workspace& ws) {
  PrintState& st = printState(ws);
  PrintPanelView v;
  v.fileLine = "Файл:  " + st.loadedName;
  if (!st.printers) return v;
  for (int i = 0; i < st.printers->count(); ++i) v.printers.push_back(st.printers->deviceName(i));
  v.currentPrinter = st.printers->currentIndex();
  Printer* pr = st.printers->current();
  if (!pr) return v;
  v.paper = paperName(pr->paperCode(), pr->pageWidthTwips(), pr->pageHeightTwips(), ws.decimals());
  v.tray = trayText(pr->tray());
  v.trayListOffered = pr->tray() < 15;
  v.quality = qualityText(pr->quality());
  v.orientation = orientationText(pr->orientation());
  return v;
}

namespace {

void panelError(Workspace& ws, const char* text) { ws.prompts->message(text, Icon::Exclamation); }

Printer* currentPrinter(Workspace& ws) {
  PrintState& st = printState(ws);
  return st.printers ? st.printers->current() : nullptr;
}

void panelDone(Workspace& ws) { ws.view->printPanelChanged(); }

}  // namespace

void choosePrinter(Workspace& ws, int k) {
  PrintState& st = printState(ws);
  if (!st.printers || k < 0 || k >= st.printers->count()) {
    panelError(ws, "Недопустимо");
    return;
  }
  st.printers->select(k);
  panelDone(ws);
}

void choosePaper(Workspace& ws, int k) {
  Printer* pr = currentPrinter(ws);
  if (!pr || k < 0 || k > 2) {
    panelError(ws, "Недопустимо");
    return;
  }
  printState(ws).paperListIndex = k;
  const int code = k == 0 ? kPaperA4 : k == 1 ? kPaperA3 : (ws.params.check(Check::ChA3) ? kPaperA3 : kPaperA4);
  if (pr->paperCode() != code && !pr->setPaperCode(code)) panelError(ws, "Недопустимый формат бумаги");
  panelDone(ws);
}

void chooseTray(Workspace& ws, int k) {
  Printer* pr = currentPrinter(ws);
  if (!pr || k < 0 || k > 2) {
    panelError(ws, "Недопустимо");
    return;
  }
  if (!pr->setTray(k + 1)) panelError(ws, "Недопустимый лоток");
  panelDone(ws);
}

void chooseQuality(Workspace& ws, int k) {
  Printer* pr = currentPrinter(ws);
  if (!pr || k < 0 || k > 3 || !pr->setQuality(-1 - k)) panelError(ws, "Недопустимо");
  panelDone(ws);
}

void chooseOrientation(Workspace& ws, int k) {
  Printer* pr = currentPrinter(ws);
  if (!pr || k < 0 || k > 2) {
    panelError(ws, "Недопустимо");
    return;
  }
  printState(ws).orientationListIndex = k;
  const int o = k == 0 ? requiredOrientation(ws) : k;
  if (pr->orientation() != o && !pr->setOrientation(o)) panelError(ws, "Недопустимо");
  panelDone(ws);
}

// ---- PrinterList ----

void PrinterList::add(std::unique_ptr<Printer> printer) {
  if (!printer) return;
  printers_.push_back(std::move(printer));
  if (current_ < 0) current_ = 0;
}

std::string PrinterList::deviceName(int i) const {
  if (i < 0 || i >= count()) return {};
  return printers_[static_cast<std::size_t>(i)]->deviceName();
}

Printer* PrinterList::current() const {
  if (current_ < 0 || current_ >= count()) return nullptr;
  return printers_[static_cast<std::size_t>(current_)].get();
}

void PrinterList::select(int i) {
  if (i < 0 || i >= count()) return;
  if (current_ >= 0 && deviceName(i) == deviceName(current_)) return;
  current_ = i;
}

bool PrinterList::selectByName(const std::string& name) {
  for (int i = 0; i < count(); ++i) {
    if (deviceName(i) == name) {
      current_ = i;
      return true;
    }
  }
  return false;
}

}  // namespace quillaro
