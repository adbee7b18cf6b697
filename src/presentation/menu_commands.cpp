#include "presentation/menu_commands.h"

namespace quillaro {
namespace {

constexpr KeyPress k(int key) { return KeyPress{key, false, false, false, false}; }
constexpr KeyPress ctrl(int key) { return KeyPress{key, false, true, false, false}; }
constexpr KeyPress keypad(int key) { return KeyPress{key, false, false, false, true}; }

using G = MenuGroup;
using M = KeyMode;

constexpr MenuCommand kCommands[] = {
    {G::File, Cmd::OpenPicture, "Открыть рисунок…", "O", k('O'), 0, M::Copy, false},
    {G::File, Cmd::Reopen, "Открыть рисунок снова", "R", k('R'), 0, M::Copy, false},
    {G::File, Cmd::NextFile, "Следующий файл", ". или >", k(kKeyPeriod), 0, M::Copy, true},
    {G::File, Cmd::OpenSettingsFile, "Открыть файл настроек…", "I", k('I'), 0, M::Both, false},

    {G::View, Cmd::ShowSource, "Оригинал", "F1", k(kKeyF1), 0, M::Both, false},
    {G::View, Cmd::ToggleSnapshot, "Снимок вида / вид", "F2", k(kKeyF1 + 1), 0, M::Both, false},
    {G::View, Cmd::ToggleFitWidth, "По ширине окна", "U", k('U'), 0, M::Both, false},
    {G::View, Cmd::WholeSheet, "Весь лист", "W", k('W'), 0, M::Both, false},
    {G::View, Cmd::ToggleMagnifier, "Экранная лупа", "B", k('B'), 0, M::Both, false},
    {G::View, Cmd::ZoomNormal, "Обычный масштаб (закрыть лупу)", "Esc или Q", k(kKeyEsc), 0, M::Both, false},
    {G::View, Cmd::ToggleFullScreen, "Во весь экран", "F", k('F'), 0, M::Both, false},

    {G::Copy, Cmd::ToggleSelMode, "Режим: копирование / рисование", "S", k('S'), 0, M::Both, true},
    {G::Copy, Cmd::Copy, "Копировать", "C", k('C'), 0, M::Copy, true},
    {G::Copy, Cmd::AutoFrame, "Установить рамку автоматически", "A", k('A'), 0, M::Copy, false},
    {G::Copy, Cmd::TurnOver, "Перевернуть рисунок", "T", k('T'), 0, M::Copy, false},
    {G::Copy, Cmd::TurnLeft, "Повернуть влево", "Ctrl+,", ctrl(kKeyComma), 0, M::Copy, false},
    {G::Copy, Cmd::TurnRight, "Повернуть вправо", "Ctrl+.", ctrl(kKeyPeriod), 0, M::Copy, false},
    {G::Copy, Cmd::PlusButton, "Кнопка «+»", "+", k(kKeyNone), U'+', M::Copy, false},
    {G::Copy, Cmd::Imposition, "Спуск полос, автоматизация", "- или L", k('L'), 0, M::Both, false},

    {G::Drawing, Cmd::Undo, "Отменить", "Z", k('Z'), 0, M::Drawing, true},
    {G::Drawing, Cmd::Erase, "Стереть выделенное", "Delete", k(kKeyDelete), 0, M::Drawing, false},
    {G::Drawing, Cmd::EraseBackground, "Стереть фоном", "Backspace", k(kKeyBackspace), 0, M::Both, false},
    {G::Drawing, Cmd::Mask, "Маскировать", "M", k('M'), 0, M::Drawing, false},
    {G::Drawing, Cmd::BrightnessContrast, "Яркость и контрастность", "K", k('K'), 0, M::Drawing, false},
    {G::Drawing, Cmd::DarkRelWhite, "Контрастность по белому", "* (цифр. кл.)", keypad(kKeyAsterisk), 0, M::Drawing, false},
    {G::Drawing, Cmd::DenseThinPlus, "Плотность +1", "P", k('P'), 0, M::Drawing, false},
    {G::Drawing, Cmd::LineWidthPlus, "Толщина линий +1", "]", k(kKeyBracketRight), 0, M::Drawing, false},
    {G::Drawing, Cmd::LineWidthMinus, "Толщина линий −1", "[", k(kKeyBracketLeft), 0, M::Drawing, false},
    {G::Drawing, Cmd::DrawTable, "Нарисовать таблицу", "1 или T", k('1'), 0, M::Drawing, false},
    {G::Drawing, Cmd::MergeCells, "Объединить ячейки", "2 или O", k('2'), 0, M::Drawing, false},
    {G::Drawing, Cmd::CellWidthLine, "Линия ширины ячейки", "3", k('3'), 0, M::Drawing, false},
    {G::Drawing, Cmd::CellHeightLine, "Линия высоты ячейки", "4", k('4'), 0, M::Drawing, false},
    {G::Drawing, Cmd::TableOptions, "Таблица: край, верх, ширина, высота", "5", k('5'), 0, M::Drawing, false},
    {G::Drawing, Cmd::ToggleGrid, "Сетка", "G", k('G'), 0, M::Drawing, false},
    {G::Drawing, Cmd::DrawText, "Нарисовать текст", "Пробел", k(kKeySpace), 0, M::Both, false},
    {G::Drawing, Cmd::RefreshAndDrawText, "Обновить и нарисовать текст", "E", k('E'), 0, M::Drawing, false},
    {G::Drawing, Cmd::PasteText, "Вставить текст в рамку", "V", k('V'), 0, M::Drawing, false},
    {G::Drawing, Cmd::TextDialog, "Текст…", "X", k('X'), 0, M::Drawing, false},
    {G::Drawing, Cmd::FinishTextFrame, "Закончить рамку текста", "Enter", k(kKeyEnter), 0, M::Drawing, false},
    {G::Drawing, Cmd::ShowResult, "Показать результат", "R", k('R'), 0, M::Drawing, false},
    {G::Drawing, Cmd::ZoneFromRectOrigin, "Рамка копирования от выделения: начало", "F5", k(kKeyF1 + 4), 0, M::Drawing, false},
    {G::Drawing, Cmd::ZoneFromRect, "Рамка копирования по выделению", "F6", k(kKeyF1 + 5), 0, M::Drawing, false},

    {G::Panels, Cmd::ToggleActions, "Действия", "D", k('D'), 0, M::Both, false},
    {G::Panels, Cmd::SettingsPanel, "Настройки", "N", k('N'), 0, M::Both, false},
    {G::Panels, Cmd::ReadCommand, "Считать команду у курсора", "F4", k(kKeyF1 + 3), 0, M::Both, false},
    {G::Panels, Cmd::FocusProgram, "Перейти в программу действий", "F3", k(kKeyF1 + 2), 0, M::Drawing, false},
    {G::Panels, Cmd::ShowTextField, "Текстовое поле", "F11", k(kKeyF1 + 10), 0, M::Both, false},
    {G::Panels, Cmd::Help, "Справка", "H", k('H'), 0, M::Both, false},
};

}  // namespace

std::span<const MenuCommand> menuCommands() { return kCommands; }

const char* menuGroupCaption(MenuGroup g) {
  switch (g) {
    case MenuGroup::File: return "&Файл";
    case MenuGroup::View: return "&Вид";
    case MenuGroup::Copy: return "&Копирование";
    case MenuGroup::Drawing: return "&Рисование";
    case MenuGroup::Panels: return "&Панели";
  }
  return "";
}

}  // namespace quillaro
