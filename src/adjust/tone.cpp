#include "adjust/tone.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "actions/fields.h"
#include "adjust/to1bit.h"
#include "app/numeric.h"

namespace quillaro {

namespace {

// Nearest integer of a real, held at the limits of int; NaN gives 0.
int nearestSaturated(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(nearest(v));
}

int saturate(long long v) {
  return static_cast<int>(clampv<long long>(v, INT_MIN, INT_MAX));
}

// A grey value from a real: clamp(nearest(v), 0, 255) without converting values that
// are far out of range (or NaN) to an integer first.
int clampedGrey(double v) {
  if (!(v > -1.0)) return 0;  // also NaN
  if (v >= 256.0) return 255;
  return clampv(static_cast<int>(nearest(v)), 0, 255);
}

// The weighted sum of a colour pixel, 0.1 x blue + 0.6 x green + 0.3 x red, is computed
// in double precision as the definition says, but the work per pixel is mostly integer:
// with n = blue + 6 x green + 3 x red the exact sum is n / 10, and the double sum differs
// from it by far less than 0.01. So the nearest integer is (n + 5) / 10 unless n ends in
// 5 (an exact half, where the rounding of the double sum decides), and the sum is below
// a threshold t exactly when n < 10 t unless n = 10 t. Only those pixels take the double
// sum, from tables of the products, which give the same doubles as multiplying.
struct WeightTables {
  double tenth[256];  // 0.1 x v
  double sixth[256];  // 0.6 x v (six tenths)
  double third[256];  // 0.3 x v (three tenths)
  // For n = 0 .. 2550: (n + 5) / 10, plus 256 when n ends in 5.
  std::uint16_t rounded[2551];
  WeightTables() {
    for (int v = 0; v < 256; ++v) {
      tenth[v] = 0.1 * v;
      sixth[v] = 0.6 * v;
      third[v] = 0.3 * v;
    }
    for (int n = 0; n <= 2550; ++n)
      rounded[n] = static_cast<std::uint16_t>((n + 5) / 10 + (n % 10 == 5 ? 256 : 0));
  }
  // nearest(0.1 x blue + 0.6 x green + 0.3 x red), summed in that order.
  int greyAtHalf(const std::uint8_t* bgr) const {
    return static_cast<int>(nearest(tenth[bgr[0]] + sixth[bgr[1]] + third[bgr[2]]));
  }
  // 0.6 x green + 0.1 x blue + 0.3 x red < t, summed in that order.
  bool blackAtEdge(const std::uint8_t* bgr, double t) const {
    return sixth[bgr[1]] + tenth[bgr[0]] + third[bgr[2]] < t;
  }
};

inline int weightedTenths(const std::uint8_t* bgr) { return bgr[0] + 6 * bgr[1] + 3 * bgr[2]; }

const WeightTables& weights() {
  static const WeightTables w;
  return w;
}

bool rowSpan(const Bitmap& picture, const PixelRect& rect, PixelRect& clipped) {
  if (picture.empty() || picture.width <= 0 || picture.height <= 0) return false;
  clipped = clipToPicture(rect, picture.width, picture.height);
  return !clipped.empty();
}

void mapBytes(std::uint8_t* p, std::size_t n, const std::uint8_t* map) {
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const std::uint8_t a = map[p[i]], b = map[p[i + 1]], c = map[p[i + 2]], d = map[p[i + 3]];
    p[i] = a;
    p[i + 1] = b;
    p[i + 2] = c;
    p[i + 3] = d;
  }
  for (; i < n; ++i) p[i] = map[p[i]];
}

void mapColourPixels(std::uint8_t* p, int count, const ToneMap& tone) {
  const std::uint8_t* map = tone.channel.data();
  const bool keepBlack = !tone.correctBlack;
  const bool keepWhite = !tone.correctWhite;
  for (int i = 0; i < count; ++i, p += 3) {
    const std::uint8_t b = p[0], g = p[1], r = p[2];
    if (keepBlack && (b | g | r) == 0) continue;
    if (keepWhite && (b & g & r) == 255) continue;
    p[0] = map[b];
    p[1] = map[g];
    p[2] = map[r];
  }
}

}  // namespace

