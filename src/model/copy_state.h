#pragma once
// The state of the copy composition that lives beside the panels: the page image's
// resolution and flags, the 4-in-1 quadrant, the remembered zone origins, the A3 sheet's
// bookkeeping, and the calls into parts of the program that the copy only starts
// (printing, the next file, the action runner, the imposition batch).
#include <array>
#include <functional>
#include <string>

namespace quillaro {

class Workspace;

// Panel fields of the copy parameter set (TN indices).
namespace copyfield {
inline constexpr int kAcross = 0;       // copies across ("Колонок")
inline constexpr int kDown = 1;         // copies down ("Рядов")
inline constexpr int kDirt = 7;         // "Фон, грязь, мусор, точек на 8x8"
inline constexpr int kAngle = 12;       // radians x 10000
inline constexpr int kFrameLeft = 16;   // mm from the left paper edge
inline constexpr int kFrameTop = 17;    // mm from the top paper edge
inline constexpr int kFrameWidth = 18;
inline constexpr int kFrameHeight = 19;
inline constexpr int kZoneLeft = 20;    // "Левый край копирования"
inline constexpr int kZoneTop = 21;     // "Верх копирования"
inline constexpr int kScale = 22;       // percent
inline constexpr int kStepAcross = 28;  // multi-copy steps, mm
inline constexpr int kStepDown = 29;
inline constexpr int kQuadOffsetX = 40;  // "Смещения 4 в 1: X , Y"
inline constexpr int kQuadOffsetY = 41;
inline constexpr int kMargin = 44;      // printer margin, mm
inline constexpr int kMiddleOffset = 53;  // "Смещение середины 2 в 1 мм"
inline constexpr int kScaleX = 60;
inline constexpr int kScaleY = 61;
inline constexpr int kPageWidth = 68;   // "Размер копии x мм"
inline constexpr int kPageHeight = 69;
}  // namespace copyfield

// Check boxes of the ChB array that the copy reads.
namespace copycheck {
inline constexpr int kA4InA3Turned = 1;   // "A4 в A3 симметрично"
inline constexpr int kMultiCopy = 9;      // "Копировать многократно"
inline constexpr int kRemind = 31;        // "Напоминать"
inline constexpr int kByBytes = 32;       // "Копировать по байтам"
inline constexpr int kAutoFrame = 33;     // "Автоматическая установка рамки"
inline constexpr int kOpenAfterSave = 39; // "после сохранения или"
inline constexpr int kMaskOnCopy = 40;    // "на копии"
inline constexpr int kRememberZones = 44; // "Помнить положения рамки"
inline constexpr int kMiddleByPaper = 45; // "Середина - по размеру бумаги"
inline constexpr int kTwoSides = 46;      // "2 стороны"
inline constexpr int kNumberNext = 51;    // "Кнопкой "Следующий" ++, нумерация"
inline constexpr int kAutoCopy = 52;      // "Автоматически копировать,"
inline constexpr int kAfterA3 = 53;       // "после "В A3","
inline constexpr int kToA3After = 63;     // "в A3," after copying (a ChB without a settings key)
inline constexpr int kSaveAfter = 61;     // "сохранять,"
inline constexpr int kPrintAfter = 62;    // "печатать"
inline constexpr int kUnevenMask = 66;    // "Неравномерно"
inline constexpr int kNotAboveMask = 67;  // "Не превышать"
inline constexpr int kLoadSaved = 76;     // "сохранённый файл"
inline constexpr int kFastCopy = 79;      // "Копировать быстро"
inline constexpr int kFourInOne = 83;     // "4 в 1"
inline constexpr int kEvenReverseLR = 86; // "Чётные наоборот", left and right
inline constexpr int kEvenReverseTB = 87; // "Чётные наоборот", top and bottom
}  // namespace copycheck

struct CopyState {
  // Page image.
  int pageDpi = 0;         // resolution the page image was made at (0: none yet)
  bool freshCopy = false;  // a copy was made since the page was begun or sent to A3
  bool busy = false;
  bool askedOuterMargin = false;  // "Да - больше не спрашивать"
  int copyCounter = 0;     // copies drawn by the last run
  bool copyAsIsRunning = false;
  bool copyMade = false;   // a page image exists (copy-made flag)
  bool editingCopy = false;  // the page image was taken into the page view (Reload)
  bool maskLocked = false;   // records may not set the mask

  // 4-in-1.
  int quadrant = 0;
  int quadrantValue = 0;   // the last `4in1` value read from a record
  // Remembered zone origins (panel texts): four quadrants, then lower and upper A5.
  std::array<std::array<std::string, 2>, 6> zones{};
  std::array<bool, 6> zoneSet{};

  // A3 sheet (the pixels are Workspace::a3).
  int a3State = 0;  // 0 empty, 1 one A4, 2 full
  int a3Dpi = 0;
  int a3HalfWidth = 0;
  int a3Gap = 0;

  // Save panel.
  std::string lastSavedPicture;
  bool saveEnabled = true;   // ComSavEd
  bool printEnabled = false; // ComPrint

  // Imposition batch state seen by the copy (Part of the batch module).
  bool batchRunning = false;

  // Calls into other parts; an empty call is skipped.
  std::function<void(Workspace&, const std::string& text)> runActions;  // action runner
  std::function<bool(Workspace&)> print;          // prints the page or the sheet
  std::function<bool(Workspace&)> openNextFile;   // the next file of the list
  std::function<void(Workspace&)> stopBatch;      // stops the imposition batch
  std::function<void(Workspace&)> batchStep;      // the imposition step after "В A3"
  std::function<void(Workspace&, const std::string& path)> loadForPrint;
  std::function<void(Workspace&)> redrawPage;     // the edit view shows the page image
  std::function<void(Workspace&)> redrawFrame;    // the copy frame is drawn again
  std::function<bool(Workspace&)> writeSettings;  // the settings under TextFileName
};

// The workspace's copy state, made on first use.
CopyState& copyState(Workspace& ws);

}  // namespace quillaro
