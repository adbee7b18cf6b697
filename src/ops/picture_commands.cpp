#include "ops/picture_commands.h"

#include <optional>

#include "model/undo.h"
#include "base/fields.h"
#include "kernels/mask.h"
#include "kernels/to1bit.h"
#include "kernels/turns.h"
#include "base/numeric.h"
#include "model/rects.h"
#include "model/workspace.h"
#include "ops/open.h"

namespace quillaro {
namespace {

void changedAndRecorded(Workspace& ws, TurnDirection direction) {
  ws.image.modified = 1;
  ws.progress->status("");
  ws.journal->turned(ws, direction);
}

bool replaceByTurn(Workspace& ws, bool right) {
  if (!pictureReady(ws)) return false;
  Bitmap turned = right ? turnRight(ws.image.bitmap, ws.progress) : turnLeft(ws.image.bitmap, ws.progress);
  if (turned.empty()) {
    ws.prompts->message("Не хватает памяти для рисунка.");
    return false;
  }
  ws.image.bitmap = std::move(turned);
  changedAndRecorded(ws, right ? TurnDirection::Right : TurnDirection::Left);
  return true;
}

}  // namespace

bool pictureReady(const Workspace& ws) {
  return ws.image.loaded && !ws.image.busy && !ws.image.bitmap.empty();
}

bool turnPictureOver(Workspace& ws) {
  if (!pictureReady(ws) || !turnOver(ws.image.bitmap, ws.progress)) return false;
  changedAndRecorded(ws, TurnDirection::Over);
  return true;
}

bool turnPictureLeft(Workspace& ws) { return replaceByTurn(ws, false); }
bool turnPictureRight(Workspace& ws) { return replaceByTurn(ws, true); }

bool convertPictureTo1bit(Workspace& ws) {
  if (!pictureReady(ws) || ws.image.bitmap.bits != 8) return false;
  const std::string thresholdText = ws.params.held(Held::Threshold);
  // The size first, then the long pass; the busy flag keeps the picture from being
  // replaced while pending events run.
  ws.image.busy = true;
  ws.progress->status("Преобразование " + std::to_string((ws.image.bitmap.byteCount() - 1) / 1048576) + " MB");
  ws.progress->pump();
  Bitmap result = to1bit(ws.image.bitmap, nearesti(parseNumber(thresholdText)));
  ws.image.busy = false;
  if (result.empty()) {
    ws.prompts->message("Не хватает памяти для рисунка.");
    return false;
  }
  ws.image.bitmap = std::move(result);
  ws.shared.bitDepth = 1;
  matchPageToDepth(ws);
  ws.image.lastPath = "!";  // the same file is read from disk again when asked for
  ws.image.modified = 0;
  ws.progress->status("");
  refreshSizeLabels(ws);
  clearEditLists(ws);
  ws.redrawEditView();
  ws.journal->convertedTo1bit(ws, thresholdText);
  return true;
}

bool maskSelection(Workspace& ws, const std::string& patternText) {
  if (!pictureReady(ws)) return false;
  Bitmap& picture = ws.image.bitmap;
  const std::optional<MaskPattern> pattern = MaskPattern::fromText(patternText);
  if (!pattern) return false;
  const PixRect r = drawingRect(ws.params, ws.shared.dotsPerMm);
  if (r.empty()) return false;
  const MaskArea area = maskAreaFor(r.x, r.y, r.w, r.h, picture.width, picture.height);
  if (area.empty()) return false;
  MaskOptions options;
  options.onGrey = ws.params.chb(check::kMaskOnGrey);
  undoSave(ws, r.x, r.y, r.w, r.h);
  if (!maskRectangle(picture, area, *pattern, options)) return false;
  ws.image.modified = 1;
  ws.journal->masked(ws, pattern->text(), picture.bits);
  return true;
}

bool eraseByKey(Workspace& ws) {
  ws.recorder.insertionMode = true;
  const bool erased = maskSelection(ws, "FFFF");
  ws.recorder.insertionMode = false;
  return erased;
}

}  // namespace quillaro
