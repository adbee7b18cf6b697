#include "app/keymap.h"

#include <gtest/gtest.h>

namespace quillaro {
namespace {

Cmd key(int k, bool drawing, bool shift = false, bool ctrl = false, bool alt = false) {
  KeyPress p;
  p.key = k;
  p.shift = shift;
  p.ctrl = ctrl;
  p.alt = alt;
  return commandForKey(p, drawing).cmd;
}

TEST(KeymapTest, DrawingKeysDoNothingInCopyModeAndTheReverse) {
  EXPECT_EQ(key('K', false), Cmd::None);
  EXPECT_EQ(key('M', false), Cmd::None);
  EXPECT_EQ(key('K', true), Cmd::BrightnessContrast);
  EXPECT_EQ(key('M', true), Cmd::Mask);
  EXPECT_EQ(key('C', true), Cmd::None);
  EXPECT_EQ(key('C', false), Cmd::Copy);
  EXPECT_EQ(key('A', true), Cmd::None);
  EXPECT_EQ(key(kKeyDelete, false), Cmd::None);
  EXPECT_EQ(key(kKeyDelete, true), Cmd::Erase);
}

TEST(KeymapTest, CopyOnlyWithoutModifiers) {
  EXPECT_EQ(key('C', false, true), Cmd::None);
  EXPECT_EQ(key('C', false, false, true), Cmd::None);
  EXPECT_EQ(key('C', false, false, false, true), Cmd::None);
}

TEST(KeymapTest, LettersWithTwoMeanings) {
  EXPECT_EQ(key('T', false), Cmd::TurnOver);
  EXPECT_EQ(key('T', true), Cmd::DrawTable);
  EXPECT_EQ(key('R', false), Cmd::Reopen);
  EXPECT_EQ(key('R', true), Cmd::ShowResult);
  EXPECT_EQ(key('O', false), Cmd::OpenPicture);
  EXPECT_EQ(key('O', true), Cmd::MergeCells);
}

TEST(KeymapTest, CommaAndFullStop) {
  EXPECT_EQ(key(kKeyComma, false, false, true), Cmd::TurnLeft);
  EXPECT_EQ(key(kKeyPeriod, false, false, true), Cmd::TurnRight);
  EXPECT_EQ(key(kKeyPeriod, false), Cmd::NextFile);
  EXPECT_EQ(key(kKeyComma, false), Cmd::None);
  EXPECT_EQ(key(kKeyPeriod, true), Cmd::None);
}

TEST(KeymapTest, KeysOfBothModes) {
  for (bool d : {false, true}) {
    EXPECT_EQ(key('S', d), Cmd::ToggleSelMode);
    EXPECT_EQ(key('Q', d), Cmd::ZoomNormal);
    EXPECT_EQ(key(kKeyEsc, d), Cmd::ZoomNormal);
    EXPECT_EQ(key(kKeyF1 + 1, d), Cmd::ToggleSnapshot);
    EXPECT_EQ(key(kKeyF1 + 10, d), Cmd::ShowTextField);
    EXPECT_EQ(key('W', d), Cmd::WholeSheet);
    EXPECT_EQ(key('Y', d), Cmd::None);
  }
  EXPECT_EQ(key(kKeyF1 + 4, true), Cmd::ZoneFromRectOrigin);
  EXPECT_EQ(key(kKeyF1 + 4, false), Cmd::None);
}

TEST(KeymapTest, KeypadStarOnly) {
  KeyPress p;
  p.key = kKeyAsterisk;
  EXPECT_EQ(commandForKey(p, true).cmd, Cmd::None);
  p.keypad = true;
  EXPECT_EQ(commandForKey(p, true).cmd, Cmd::DarkRelWhite);
  EXPECT_EQ(commandForKey(p, false).cmd, Cmd::None);
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
  EXPECT_STREQ(commandName(Cmd::PlusButton), "PlusButton");
}

}  // namespace
}  // namespace quillaro