PixelRect selectionPixels(double x, double y, double w, double h) {
  PixelRect r;
  r.left = nearestSaturated(x);
  r.right = nearestSaturated(x + w - 1.0);
  r.top = nearestSaturated(y);
  r.bottom = saturate(static_cast<long long>(r.top) + nearestSaturated(h - 1.0));
  return r;
}

PixelRect clipToPicture(const PixelRect& rect, int width, int height) {
  PixelRect r = rect;
  if (r.left < 0) r.left = 0;
  if (r.top < 0) r.top = 0;
  if (r.right > width - 1) r.right = width - 1;
  if (r.bottom > height - 1) r.bottom = height - 1;
  return r;
}

PixelRect wholePicture(const Bitmap& picture) {
  return PixelRect{0, 0, picture.width - 1, picture.height - 1};
}

// ---- Tone map -----------------------------------------------------------------------

int toneValue(int p, float contrast, int brightness) {
  const double v = static_cast<double>(p) * static_cast<double>(contrast) +
                   static_cast<double>(brightness);
  return clampedGrey(v);
}

bool toneIsOff(float contrast, int brightness) { return contrast == 1.0f && brightness == 0; }

ToneMap makeToneMap(float contrast, int brightness, bool correctBlack, bool correctWhite) {
  ToneMap t;
  t.correctBlack = correctBlack;
  t.correctWhite = correctWhite;
  t.identity = true;
  for (int v = 0; v < 256; ++v) {
    t.channel[v] = static_cast<std::uint8_t>(toneValue(v, contrast, brightness));
    if (t.channel[v] != v) t.identity = false;
  }
  t.grey = t.channel;
  if (!correctBlack) t.grey[0] = 0;
  if (!correctWhite) t.grey[255] = 255;
  return t;
}

ToneMap identityToneMap() { return makeToneMap(1.0f, 0, false, false); }

bool applyTone(Bitmap& picture, const PixelRect& rect, const ToneMap& tone) {
  if (picture.bits != 8 && picture.bits != 24) return false;
  PixelRect c;
  if (!rowSpan(picture, rect, c)) return false;
  if (tone.identity) return true;
  const int count = c.right - c.left + 1;
  for (int r = c.top; r <= c.bottom; ++r) {
    std::uint8_t* row = picture.row(r);
    if (picture.bits == 8) {
      mapBytes(row + c.left, static_cast<std::size_t>(count), tone.grey.data());
    } else {
      mapColourPixels(row + 3 * static_cast<std::size_t>(c.left), count, tone);
    }
  }
  return true;
}

bool applyTone(Bitmap& picture, const ToneMap& tone) {
  return applyTone(picture, wholePicture(picture), tone);
}

// ---- Contrast relative to white -------------------------------------------------------

int darkRelWhiteOffset(float kw) {
  return nearestSaturated((static_cast<double>(kw) - 1.0) * -255.0);
}

int darkRelWhiteValue(int p, float kw) {
  // White stays white for every kw. By the formula alone it would not when the offset is
  // rounded from an exact half (kw = 1.5 gives 382.5 - 128 = 254.5, i.e. 254).
  if (p == 255) return 255;
  const double v = static_cast<double>(p) * static_cast<double>(kw) +
                   static_cast<double>(darkRelWhiteOffset(kw));
  return clampedGrey(v);
}

bool darkRelWhite(Bitmap& picture, const PixelRect& rect, float kw) {
  if (picture.bits != 8) return false;
  PixelRect c;
  if (!rowSpan(picture, rect, c)) return false;
  std::uint8_t map[256];
  bool identity = true;
  for (int v = 0; v < 256; ++v) {
    map[v] = static_cast<std::uint8_t>(darkRelWhiteValue(v, kw));
    if (map[v] != v) identity = false;
  }
  if (identity) return true;
  const std::size_t count = static_cast<std::size_t>(c.right - c.left + 1);
  for (int r = c.top; r <= c.bottom; ++r) mapBytes(picture.row(r) + c.left, count, map);
  return true;
}

// ---- Colour to grey and to black and white ---------------------------------------------

int greyOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red, GreyReduction mode) {
  if (mode == GreyReduction::Green) return green;
  return static_cast<int>(nearest(0.1 * blue + 0.6 * green + 0.3 * red));
}

