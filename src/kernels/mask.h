#pragma once
// Mask patterns: 4 x 4 cells of kept and whitened pixels that lighten a picture into a
// dotted outline. The pattern value and its text form, the sixteen density levels, the
// small pattern editor (as logic), the quick buttons, masking and erasing a rectangle of a
// 1-, 8- or 24-bit picture, and the horizontally uneven mask that 1-bit copies use.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillaro {

class Bitmap;

// A 4 x 4 cell: bit 1 whitens the pixel, bit 0 keeps it. Bits 15..12 hold row 0 (the top
// row), 11..8 row 1 and so on; within a row the high bit is column 0 (the left column).
// The text form is that value as four hexadecimal digits, row 0 first ("5F5F").
class MaskPattern {
public:
  constexpr MaskPattern() = default;
  constexpr explicit MaskPattern(std::uint16_t cells) : cells_(cells) {}

  // Exactly four hexadecimal digits (either letter case); anything else gives nothing.
  static std::optional<MaskPattern> fromText(std::string_view text);
  // Density level n of the shared table (n brought into 0..15): exactly n whitened cells.
  static MaskPattern level(int n);

  // Sets the pattern from its text form; a text that is not four hexadecimal digits
  // leaves the pattern as it was and returns false.
  bool assign(std::string_view text);

  std::string text() const;     // four upper-case hexadecimal digits
  std::string caption() const;  // text, a blank and the count over 16: "5A5A 8/16"
  std::uint16_t cells() const { return cells_; }
  int count() const;  // whitened cells, 0..16
  bool whitensAll() const { return cells_ == 0xFFFF; }

  bool cell(int row, int column) const;  // row and column are taken mod 4
  void setCell(int row, int column, bool whitened);
  void toggle(int row, int column);
  int rowDigit(int row) const;  // 0..15, the hexadecimal digit of the row
  // The row's four cells repeated twice to fill a byte of a 1-bit row (digit x 0x11).
  std::uint8_t rowByte(int row) const { return static_cast<std::uint8_t>(rowDigit(row) * 0x11); }

  friend bool operator==(MaskPattern a, MaskPattern b) { return a.cells_ == b.cells_; }

private:
  std::uint16_t cells_ = 0;
};

inline constexpr MaskPattern kErasePattern{0xFFFF};

// ---------------------------------------------------------------------------------------
// Pattern editor: a 32 x 32 unit box with one 8 x 8 unit square per cell, white for a
// whitened cell, black for a kept one. Pointer positions are in the box's units.

inline constexpr int kMaskEditorCellUnits = 8;

class MaskEditor {
public:
  // The cell under a pointer position (rounded to whole units, divided by 8); false when
  // the position lies outside the 4 x 4 area.
  static bool cellAt(double x, double y, int& row, int& column);

  // Left button down: toggles the cell under the pointer and remembers its new state as the
  // paint state. True when a cell changed.
  bool leftDown(MaskPattern& pattern, double x, double y);
  // Left button drag: a cell the pointer enters takes the paint state. True when it changed.
  bool leftDrag(MaskPattern& pattern, double x, double y);
  void leftUp() { painting_ = false; }

  // Right button down: remembers the current count and the pointer position.
  void rightDown(const MaskPattern& pattern, double x, double y);
  // Right button drag: level = remembered count + (x - remembered x) / 8 +
  // (remembered y - y) / 8 (differences rounded, divisions truncating), brought into 0..15;
  // the pattern becomes that density level. Returns the level, or -1 without a right press.
  int rightDrag(MaskPattern& pattern, double x, double y);
  void rightUp() { levelling_ = false; }

private:
  bool painting_ = false;
  bool paintState_ = false;
  int paintRow_ = -1;
  int paintColumn_ = -1;
  bool levelling_ = false;
  int startCount_ = 0;
  double startX_ = 0;
  double startY_ = 0;
};

// ---------------------------------------------------------------------------------------
// Quick buttons: 0 "5F5F", 1 "5B5E", 2 "5A5A", 3 "0A0A", 4 the current pattern, 5 "FFFF".

inline constexpr std::string_view kEraseButtonCaption = "Стереть";
inline constexpr std::string_view kEraseButtonTooltip = "Клавиша \"Delete\"";
inline constexpr std::string_view kMaskButtonTooltip =
    "Маска слева - клавиша \"M\". Левой кнопкой рисовать, правой менять плотность";
inline constexpr std::string_view kUnevenMaskLabel = "<- Плотность маски ->";

// The fixed pattern of a quick button (0..3 and 5); nothing for 4 and other indexes.
std::optional<MaskPattern> quickMaskPattern(int index);

