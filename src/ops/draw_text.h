#pragma once
// Drawing the text of the text body box TZ(1) into the picture with the text settings of
// the panels: the button "Нарисовать" (F9 in the text dialog) and the X / X- commands.
#include <string>
#include <vector>

namespace quillaro {

class Workspace;

// A place for one piece of text, in picture dots.
struct TextCell {
  int left = 0, top = 0, width = 0, height = 0;
};

// Draws TZ(1) by the placement mode of the panel:
// - into a frame: the whole text in the drawing rectangle TN(24..27); what does not fit is
//   asked about when the user draws (not in a program run), stays in TZ(1) afterwards, and
//   the recorded X line holds only the drawn part;
// - column / row: the text split at line breaks (row mode with "Таб": at tabs) into the
//   rows TN(1) / columns TN(0) of equal size of the rectangle;
// - table: the pieces (split at tabs and line breaks) fill the TN(0) x TN(1) cells of equal
//   size of the rectangle, row by row.
// An X- text (font-attributes-only mode) continues where the previous text ended.
// Bad input — characters Windows-1251 cannot hold, a size outside 1 point .. an em of 5000 dots, a
// rectangle outside the picture, no font — is told in a message and draws nothing.
// Returns true when something was drawn (the line is then recorded).
bool drawText(Workspace& ws);

// Draws the pieces into the given cells (piece i into cell i), each laid out with the text
// settings as a frame of its own; pieces without a cell are left ("Нет свободной ячейки"),
// a cell too small for a piece shows "Нет места". The table drawing hands its real cells
// (inside its lines) here. Records one X line with the whole text. True when drawn.
bool drawTextInCells(Workspace& ws, const std::vector<std::string>& pieces, const std::vector<TextCell>& cells);

// The cells of the rectangle divided into `across` x `down` parts of equal size, row by row.
std::vector<TextCell> equalCells(const TextCell& area, int across, int down);

}  // namespace quillaro
