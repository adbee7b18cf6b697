#pragma once
// New blank sheets: a white A4 or A5 picture, upright or landscape, 1-bit or 8-bit grey,
// made in the image buffer in place of the current picture (buttons ComCreateBM(0..3),
// the NEW command, and the runner when a program starts without a picture).
#include <string>

namespace quillaro {

class Workspace;

// Index bits of a sheet.
inline constexpr int kSheetLandscape = 1;
inline constexpr int kSheetA5 = 2;
inline constexpr int kSheetGrey = 4;

struct SheetSize {
  int width = 0;
  int height = 0;
};

// Width and height in dots of sheet `index` at `resolution` dpi: A4 4960 x 7016 and A5
// 3508 x 4960 at 600 dpi (exchanged for landscape), twice that at 1200 dpi.
SheetSize sheetSize(int index, int resolution);


// Makes the sheet. Nothing happens for a 24-bit picture, or when the picture is the
// unchanged blank sheet made last with the same index. A changed picture is given up only
// after the picture-changed question and the check before a picture is replaced ("создать").
// Unless `byProgram`, the "New" line is recorded. True when a sheet was made.
bool newSheet(Workspace& ws, int index, bool byProgram);

// The question before a changed picture is dropped, through the workspace's entry or,
// without one, the common rule: asked only while recording is off, messages are on, the
// picture is modified and "Напоминать" is on. True when the caller must stop.
bool pictureChangedStop(Workspace& ws);


}  // namespace quillaro
