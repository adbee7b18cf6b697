#include "app/view_logic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "actions/fields.h"
#include "app/param_store.h"
#include "image/bitmap.h"

namespace quillaro {

std::string pointerMmText(double p, double dotsPerMm, int decimals) {
  if (dotsPerMm <= 0) return "0";
  return formatNumber(std::floor(p * 10.0 / dotsPerMm + 0.5) / 10.0, decimals);
}

std::optional<std::string> pointerValueText(const Bitmap& picture, int x, int y) {
  if (picture.empty() || !picture.contains(x, y)) return std::nullopt;
  if (picture.bits == 8) return "Яркость =" + std::to_string(picture.grey(x, y));
  if (picture.bits == 24) {
    const Rgb c = picture.rgb(x, y);
    return "RGB " + std::to_string(c.red) + " " + std::to_string(c.green) + " " +
           std::to_string(c.blue);
  }
  return std::nullopt;
}

const char* copiesNoun(int n) {
  n = std::abs(n);
  const int lastTwo = n % 100;
  if (lastTwo >= 10 && lastTwo <= 19) return "копий";
  switch (n % 10) {
    case 1: return "копию";
    case 2: case 3: case 4: return "копии";
    default: return "копий";
  }
}

std::string dotsMmText(long long dots, double dotsPerMm, int decimals) {
  std::string mm = formatNumber(dotsPerMm > 0 ? static_cast<double>(dots) / dotsPerMm : 0.0, decimals);
  const std::size_t point = mm.find('.');
  if (point != std::string::npos && mm.size() > point + 3) mm.resize(point + 3);
  return std::to_string(dots) + " точек, " + mm + " мм";
}

bool Magnifier::tick(int x, int y) {
  if (shown_) return false;
  if (x != lastX_ || y != lastY_) counter_ = 0;
  if (std::abs(x - lastX_) < 1000 && std::abs(y - lastY_) < 1000) ++counter_;
  else counter_ = 5;
  lastX_ = x;
  lastY_ = y;
  if (counter_ == 4) {
    shown_ = true;
    return true;
  }
  return false;
}

ViewMapping fitPicture(int pw, int ph, int vw, int vh, FitMode mode, double scroll,
                       double sheetW, double sheetH) {
  ViewMapping m;
  if (pw <= 0 || ph <= 0 || vw <= 0 || vh <= 0) return m;
  switch (mode) {
    case FitMode::Window:
      m.scale = std::min(static_cast<double>(vw) / pw, static_cast<double>(vh) / ph);
      break;
    case FitMode::Width: {
      m.scale = static_cast<double>(vw) / pw;
      const double maxScroll = std::max(0.0, ph - vh / m.scale);
      m.offsetY = -std::clamp(scroll, 0.0, maxScroll) * m.scale;
      return m;
    }
    case FitMode::Sheet: {
      const double w = std::max<double>(pw, sheetW), h = std::max<double>(ph, sheetH);
      m.scale = std::min(vw / w, vh / h);
      break;
    }
  }
  m.offsetX = (vw - pw * m.scale) / 2.0;
  m.offsetY = (vh - ph * m.scale) / 2.0;
  if (mode == FitMode::Sheet) m.offsetX = m.offsetY = 0;
  return m;
}

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

std::string stepField(const std::string& text, int tenths, int decimals) {
  std::string t = text;
  std::replace(t.begin(), t.end(), ',', '.');
  const double v = parseNumber(t) * 10.0 + tenths;
  return formatNumber(v / 10.0, decimals);
}

MenuStates menuStatesFor(int bits) {
  MenuStates s;
  s.lineWidth = bits == 1;
  // Conversion to 1 bit applies to grey and colour pictures (a 1-bit one has nothing to
  // convert).
  s.to1bit = s.tone = bits == 8 || bits == 24;
  return s;
}

}  // namespace quillaro
