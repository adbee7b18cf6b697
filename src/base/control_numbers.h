#pragma once
// The indices of the check boxes ChB, the number fields TN and the text areas TZ, one name
// per control that the program reads or sets, with the control's caption (or tooltip, or
// settings key where it has no caption).

namespace quillaro {

// Check boxes ChB(i).
namespace check {
inline constexpr int kLoadOpened = 0;          // "открытый файл" (load for printing)
inline constexpr int kA4InA3Turned = 1;        // "A4 в A3 симметрично"
inline constexpr int kTextIntoFrames = 2;      // "В рамки"
inline constexpr int kCheckFrame = 3;          // "Проверка рамки"
inline constexpr int kRightClickFindsFrame = 4;  // "Правый клик - поиск рамки"
inline constexpr int kFillFoundFrame = 5;      // "Закрашивать при поиске"
inline constexpr int kDensityHorizontal = 6;   // "Горизонтальные" (density and line width)
inline constexpr int kDensityVertical = 7;     // "Вертикальные" (density and line width)
inline constexpr int kDateFolder = 8;          // "+ папка по текущей дате"
inline constexpr int kMultiCopy = 9;           // "Копировать многократно"
inline constexpr int kLinesAfterRows = 10;     // "Ряды"
inline constexpr int kMaskLines = 11;          // "Маскировать линии"
inline constexpr int kTableAuto = 12;          // "Авто"
inline constexpr int kCellFit = 13;            // "Ширина ячеек по содержимому"
inline constexpr int kRearrange = 14;          // "Перераспределять"
inline constexpr int kFocusOnRead = 15;        // "Переводить фокус при считывании"
inline constexpr int kBold = 16;               // "Полужирный"
inline constexpr int kItalic = 17;             // "Курсив"
inline constexpr int kUnderline = 18;          // "Подчёркнутый"
inline constexpr int kStrikeOut = 19;          // "Зачёркнутый"
inline constexpr int kPasteIntoCell = 20;      // "Рисовать текст из буфера только в ячейку"
inline constexpr int kEqualLineWidths = 21;    // "Толщины вертикальных и горизонтальных равны"
inline constexpr int kAltStepTen = 22;         // "Alt + - 10"
inline constexpr int kEditFontBold = 23;       // "Жирный" (the text fields)
inline constexpr int kTableHorizontal = 24;    // "Горизонтальные" (table lines)
inline constexpr int kTableVertical = 25;      // "Вертикальные" (table lines)
inline constexpr int kAddToFileName = 26;      // "Добавлять к имени файла"
inline constexpr int kSortByTime = 27;         // "Сортировать файлы по времени"
inline constexpr int kSortDescending = 28;     // "Сортировать по убыванию"
inline constexpr int kArrows = 29;             // "Размерные стрелки"
inline constexpr int kRecordActions = 30;      // "Записывать действия"
inline constexpr int kRemind = 31;             // "Напоминать"
inline constexpr int kByBytes = 32;            // "Копировать по байтам"
inline constexpr int kAutoFrame = 33;          // "Автоматическая установка рамки"
inline constexpr int kCorners = 34;            // "+ - углы"
inline constexpr int kScanMargins = 35;        // "Поля при сканировании мм"
inline constexpr int kGrid = 36;               // "Сетка"
inline constexpr int kEnterDraws = 37;         // "Enter - рисовать"
inline constexpr int kOpenAfterPrint = 38;     // "печати"
inline constexpr int kOpenAfterSave = 39;      // "после сохранения или"
inline constexpr int kMaskOnCopy = 40;         // "на копии"
inline constexpr int kCopybookNumbering = 41;  // "листов в тетради"
inline constexpr int kDateFolderUp = 42;       // "Перемещая из папки по текущей дате "ггггммдд" вверх"
inline constexpr int kOriginalTurned = 43;     // "Перевёрнутый оригинал (слева низ, справа верх)"
inline constexpr int kRememberZones = 44;      // "Помнить положения рамки"
inline constexpr int kMiddleByPaper = 45;      // "Середина - по размеру бумаги"
inline constexpr int kTwoSides = 46;           // "2 стороны"
inline constexpr int kSaveSettings = 47;       // "Сохранять настройки"
inline constexpr int kOpenAfterA5 = 48;        // "A5,"
inline constexpr int kMagnifier = 49;          // tooltip "Экранная лупа - клавиша "B""
inline constexpr int kTwoNumbers = 50;         // "2 номера"
inline constexpr int kNumberNext = 51;         // "Кнопкой "Следующий" ++, нумерация"
inline constexpr int kAutoCopy = 52;           // "Автоматически копировать,"
inline constexpr int kAfterA3 = 53;            // "после "В A3","
inline constexpr int kWrpp = 54;               // no caption; settings key "WRPP"
inline constexpr int kOpenAs1Bit = 55;         // "Открывать как 1-битный"
inline constexpr int kReadRgb = 56;            // "Цвет RGB 30:60:10%"
inline constexpr int kCorrectBlack = 57;       // "Чёрный"
inline constexpr int kCorrectWhite = 58;       // "Белый"
inline constexpr int kMaskOnGrey = 59;         // "Маски на сером"
inline constexpr int kPageNumbers = 60;        // "Рисовать номера страниц"
inline constexpr int kSaveAfter = 61;          // "сохранять,"
inline constexpr int kPrintAfter = 62;         // "печатать"
inline constexpr int kToA3After = 63;          // "в A3," after copying (no settings key)
inline constexpr int kSpare = 64;              // no caption, no settings key
inline constexpr int kKeepAngle = 65;          // "Сохранять" (the angle at opening)
inline constexpr int kUnevenMask = 66;         // "Неравномерно"
inline constexpr int kNotAboveMask = 67;       // "Не превышать"
inline constexpr int kAutoColour = 68;         // "Авто - узнавать цвет"
inline constexpr int kRelativeWhite = 69;      // "Относительно белого"
inline constexpr int kToneOnOpen = 70;         // "Весь при открытии"
inline constexpr int kWin1251 = 71;           // "Win-1251" (text files are never read as UTF-8)
inline constexpr int kUtf8 = 72;              // "UTF-8" (text files are always read as UTF-8)
inline constexpr int kKeepColour = 73;         // "Цвет 24 бит"
inline constexpr int kAltScale = 74;           // "Alt - масштаб"
inline constexpr int kNextByNumber = 75;       // "по номеру в имени"
inline constexpr int kLoadSaved = 76;          // "сохранённый файл" (load for printing)
inline constexpr int kFindCopyLine = 77;       // "Искать "Copy,..." для файла"
inline constexpr int kDensityPlusOnOpen = 78;  // "Плотность +1, если меньше"
inline constexpr int kFastCopy = 79;           // "Копировать быстро"
inline constexpr int kFitToPage = 80;          // "Подогнать размер"
inline constexpr int kKeepProportions = 81;    // "сохраняя пропорции"
inline constexpr int kFoldA3 = 82;             // "2 сгиба A3"
inline constexpr int kFourInOne = 83;          // "4 в 1"
inline constexpr int kCopyFitsWindow = 84;     // "Копия в размер окна"
inline constexpr int kFrameByCopy = 85;        // "по рамке на копии"
inline constexpr int kEvenReverseLR = 86;      // "Чётные наоборот", left and right
inline constexpr int kEvenReverseTB = 87;      // "Чётные наоборот", top and bottom
}  // namespace check

// Number fields TN(i).
namespace field {
inline constexpr int kAcross = 0;              // "Колонок"
inline constexpr int kDown = 1;                // "Рядов"
inline constexpr int kRepeatAcross = 2;        // "Повторов таблицы по горизонтали"
inline constexpr int kRepeatDown = 3;          // "Повторов таблицы по вертикали"
inline constexpr int kVerticalLineWidth = 4;   // "Толщина вертикальных линий, точек"
inline constexpr int kHorizontalLineWidth = 5;  // "Толщина горизонтальных линий, точек"
inline constexpr int kInnerLineWidth = 6;      // "Толщина линий внутри ячеек, точек"
inline constexpr int kDirt = 7;                // "Фон, грязь, мусор, точек на 8x8"
inline constexpr int kStretchLimit = 8;        // "Предел растяжения текста, %"
inline constexpr int kDecimals = 9;            // "Число дробных знаков до"
inline constexpr int kDensityWidth = 10;       // "Расширять линии до точек"
inline constexpr int kCopies = 11;             // "Число копий"
inline constexpr int kAngle = 12;              // "Угол поворота, радиан * 10000"
inline constexpr int kSpeed = 13;              // no caption; settings key "TextSpeed"
inline constexpr int kTextX = 14;              // settings key "TextX"
inline constexpr int kTextY = 15;              // settings key "TextY"
inline constexpr int kFrameLeft = 16;          // "Левый край рамки на листе, мм"
inline constexpr int kFrameTop = 17;           // "Верх рамки на листе, мм"
inline constexpr int kFrameWidth = 18;         // "Ширина рамки, мм"
inline constexpr int kFrameHeight = 19;        // "Высота рамки, мм"
inline constexpr int kZoneLeft = 20;           // "Левый край копирования"
inline constexpr int kZoneTop = 21;            // "Верх копирования"
inline constexpr int kScale = 22;              // "Масштаб %"
inline constexpr int kAllMargins = 23;         // no caption; settings key "TextAllMarg"
inline constexpr int kDrawLeft = 24;           // "Левый край рисования"
inline constexpr int kDrawTop = 25;            // "Верх рисования"
inline constexpr int kDrawWidth = 26;          // "Ширина"
inline constexpr int kDrawHeight = 27;         // "Высота"
inline constexpr int kStepAcross = 28;         // "шаг, мм"
inline constexpr int kStepDown = 29;           // "Шаг по вертикали, мм"
inline constexpr int kRound = 30;              // no caption; settings key "TextRoundTS"
inline constexpr int kRoundX = 31;             // settings key "TextRoundX"
inline constexpr int kRoundY = 32;             // settings key "TextRoundY"
inline constexpr int kFontSize = 33;           // "Размер"
inline constexpr int kIndentX = 34;            // "Отступы X, Y"
inline constexpr int kIndentY = 35;            // "Отступ Y"
inline constexpr int kTabWidth = 36;           // ", табуляция"
inline constexpr int kLineSpacing = 37;        // "Расстояния между строк"
inline constexpr int kCharSpacing = 38;        // ", знаков"
inline constexpr int kScanMargin = 39;         // "Поля при сканировании, мм"
inline constexpr int kQuadOffsetX = 40;        // "Смещения 4 в 1: X , Y"
inline constexpr int kQuadOffsetY = 41;        // "Смещение 4 в 1: Y"
inline constexpr int kFrame11 = 42;            // no caption; settings key "TextFram11"
inline constexpr int kFrame12 = 43;            // no caption; settings key "TextFram12"
inline constexpr int kMargin = 44;             // "Поля принтера мм"
inline constexpr int kEditFontSize = 47;       // "Размер шрифта текстовых полей"
inline constexpr int kFromPage = 48;           // "Страницы от"
inline constexpr int kToPage = 49;             // "до"
inline constexpr int kCopybookSheets = 50;     // "Число листов в тетради"
inline constexpr int kMiddleOffset = 53;       // "Смещение середины 2 в 1 мм"
inline constexpr int kBrightnessOrThreshold = 55;  // "Яркость или порог Ч/Б"
inline constexpr int kContrast = 56;           // "Контрастность"
inline constexpr int kContrastRelWhite = 57;   // "Контрастность по белому"
inline constexpr int kMaskLeft = 58;           // "Плотность маски слева"
inline constexpr int kMaskRight = 59;          // "Плотность маски справа"
inline constexpr int kScaleX = 60;             // "Масштаб по горизонтали"
inline constexpr int kScaleY = 61;             // "Масштаб по вертикали"
inline constexpr int kRed = 62;                // "Цвет линий и текста: красный"
inline constexpr int kGreen = 63;              // "Цвет линий и текста: зелёный"
inline constexpr int kBlue = 64;               // "Цвет линий и текста: синий"
inline constexpr int kPageWidth = 68;          // "Размер копии x мм"
inline constexpr int kPageHeight = 69;         // "Размер копии: высота, мм"
}  // namespace field

// Text areas TZ(i).
namespace text {
inline constexpr int kProgram = 0;             // the action program
inline constexpr int kBody = 1;                // the text to draw
inline constexpr int kFile = 3;                // a text file
inline constexpr int kEvenPageActions = 4;     // the actions run after opening an even page
inline constexpr int kOddPageActions = 5;      // the actions run after opening an odd page
}  // namespace text

}  // namespace quillaro
