#pragma once
// The keys of the page view: which command a key (with its Shift, Ctrl and Alt state) or a
// typed character starts in copy mode and in drawing mode.
#include <cstdint>

namespace quillaro {

// Key codes: letters 'A'..'Z' and digits '0'..'9' by their ASCII codes; other keys below.
enum Key : int {
  kKeyNone = 0,
  kKeyEsc = 0x1000, kKeyEnter, kKeySpace, kKeyBackspace, kKeyDelete,
  kKeyLeft, kKeyRight, kKeyUp, kKeyDown,
  kKeyComma, kKeyPeriod, kKeyBracketLeft, kKeyBracketRight, kKeyAsterisk,
  kKeyF1 = 0x1100,  // kKeyF1 + n - 1 for Fn
};

struct KeyPress {
  int key = kKeyNone;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool keypad = false;  // the key is on the numeric keypad
};

enum class Cmd : std::uint8_t {
  None,
  // both modes
  EraseBackground, ZoomNormal, DrawText, ToggleMagnifier, ToggleActions, ToggleFullScreen,
  Help, OpenSettingsFile, Imposition, SettingsPanel, ToggleSelMode, ToggleFitWidth,
  WholeSheet, ShowSource, ToggleSnapshot, ReadCommand, ShowTextField,
  // drawing mode
  FinishTextFrame, Erase, DrawTable, MergeCells, CellWidthLine, CellHeightLine, TableOptions,
  RefreshAndDrawText, ToggleGrid, BrightnessContrast, Mask, DenseThinPlus, ShowResult,
  PasteText, TextDialog, Undo, DarkRelWhite, FocusProgram, ZoneFromRectOrigin, ZoneFromRect,
  LineWidthPlus, LineWidthMinus, MoveRect, ResizeRect,
  // copy mode
  AutoFrame, Copy, OpenPicture, Reopen, TurnOver, TurnLeft, TurnRight, NextFile, MoveZone,
  PlusButton,
  // mouse in drawing mode
  SelectFrame, SelectFrameTextDialog, SelectFramePaste, EditText,
};

struct KeyCommand {
  Cmd cmd = Cmd::None;
  int dx = 0;  // arrows: -1, 0, 1
  int dy = 0;
  bool bigStep = false;  // arrows with Shift
};

// The command of a key-down event; None when the key means nothing in that mode.
KeyCommand commandForKey(const KeyPress& k, bool drawingMode);
// The command of a typed character ("+" and "-").
Cmd commandForChar(char32_t ch, bool drawingMode);
// The Latin key at the place of a Cyrillic letter of the Russian layout (upper or lower
// case), so that keys do not depend on the layout; 0 for other characters.
int latinKeyForCyrillic(char32_t ch);
// The name of a command (for tests and messages).
const char* commandName(Cmd c);

// The left button in drawing mode. Press, by OptionMouse: 0 selects the drawn frame under
// the pointer only with Shift; 1 selects it and opens the text dialog; 2 selects it and
// draws the clipboard text into it. Release, by OptionMouseUp: 1 table lines, 2 clipboard
// text into the dragged rectangle (only when the pointer moved in both x and y), 3 the
// actions panel, 4 the text dialog; with OptionMouse 3 a release at the press point edits
// the text of the frame there.
Cmd mousePressCommand(int optionMouse, bool shift);
Cmd mouseReleaseCommand(int optionMouse, int optionMouseUp, double pressX, double pressY,
                        double releaseX, double releaseY);

}  // namespace quillaro
