// Automatic placement of the copy zone. The picture is searched from the current zone
// edges inwards, at most 55 mm, in 8 x 8 blocks: the first block with more black dots than
// the dirt threshold marks the content's edge. A turned scan is followed by shifting the
// blocks along the edge by the tangent of the angle: a vertical edge of the frame lies at
// x = zone left + tan(a) * (y - zone top) in the picture, a horizontal one at
// y = zone top - tan(a) * (x - zone left).
#include "ops/auto_frame.h"

#include <cmath>
#include <optional>

#include "base/numeric.h"
#include "model/param_store.h"
#include "model/workspace.h"
#include "ops/copy_engine.h"
#include "ops/copy_params.h"
#include "model/copy_state.h"

namespace quillaro {
namespace {

constexpr int kEdgeRows = 10;  // blocks starting this close to the top or bottom are skipped

bool blockUsable(const Bitmap& pic, int x, int y) {
  return x >= 0 && x + 8 <= pic.width && y >= kEdgeRows && y + 8 <= pic.height && y < pic.height - kEdgeRows;
}

// First row (from `from`, stepping by `dir`, at most `reach` rows) holding a content block
// across the columns [x0, x1).
std::optional<int> searchRows(const Bitmap& pic, int from, int dir, int reach, int x0, int x1,
                              int zoneLeft, double tangent, int dirt) {
  for (int k = 0; k < reach; ++k) {
    const int y = from + dir * k;
    if (y < 0 || y >= pic.height) break;
    for (int x = std::max(0, x0); x + 8 <= std::min(pic.width, x1 + 8); x += 8) {
      const int yy = y - nearesti(tangent * (x - zoneLeft)) - (dir < 0 ? 7 : 0);
      if (!blockUsable(pic, x, yy)) continue;
      if (blockBlackDots(pic, x, yy, 0) > dirt) {
        // The edge is the first row of the block, in the search direction, with a black dot.
        for (int k = 0; k < 8; ++k) {
          const int ry = dir > 0 ? yy + k : yy + 7 - k;
          for (int c = 0; c < 8; ++c)
            if (!bitIsWhite(pic.row(ry), x + c)) return y + dir * k;
        }
        return y;
      }
    }
  }
  return std::nullopt;
}

std::optional<int> searchColumns(const Bitmap& pic, int from, int dir, int reach, int y0, int y1,
                                 int zoneTop, double tangent, int dirt) {
  for (int k = 0; k < reach; ++k) {
    const int x = from + dir * k;
    if (x < 0 || x >= pic.width) break;
    for (int y = std::max(0, y0); y < std::min(pic.height, y1); y += 8) {
      const int xx = x + nearesti(tangent * (y - zoneTop)) - (dir < 0 ? 7 : 0);
      if (!blockUsable(pic, xx, y)) continue;
      if (blockBlackDots(pic, xx, y, 0) > dirt) {
        for (int k = 0; k < 8; ++k) {
          const int cx = dir > 0 ? xx + k : xx + 7 - k;
          for (int r = 0; r < 8; ++r)
            if (!bitIsWhite(pic.row(y + r), cx)) return x + dir * k;
        }
        return x;
      }
    }
  }
  return std::nullopt;
}

// Picks the side for one axis: the edge found nearer to the current zone edge wins "Авто".
std::optional<int> pick(AutoSide side, std::optional<int> nearMove, std::optional<int> farMove,
                        int nearDistance, int farDistance) {
  if (side == AutoSide::Near) return nearMove;
  if (side == AutoSide::Far) return farMove;
  if (nearMove && farMove) return nearDistance <= farDistance ? nearMove : farMove;
  return nearMove ? nearMove : farMove;
}

AutoSide reversed(AutoSide s) {
  return s == AutoSide::Near ? AutoSide::Far : s == AutoSide::Far ? AutoSide::Near : s;
}

}  // namespace

int blockBlackDots(const Bitmap& pic, int x, int y, double tangent) {
  int black = 0;
  for (int k = 0; k < 8; ++k) {
    const int yy = y + k;
    if (yy < 0 || yy >= pic.height) continue;
    const std::uint8_t* row = pic.row(yy);
    const int shift = nearesti(tangent * k);
    for (int c = 0; c < 8; ++c) {
      const int xx = x + c + shift;
      if (xx >= 0 && xx < pic.width && !bitIsWhite(row, xx)) ++black;
    }
  }
  return black;
}

AutoFrameResult findZoneOrigin(const Bitmap& pic, const AutoFrameOptions& s) {
  AutoFrameResult r;
  r.zoneLeft = s.zoneLeft;
  r.zoneTop = s.zoneTop;
  if (pic.empty() || pic.bits != 1 || s.reach <= 0) return r;
  const double t = std::tan(s.angle);
  const int x0 = s.zoneLeft, x1 = s.zoneLeft + std::max(8, s.zoneWidth);
  const int y0 = s.zoneTop, y1 = s.zoneTop + std::max(8, s.zoneHeight);
  // Top and bottom.
  std::optional<int> top, bottom;
  if (s.vertical != AutoSide::Far) top = searchRows(pic, std::max(0, y0), 1, s.reach, x0, x1, s.zoneLeft, t, s.dirt);
  if (s.vertical != AutoSide::Near)
    bottom = searchRows(pic, std::min(pic.height - 1, y1 - 1), -1, s.reach, x0, x1, s.zoneLeft, t, s.dirt);
  std::optional<int> newTop = pick(s.vertical, top, bottom ? std::optional<int>(*bottom - (y1 - y0) + 1) : std::nullopt,
                                   top ? *top - y0 : 0, bottom ? (y1 - 1) - *bottom : 0);
  if (newTop) {
    r.foundY = true;
    r.zoneTop = *newTop;
  }
  std::optional<int> left, right;
  if (s.horizontal != AutoSide::Far)
    left = searchColumns(pic, std::max(0, x0), 1, s.reach, y0, y1, s.zoneTop, t, s.dirt);
  if (s.horizontal != AutoSide::Near)
    right = searchColumns(pic, std::min(pic.width - 1, x1 - 1), -1, s.reach, y0, y1, s.zoneTop, t, s.dirt);
  std::optional<int> newLeft = pick(s.horizontal, left, right ? std::optional<int>(*right - (x1 - x0) + 1) : std::nullopt,
                                    left ? *left - x0 : 0, right ? (x1 - 1) - *right : 0);
  if (newLeft) {
    r.foundX = true;
    r.zoneLeft = *newLeft;
  }
  return r;
}

bool autoPlaceZone(Workspace& ws, bool force) {
  ParamStore& p = ws.params;
  if (!force && !p.chb(check::kAutoFrame)) return false;
  const Bitmap& pic = ws.image.bitmap;
  if (!ws.image.loaded || pic.bits != 1) return false;
  const CopyValues v = readCopyValues(ws);
  const CopyDots d = copyDots(ws, v);
  AutoFrameOptions s;
  s.zoneLeft = d.zoneLeft;
  s.zoneTop = d.zoneTop;
  s.zoneWidth = nearesti(d.frameWidth / d.sx);
  s.zoneHeight = nearesti(d.frameHeight / d.sy);
  s.angle = d.a;
  s.reach = nearesti(55 * ws.shared.dotsPerMm);
  s.dirt = p.tn(field::kDirt).empty() ? 15 : nearesti(p.tnValue(field::kDirt));
  auto side = [](int option) { return option == 0 ? AutoSide::Near : option == 1 ? AutoSide::Far : AutoSide::Auto; };
  s.vertical = side(p.option(OptionGroup::AutoTB));
  s.horizontal = side(p.option(OptionGroup::AutoLR));
  const int page = pageNumberFromName(ws.image.fileName.empty() ? ws.image.path : ws.image.fileName);
  if (page > 0 && page % 2 == 0) {
    if (p.chb(check::kEvenReverseTB)) s.vertical = reversed(s.vertical);
    if (p.chb(check::kEvenReverseLR)) s.horizontal = reversed(s.horizontal);
  }
  // Two originals: the upper A5 comes from the other original, searched from its other
  // side; a turn back turns the scan the other way up.
  if (p.check(Check::Ch2in1) && p.check(Check::Ch2origin)) {
    if (p.check(Check::Ch2of2)) s.horizontal = reversed(s.horizontal);
    if (p.check(Check::ChBackRotat)) s.vertical = reversed(s.vertical);
  }
  const AutoFrameResult r = findZoneOrigin(pic, s);
  if (!r.foundX && !r.foundY) return false;
  const double f = ws.shared.dotsPerMm;
  if (r.foundX) p.setTn(field::kZoneLeft, ws.format(r.zoneLeft / f));
  if (r.foundY) p.setTn(field::kZoneTop, ws.format(r.zoneTop / f));
  ws.view->copyFrameChanged();
  return true;
}

}  // namespace quillaro
