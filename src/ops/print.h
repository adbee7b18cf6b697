#pragma once
// Printing one picture (the opened original, the page image or the A3 sheet): the repeat
// guard, the temporary save of a fresh copy, the paper and orientation checks with their
// questions, the size in twips (fitted, proportional or 1:1), the document, and the paper
// and orientation set back afterwards. Also the logic of the print settings panel.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/bitmap.h"

namespace quillaro {

class Workspace;
class PrinterList;

// Print kinds of the picture loaded for printing.
enum PrintKind : int {
  kPrintNothing = 0,
  kPrintOriginal = 1,
  kPrintCustomPage = 2,  // a page image of other than the standard size (or the form)
  kPrintA3Sheet = 3,
  kPrintA4Page = 4,
};

// Which picture the edit view shows, for the fresh-copy and original checks.
enum class ShownView { Original, Page, A3Preview };

struct PrintState {
  PrinterList* printers = nullptr;  // not owned; nullptr or empty: nothing is printed

  int kind = kPrintNothing;
  std::string loadedName;  // name of the file loaded for printing
  Bitmap picture;          // the loaded picture
  std::int32_t pixelsPerMetre = 0;
  int widthHimetric = 0;   // picture size in 0.01 mm at 96 pixels per inch
  int heightHimetric = 0;

  double lastPrintSecond = -1e9;  // seconds since midnight of the last print
  bool justLoaded = false;        // opening loaded the picture for printing
  int step = 0;                   // 1 loading, 2 paper, 3 drawing, 0 otherwise

  // Print settings panel: chosen entries, -1 for no selection.
  int paperListIndex = -1;        // 0 A4, 1 A3, 2 "Авто"
  int orientationListIndex = -1;  // 0 "Авто", 1 portrait, 2 landscape

};

// The workspace's print state, made on first use.
PrintState& printState(Workspace& ws);

// The printers of this run. `printers` may be nullptr (no printer: nothing is printed); it
// must outlive the workspace's use of it.
void installPrinting(Workspace& ws, PrinterList* printers);

// Print (ComPrint, Enter in the copies field, "печатать" after saving, PRINT, the batch).
// True when a document was printed.
bool printPicture(Workspace& ws);

// Loads a bitmap file for printing as `kind`. On failure shows "Ошибка загрузки для
// печати" with the reason, and what was loaded before stays. True when loaded.
bool loadForPrinting(Workspace& ws, const std::string& path, int kind);
// The file just opened or saved is loaded for printing: the original when it is the opened
// picture and "load the opened file" is on, else the copy.
void loadForPrint(Workspace& ws, const std::string& path);
// The kind a copy loaded for printing takes: 2 with the form or a page image of other
// than standard size, 3 with ChA3, else 4.
int copyPrintKind(Workspace& ws);

// Sizes of the print in twips.
struct PrintSize {
  double width = 0;
  double height = 0;
};
// fit: "Подогнать размер"; keepAspect: "сохраняя пропорции"; factorX/Y: the 1:1 factors;
// marginMm: the printer margin; pageW/H: the printable area in twips; picture sizes in
// pixels and in 0.01 mm; dpi1200 halves the 1:1 size.
PrintSize printSize(bool fit, bool keepAspect, double factorX, double factorY, double marginMm,
                    double pageWidthTwips, double pageHeightTwips, int pictureWidth, int pictureHeight,
                    int widthHimetric, int heightHimetric, bool dpi1200);

// The noun shown in LabCopies after the number of copies ("копию", "копии", "копий").
std::string copiesCaption(int n);

// ---- Print settings panel ----

// The paper's name from the code table; user size (256) from the printable area.
std::string paperName(int code, double pageWidthTwips, double pageHeightTwips, int decimals);
// " Код лотка 9", " Лоток по умолчанию", or a blank and the tray list entry.
std::string trayText(int code);
std::string qualityText(int quality);       // " Разрешение = -4"
std::string orientationText(int orientation);  // " Альбомная ориентация"

const std::vector<std::string>& paperListEntries();
const std::vector<std::string>& trayListEntries();
const std::vector<std::string>& qualityListEntries();
const std::vector<std::string>& orientationListEntries();

struct PrintPanelView {
  std::vector<std::string> printers;
  int currentPrinter = -1;
  bool trayListOffered = false;  // the current tray code is below 15
  std::string fileLine;          // "Файл:  " + the loaded file name
  std::string paper, tray, quality, orientation;
};
// The panel as it shows the current printer; empty lists when there is no printer.
PrintPanelView printPanelView(Workspace& ws);

// The list choice handlers (k counted from 0). Errors show their messages; the printer
// keeps whatever state it reports.
void choosePrinter(Workspace& ws, int k);
void choosePaper(Workspace& ws, int k);
void chooseTray(Workspace& ws, int k);
void chooseQuality(Workspace& ws, int k);
void chooseOrientation(Workspace& ws, int k);

// The orientation the loaded picture needs: landscape with ChLand or an A3 sheet, for the
// original or a custom page when wider than high; else portrait.
int requiredOrientation(Workspace& ws);

}  // namespace quillaro
