#include "ops/copy_params.h"

#include <cmath>

#include "base/numeric.h"
#include "model/param_store.h"
#include "model/workspace.h"
#include "ops/auto_frame.h"
#include "ops/batch_run.h"
#include "ops/copy_engine.h"
#include "model/copy_state.h"

namespace quillaro {
namespace {

namespace F = field;
namespace C = check;

// A field's number, or `fallback` when the field is empty.
double fieldOr(const ParamStore& p, int i, double fallback) {
  if (p.tn(i).empty()) return fallback;
  return p.tnValue(i);
}

bool remind(const ParamStore& p) { return p.chb(C::kRemind); }

}  // namespace

CopyState& copyState(Workspace& ws) {
  if (!ws.copyState) ws.copyState = std::make_shared<CopyState>();
  return *ws.copyState;
}

PaperSize currentPaper(const ParamStore& p) {
  if (p.check(Check::ChForm)) return {216, 370};
  if (p.check(Check::ChLand)) return {297, 210};
  return {210, 297};
}

double printerMarginMm(const ParamStore& p) { return clampv(fieldOr(p, F::kMargin, 4), 0.0, 10.0); }

PaperSize standardPageImage(const ParamStore& p) {
  const double m = printerMarginMm(p);
  if (p.check(Check::ChForm)) return {216 - 2 * m, 333.5 - m};
  const PaperSize paper = currentPaper(p);
  return {paper.width - 2 * m, paper.height - 2 * m};
}

bool isPageImageStandard(const Workspace& ws) {
  const ParamStore& p = ws.params;
  if (p.check(Check::ChForm)) return true;
  const PaperSize s = standardPageImage(p);
  return fieldOr(p, F::kPageWidth, s.width) == s.width &&
         fieldOr(p, F::kPageHeight, s.height) == s.height;
}

CopyValues readCopyValues(const Workspace& ws) {
  const ParamStore& p = ws.params;
  CopyValues v;
  v.zoneLeft = fieldOr(p, F::kZoneLeft, 0);
  v.zoneTop = fieldOr(p, F::kZoneTop, 0);
  v.frameWidth = fieldOr(p, F::kFrameWidth, 202);
  v.frameHeight = fieldOr(p, F::kFrameHeight, 289);
  v.frameLeft = fieldOr(p, F::kFrameLeft, 4);
  v.frameTop = fieldOr(p, F::kFrameTop, 4);
  v.scale = fieldOr(p, F::kScale, 100);
  v.scaleX = fieldOr(p, F::kScaleX, v.scale);
  v.scaleY = fieldOr(p, F::kScaleY, v.scale);
  v.angle = clampv(nearesti(fieldOr(p, F::kAngle, 0)), -5000, 5000);
  v.across = std::max(1, nearesti(fieldOr(p, F::kAcross, 1)));
  v.down = std::max(1, nearesti(fieldOr(p, F::kDown, 1)));
  v.stepAcross = fieldOr(p, F::kStepAcross, 0);
  v.stepDown = fieldOr(p, F::kStepDown, 0);
  const PaperSize s = standardPageImage(p);
  if (p.check(Check::ChForm)) {
    v.pageWidth = s.width;
    v.pageHeight = s.height;
  } else {
    v.pageWidth = fieldOr(p, F::kPageWidth, s.width);
    v.pageHeight = fieldOr(p, F::kPageHeight, s.height);
  }
  v.margin = printerMarginMm(p);
  v.middleOffset = clampv(fieldOr(p, F::kMiddleOffset, 0), -50.0, 50.0);
  return v;
}

CopyDots copyDots(const Workspace& ws, const CopyValues& v) {
  const double f = ws.shared.dotsPerMm;
  CopyDots d;
  d.margin = nearesti(v.margin * f);
  d.pageWidth = std::max(1, nearesti(v.pageWidth * f));
  d.pageHeight = std::max(1, nearesti(v.pageHeight * f));
  d.frameLeft = nearesti(v.frameLeft * f);
  d.frameTop = nearesti(v.frameTop * f);
  d.frameWidth = std::max(0, nearesti(v.frameWidth * f));
  d.frameHeight = std::max(0, nearesti(v.frameHeight * f));
  d.zoneLeft = nearesti(v.zoneLeft * f);
  d.zoneTop = nearesti(v.zoneTop * f);
  d.sx = std::max(0.01, v.scaleX / 100.0);
  d.sy = std::max(0.01, v.scaleY / 100.0);
  d.a = v.angle / 10000.0;
  return d;
}

void setScaleText(Workspace& ws, const std::string& text) {
  ParamStore& p = ws.params;
  p.setTn(F::kScale, text);
  p.setTn(F::kScaleX, text);
  p.setTn(F::kScaleY, text);
}

void setPageImageSize(Workspace& ws, int which, const std::string& text) {
  ws.params.setTn(which == 0 ? F::kPageWidth : F::kPageHeight, text);
  normalizeCopyFrame(ws);
}

void setStandardPageImage(Workspace& ws) {
  const PaperSize s = standardPageImage(ws.params);
  ws.params.setTn(F::kPageWidth, ws.format(s.width));
  ws.params.setTn(F::kPageHeight, ws.format(s.height));
  normalizeCopyFrame(ws);
}

void normalizeCopyFrame(Workspace& ws, bool keepFrame) {
  ParamStore& p = ws.params;
  ParamStore::QuietScope quiet(p);
  auto fill = [&](int i, const char* text) {
    if (p.tn(i).empty()) p.setTn(i, text);
  };
  fill(F::kZoneLeft, "0");
  fill(F::kZoneTop, "0");
  fill(F::kFrameWidth, "202");
  fill(F::kFrameHeight, "289");
  fill(F::kFrameLeft, "4");
  fill(F::kFrameTop, "4");
  fill(F::kScale, "100");
  fill(F::kScaleX, p.tn(F::kScale).c_str());
  fill(F::kScaleY, p.tn(F::kScale).c_str());
  fill(F::kAngle, "0");
  fill(F::kMargin, "4");
  fill(F::kMiddleOffset, "0");
  if (p.tn(F::kPageWidth).empty() || p.tn(F::kPageHeight).empty()) {
    const PaperSize s = standardPageImage(p);
    fill(F::kPageWidth, ws.format(s.width).c_str());
    fill(F::kPageHeight, ws.format(s.height).c_str());
  }
  if (keepFrame) return;
  // The frame may not reach past the right or bottom edge of the page image.
  const CopyValues v = readCopyValues(ws);
  if (v.frameLeft + v.frameWidth > v.margin + v.pageWidth + 1e-9) {
    const double w = v.margin + v.pageWidth - v.frameLeft;
    if (w > 0) p.setTn(F::kFrameWidth, ws.format(w));
  }
  if (v.frameTop + v.frameHeight > v.margin + v.pageHeight + 1e-9) {
    const double h = v.margin + v.pageHeight - v.frameTop;
    if (h > 0) p.setTn(F::kFrameHeight, ws.format(h));
  }
}

void refreshCopyEnables(Workspace& ws) {
  ParamStore& p = ws.params;
  ParamStore::QuietScope quiet(p);  // a change of the enabled state is not a click
  const bool land = p.check(Check::ChLand);
  p.setEnabled(checkId(Check::ChA3), !land);
  p.setEnabled(checkId(Check::ChForm), !land);
  p.setEnabled(checkId(Check::Ch2in1), !land);
  p.setEnabled(checkId(Check::Ch2origin), !land);
  p.setEnabled(checkId(Check::Ch2of2), p.check(Check::Ch2in1));
  p.setEnabled(checkId(Check::ChBackRotat), p.check(Check::Ch2in1) && p.check(Check::Ch2origin));
}

void applyResolution(Workspace& ws, bool dpi1200) {
  SharedValues& s = ws.shared;
  s.resolution = dpi1200 ? 1200 : 600;
  s.dotsPerMm = dpi1200 ? kDotsPerMm1200 : kDotsPerMm600;
  s.printerMarginDots = static_cast<float>(s.printerMargin * s.dotsPerMm);
  s.printerMarginDotsView = s.printerMarginDots - 15.0f;
}

void switchResolution(Workspace& ws) {
  static thread_local bool inSwitch = false;
  if (inSwitch) return;
  inSwitch = true;
  ParamStore& p = ws.params;
  const bool want = p.check(Check::Ch1200dpi);
  if (remind(p)) {
    const std::string text =
        std::string("Установить разрешение ") + (want ? "1200" : "600") + " dpi ?";
    if (ws.prompts->ask(text, Buttons::YesNo, Icon::Exclamation, Answer::Yes) == Answer::No) {
      ParamStore::QuietScope quiet(p);
      p.setCheck(Check::Ch1200dpi, !want);
      inSwitch = false;
      return;
    }
  }
  applyResolution(ws, want);
  // The page image is begun anew at the new resolution; lengths are held in millimetres
  // and turned into dots at each use, so the whole set follows the new factor.
  CopyState& st = copyState(ws);
  ws.page.release();
  st.pageDpi = 0;
  st.freshCopy = false;
  st.copyMade = false;
  inSwitch = false;
}

namespace {

void onLandscape(Workspace& ws) {
  ParamStore& p = ws.params;
  CopyState& st = copyState(ws);
  const bool land = p.check(Check::ChLand);
  // Whether the page image was standard in the orientation just left.
  bool wasStandard;
  {
    ParamStore::QuietScope quiet(p);
    p.setCheck(Check::ChLand, !land);
    wasStandard = isPageImageStandard(ws);
    p.setCheck(Check::ChLand, land);
  }
  if (land) {
    ParamStore::QuietScope quiet(p);
    p.setCheck(Check::ChA3, false);
    p.setCheck(Check::ChForm, false);
    p.setCheck(Check::Ch2in1, false);
    p.setCheck(Check::Ch2of2, false);
    p.setCheck(Check::ChBackRotat, false);
    if (!st.copyAsIsRunning && st.batchRunning) stopBatch(ws);  // a landscape page stops the batch
  }
  if (wasStandard) setStandardPageImage(ws);
  refreshCopyEnables(ws);
}

void onTwoInOne(Workspace& ws) {
  ParamStore& p = ws.params;
  ParamStore::QuietScope quiet(p);
  if (p.check(Check::Ch2in1)) {
    p.setChb(C::kMultiCopy, false);
    p.setChb(C::kFourInOne, false);
    copyState(ws).quadrant = 0;
  } else {
    p.setCheck(Check::Ch2of2, false);
    p.setCheck(Check::ChBackRotat, false);
  }
  refreshCopyEnables(ws);
}

void onTwoOriginals(Workspace& ws) {
  ParamStore& p = ws.params;
  if (p.check(Check::Ch2origin) && !p.check(Check::Ch2in1)) {
    p.setCheck(Check::Ch2in1, true);  // runs the 2-in-1 handling
  }
  if (!p.check(Check::Ch2origin)) {
    ParamStore::QuietScope quiet(p);
    p.setCheck(Check::ChBackRotat, false);
  }
  refreshCopyEnables(ws);
}

void onForm(Workspace& ws) {
  ParamStore& p = ws.params;
  p.setCaption(namedLabelId(NamedLabel::LabMode), p.check(Check::ChForm) ? "Форма" : "Копия");
  if (p.check(Check::ChForm)) {
    ParamStore::QuietScope quiet(p);
    p.setCheck(Check::ChMirror, false);
  }
  setStandardPageImage(ws);
}

void onFourInOne(Workspace& ws) {
  ParamStore& p = ws.params;
  if (p.chb(C::kFourInOne)) {
    ParamStore::QuietScope quiet(p);
    p.setCheck(Check::Ch2in1, false);
    p.setCheck(Check::Ch2of2, false);
    p.setCheck(Check::ChBackRotat, false);
    refreshCopyEnables(ws);
  } else {
    copyState(ws).quadrant = 0;
  }
}

void onMultiCopy(Workspace& ws) {
  ParamStore& p = ws.params;
  if (p.chb(C::kMultiCopy)) {
    ParamStore::QuietScope quiet(p);
    p.setCheck(Check::Ch2in1, false);
    p.setCheck(Check::Ch2of2, false);
    p.setCheck(Check::ChBackRotat, false);
    refreshCopyEnables(ws);
  }
}

void onMargin(Workspace& ws) {
  SharedValues& s = ws.shared;
  s.printerMargin = static_cast<float>(printerMarginMm(ws.params));
  s.printerMarginDots = static_cast<float>(s.printerMargin * s.dotsPerMm);
  s.printerMarginDotsView = s.printerMarginDots - 15.0f;
}

void clampField(Workspace& ws, int i, double low, double high, bool integer) {
  ParamStore& p = ws.params;
  if (p.tn(i).empty()) return;
  const double v = p.tnValue(i);
  double c = clampv(v, low, high);
  if (integer) c = static_cast<double>(nearest(c));
  if (c != v) {
    ParamStore::QuietScope quiet(p);
    p.setTn(i, ws.format(c));
  }
}

}  // namespace

void registerCopyHandlers(Workspace& ws) {
  ParamStore& p = ws.params;
  Workspace* w = &ws;
  p.setHandler(checkId(Check::ChLand), [w](const ControlId&) { onLandscape(*w); });
  p.setHandler(checkId(Check::Ch2in1), [w](const ControlId&) { onTwoInOne(*w); });
  p.setHandler(checkId(Check::Ch2origin), [w](const ControlId&) { onTwoOriginals(*w); });
  p.setHandler(checkId(Check::ChForm), [w](const ControlId&) { onForm(*w); });
  p.setHandler(checkId(Check::Ch2of2), [w](const ControlId&) {
    restoreRememberedZone(*w);
    autoPlaceZone(*w);
  });
  p.setHandler(checkId(Check::Ch1200dpi), [w](const ControlId&) { switchResolution(*w); });
  p.setHandler(chbId(C::kFourInOne), [w](const ControlId&) { onFourInOne(*w); });
  p.setHandler(chbId(C::kMultiCopy), [w](const ControlId&) { onMultiCopy(*w); });
  p.setHandler(tnId(F::kScale), [w](const ControlId&) {
    const std::string t = w->params.tn(F::kScale);
    ParamStore::QuietScope quiet(w->params);
    w->params.setTn(F::kScaleX, t);
    w->params.setTn(F::kScaleY, t);
  });
  p.setHandler(tnId(F::kAngle), [w](const ControlId&) { clampField(*w, F::kAngle, -5000, 5000, true); });
  p.setHandler(tnId(F::kMiddleOffset),
               [w](const ControlId&) { clampField(*w, F::kMiddleOffset, -50, 50, false); });
  p.setHandler(tnId(F::kMargin), [w](const ControlId&) {
    clampField(*w, F::kMargin, 0, 10, false);
    onMargin(*w);
  });
  for (int i : {F::kFrameLeft, F::kFrameTop, F::kFrameWidth, F::kFrameHeight, F::kPageWidth,
                F::kPageHeight})
    p.setHandler(tnId(i), [w](const ControlId&) { normalizeCopyFrame(*w); });
  normalizeCopyFrame(ws);
  onMargin(ws);
  refreshCopyEnables(ws);
}

}  // namespace quillaro
