#pragma once
// The command lines that operations hand to the recorder, one builder per line form.
// Each line is what the interpreter reads back, so that replaying it repeats the
// operation with the same parameters. Numbers are written by the workspace's number
// formatter ("." as the point, decimals limited by "Число дробных знаков до").
#include <string>
#include <vector>

#include "model/journal.h"

namespace quillaro {

class Workspace;

// "Open, SRC=" + the path in double quotes + the options that apply. `fileBits` is the
// depth of the file, `correction` whether the tone map was on, `usedValue` the threshold
// or brightness taken from the shared field. Options other than " ForPrint=1" only for
// files of more than 1 bit.
std::string openLine(const Workspace& ws, const std::string& path, int fileBits, bool correction,
                     long long usedValue);
// The copy as is: "Copy, 0, 0, 289, 202, 4, 4, 100, 0, Land=1" or "Copy, 0, 0, 202, 289, 4, 4, 100, 0".
std::string copyAsIsLine(bool landscape);
// "Print, " and the number of copies.
std::string printLine(const Workspace& ws, double copies);
// "A3, 1" or "A3, 2".
std::string a3Line(int half);
// "ReplaceText, TZ=3, Find=\"...\", By=\"...\"" with ", End=\"...\"" for an ending text and
// ", AnyCase=1" when letter case is ignored; the texts escaped by escapeLineValue.
std::string replaceTextLine(int field, const std::string& find, const std::string& replacement,
                            const std::string& ending, bool anyCase);

// "Batch, From=1, To=16[, Sheets=4][, A3=1][, Folds=2][, Turned=1], Prefix="scan"[, Print=1]"
// from the automation panel.
std::string batchLine(Workspace& ws);
// "Reload, R", "Reload, L"; "Reload" for the plain reload (direction 0).
std::string reloadLine(char direction);
// "Over", "Right", "Left".
std::string turnLine(TurnDirection direction);
// "DBC", the rectangle, ",", then " BW=", " Contrast=", " Black=0", " White=1" as they apply.
std::string brightnessContrastLine(const Workspace& ws);
// "DarkRelWhite", the rectangle, ", Contrast=" and TN(57).
std::string darkRelWhiteLine(const Workspace& ws);
// "Mask", the rectangle, ", " and the pattern; "Erase" and the rectangle for "FFFF";
// ", OnGray=1" for masks on an 8-bit picture with "Маски на сером" on.
std::string maskLine(const Workspace& ws, const std::string& pattern, int pictureBits);
// A drawn text: the X line of the text settings and the drawn text between " <TEXT>" and
// "</TEXT>".
std::string textLine(const Workspace& ws, const std::string& text);
// "New", ", L" when landscape, ", F=A5" for A5 (bits of the sheet index).
std::string newSheetLine(int index);
// "ConvertTo1bit", and ", BW=" with the threshold unless it is "140".
std::string convertTo1bitLine(const std::string& threshold);
// "DenseThin", the rectangle, ", W=" (unless "4"), ", Plus=1", and the directions part.
std::string densityLine(const Workspace& ws, bool plus);
// "D" with "+" or "-", "/" for the variant, "C" when the corners are used, the rectangle
// and the directions part.
std::string lineWidthLine(const Workspace& ws, bool thicker, bool variant);
// "U" and the rectangle.
std::string mergeCellsLine(const Workspace& ws);

// The table lines of the table panel: one T, H or V line; lines mode with both
// directions gives an H line and a V line (no single letter draws both); none when
// neither direction is on (nothing is drawn).
std::vector<std::string> tableLines(const Workspace& ws);
// The X line with its text block: the text settings line, " <TEXT>", TZ(1), "</TEXT>".
std::string textLine(const Workspace& ws);

// Records the table lines / the text line (recorded whenever they are drawn through the
// panel). True when the program text received them.
bool recordTable(Workspace& ws);
bool recordText(Workspace& ws);

}  // namespace quillaro
