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
  double sx = fieldOr(p, 60, 100.0) / 100.0, sy = fieldOr(p, 61, 100.0) / 100.0;
  if (sx <= 0) sx = 1.0;
  if (sy <= 0) sy = 1.0;
  return {fieldOr(p, 20, 0) * d, fieldOr(p, 21, 0) * d, fieldOr(p, 18, 202) * d / sx,
          fieldOr(p, 19, 289) * d / sy};
}

PixRect drawingRect(const ParamStore& p, double d) {
  return {fieldOr(p, 24, 0) * d, fieldOr(p, 25, 0) * d, fieldOr(p, 26, 0) * d,
          fieldOr(p, 27, 0) * d};
}

void setDrawingRect(ParamStore& p, const PixRect& r, double d, int decimals) {
  if (d <= 0) return;
  p.setTn(24, formatNumber(r.x / d, decimals));
  p.setTn(25, formatNumber(r.y / d, decimals));
  p.setTn(26, formatNumber(r.w / d, decimals));
  p.setTn(27, formatNumber(r.h / d, decimals));
}

void setCopyZoneOrigin(ParamStore& p, double x, double y, double d, int decimals) {
  if (d <= 0) return;
  p.setTn(20, formatNumber(x / d, decimals));
  p.setTn(21, formatNumber(y / d, decimals));
}

}  // namespace quillaro
