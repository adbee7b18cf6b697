#pragma once
// Tables and parallel lines drawn into the picture from the table panel (button
// ComTableCreate, keys 1 and T, the H, T and V command lines): the table's geometry as
// values (its lines and its cells), and the drawing operation.
#include <optional>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "model/rects.h"

namespace quillaro {

class Workspace;
class ParamStore;

// Everything a drawing of a table needs, in dots.
struct TableLayout {
  int columns = 1, rows = 1;            // TN(0), TN(1)
  int repeatAcross = 1, repeatDown = 1;  // TN(2), TN(3)
  int verticalThickness = 1;            // TN(4)
  int horizontalThickness = 1;          // TN(5)
  int innerThickness = 1;               // TN(6), with into-cells
  double left = 0, top = 0, width = 0, height = 0;  // the drawing rectangle
  double stepAcross = 0, stepDown = 0;  // offsets between repetitions
  bool table = true;                    // "Таблица": cells; off: parallel lines only
  bool horizontal = true, vertical = true;
  bool intoCells = false;               // "Внутрь ячеек"
  bool arrows = false;                  // "Размерные стрелки" (lines mode only)
  // The extension of every line when a replayed H or V line carries it; -1: by the rule
  // (the other direction's thickness while that direction is drawn, else 0).
  double extension = -1;
};

// One line of the table: the arguments of the line primitive.
struct TableLine {
  bool horizontal = true;
  double x = 0, y = 0, length = 0, thickness = 0, extension = 0;
};

// Limits of the numbers a table accepts; larger ones are refused with a message.
inline constexpr int kMaxTableCount = 10000;       // columns, rows
inline constexpr int kMaxTableRepeats = 1000;      // each repetition count
inline constexpr int kMaxTableThickness = 10000;   // dots
inline constexpr long long kMaxTableLines = 1000000;

// The table's lines in drawing order: for each repetition down, each repetition across,
// the horizontal lines (top first), then the vertical ones (left first). Table mode has
// C + 1 and R + 1 lines at pitches width / C and height / R; lines mode C and R lines at
// width / (C - 1) and height / (R - 1) (one line lies at the start). Into-cells (table
// mode) moves every line but the first back by (thickness - inner thickness) and gives no
// extension.
std::vector<TableLine> tableGeometry(const TableLayout& table);

// The cells' white insides in picture pixels, in order: repetition down, repetition across,
// row, column. A cell runs from the end of the line before it to the start of the line
// after it; along an axis with fewer than two lines the whole rectangle is one band.
std::vector<PixRect> tableCells(const TableLayout& table);

// The panel's table, read and checked. Counts and thicknesses are rounded to the nearest
// integer. A value outside its limits gives nothing and a message text in `error`.
std::optional<TableLayout> readTableLayout(const Workspace& ws, std::string& error);

// The line colour TN(62..64) (red, green, blue, each brought into 0..255); 24-bit only.
Rgb tableLineColour(const ParamStore& p);

// Draws the table of the panel into the picture (a blank A4 sheet is made first when no
// picture is loaded), records its lines, and returns true when it drew. Both sizes 0:
// status "Нулевые размеры", nothing drawn. A width of 0 turns "Горизонтальные" off (a
// height of 0 "Вертикальные") and draws with one column (row). Bad numbers: a message
// starting "Таблица не нарисована: ", nothing drawn.
bool drawTable(Workspace& ws);

}  // namespace quillaro
