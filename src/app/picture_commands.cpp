#include "app/picture_commands.h"

#include <optional>

#include "actions/fields.h"
#include "actions/recorder.h"
#include "adjust/mask.h"
#include "adjust/to1bit.h"
#include "adjust/turns.h"
#include "app/numeric.h"
#include "app/view_logic.h"
#include "app/workspace.h"
#include "image/open.h"

namespace quillaro {
namespace {

void changedAndRecorded(Workspace& ws, const std::string& line) {
  ws.image.modified = 1;
  ws.progress->status("");
  appendLine(ws, line);
}

bool replaceByTurn(Workspace& ws, bool right, const char* line) {
  if (!pictureReady(ws)) return false;
  Bitmap turned = right ? turnRight(ws.image.bitmap, ws.progress) : turnLeft(ws.image.bitmap, ws.progress);
  if (turned.empty()) {
    ws.prompts->message("Не хватает памяти для рисунка.");
    return false;
  }
  ws.image.bitmap = std::move(turned);
  changedAndRecorded(ws, line);
  return true;
}

}  // namespace

bool pictureReady(const Workspace& ws) {
  return ws.image.loaded && !ws.image.busy && !ws.image.bitmap.empty();
}

bool turnPictureOver(Workspace& ws) {
  if (!pictureReady(ws) || !turnOver(ws.image.bitmap, ws.progress)) return false;
  changedAndRecorded(ws, "Over");
  return true;
}

bool turnPictureLeft(Workspace& ws) { return replaceByTurn(ws, false, "Left"); }
bool turnPictureRight(Workspace& ws) { return replaceByTurn(ws, true, "Right"); }

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
  std::string line = "ConvertTo1bit";
  if (thresholdText != "140") line += ", BW=" + thresholdText;
  ws.progress->status("");
  appendLine(ws, line);
  return true;
}

bool reloadPageImage(Workspace& ws, int turn) {
  if (ws.page.empty() || ws.image.busy) return false;
  Bitmap picture = turn > 0 ? turnRight(ws.page, ws.progress)
                 : turn < 0 ? turnLeft(ws.page, ws.progress)
                            : ws.page.clone();
  if (picture.empty()) {
    ws.prompts->message("Не хватает памяти для рисунка.");
    return false;
  }
  ws.image.bitmap = std::move(picture);
  ws.image.loaded = true;
  ws.shared.bitDepth = ws.image.bitmap.bits;
  changedAndRecorded(ws, turn > 0 ? "Reload, R" : turn < 0 ? "Reload, L" : "Reload");
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
  options.onGrey = ws.params.chb(59);
  if (!maskRectangle(picture, area, *pattern, options)) return false;
  const ParamStore& p = ws.params;
  const std::string rectText = ", " + p.tn(24) + ", " + p.tn(25) + ", " + p.tn(26) + ", " + p.tn(27);
  ws.image.modified = 1;
  appendLine(ws, maskCommandLine(rectText, *pattern, picture.bits, options.onGrey));
  return true;
}

void installPictureCommands(Workspace& ws) {
  Operations& o = ws.ops;
  if (!o.turn)
    o.turn = [](Workspace& w, TurnDirection d) {
      if (d == TurnDirection::Over) turnPictureOver(w);
      else if (d == TurnDirection::Right) turnPictureRight(w);
      else turnPictureLeft(w);
    };
  if (!o.reload)
    o.reload = [](Workspace& w, char d) { reloadPageImage(w, d == 'R' ? 1 : d == 'L' ? -1 : 0); };
  if (!o.convertTo1bit) o.convertTo1bit = [](Workspace& w) { return convertPictureTo1bit(w); };
  if (!o.mask) o.mask = [](Workspace& w, const std::string& p) { maskSelection(w, p); };
}

}  // namespace quillaro
