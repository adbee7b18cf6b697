#include "ops/tone_ops.h"

#include "base/fields.h"
#include "kernels/tone.h"
#include "base/numeric.h"
#include "ops/picture_commands.h"
#include "model/undo.h"
#include "model/rects.h"
#include "model/workspace.h"
#include "ops/open.h"

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

void changed(Workspace& ws, ToneStep step) {
  ws.image.modified = 1;
  ws.redrawEditView();
  ws.journal->toned(ws, step);
}

}  // namespace

bool brightnessContrastOp(Workspace& ws) {
  if (!pictureReady(ws)) return false;
  Bitmap& pic = ws.image.bitmap;
  if (pic.bits != 8 && pic.bits != 24) return false;
  const int b = nearesti(clampv(parseNumber(ws.params.held(Held::Brightness)), -1e9, 1e9));
  const float k = static_cast<float>(ws.params.tnValue(field::kContrast));
  if (toneIsOff(k, b)) return false;
  const PixelRect rect = drawingPixels(ws);
  if (clipToPicture(rect, pic.width, pic.height).empty()) return false;
  saveForUndo(ws);
  const ToneMap tone = makeToneMap(k, b, ws.params.chb(check::kCorrectBlack), ws.params.chb(check::kCorrectWhite));
  if (!applyTone(pic, rect, tone)) return false;
  changed(ws, ToneStep::BrightnessContrast);
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
  const float kw = static_cast<float>(ws.params.tnValue(field::kContrastRelWhite));
  if (!darkRelWhite(pic, rect, kw)) return false;
  changed(ws, ToneStep::DarkRelWhite);
  return true;
}

}  // namespace quillaro
