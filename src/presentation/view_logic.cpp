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
