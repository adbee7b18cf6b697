#include "presentation/keymap.h"

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
      {'K', "", Cmd::None, Cmd::BrightnessContrast}, {'C', "", Cmd::Copy, Cmd::None},
      {'C', "S", Cmd::None, kAny},                   {'T', "", Cmd::TurnOver, Cmd::DrawTable},
      {kKeyComma, "C", Cmd::TurnLeft, kAny},         {kKeyPeriod, "", Cmd::NextFile, Cmd::None},
      {'S', "", Cmd::ToggleSelMode, Cmd::ToggleSelMode}, {'Y', "", Cmd::None, Cmd::None},
      {kKeyAsterisk, "", kAny, Cmd::None},           {kKeyAsterisk, "K", Cmd::None, Cmd::DarkRelWhite},
  };
  for (const Row& r : rows) {
    if (r.copy != kAny) { EXPECT_EQ(key(r.key, false, r.mods), r.copy) << r.key << r.mods << " copy mode"; }
    if (r.drawing != kAny) { EXPECT_EQ(key(r.key, true, r.mods), r.drawing) << r.key << r.mods << " drawing"; }
  }
}

TEST(KeymapTest, TypedCharactersAndTheRussianLayout) {
  EXPECT_EQ(commandForChar(U'+', true), Cmd::LineWidthPlus);
  EXPECT_EQ(commandForChar(U'-', false), Cmd::Imposition);
  EXPECT_EQ(latinKeyForCyrillic(U'С'), 'C');
  EXPECT_EQ(latinKeyForCyrillic(U'б'), kKeyComma);
  EXPECT_EQ(latinKeyForCyrillic(U'z'), 0);
}

TEST(KeymapTest, MouseOptionsOfDrawingMode) {
  EXPECT_EQ(mousePressCommand(0, false), Cmd::None);
  EXPECT_EQ(mousePressCommand(0, true), Cmd::SelectFrame);
  // Release by OptionMouseUp; clipboard text only into a rectangle dragged in both axes.
  EXPECT_EQ(mouseReleaseCommand(0, 0, 1, 1, 9, 9), Cmd::None);
  EXPECT_EQ(mouseReleaseCommand(0, 2, 1, 1, 9, 9), Cmd::PasteText);
  EXPECT_EQ(mouseReleaseCommand(0, 2, 1, 1, 9, 1), Cmd::None);
  EXPECT_EQ(mouseReleaseCommand(0, 2, 1, 1, 1, 9), Cmd::None);
  // "Править текст": a click without moving edits the text there, a drag does what the
  // release option says.
  EXPECT_EQ(mouseReleaseCommand(3, 1, 4, 4, 4, 4), Cmd::EditText);
  EXPECT_EQ(mouseReleaseCommand(3, 1, 4, 4, 5, 4), Cmd::DrawTable);
}

}  // namespace
}  // namespace quillaro
