#pragma once
// The window's menu bar as data: every command of the page view's keys with its menu, its
// caption and the key shown beside it, so that the menu and the keys cannot drift apart.
#include <span>

#include "presentation/keymap.h"

namespace quillaro {

enum class MenuGroup { File, View, Copy, Drawing, Panels };
// The mode in which the key of an entry works (the menu entry works in both).
enum class KeyMode { Both, Copy, Drawing };

struct MenuCommand {
  MenuGroup group;
  Cmd cmd;
  const char* caption;
  const char* keyText;  // shown in the menu ("C", "Ctrl+,", "Delete"); empty when none
  KeyPress key;         // the key itself; key.key == kKeyNone for a typed character
  char32_t typed;       // the typed character ("+", "-"), or 0
  KeyMode mode;
  bool everyday;        // also on the toolbar
};

std::span<const MenuCommand> menuCommands();
const char* menuGroupCaption(MenuGroup g);

}  // namespace quillaro
