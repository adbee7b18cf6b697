#pragma once
// The controls of the main window that hold values, as the program addresses them: the
// control arrays (ChB, TN, TTB, TextPrint, TZ, Lab), the named check boxes, the option
// groups, the font list, the labels whose captions change, and the held texts. The table
// gives each control its caption, tooltip and initial value, so that the window builds its
// panels from it and the parameter store knows its fresh state.
#include <cstdint>
#include <span>
#include <string_view>

#include "base/control_numbers.h"

namespace quillaro {

// Sizes of the control arrays (indices 0 .. size - 1).
inline constexpr int kChbCount = 88;        // ChB(0..87)
inline constexpr int kTnCount = 71;         // TN(0..70)
inline constexpr int kTtbCount = 10;        // TTB(0..9)
inline constexpr int kTextPrintCount = 2;   // TextPrint(0..1)
inline constexpr int kTzCount = 8;          // TZ(0..7)
inline constexpr int kLabCount = 64;        // Lab(0..63)
inline constexpr int kA3TextCount = 8;      // the eight A3 texts

// Named check boxes.
enum class Check : std::uint8_t {
  ChLand, Ch2in1, Ch2origin, ChMirror, Ch2of2, ChBackRotat, ChPaste, ChForm, ChA3, ChBig,
  ChAxis, ChSelSize, ChTabTab, ChDrawInCell, ChRowTab, ChTexBiasLine, Ch1200dpi, ChAnyCase,
  ChMXSZ, ChTabX0, ChTabY0, ChTabXSZ, ChTabYSZ,
  Count
};
inline constexpr int kCheckCount = static_cast<int>(Check::Count);

// Option groups; the value of a group is the index of its chosen button.
enum class OptionGroup : std::uint8_t {
  HAlign,      // OptionHA(0) left, (1) right, (2) middle, (3) stretch
  VAlign,      // 0 OptionATop, 1 OptionABottom, 2 OptionAMiddleV, 3 OptionAJustV
  Placement,   // 0 OptionToCell, 1 OptionToColumn, 2 OptionToRow, 3 OptionToTable
  SpacingUnit, // 0 OptionProc (percent), 1 OptionPix, 2 Optionmm
  OffsetUnit,  // 0 OptionmmP, 1 OptionPixP, 2 OptionProcP (percent)
  Mouse,       // OptionMouse(0..3): what a left click does in drawing mode
  MouseUp,     // OptionMouseUp(0..4): what releasing the button does in drawing mode
  AutoTB,      // 0 OptAuTop, 1 OptAuBottom, 2 OptAuTB (automatic)
  AutoLR,      // 0 OptAuLeft, 1 OptAuRight, 2 OptAuLR (automatic)
  Count
};
inline constexpr int kOptionGroupCount = static_cast<int>(OptionGroup::Count);

// Lists whose selection is a parameter.
enum class ListSel : std::uint8_t { ListFontName, Count };
inline constexpr int kListCount = static_cast<int>(ListSel::Count);

// Labels addressed by name (Lab(k) are addressed by index).
// Labels and buttons whose captions the program sets: the status label, the A3 and copies
// labels, the cell size labels, the copy mode label ("Копия"/"Форма") and the copy button
// (which reads "Стоп" while an automatic copy waits or the batch runs).
enum class NamedLabel : std::uint8_t {
  LabS, LabA4inA3, LabCopies, LabXCell, LabYCell, LabMode, ComCopy, Count
};
inline constexpr int kNamedLabelCount = static_cast<int>(NamedLabel::Count);

// Texts that the program keeps outside the control arrays.
enum class Held : std::uint8_t {
  Threshold,     // black-and-white threshold ("LevelBW")
  Brightness,    // brightness offset at opening ("BrightnessOpen")
  MaskPattern,   // the current mask pattern ("Mask")
  L4CX, L4CY,    // the two texts of the 4-in-1 copy
  SX1, SY1, SX2, SY2,  // the copy frame memory
  DefTextSet,    // the default text-settings record kept in the settings file
  TextFileName,  // the file name field of the save panel
  TextHAlign,    // the column number box of the text panel
  FontFamily,    // a font family named outside the font list (empty: the list's entry)
  PageNumber,    // the numbering field of the automation panel (".bmp ++")
  Count
};
inline constexpr int kHeldCount = static_cast<int>(Held::Count);

// Kind of a control, the first half of its address.
enum class Ctl : std::uint8_t {
  ChB, TN, TTB, TextPrint, TZ, Check, Option, List, Lab, NamedLabel, Held, A3Text, Window
};

// The address of one control: its kind and its index (array index, or the enum value of a
// named control; an option group is addressed by the group).
struct ControlId {
  Ctl kind;
  int index;
  constexpr std::uint32_t key() const {
    return (static_cast<std::uint32_t>(kind) << 16) | static_cast<std::uint32_t>(index & 0xFFFF);
  }
  friend constexpr bool operator==(ControlId a, ControlId b) { return a.key() == b.key(); }
};

constexpr ControlId chbId(int i) { return {Ctl::ChB, i}; }
constexpr ControlId tnId(int i) { return {Ctl::TN, i}; }
constexpr ControlId ttbId(int i) { return {Ctl::TTB, i}; }
constexpr ControlId textPrintId(int i) { return {Ctl::TextPrint, i}; }
constexpr ControlId tzId(int i) { return {Ctl::TZ, i}; }
constexpr ControlId labId(int i) { return {Ctl::Lab, i}; }
constexpr ControlId a3TextId(int i) { return {Ctl::A3Text, i}; }
constexpr ControlId checkId(Check c) { return {Ctl::Check, static_cast<int>(c)}; }
constexpr ControlId optionId(OptionGroup g) { return {Ctl::Option, static_cast<int>(g)}; }
constexpr ControlId listId(ListSel l) { return {Ctl::List, static_cast<int>(l)}; }
constexpr ControlId namedLabelId(NamedLabel l) { return {Ctl::NamedLabel, static_cast<int>(l)}; }
constexpr ControlId heldId(Held h) { return {Ctl::Held, static_cast<int>(h)}; }
// The main window's position and size (Left, Top, Width, Height).
constexpr ControlId windowId() { return {Ctl::Window, 0}; }

// One row of the control table. For an option button `sub` is its index in the group; for
// a list entry `sub` is the entry number; otherwise 0. `initial` is the value of a fresh
// window: "0"/"1" for check boxes, the button index for an option group's first row, the
// text for fields. Empty captions and tooltips mean the control has none.
struct ControlInfo {
  Ctl kind;
  int index;
  int sub;
  const char* name;
  const char* caption;
  const char* tooltip;
  const char* initial;
};

// Every row, in a fixed order (arrays by index, then the named controls).
std::span<const ControlInfo> controlTable();

// The row of a control (for option groups and lists: the row of button or entry `sub`);
// nullptr when the table has none.
const ControlInfo* findControl(ControlId id, int sub = 0);

// The named control of that name ("ChLand", "OptionHA", "TextFileName", ...).
const ControlInfo* findControlByName(std::string_view name);

// Initial values of ChB(0..85) as one character each ('0' or '1').
inline constexpr std::string_view kInitialChecks =
    "01011111100001110000110011010011000110000000100110000000000000000000010000000000000000";

}  // namespace quillaro
