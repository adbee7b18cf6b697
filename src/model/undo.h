#pragma once
// The undo buffer: one level for 1-bit pictures. An operation that changes a rectangle of
// the picture saves the rectangle (with a margin of one pixel left and above and two
// pixels right and below) first; undo writes the saved bytes back.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillaro {

class Workspace;

struct UndoState {
  std::vector<std::uint8_t> bytes;  // rows x columns, row 0 = the top row of the block
  int left = 0, top = 0, width = 0, height = 0;  // the block in picture pixels
  int firstColumn = 0, lastColumn = -1;          // byte columns of the picture rows
  int rows = 0;
  bool saved = false;
  bool restorable = false;
  std::string text;                      // TZ(0) when the block was saved

  // The picture the block came from: its pixel array and geometry. Undo writes only into
  // that same picture.
  const std::uint8_t* pixels = nullptr;
  int pictureWidth = 0, pictureHeight = 0, pictureStride = 0;

  // Set while a replay step erases with the background: nothing is saved then.
  bool suspended = false;
};

// The workspace's undo buffer, made on first use.
UndoState& undoState(Workspace& ws);

// Saves the rectangle x, y, w, h (pixels) of the picture before it is changed.
// 1-bit pictures: the block with its margins, clipped to the picture. Other depths: only
// the saved flag (nothing of them can be restored).
void undoSave(Workspace& ws, double x, double y, double w, double h);

// Writes the saved block back into the picture (1-bit, the picture it was saved from),
// redraws, and gives TZ(0) its kept text with the cursor at the end. The block stays, so
// a second undo writes the same bytes again. False when nothing was written.
bool undoRestore(Workspace& ws);

// Forgets the block (a new picture was opened or made).
void undoClear(Workspace& ws);

}  // namespace quillaro
