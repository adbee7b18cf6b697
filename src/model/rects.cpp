#include "model/rects.h"

#include "base/fields.h"
#include "model/param_store.h"

namespace quillaro {

namespace {

double fieldOr(const ParamStore& p, int i, double fallback) {
  return p.tn(i).empty() ? fallback : p.tnValue(i);
}

}  // namespace

PixRect copyZoneRect(const ParamStore& p, double d) {
  double sx = fieldOr(p, field::kScaleX, 100.0) / 100.0, sy = fieldOr(p, field::kScaleY, 100.0) / 100.0;
  if (sx <= 0) sx = 1.0;
  if (sy <= 0) sy = 1.0;
  return {fieldOr(p, field::kZoneLeft, 0) * d, fieldOr(p, field::kZoneTop, 0) * d,
          fieldOr(p, field::kFrameWidth, 202) * d / sx, fieldOr(p, field::kFrameHeight, 289) * d / sy};
}

PixRect drawingRect(const ParamStore& p, double d) {
  return {fieldOr(p, field::kDrawLeft, 0) * d, fieldOr(p, field::kDrawTop, 0) * d,
          fieldOr(p, field::kDrawWidth, 0) * d, fieldOr(p, field::kDrawHeight, 0) * d};
}

void setDrawingRect(ParamStore& p, const PixRect& r, double d, int decimals) {
  if (d <= 0) return;
  p.setTn(field::kDrawLeft, formatNumber(r.x / d, decimals));
  p.setTn(field::kDrawTop, formatNumber(r.y / d, decimals));
  p.setTn(field::kDrawWidth, formatNumber(r.w / d, decimals));
  p.setTn(field::kDrawHeight, formatNumber(r.h / d, decimals));
}

void setCopyZoneOrigin(ParamStore& p, double x, double y, double d, int decimals) {
  if (d <= 0) return;
  p.setTn(field::kZoneLeft, formatNumber(x / d, decimals));
  p.setTn(field::kZoneTop, formatNumber(y / d, decimals));
}

}  // namespace quillaro