bool isBlackAt(std::uint8_t blue, std::uint8_t green, std::uint8_t red, GreyReduction mode,
               int threshold) {
  if (mode == GreyReduction::Green) return green < threshold;
  return 0.6 * green + 0.1 * blue + 0.3 * red < static_cast<double>(threshold);
}

void greyRowFrom24(const std::uint8_t* bgr, int width, std::uint8_t* out, GreyReduction mode,
                   const ToneMap& tone) {
  if (!bgr || !out || width <= 0) return;
  const std::uint8_t* map = tone.grey.data();
  if (mode == GreyReduction::Green) {
    for (int x = 0; x < width; ++x) out[x] = map[bgr[3 * x + 1]];
    return;
  }
  const WeightTables& w = weights();
  for (int x = 0; x < width; ++x, bgr += 3) {
    int g = w.rounded[weightedTenths(bgr)];
    if (g > 255) g = w.greyAtHalf(bgr);
    out[x] = map[g];
  }
}

void bitRowFrom24(const std::uint8_t* bgr, int width, std::uint8_t* out, GreyReduction mode,
                  int threshold) {
  if (!bgr || !out || width <= 0) return;
  // Every value is at least 0, and every weighted sum below 256.
  if (bitRowForExtremeThreshold(out, width, threshold)) return;
  const int full = width / 8;
  const int rest = width % 8;
  if (mode == GreyReduction::Green) {
    const std::uint8_t* g = bgr + 1;
    for (int i = 0; i < full; ++i, g += 24) {
      unsigned byte = 0;
      for (int k = 0; k < 8; ++k) byte = (byte << 1) | (g[3 * k] >= threshold ? 1u : 0u);
      out[i] = static_cast<std::uint8_t>(byte);
    }
    if (rest) {
      unsigned byte = 0xFFu;
      for (int k = 0; k < rest; ++k)
        if (g[3 * k] < threshold) byte &= ~(0x80u >> k);
      out[full] = static_cast<std::uint8_t>(byte);
    }
    return;
  }
  const WeightTables& w = weights();
  const double t = static_cast<double>(threshold);
  const int edge = 10 * threshold;
  // 1 for white: n > 10 t, or n = 10 t and the double sum is not below t.
  auto whiteBit = [&](const std::uint8_t* px) -> unsigned {
    const int d = weightedTenths(px) - edge;
    if (d == 0) return w.blackAtEdge(px, t) ? 0u : 1u;
    return d > 0 ? 1u : 0u;
  };
  const std::uint8_t* p = bgr;
  for (int i = 0; i < full; ++i) {
    unsigned byte = 0;
    for (int k = 0; k < 8; ++k, p += 3) byte = (byte << 1) | whiteBit(p);
    out[i] = static_cast<std::uint8_t>(byte);
  }
  if (rest) {
    unsigned byte = 0xFFu;
    for (int k = 0; k < rest; ++k, p += 3)
      if (!whiteBit(p)) byte &= ~(0x80u >> k);
    out[full] = static_cast<std::uint8_t>(byte);
  }
}

// ---- Popup menu items ------------------------------------------------------------------

std::string brightnessMenuCaption(std::string_view brightnessText, std::string_view contrastText) {
  std::string s = "Яркость ";
  // A text that already carries its own "+" is not given a second one.
  const std::size_t first = brightnessText.find_first_not_of(' ');
  const bool hasPlus = first != std::string_view::npos && brightnessText[first] == '+';
  if (!hasPlus && parseNumber(brightnessText) > 0) s += '+';
  s += brightnessText;
  s += ", контрастность * ";
  s += contrastText;
  s += ",  <K>";
  return s;
}

bool brightnessMenuEnabled(int bits, std::string_view brightnessText,
                           std::string_view contrastText) {
  return contrastMenuEnabled(bits) && (contrastText != "1" || brightnessText != "0");
}

std::string contrastMenuCaption(std::string_view contrastWhiteText) {
  std::string s = "Контрастность * ";
  s += contrastWhiteText;
  s += ",  <*>";
  return s;
}

bool contrastMenuEnabled(int bits) { return bits == 8 || bits == 24; }

}  // namespace quillaro
