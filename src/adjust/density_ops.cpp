#include "adjust/density_ops.h"

#include "actions/fields.h"
#include "actions/record_lines.h"
#include "actions/recorder.h"
#include "adjust/density.h"
#include "app/picture_commands.h"
#include "app/undo.h"
#include "app/view_logic.h"
#include "app/workspace.h"

namespace quillaro {
namespace {

void finish(Workspace& ws, const std::string& line) {
  ws.image.modified = 1;
  ws.redrawEditView();
  appendLine(ws, line);
}

}  // namespace

bool denseThinOp(Workspace& ws, bool plus) {
  if (!pictureReady(ws)) return false;
  Bitmap& pic = ws.image.bitmap;
  if (pic.bits != 1 && pic.bits != 8) return false;
  const ParamStore& p = ws.params;
  DenseThinOptions options;
  options.lineWidth = denseThinLineWidth(p.tnValue(10));
  options.plus = plus;
  options.horizontal = p.chb(6);
  options.vertical = p.chb(7);
  if (!options.horizontal && !options.vertical) return false;
  const PixRect r = drawingRect(p, ws.shared.dotsPerMm);
  const PixelRect area = denseThinAreaFor(r.x, r.y, r.w, r.h, options.lineWidth, pic.width, pic.height);
  if (area.empty()) return false;
  undoSave(ws, r.x, r.y, r.w, r.h);
  if (!denseThin(pic, area, options)) return false;
  finish(ws, densityLine(ws, plus));
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
  options.horizontal = p.chb(6);
  options.vertical = p.chb(7);
  options.corners = p.chb(34) && options.horizontal && options.vertical;
  if (!options.horizontal && !options.vertical) return false;
  const PixRect r = drawingRect(p, ws.shared.dotsPerMm);
  const PixelRect area = lineWidthAreaFor(r.x, r.y, r.w, r.h, pic.width, pic.height);
  if (area.empty()) return false;
  undoSave(ws, r.x, r.y, r.w, r.h);
  if (!changeLineWidth(pic, area, options)) return false;
  finish(ws, lineWidthLine(ws, thicker, variant));
  return true;
}

void installDensityOperations(Workspace& ws) {
  ws.ops.density = [](Workspace& w, bool plus) { denseThinOp(w, plus); };
  ws.ops.lineWidth = [](Workspace& w, bool thicker, bool variant) { lineWidthOp(w, thicker, variant); };
}

}  // namespace quillaro
