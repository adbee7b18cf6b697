#include "presentation/panel_captions.h"

#include "base/control_numbers.h"

namespace quillaro {
namespace {

struct Whole {
  Ctl kind;
  int index;
  const char* text;
};

constexpr Whole kWhole[] = {
    {Ctl::ChB, check::kLoadOpened, "Загружать для печати открытый файл"},
    {Ctl::ChB, check::kLoadSaved, "Загружать для печати сохранённый файл"},
    {Ctl::ChB, check::kScanMargins, "Поля при сканировании, мм"},
    {Ctl::ChB, check::kOpenAfterPrint, "Открывать следующий файл после печати"},
    {Ctl::ChB, check::kOpenAfterSave, "Открывать следующий файл после сохранения"},
    {Ctl::ChB, check::kOpenAfterA5, "Открывать следующий файл после первого A5"},
    {Ctl::ChB, check::kAfterA3, "Открывать следующий файл после «В A3»"},
    {Ctl::ChB, check::kAutoCopy, "Автоматически копировать после открытия"},
    {Ctl::ChB, check::kCopybookNumbering, "Страницы по числу листов в тетради"},
    {Ctl::ChB, check::kSaveAfter, "После копирования: сохранять"},
    {Ctl::ChB, check::kPrintAfter, "После сохранения: печатать"},
    {Ctl::ChB, check::kToA3After, "После копирования: в A3"},
    {Ctl::ChB, check::kNextByNumber, "Следующий по номеру в имени"},
    {Ctl::ChB, check::kKeepProportions, "Подгоняя размер, сохранять пропорции"},
    {Ctl::TN, field::kScale, "Масштаб, %"},
    {Ctl::TN, field::kTabWidth, "Табуляция"},
    {Ctl::TN, field::kCharSpacing, "Расстояние между знаков"},
    {Ctl::TN, field::kLineSpacing, "Расстояние между строк"},
    {Ctl::TN, field::kIndentX, "Отступ X"},
    {Ctl::TN, field::kQuadOffsetX, "Смещение 4 в 1: X"},
    {Ctl::TN, field::kMargin, "Поля принтера, мм"},
    {Ctl::TN, field::kMiddleOffset, "Смещение середины 2 в 1, мм"},
    {Ctl::TN, field::kPageWidth, "Размер копии: ширина, мм"},
    {Ctl::TN, field::kToPage, "Страницы до"},
    {Ctl::TN, field::kStepAcross, "Шаг по горизонтали, мм"},
    {Ctl::TN, field::kDensityWidth, "Расширять линии до, точек"},
    {Ctl::TextPrint, 0, "Печать 1:1, X"},
};

}  // namespace

std::string wholeCaption(ControlId id, const std::string& caption) {
  for (const Whole& w : kWhole)
    if (w.kind == id.kind && w.index == id.index) return w.text;
  return caption;
}

}  // namespace quillaro
