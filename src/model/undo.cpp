#include "model/undo.h"

#include <algorithm>
#include <cstring>

#include "base/numeric.h"
#include "base/text_codec.h"
#include "model/workspace.h"

namespace quillaro {

UndoState& undoState(Workspace& ws) {
  if (!ws.undo) ws.undo = std::make_shared<UndoState>();
  return *ws.undo;
}

void undoSave(Workspace& ws, double x, double y, double w, double h) {
  UndoState& u = undoState(ws);
  if (u.suspended) return;
  const Bitmap& pic = ws.image.bitmap;
  if (pic.empty()) return;
  if (pic.bits != 1) {
    // Nothing of a grey or colour picture is kept; an older 1-bit block is no longer the
    // last change and is dropped.
    u.saved = true;
    u.restorable = false;
    u.bytes.clear();
    u.rows = 0;
    u.text = ws.params.tz(text::kProgram);
    return;
  }
  const double big = 1e9;  // keeps the rounding inside the int range
  const int left = static_cast<int>(std::max<long long>(0, nearest(std::clamp(x - 1, -big, big))));
  const int top = static_cast<int>(std::max<long long>(0, nearest(std::clamp(y - 1, -big, big))));
  const int right = static_cast<int>(std::min<long long>(pic.width, nearest(std::clamp(x + w + 2, -big, big))));
  const int bottom = static_cast<int>(std::min<long long>(pic.height, nearest(std::clamp(y + h + 2, -big, big))));
  if (bottom <= top || right < left || left >= pic.width) return;
  const int first = left / 8;
  const int last = std::min(right / 8, pic.rowBytes - 1);
  if (last < first) return;
  const int columns = last - first + 1;
  const int rows = bottom - top;
  u.bytes.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
  for (int r = 0; r < rows; ++r)
    std::memcpy(u.bytes.data() + static_cast<std::size_t>(r) * columns, pic.row(top + r) + first,
                static_cast<std::size_t>(columns));
  u.left = left;
  u.top = top;
  u.width = right - left;
  u.height = rows;
  u.firstColumn = first;
  u.lastColumn = last;
  u.rows = rows;
  u.pixels = pic.data();
  u.pictureWidth = pic.width;
  u.pictureHeight = pic.height;
  u.pictureStride = pic.stride;
  u.saved = true;
  u.restorable = true;
  u.text = ws.params.tz(text::kProgram);
}

bool undoRestore(Workspace& ws) {
  UndoState& u = undoState(ws);
  Bitmap& pic = ws.image.bitmap;
  if (pic.empty() || pic.bits != 1 || !u.saved || !u.restorable) return false;
  // Only into the picture the block was taken from.
  if (pic.data() != u.pixels || pic.width != u.pictureWidth || pic.height != u.pictureHeight ||
      pic.stride != u.pictureStride)
    return false;
  const int columns = u.lastColumn - u.firstColumn + 1;
  if (columns <= 0 || u.rows <= 0 || u.top + u.rows > pic.height || u.lastColumn >= pic.stride ||
      u.bytes.size() < static_cast<std::size_t>(u.rows) * static_cast<std::size_t>(columns))
    return false;
  for (int r = 0; r < u.rows; ++r)
    std::memcpy(pic.row(u.top + r) + u.firstColumn, u.bytes.data() + static_cast<std::size_t>(r) * columns,
                static_cast<std::size_t>(columns));
  ws.image.modified = 1;
  ws.redrawEditView();
  ws.params.setTz(text::kProgram, u.text);
  ws.params.setTzCursor(text::kProgram, utf8Length(u.text));
  return true;
}

void undoClear(Workspace& ws) {
  if (!ws.undo) return;
  UndoState& u = *ws.undo;
  u.bytes.clear();
  u.bytes.shrink_to_fit();
  u.rows = 0;
  u.saved = false;
  u.restorable = false;
  u.pixels = nullptr;
}

}  // namespace quillaro
