#include "ops/copy_engine.h"

#include <cctype>
#include <cmath>

#include "ops/batch_run.h"
#include "base/fields.h"
#include "kernels/mask.h"
#include "kernels/turns.h"
#include "base/numeric.h"
#include "model/param_store.h"
#include "model/workspace.h"
#include "ops/a3_sheet.h"
#include "ops/auto_frame.h"
#include "ops/copy_params.h"
#include "ops/copy_record.h"
#include "model/copy_state.h"
#include "ops/open.h"
#include "ops/save.h"

namespace quillaro {
namespace {

namespace F = field;
namespace C = check;

void say(Workspace& ws, const std::string& text, Icon icon = Icon::Exclamation) {
  if (ws.shared.messageSwitch) ws.prompts->message(text, icon);
}

// Answer of a question; with the message switch off the default button is taken.
Answer askUser(Workspace& ws, const std::string& text, Buttons b, Icon icon, Answer def) {
  if (!ws.shared.messageSwitch) return def;
  return ws.prompts->ask(text, b, icon, def);
}

int pictureDpi(const Workspace& ws) { return ws.shared.resolution; }

// Middle line of 2-in-1 in mm from the top paper edge.
double middleMm(const ParamStore& p, const CopyValues& v) {
  if (p.chb(C::kMiddleByPaper)) return currentPaper(p).height / 2;
  return (p.check(Check::ChForm) ? 185.0 : 148.5) + v.middleOffset;
}

struct DrawnRect {
  int left, top, right, bottom;  // page pixels, inclusive
};

// Index of the remembered zone for the current place, -1 when none.
int placeIndex(const ParamStore& p, const CopyState& st) {
  if (p.chb(C::kFourInOne)) return clampv(st.quadrant, 0, 3);
  if (p.check(Check::Ch2in1)) return p.check(Check::Ch2of2) ? 5 : 4;
  return -1;
}

void placeFourInOneFrame(Workspace& ws) {
  ParamStore& p = ws.params;
  const CopyState& st = copyState(ws);
  const CopyValues v = readCopyValues(ws);
  auto num = [&](const std::string& t) { return t.empty() ? 0.0 : parseNumber(t); };
  const double cx = v.pageWidth / 2 + v.margin + (p.tn(F::kQuadOffsetX).empty() ? 0 : p.tnValue(F::kQuadOffsetX));
  const double cy = v.pageHeight / 2 + v.margin + (p.tn(F::kQuadOffsetY).empty() ? 0 : p.tnValue(F::kQuadOffsetY));
  const double gx = num(p.held(Held::L4CX)), gy = num(p.held(Held::L4CY));
  double fl, ft, fw = v.frameWidth, fh = v.frameHeight;
  const int q = st.quadrant;
  if (q == 0 || q == 3) {
    fl = cx + gx;
  } else {
    fl = cx - gx - fw;
    if (fl < v.margin) {
      fw -= v.margin - fl;
      fl = v.margin;
    }
  }
  if (q == 0 || q == 1) {
    ft = cy - gy - fh;
    if (ft < v.margin) {
      fh -= v.margin - ft;
      ft = v.margin;
    }
  } else {
    ft = cy + gy;
  }
  ParamStore::QuietScope quiet(p);
  p.setTn(F::kFrameLeft, ws.format(fl));
  p.setTn(F::kFrameTop, ws.format(ft));
  p.setTn(F::kFrameWidth, ws.format(std::max(0.0, fw)));
  p.setTn(F::kFrameHeight, ws.format(std::max(0.0, fh)));
}

void applyMaskOnCopy(Workspace& ws, const std::vector<DrawnRect>& rects) {
  ParamStore& p = ws.params;
  if (ws.page.bits != 1 || !p.chb(C::kMaskOnCopy)) return;
  MaskPattern current;
  if (!current.assign(p.held(Held::MaskPattern))) return;
  std::optional<UnevenMaskTable> uneven;
  if (p.chb(C::kUnevenMask))
    uneven = buildUnevenMaskTable(p.tnValue(F::kMaskLeft), p.tnValue(F::kMaskRight), ws.page.rowBytes, current.count(),
                                  p.chb(C::kNotAboveMask));
  for (const DrawnRect& r : rects) {
    MaskArea area;
    area.left = std::max(0, r.left);
    area.top = std::max(0, r.top);
    area.right = std::min(ws.page.width - 1, r.right);
    area.bottom = std::min(ws.page.height - 1, r.bottom);
    area.anchorTop = r.top;
    if (area.empty()) continue;
    if (uneven) applyUnevenMask(ws.page, area, *uneven);
    else maskRectangle(ws.page, area, current);
  }
}

void runPageActions(Workspace& ws, int pageNumber) {
  const std::string text = perPageActionText(ws, pageNumber, /*emptyForZero=*/true);
  if (!text.empty()) ws.automation->runText(ws, text);
}

}  // namespace

int pageNumberFromName(std::string_view name) {
  // Page numbers are read from their last six digits.
  const long long n = trailingNumber(name);
  return n < 0 ? 0 : static_cast<int>(n % 1000000);
}

std::string copyDepthMessage(Workspace& ws, int pictureBits, const std::string& verb) {
  if (ws.page.empty() || ws.page.bits == pictureBits) return {};
  if (verb.empty()) return "Несовпадение количества цветовых битов.";
  return "Если " + verb + " " + std::to_string(pictureBits) + "-битный рисунок, " + ws.shared.lineBreak +
         " " + std::to_string(ws.page.bits) + "-битная копия будет стёрта.";
}

std::string copyResolutionMessage(Workspace& ws, int dpi) {
  const CopyState& st = copyState(ws);
  if (ws.page.empty() || st.pageDpi == 0 || st.pageDpi == dpi) return {};
  if (st.pageDpi == 1200)
    return "Скопирован рисунок 1200 dpi." + ws.shared.lineBreak + "Другой рисунок должен быть таким же, а не 600 dpi.";
  return "Скопирован рисунок 600 dpi." + ws.shared.lineBreak + "Другой рисунок должен быть таким же, а не 1200 dpi.";
}

double fillRatio(const Bitmap& picture, int dpi);

std::string fillRatioText(Workspace& ws) {
  if (!ws.image.loaded || ws.image.bitmap.bits != 1) return {};
  return ws.format(fillRatio(ws.image.bitmap, ws.shared.resolution)) + "%";
}

void restoreRememberedZone(Workspace& ws) {
  ParamStore& p = ws.params;
  CopyState& st = copyState(ws);
  if (!p.chb(C::kRememberZones)) return;
  const int k = placeIndex(p, st);
  if (k < 0 || !st.zoneSet[static_cast<std::size_t>(k)]) return;
  p.setTn(F::kZoneLeft, st.zones[static_cast<std::size_t>(k)][0]);
  p.setTn(F::kZoneTop, st.zones[static_cast<std::size_t>(k)][1]);
}

bool copyPage(Workspace& ws) {
  ParamStore& p = ws.params;
  CopyState& st = copyState(ws);
  if (st.busy) return false;
  // The button reads "Стоп" while an automatic copy waits or the batch runs: pressing it
  // stops them instead of copying.
  if (p.caption(namedLabelId(NamedLabel::ComCopy)) == kCopyButtonStop) {
    stopAutomaticCopy(ws);
    return false;
  }
  const Bitmap& pic = ws.image.bitmap;
  if (!ws.image.loaded || pic.empty()) {
    say(ws, "Нет рисунка");
    return false;
  }
  const bool fourInOne = p.chb(C::kFourInOne);
  const bool twoInOne = p.check(Check::Ch2in1);
  const bool upper = twoInOne && p.check(Check::Ch2of2);
  const bool paste = p.check(Check::ChPaste);
  const bool adding = paste || (fourInOne && st.quadrant > 0) || upper;
  // Combination checks when the copy adds to an existing page.
  if (adding && !ws.page.empty()) {
    std::string m = copyDepthMessage(ws, pic.bits);
    if (m.empty()) m = copyResolutionMessage(ws, pictureDpi(ws));
    if (!m.empty()) {
      say(ws, m);
      return false;
    }
  }
  CopyValues v = readCopyValues(ws);
  const PaperSize paper = currentPaper(p);
  const int pageNumber = pageNumberFromName(ws.image.fileName.empty() ? ws.image.path : ws.image.fileName);
  // Outer margin question.
  if (p.chb(C::kTwoSides) && !twoInOne && !st.askedOuterMargin && pageNumber > 0) {
    const long long left = nearest(v.frameLeft);
    const long long right = nearest(paper.width - v.frameLeft - v.frameWidth);
    const bool even = pageNumber % 2 == 0;
    if ((even && left > right) || (!even && left < right)) {
      const std::string& br = ws.shared.lineBreak;
      const Answer a = askUser(ws,
                               "Поле снаружи больше, чем внутри ?" + br + "(Да - больше не спрашивать," + br +
                                   "Нет - не копировать," + br + "Отмена - копировать.)",
                               Buttons::YesNoCancel, Icon::Stop, Answer::No);
      if (a == Answer::No) return false;
      if (a == Answer::Yes) st.askedOuterMargin = true;
    }
  }
  st.busy = true;
  const CopyDots d0 = copyDots(ws, v);
  const bool newPage = ws.page.empty() || (!paste && (!fourInOne || st.quadrant == 0) && !upper);
  if (newPage) {
    if (st.freshCopy && !ws.shared.copySaved && p.chb(C::kRemind)) {
      if (askUser(ws, "Копия не сохранена." + ws.shared.lineBreak + "Стереть ?", Buttons::YesNo,
                  Icon::Question, Answer::Yes) == Answer::No) {
        st.busy = false;
        return false;
      }
    }
    Bitmap fresh = Bitmap::create(d0.pageWidth, d0.pageHeight, pic.bits);
    if (fresh.empty()) {
      st.busy = false;
      say(ws, "Не хватает памяти для рисунка.", Icon::Stop);
      return false;
    }
    ws.page = std::move(fresh);
    st.freshCopy = false;
  }
  (void)buildCopyRecord(ws, st.copyCounter);  // the record as the batch sees it before drawing

  // Draw, once or as a grid.
  const PathChoice choice{p.chb(C::kByBytes), p.chb(C::kFastCopy), paste};
  const bool twoOriginals = twoInOne && p.check(Check::Ch2origin);
  std::vector<DrawnRect> drawn;
  bool stopped = false;
  st.copyCounter = 0;
  auto drawOne = [&](const CopyValues& cv) {
    const CopyDots d = copyDots(ws, cv);
    const int middle = nearesti(middleMm(p, cv) * ws.shared.dotsPerMm);
    const ZoneMapping mapping{d.frameWidth, d.frameHeight, d.zoneLeft, d.zoneTop, d.sx, d.sy, d.a};
    if (twoOriginals) {
      TwoOriginalsMapping s;
      static_cast<ZoneMapping&>(s) = mapping;
      s.pageColumn0 = d.frameTop - d.margin;
      s.rowBase = upper ? middle - d.margin - d.frameLeft : middle - d.margin + d.frameLeft;
      s.upper = upper;
      s.back = p.check(Check::ChBackRotat);
      if (!drawTwoOriginals(pic, ws.page, s, ws.progress)) stopped = true;
      const int r1 = twoOriginalsRow(s, 0), r2 = twoOriginalsRow(s, s.width - 1);
      drawn.push_back({s.pageColumn0, std::min(r1, r2), s.pageColumn0 + s.height - 1, std::max(r1, r2)});
    } else {
      FrameMapping f;
      static_cast<ZoneMapping&>(f) = mapping;
      f.destLeft = d.frameLeft - d.margin;
      if (twoInOne)
        f.destTop = upper ? middle - d.frameTop - d.frameHeight - d.margin : middle + d.frameTop - d.margin;
      else if (p.check(Check::ChForm))
        f.destTop = d.frameTop + nearesti((36.5 - cv.margin) * ws.shared.dotsPerMm);
      else
        f.destTop = d.frameTop - d.margin;
      if (!drawFrame(pic, ws.page, f, choosePath(f, pic.bits, choice), ws.progress)) stopped = true;
      drawn.push_back({f.destLeft, f.destTop, f.destLeft + f.width - 1, f.destTop + f.height - 1});
    }
    ++st.copyCounter;
  };
  if (p.chb(C::kMultiCopy)) {
    int across = v.across, down = v.down;
    if (v.stepAcross == 0) across = 1;
    if (v.stepDown == 0) down = 1;
    CopyValues cv = v;
    for (int k = 0; k < down && !stopped; ++k) {
      const double y = v.stepDown * k + v.frameTop;
      if (v.frameHeight + y > v.margin + v.pageHeight + 1e-9) continue;
      cv.frameTop = y;
      for (int c = 0; c < across && !stopped; ++c) {
        const double x = v.stepAcross * c + v.frameLeft;
        if (v.frameWidth + x > v.margin + v.pageWidth + 1e-9) continue;
        cv.frameLeft = x;
        drawOne(cv);
      }
    }
  } else {
    drawOne(v);
  }

  // Mask on copy, mirror, 4-in-1 advance, remembered zones, per-page actions.
  applyMaskOnCopy(ws, drawn);
  const int place = placeIndex(p, st);
  if (place >= 0) {
    st.zones[static_cast<std::size_t>(place)] = {p.tn(F::kZoneLeft), p.tn(F::kZoneTop)};
    st.zoneSet[static_cast<std::size_t>(place)] = true;
  }
  if (p.chb(C::kTwoSides) && !twoInOne) rememberParityFrame(ws, pageNumber);
  bool complete = true;
  if (fourInOne) {
    st.quadrant = (st.quadrant + 1) % 4;
    complete = st.quadrant == 0;
    placeFourInOneFrame(ws);
  } else if (twoInOne) {
    complete = upper;
  }
  if (complete && p.check(Check::ChMirror)) mirrorRows(ws.page);
  runPageActions(ws, pageNumber);

  st.pageDpi = pictureDpi(ws);
  st.busy = false;
  st.freshCopy = true;
  st.copyMade = true;
  st.editingCopy = false;
  ws.shared.copySaved = false;
  st.saveEnabled = true;
  if (!st.copyAsIsRunning) ws.journal->copied(ws, st.copyCounter);
  ws.view->pageImageChanged();
  st.printEnabled = true;
  if (stopped) {
    if (st.batchRunning) stopBatch(ws);
    return true;
  }
  // The batch goes on to the upper half before the page is put into A3, saved or printed.
  if (st.batchRunning && !complete) {
    batchAfterCopy(ws);
    return true;
  }

  if (twoOriginals && upper && p.chb(C::kAutoFrame)) autoPlaceZone(ws);
  // Follow-up steps.
  bool savedBySheet = false;
  if (p.chb(C::kToA3After) && p.check(Check::ChA3)) {
    toA3(ws);
    savedBySheet = true;  // the sheet saves itself when it is full
  }
  if (!savedBySheet && p.chb(C::kSaveAfter)) savePanel(ws);
  // "++" numbering: the next save takes its name from the numbering field.
  if (p.chb(C::kNumberNext)) p.setHeld(Held::TextFileName, "NUM-" + p.held(Held::PageNumber));
  if (st.batchRunning) batchAfterCopy(ws);
  return true;
}

namespace {
// The frame memory of "2 стороны": SX1/SY1 for odd pages, SX2/SY2 for even ones.
std::pair<Held, Held> parityFrameKeys(int parity) {
  return parity == 2 ? std::pair{Held::SX2, Held::SY2} : std::pair{Held::SX1, Held::SY1};
}
}  // namespace

void rememberParityFrame(Workspace& ws, int pageNumber) {
  if (pageNumber <= 0) return;
  const auto [x, y] = parityFrameKeys(pageNumber % 2 == 1 ? 1 : 2);
  ws.params.setHeld(x, ws.params.tn(F::kFrameLeft));
  ws.params.setHeld(y, ws.params.tn(F::kFrameTop));
}

void applyParityFrame(Workspace& ws, int parity) {
  if (parity != 1 && parity != 2) return;
  const auto [x, y] = parityFrameKeys(parity);
  ParamStore& p = ws.params;
  // Only a remembered position that reads as a number is put back.
  if (!isNumeric(p.held(x)) || !isNumeric(p.held(y))) return;
  p.setTn(F::kFrameLeft, p.held(x));
  p.setTn(F::kFrameTop, p.held(y));
}

bool runAutomaticCopy(Workspace& ws) {
  bool& pending = openState(ws).autoCopyPending;
  if (!pending) return false;
  pending = false;
  const ControlId button = namedLabelId(NamedLabel::ComCopy);
  ws.params.setCaption(button, kCopyButtonCopy);
  const bool made = copyPage(ws);
  // While the batch runs the button reads "Стоп" again, so that it stops the batch.
  if (copyState(ws).batchRunning) ws.params.setCaption(button, kCopyButtonStop);
  return made;
}

void stopAutomaticCopy(Workspace& ws) {
  if (copyState(ws).batchRunning) {
    stopBatch(ws);  // the button stops the batch too
    return;
  }
  openState(ws).autoCopyPending = false;
  ws.params.setCaption(namedLabelId(NamedLabel::ComCopy), kCopyButtonCopy);
}

bool reloadCopy(Workspace& ws, char turn) {
  CopyState& st = copyState(ws);
  if (ws.page.empty()) {
    ws.prompts->message("Нет копии.");
    return false;
  }
  Bitmap pic;
  if (turn == 'R' || turn == 'r') pic = turnRight(ws.page, ws.progress);
  else if (turn == 'L' || turn == 'l') pic = turnLeft(ws.page, ws.progress);
  else pic = ws.page.clone();
  if (pic.empty()) {
    ws.prompts->message("Не хватает памяти для рисунка.", Icon::Stop);
    return false;
  }
  const int bits = pic.bits;
  ws.image.bitmap = std::move(pic);
  ws.image.header = headerTemplate(bits);
  const std::int32_t ppm = ws.shared.resolution == 1200 ? kPixelsPerMetre1200 : kPixelsPerMetre600;
  ws.image.xPixelsPerMetre = ppm;
  ws.image.yPixelsPerMetre = ppm;
  ws.image.loaded = true;
  ws.image.modified = 1;
  ws.shared.bitDepth = bits;
  st.editingCopy = true;
  ws.journal->reloaded(ws, turn == 'r' ? 'R' : turn == 'l' ? 'L' : turn);
  return true;
}

}  // namespace quillaro
