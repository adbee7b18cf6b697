#include "ops/merge_cells.h"

#include "base/control_numbers.h"
#include "base/numeric.h"
#include "kernels/cell_lines.h"
#include "model/rects.h"
#include "model/undo.h"
#include "model/workspace.h"
#include "ops/draw_table.h"
#include "ops/picture_commands.h"

namespace quillaro {

bool mergeCells(Workspace& ws) {
  if (!pictureReady(ws)) return false;
  Bitmap& picture = ws.image.bitmap;
  const PixRect r = drawingRect(ws.params, ws.shared.dotsPerMm);
  if (r.empty()) return false;
  const PixelBox block{pixelCoord(r.x), pixelCoord(r.y), pixelCoord(r.x + r.w), pixelCoord(r.y + r.h)};
  const std::vector<PixelBox> lines = innerLineBoxes(picture, block, tableLineColour(ws.params));
  if (lines.empty()) return false;
  undoSave(ws, r.x, r.y, r.w, r.h);
  for (const PixelBox& b : lines) whitenBox(picture, b);
  ws.image.modified = 1;
  ws.journal->cellsMerged(ws);
  ws.view->pictureChanged();
  return true;
}

}  // namespace quillaro
