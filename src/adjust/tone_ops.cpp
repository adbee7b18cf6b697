#include "adjust/tone_ops.h"

#include "actions/fields.h"
#include "actions/record_lines.h"
#include "actions/recorder.h"
#include "adjust/tone.h"
#include "app/numeric.h"
#include "app/picture_commands.h"
#include "app/undo.h"
#include "app/view_logic.h"
#include "app/workspace.h"
#include "image/open.h"

namespace quillaro {
namespace {

// The pixels of the drawing rectangle and the undo save that precedes every change.
PixelRect drawingPixels(Workspace& ws) {
  const PixRect r = drawingRect(ws.params, ws.shared.dotsPerMm);
  return selectionPixels(r.x, r.y, r.w, r.h);
}

void saveForUndo(Workspace& ws) {
  const PixRect r = drawingRect(ws.params, ws.shared.dotsPerMm);
  undoSave(ws, r.x, r.y, r.w, r.h);
}

void changed(Workspace& ws, const std::string& line) {
  ws.image.modified = 1;
  ws.redrawEditView();
  appendLine(ws, line);
}

}  // namespace

bool brightnessContrastOp(Workspace& ws) {
  if (!pictureReady(ws)) return false;
  Bitmap& pic = ws.image.bitmap;
  if (pic.bits != 8 && pic.bits != 24) return false;
  const int b = nearesti(clampv(parseNumber(ws.params.held(Held::Brightness)), -1e9, 1e9));
  const float k = static_cast<float>(ws.params.tnValue(56));
  if (toneIsOff(k, b)) return false;
  const PixelRect rect = drawingPixels(ws);
  if (clipToPicture(rect, pic.width, pic.height).empty()) return false;
  saveForUndo(ws);
  const ToneMap tone = makeToneMap(k, b, ws.params.chb(57), ws.params.chb(58));
  if (!applyTone(pic, rect, tone)) return false;
  changed(ws, brightnessContrastLine(ws));
  return true;
}

bool darkRelWhiteOp(Workspace& ws) {
  if (!pictureReady(ws)) return false;
  Bitmap& pic = ws.image.bitmap;
  if (pic.bits != 8) return false;
  PixelRect rect = drawingPixels(ws);
  if (rect.left < 0) rect.left = 0;
  if (clipToPicture(rect, pic.width, pic.height).empty()) return false;
  saveForUndo(ws);
  const float kw = static_cast<float>(ws.params.tnValue(57));
  if (!darkRelWhite(pic, rect, kw)) return false;
  changed(ws, darkRelWhiteLine(ws));
  return true;
}

bool convertTo1bitOp(Workspace& ws) {
  // The conversion itself keeps the busy flag and refuses while an opening runs.
  if (!convertPictureTo1bit(ws)) return false;
  refreshSizeLabels(ws);
  ws.image.modified = 0;
  clearEditLists(ws);
  ws.redrawEditView();
  return true;
}

void installOpenAndToneOperations(Workspace& ws) {
  Operations& o = ws.ops;
  o.open = [](Workspace& w, const std::string& path) { return openPicture(w, path); };
  o.brightnessContrast = [](Workspace& w) { brightnessContrastOp(w); };
  o.darkRelWhite = [](Workspace& w) { darkRelWhiteOp(w); };
  o.convertTo1bit = [](Workspace& w) { return convertTo1bitOp(w); };
}

}  // namespace quillaro
