#include "presentation/keymap.h"

namespace quillaro {
namespace {

KeyCommand arrow(const KeyPress& k, bool drawingMode) {
  KeyCommand c;
  c.dx = k.key == kKeyLeft ? -1 : k.key == kKeyRight ? 1 : 0;
  c.dy = k.key == kKeyUp ? -1 : k.key == kKeyDown ? 1 : 0;
  c.bigStep = k.shift;
  if (drawingMode) c.cmd = k.alt ? Cmd::ResizeRect : Cmd::MoveRect;
  else c.cmd = Cmd::MoveZone;
  return c;
}

Cmd bothModes(const KeyPress& k) {
  switch (k.key) {
    case kKeyBackspace: return Cmd::EraseBackground;
    case kKeyEsc: case 'Q': return Cmd::ZoomNormal;
    case kKeySpace: return Cmd::DrawText;
    case 'B': return Cmd::ToggleMagnifier;
    case 'D': return Cmd::ToggleActions;
    case 'F': return Cmd::ToggleFullScreen;
    case 'H': return Cmd::Help;
    case 'I': return Cmd::OpenSettingsFile;
    case 'L': return Cmd::Imposition;
    case 'N': return Cmd::SettingsPanel;
    case 'S': return Cmd::ToggleSelMode;
    case 'U': return Cmd::ToggleFitWidth;
    case 'W': return Cmd::WholeSheet;
    case kKeyF1: return Cmd::ShowSource;
    case kKeyF1 + 1: return Cmd::ToggleSnapshot;
    case kKeyF1 + 3: return Cmd::ReadCommand;
    case kKeyF1 + 10: return Cmd::ShowTextField;
    default: return Cmd::None;
  }
}

Cmd drawingOnly(const KeyPress& k) {
  switch (k.key) {
    case kKeyEnter: return Cmd::FinishTextFrame;
    case kKeyDelete: return Cmd::Erase;
    case '1': case 'T': return Cmd::DrawTable;
    case '2': case 'O': return Cmd::MergeCells;
    case '3': return Cmd::CellWidthLine;
    case '4': return Cmd::CellHeightLine;
    case '5': return Cmd::TableOptions;
    case 'E': return Cmd::RefreshAndDrawText;
    case 'G': return Cmd::ToggleGrid;
    case 'K': return Cmd::BrightnessContrast;
    case 'M': return Cmd::Mask;
    case 'P': return Cmd::DenseThinPlus;
    case 'R': return Cmd::ShowResult;
    case 'V': return Cmd::PasteText;
    case 'X': return Cmd::TextDialog;
    case 'Z': return Cmd::Undo;
    case kKeyAsterisk: return k.keypad ? Cmd::DarkRelWhite : Cmd::None;
    case kKeyF1 + 2: return Cmd::FocusProgram;
    case kKeyF1 + 4: return Cmd::ZoneFromRectOrigin;
    case kKeyF1 + 5: return Cmd::ZoneFromRect;
    case kKeyBracketRight: return Cmd::LineWidthPlus;
    case kKeyBracketLeft: return Cmd::LineWidthMinus;
    default: return Cmd::None;
  }
}

Cmd copyOnly(const KeyPress& k) {
  switch (k.key) {
    case 'A': return Cmd::AutoFrame;
    case 'C': return (k.shift || k.ctrl || k.alt) ? Cmd::None : Cmd::Copy;
    case 'O': return Cmd::OpenPicture;
    case 'R': return Cmd::Reopen;
    case 'T': return Cmd::TurnOver;
    case kKeyComma: return k.ctrl ? Cmd::TurnLeft : Cmd::None;
    case kKeyPeriod: return k.ctrl ? Cmd::TurnRight : Cmd::NextFile;
    default: return Cmd::None;
  }
}

}  // namespace

KeyCommand commandForKey(const KeyPress& k, bool drawingMode) {
  if (k.key == kKeyLeft || k.key == kKeyRight || k.key == kKeyUp || k.key == kKeyDown)
    return arrow(k, drawingMode);
  KeyCommand c;
  c.cmd = bothModes(k);
  if (c.cmd == Cmd::None) c.cmd = drawingMode ? drawingOnly(k) : copyOnly(k);
  return c;
}

Cmd commandForChar(char32_t ch, bool drawingMode) {
  if (ch == U'+') return drawingMode ? Cmd::LineWidthPlus : Cmd::PlusButton;
  if (ch == U'-') return drawingMode ? Cmd::LineWidthMinus : Cmd::Imposition;
  // ">" is the full stop's key with Shift on most layouts: the next file, as the button's
  // tooltip names it.
  if (ch == U'>') return drawingMode ? Cmd::None : Cmd::NextFile;
  return Cmd::None;
}

int latinKeyForCyrillic(char32_t ch) {
  // Russian layout, letters in alphabetical order (а..я, then ё) with the Latin key at
  // the same place of the keyboard.
  static constexpr int kLatin[] = {
      'F', kKeyComma, 'D', 'U', 'L', 'T', ';', 'P', 'B', 'Q', 'R', 'K', 'V', 'Y', 'J', 'G',
      'H', 'C', 'N', 'E', 'A', kKeyBracketLeft, 'W', 'X', 'I', 'O', kKeyBracketRight, 'S', 'M',
      '\'', kKeyPeriod, 'Z'};
  if (ch == U'ё' || ch == U'Ё') return '`';
  if (ch >= U'а' && ch <= U'я') return kLatin[ch - U'а'];
  if (ch >= U'А' && ch <= U'Я') return kLatin[ch - U'А'];
  return 0;
}

Cmd mousePressCommand(int optionMouse, bool shift) {
  switch (optionMouse) {
    case 0: return shift ? Cmd::SelectFrame : Cmd::None;
    case 1: return Cmd::SelectFrameTextDialog;
    case 2: return Cmd::SelectFramePaste;
    default: return Cmd::None;
  }
}

Cmd mouseReleaseCommand(int optionMouse, int optionMouseUp, double pressX, double pressY,
                        double releaseX, double releaseY) {
  const bool samePoint = pressX == releaseX && pressY == releaseY;
  if (optionMouse == 3 && samePoint) return Cmd::EditText;
  switch (optionMouseUp) {
    case 1: return Cmd::DrawTable;
    case 2: return pressX != releaseX && pressY != releaseY ? Cmd::PasteText : Cmd::None;
    case 3: return Cmd::ToggleActions;
    case 4: return Cmd::TextDialog;
    default: return Cmd::None;
  }
}

const char* commandName(Cmd c) {
  static constexpr const char* kNames[] = {
      "None", "EraseBackground", "ZoomNormal", "DrawText", "ToggleMagnifier", "ToggleActions",
      "ToggleFullScreen", "Help", "OpenSettingsFile", "Imposition", "SettingsPanel",
      "ToggleSelMode", "ToggleFitWidth", "WholeSheet", "ShowSource", "ToggleSnapshot",
      "ReadCommand", "ShowTextField", "FinishTextFrame", "Erase", "DrawTable", "MergeCells",
      "CellWidthLine", "CellHeightLine", "TableOptions", "RefreshAndDrawText", "ToggleGrid",
      "BrightnessContrast", "Mask", "DenseThinPlus", "ShowResult", "PasteText", "TextDialog",
      "Undo", "DarkRelWhite", "FocusProgram", "ZoneFromRectOrigin", "ZoneFromRect",
      "LineWidthPlus", "LineWidthMinus", "MoveRect", "ResizeRect", "AutoFrame", "Copy",
      "OpenPicture", "Reopen", "TurnOver", "TurnLeft", "TurnRight", "NextFile", "MoveZone",
      "PlusButton", "SelectFrame", "SelectFrameTextDialog", "SelectFramePaste", "EditText"};
  const auto i = static_cast<std::size_t>(c);
  return i < sizeof kNames / sizeof kNames[0] ? kNames[i] : "?";
}

}  // namespace quillaro
