#include "app/keymap.h"

#include <gtest/gtest.h>

namespace quillaro {
namespace {

// Modifiers as letters: S shift, C ctrl, A alt, K keypad.
Cmd key(int k, bool drawing, const char* mods = "") {
  KeyPress p;
  p.key = k;
  for (const char* m = mods; *m; ++m) {
    p.shift |= *m == 'S';
    p.ctrl |= *m == 'C';
    p.alt |= *m == 'A';
    p.keypad |= *m == 'K';
  }
  return commandForKey(p, drawing).cmd;
}

constexpr Cmd kAny = static_cast<Cmd>(255);  // not checked in that mode

// {key, modifiers, in copy mode, in drawing mode}: keys of one mode do nothing in the
// other, letters with two meanings, copy only without modifiers, keypad star only.
TEST(KeymapTest, KeysInBothModes) {
  struct Row { int key; const char* mods; Cmd copy, drawing; };
  const Row rows[] = {
      {'K', "", Cmd::None, Cmd::BrightnessContrast}, {'M', "", Cmd::None, Cmd::Mask},
      {'C', "", Cmd::Copy, Cmd::None},               {'A', "", kAny, Cmd::None},
      {kKeyDelete, "", Cmd::None, Cmd::Erase},       {'C', "S", Cmd::None, kAny},
      {'C', "C", Cmd::None, kAny},              {'C', "A", Cmd::None, kAny},
      {'T', "", Cmd::TurnOver, Cmd::DrawTable},      {'R', "", Cmd::Reopen, Cmd::ShowResult},
      {'O', "", Cmd::OpenPicture, Cmd::MergeCells},  {kKeyComma, "C", Cmd::TurnLeft, kAny},
      {kKeyPeriod, "C", Cmd::TurnRight, kAny}, {kKeyPeriod, "", Cmd::NextFile, Cmd::None},
      {kKeyComma, "", Cmd::None, kAny},         {'S', "", Cmd::ToggleSelMode, Cmd::ToggleSelMode},
      {'Q', "", Cmd::ZoomNormal, Cmd::ZoomNormal},   {kKeyEsc, "", Cmd::ZoomNormal, Cmd::ZoomNormal},
      {kKeyF1 + 1, "", Cmd::ToggleSnapshot, Cmd::ToggleSnapshot},
      {kKeyF1 + 10, "", Cmd::ShowTextField, Cmd::ShowTextField},
      {'W', "", Cmd::WholeSheet, Cmd::WholeSheet},   {'Y', "", Cmd::None, Cmd::None},
      {kKeyF1 + 4, "", Cmd::None, Cmd::ZoneFromRectOrigin},
      {kKeyAsterisk, "", kAny, Cmd::None},      {kKeyAsterisk, "K", Cmd::None, Cmd::DarkRelWhite},
  };
  for (const Row& r : rows) {
    if (r.copy != kAny) EXPECT_EQ(key(r.key, false, r.mods), r.copy) << r.key << r.mods << " copy mode";
    if (r.drawing != kAny) EXPECT_EQ(key(r.key, true, r.mods), r.drawing) << r.key << r.mods << " drawing";
  }
}

TEST(KeymapTest, ArrowsMoveOrResize) {
  KeyPress p;
  p.key = kKeyLeft;
  p.shift = true;
  KeyCommand c = commandForKey(p, false);
  EXPECT_EQ(c.cmd, Cmd::MoveZone);
  EXPECT_EQ(c.dx, -1);
  EXPECT_TRUE(c.bigStep);
  p.key = kKeyDown;
  p.shift = false;
  p.alt = true;
  c = commandForKey(p, true);
  EXPECT_EQ(c.cmd, Cmd::ResizeRect);
  EXPECT_EQ(c.dy, 1);
  EXPECT_EQ(c.dx, 0);
  p.alt = false;
  EXPECT_EQ(commandForKey(p, true).cmd, Cmd::MoveRect);
}

TEST(KeymapTest, TypedPlusAndMinus) {
  EXPECT_EQ(commandForChar(U'+', true), Cmd::LineWidthPlus);
  EXPECT_EQ(commandForChar(U'+', false), Cmd::PlusButton);
  EXPECT_EQ(commandForChar(U'-', true), Cmd::LineWidthMinus);
  EXPECT_EQ(commandForChar(U'-', false), Cmd::Imposition);
  EXPECT_EQ(commandForChar(U'x', false), Cmd::None);
}

TEST(KeymapTest, RussianLayoutLettersMapToTheirKeys) {
  EXPECT_EQ(latinKeyForCyrillic(U'с'), 'C');
  EXPECT_EQ(latinKeyForCyrillic(U'С'), 'C');
  EXPECT_EQ(latinKeyForCyrillic(U'ы'), 'S');
  EXPECT_EQ(latinKeyForCyrillic(U'ь'), 'M');
  EXPECT_EQ(latinKeyForCyrillic(U'я'), 'Z');
  EXPECT_EQ(latinKeyForCyrillic(U'б'), kKeyComma);
  EXPECT_EQ(latinKeyForCyrillic(U'ю'), kKeyPeriod);
  EXPECT_EQ(latinKeyForCyrillic(U'х'), kKeyBracketLeft);
  EXPECT_EQ(latinKeyForCyrillic(U'z'), 0);
}

TEST(KeymapTest, MouseOptionsOfDrawingMode) {
  EXPECT_EQ(mousePressCommand(0, false), Cmd::None);
  EXPECT_EQ(mousePressCommand(0, true), Cmd::SelectFrame);
  EXPECT_EQ(mousePressCommand(1, false), Cmd::SelectFrameTextDialog);
  EXPECT_EQ(mousePressCommand(2, false), Cmd::SelectFramePaste);
  EXPECT_EQ(mousePressCommand(3, true), Cmd::None);
  // Release by OptionMouseUp; clipboard text only into a rectangle dragged in both axes.
  EXPECT_EQ(mouseReleaseCommand(0, 0, 1, 1, 9, 9), Cmd::None);
  EXPECT_EQ(mouseReleaseCommand(0, 1, 1, 1, 9, 9), Cmd::DrawTable);
  EXPECT_EQ(mouseReleaseCommand(0, 2, 1, 1, 9, 9), Cmd::PasteText);
  EXPECT_EQ(mouseReleaseCommand(0, 2, 1, 1, 9, 1), Cmd::None);
  EXPECT_EQ(mouseReleaseCommand(0, 2, 1, 1, 1, 9), Cmd::None);
  EXPECT_EQ(mouseReleaseCommand(0, 3, 1, 1, 1, 1), Cmd::ToggleActions);
  EXPECT_EQ(mouseReleaseCommand(0, 4, 1, 1, 5, 5), Cmd::TextDialog);
  // "Править текст": a click without moving edits the text there, a drag does what the
  // release option says.
  EXPECT_EQ(mouseReleaseCommand(3, 1, 4, 4, 4, 4), Cmd::EditText);
  EXPECT_EQ(mouseReleaseCommand(3, 1, 4, 4, 5, 4), Cmd::DrawTable);
  EXPECT_STREQ(commandName(Cmd::EditText), "EditText");
}

}  // namespace
}  // namespace quillaro
