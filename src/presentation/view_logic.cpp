#include "presentation/view_logic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/fields.h"
#include "model/param_store.h"
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

ViewMapping zoomAround(const ViewMapping& m, double factor, double vx, double vy) {
  ViewMapping z = m;
  if (m.scale <= 0 || !(factor > 0)) return z;
  z.scale = std::clamp(m.scale * factor, kMinZoom, kMaxZoom);
  const double px = m.toPictureX(vx), py = m.toPictureY(vy);
  z.offsetX = vx - px * z.scale;
  z.offsetY = vy - py * z.scale;
  return z;
}

namespace {
double keepAxis(double offset, double pictureLength, double viewLength) {
  if (pictureLength <= viewLength) return (viewLength - pictureLength) / 2.0;
  return std::clamp(offset, viewLength - pictureLength, 0.0);
}
}  // namespace

ViewMapping keepInView(const ViewMapping& m, int pw, int ph, int vw, int vh) {
  ViewMapping k = m;
  k.offsetX = keepAxis(m.offsetX, pw * m.scale, vw);
  k.offsetY = keepAxis(m.offsetY, ph * m.scale, vh);
  return k;
}

ViewMapping actualSize(double pixelRatio, double px, double py, double vx, double vy) {
  ViewMapping m;
  m.scale = pixelRatio > 0 ? 1.0 / pixelRatio : 1.0;
  m.offsetX = vx - px * m.scale;
  m.offsetY = vy - py * m.scale;
  return m;
}

Handle handleAt(const PixRect& r, double x, double y, double reach) {
  if (r.empty()) return Handle::None;
  const double right = r.x + r.w, bottom = r.y + r.h;
  const bool inX = x >= r.x - reach && x <= right + reach;
  const bool inY = y >= r.y - reach && y <= bottom + reach;
  if (!inX || !inY) return Handle::None;
  const bool left = std::abs(x - r.x) <= reach, rightEdge = std::abs(x - right) <= reach;
  const bool top = std::abs(y - r.y) <= reach, bottomEdge = std::abs(y - bottom) <= reach;
  if (top && left) return Handle::TopLeft;
  if (top && rightEdge) return Handle::TopRight;
  if (bottomEdge && left) return Handle::BottomLeft;
  if (bottomEdge && rightEdge) return Handle::BottomRight;
  if (left) return Handle::Left;
  if (rightEdge) return Handle::Right;
  if (top) return Handle::Top;
  if (bottomEdge) return Handle::Bottom;
  const bool inside = x > r.x && x < right && y > r.y && y < bottom;
  return inside ? Handle::Move : Handle::None;
}

PixRect dragHandle(const PixRect& s, Handle h, double dx, double dy, double minSide) {
  if (h == Handle::Move) return {s.x + dx, s.y + dy, s.w, s.h};
  double left = s.x, top = s.y, right = s.x + s.w, bottom = s.y + s.h;
  const bool movesLeft = h == Handle::Left || h == Handle::TopLeft || h == Handle::BottomLeft;
  const bool movesRight = h == Handle::Right || h == Handle::TopRight || h == Handle::BottomRight;
  const bool movesTop = h == Handle::Top || h == Handle::TopLeft || h == Handle::TopRight;
  const bool movesBottom = h == Handle::Bottom || h == Handle::BottomLeft || h == Handle::BottomRight;
  if (movesLeft) left = std::min(left + dx, right - minSide);
  if (movesRight) right = std::max(right + dx, left + minSide);
  if (movesTop) top = std::min(top + dy, bottom - minSide);
  if (movesBottom) bottom = std::max(bottom + dy, top + minSide);
  return {left, top, right - left, bottom - top};
}

void setCopyZone(ParamStore& p, const PixRect& r, double d, int decimals) {
  if (d <= 0) return;
  const auto scale = [&p](int f) {
    const double v = p.tn(f).empty() ? 100.0 : p.tnValue(f);
    return v > 0 ? v / 100.0 : 1.0;
  };
  setCopyZoneOrigin(p, r.x, r.y, d, decimals);
  p.setTn(field::kFrameWidth, formatNumber(r.w / d * scale(field::kScaleX), decimals));
  p.setTn(field::kFrameHeight, formatNumber(r.h / d * scale(field::kScaleY), decimals));
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
