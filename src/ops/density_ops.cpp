#include "ops/density_ops.h"

#include "base/fields.h"
#include "kernels/density.h"
#include "ops/picture_commands.h"
#include "model/undo.h"
#include "model/rects.h"
#include "model/workspace.h"

namespace quillaro {
namespace {

void finish(Workspace& ws) {
  ws.image.modified = 1;
  ws.redrawEditView();
}

}  // namespace

bool denseThinOp(Workspace& ws, bool plus) {
  if (!pictureReady(ws)) return false;
  Bitmap& pic = ws.image.bitmap;
  if (pic.bits != 1 && pic.bits != 8) return false;
  const ParamStore& p = ws.params;
  DenseThinOptions options;
  options.lineWidth = denseThinLineWidth(p.tnValue(field::kDensityWidth));
  options.plus = plus;
  options.horizontal = p.chb(check::kDensityHorizontal);
  options.vertical = p.chb(check::kDensityVertical);
  if (!options.horizontal && !options.vertical) return false;
  const PixRect r = drawingRect(p, ws.shared.dotsPerMm);
  const PixelRect area = denseThinAreaFor(r.x, r.y, r.w, r.h, options.lineWidth, pic.width, pic.height);
  if (area.empty()) return false;
  undoSave(ws, r.x, r.y, r.w, r.h);
  if (!denseThin(pic, area, options)) return false;
  finish(ws);
  ws.journal->densityChanged(ws, plus);
  return true;
}

bool lineWidthOp(Workspace& ws, bool thicker, bool variant) {
  if (!pictureReady(ws)) return false;
  Bitmap& pic = ws.image.bitmap;
  if (pic.bits != 1) return false;
  const ParamStore& p = ws.params;
  LineWidthOptions options;
  options.grow = thicker;
  options.alternate = variant;
  options.horizontal = p.chb(check::kDensityHorizontal);
  options.vertical = p.chb(check::kDensityVertical);
  options.corners = p.chb(check::kCorners) && options.horizontal && options.vertical;
  if (!options.horizontal && !options.vertical) return false;
  const PixRect r = drawingRect(p, ws.shared.dotsPerMm);
  const PixelRect area = lineWidthAreaFor(r.x, r.y, r.w, r.h, pic.width, pic.height);
  if (area.empty()) return false;
  undoSave(ws, r.x, r.y, r.w, r.h);
  if (!changeLineWidth(pic, area, options)) return false;
  finish(ws);
  ws.journal->lineWidthChanged(ws, thicker, variant);
  return true;
}

}  // namespace quillaro
