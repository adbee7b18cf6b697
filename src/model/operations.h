#pragma once
// Entry points of the picture operations, as the action interpreter, the runner and the
// window start them. Each module that builds an operation fills its entry when the
// workspace is made; an empty entry means the operation is not available in this build:
// the interpreter and the runner then say so once per run ("Действие недоступно: ...")
// and go on with the next line.
//
// Operations read their parameters from the parameter store when they start (the
// interpreter has set the panels from the line before) and report their own failures.
#include <functional>
#include <string>

#include "model/journal.h"

namespace quillaro {

class Workspace;


struct Operations {
  // Opens the picture file at `path` through the open pipeline; false when it failed.
  std::function<bool(Workspace&, const std::string& path)> open;
  // A blank sheet: index bit 1 landscape, bit 2 A5, bit 4 8-bit grey. `byProgram`: made by
  // an action program (no "New" line is recorded). False when nothing was made.
  std::function<bool(Workspace&, int index, bool byProgram)> newSheet;
  // Turns the picture over (180 degrees), to the right or to the left; records itself.
  std::function<void(Workspace&, TurnDirection)> turn;
  // Reload of the opened file: direction 0 the plain reload (menu MuEReload), 'R' or 'L'
  // the reload turned right or left.
  std::function<void(Workspace&, char direction)> reload;
  // Converts the picture to 1 bit with the threshold text; false when it failed.
  std::function<bool(Workspace&)> convertTo1bit;
  // Sets the copy parameter set from the copy record in ws.reader: the line is upper-cased,
  // the scan position is just after the word "COPY" and the keys are prepared.
  std::function<void(Workspace&)> readCopyRecord;
  // The drawing rectangle TN(24..27) is taken over (converted to dots, marked in the view).
  std::function<void(Workspace&)> takeDrawingRect;
  // Draws the table or the lines of the table panel into the picture (H, T, V).
  std::function<void(Workspace&)> drawTable;
  // Draws the text of TZ(1) with the text settings (X, X-).
  std::function<void(Workspace&)> drawText;
  // The copy of the copy zone into the page image; false when no copy was made.
  std::function<bool(Workspace&)> copy;
  // A mask pattern over the drawing rectangle ("FFFF" erases).
  std::function<void(Workspace&, const std::string& pattern)> mask;
  // Line density over the drawing rectangle, with or without "plus".
  std::function<void(Workspace&, bool plus)> density;
  // The objects menu item MuCC "Объединить ячейки" over the drawing rectangle.
  std::function<void(Workspace&)> mergeCells;
  // Prints TN(11) copies of the page (or A3 sheet); false when nothing was printed.
  std::function<bool(Workspace&)> print;
  // Line width change over the drawing rectangle: thicker or thinner, the "/" variant.
  std::function<void(Workspace&, bool thicker, bool variant)> lineWidth;
  // Contrast relative to white over the drawing rectangle (TN(57)).
  std::function<void(Workspace&)> darkRelWhite;
  // Brightness and contrast of the drawing rectangle ("DBC").
  std::function<void(Workspace&)> brightnessContrast;
  // Puts the page image into the next free half of the A3 sheet.
  std::function<void(Workspace&)> toA3;
  // "A3, 1" / "A3, 2": the half that the next A3 step fills.
  std::function<void(Workspace&, int half)> selectA3Half;
  // The question before a changed picture is dropped ("Рисунок был изменён, не сохранять ?");
  // true when the caller must stop. Empty: the same rule is applied by the caller.
  std::function<bool(Workspace&)> pictureChangedStop;
  // The consistency check of the composition before the picture is replaced, with a verb
  // ("открыть", "создать"); true when the caller may go on. Empty: go on.
  std::function<bool(Workspace&, const std::string& verb)> confirmReplace;
  // The views are refreshed (and the page image drawn) after a run. Empty: nothing.
  std::function<void(Workspace&)> refreshViews;
};

}  // namespace quillaro