enum class QuickMaskAction {
  None,             // nothing to do
  ApplyOnce,        // mask the selected rectangle with `pattern`, the current one kept
  SetCurrent,       // `pattern` becomes the current pattern; rebuild the uneven table
  MaskWithCurrent,  // mask the selected rectangle with the current pattern
  RedrawCopy,       // discard the shown result and draw the copy again
};

struct QuickMaskStep {
  QuickMaskAction action = QuickMaskAction::None;
  MaskPattern pattern;
};

// What a click on quick button `index` does, given the drawing selection mode and whether
// the edit view is shown.
QuickMaskStep quickMaskClick(int index, bool drawingMode, bool editViewShown);

// ---------------------------------------------------------------------------------------
// Masking a rectangle.

// The pixels a mask covers, rows counted from the top of the picture, bounds inclusive and
// inside the picture. anchorTop is the rectangle's first row before clipping: 8-bit pattern
// rows count from it.
struct MaskArea {
  int left = 0;
  int top = 0;
  int right = -1;
  int bottom = -1;
  int anchorTop = 0;
  bool empty() const { return right < left || bottom < top; }
};

// The selected rectangle (x, y, w, h in picture pixels) as the mask covers it: columns
// nearest(x) (at least 0) to nearest(x + w - 1), rows nearest(y) for nearest(h - 1) + 1
// rows, then cut to the picture.
MaskArea maskAreaFor(double x, double y, double w, double h, int pictureWidth, int pictureHeight);

struct MaskOptions {
  // 8-bit pictures: mask every pixel below white, not only pure black ones.
  bool onGrey = false;
  // 1-bit pictures: restore this background (1-bit, the picture's size) instead of white.
  // Ignored when it does not match the picture.
  const Bitmap* background = nullptr;
};

// Masks the area with the pattern.
// 1 bit: pattern row = picture row mod 4, pattern column = picture column mod 4; whitened
//   cells become white. With a background, the result is also ANDed with the background
//   within the area, so "FFFF" restores the background exactly.
// 8 bits: pattern row = (row - anchorTop) mod 4, column = column mod 4. "FFFF" whitens
//   every pixel; other patterns whiten pure black pixels under whitened cells (every
//   non-white one with onGrey).
// 24 bits: only "FFFF" acts and whitens every pixel; other patterns change nothing.
// Returns false (and changes nothing) for an empty picture or another depth. The area is
// cut to the picture again, so any area is safe.
bool maskRectangle(Bitmap& picture, const MaskArea& area, MaskPattern pattern,
                   const MaskOptions& options = {});

// The restore-background state: while `on`, erasing a rectangle of a 1-bit picture puts
// back the background copy instead of plain white.
struct RestoreBackground {
  bool on = false;
  const Bitmap* copy = nullptr;
  // The background to pass to maskRectangle for this picture, or nullptr when the state is
  // off or the copy is not a 1-bit picture of the same size.
  const Bitmap* usableFor(const Bitmap& picture) const;
};


// ---------------------------------------------------------------------------------------
// Uneven mask: the density changes in steps across the page row.

inline constexpr int kMaxUnevenBands = 18;

struct UnevenBand {
  int startByte = 0;  // first byte column of the band in the 1-bit page row
  int endByte = 0;    // one past its last byte column
  int level = 0;      // density level of the band (may lie outside 0..15)
  bool hasPattern = false;
  std::array<std::uint8_t, 4> rowBytes{};  // one per pattern row; all 0 without a pattern
  int previewGrey = 0;                     // grey of the preview bar: 16 x level in 0..255
};

struct UnevenMaskTable {
  std::vector<UnevenBand> bands;  // left to right, at most kMaxUnevenBands, none empty
  int limit = 15;                 // the highest level a band may take
};

// Builds the table for a page row of rowBytes bytes from the left and right edge levels
// (the field values, brought into -32..50 and rounded). The upper limit is currentCount
// when notAboveCurrent, else 15; when both levels are negative both become 0, when both
// exceed the limit both become the limit. The row is split into |R - L| + 1 bands of equal
// real width, band k starting at byte nearest(k x width) with level L +- k; bands whose
// level is outside 0..limit get no pattern (neighbouring ones are merged into one band).
UnevenMaskTable buildUnevenMaskTable(double leftLevel, double rightLevel, int rowBytes,
                                     int currentCount, bool notAboveCurrent);

// Masks the area of a 1-bit picture band by band (pattern row = picture row mod 4).
// Returns false and changes nothing for an empty picture or another depth.
bool applyUnevenMask(Bitmap& picture, const MaskArea& area, const UnevenMaskTable& table);

}  // namespace quillaro
