#include "kernels/mask.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/numeric.h"
#include "base/tables.h"
#include "image/bitmap.h"

namespace quillaro {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}


MaskArea clipArea(const MaskArea& a, int width, int height) {
  MaskArea c = a;
  c.left = std::max(c.left, 0);
  c.top = std::max(c.top, 0);
  c.right = std::min(c.right, width - 1);
  c.bottom = std::min(c.bottom, height - 1);
  return c;
}

// Bits of positions 0..p of a byte (the right edge of a span ending at position p).
std::uint8_t throughMask(const Tables& t, int p) {
  return p == 7 ? std::uint8_t{0xFF} : t.headMask[p + 1];
}

// Sixteen bytes at a time (plain SSE2 on x86-64; GCC and Clang vector extensions).
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));

Bytes16 load16(const std::uint8_t* p) {
  Bytes16 v;
  std::memcpy(&v, p, 16);
  return v;
}
void store16(std::uint8_t* p, Bytes16 v) { std::memcpy(p, &v, 16); }

// ORs the pattern byte into pixels x0..x1 (inclusive, inside the row) of a 1-bit row.
void orSpan(std::uint8_t* row, int x0, int x1, std::uint8_t pattern, const Tables& t) {
  if (pattern == 0 || x1 < x0) return;
  const int b0 = x0 >> 3;
  const int b1 = x1 >> 3;
  const std::uint8_t lm = t.tailMask[x0 & 7];
  const std::uint8_t rm = throughMask(t, x1 & 7);
  if (b0 == b1) {
    row[b0] |= static_cast<std::uint8_t>(pattern & lm & rm);
    return;
  }
  row[b0] |= static_cast<std::uint8_t>(pattern & lm);
  int b = b0 + 1;
  for (; b + 16 <= b1; b += 16) store16(row + b, load16(row + b) | pattern);
  for (; b < b1; ++b) row[b] |= pattern;
  row[b1] |= static_cast<std::uint8_t>(pattern & rm);
}

// As orSpan, then ANDed with the background row within the span: (pixel | pattern) & bg.
void orSpanOnBackground(std::uint8_t* row, const std::uint8_t* bg, int x0, int x1,
                        std::uint8_t pattern, const Tables& t) {
  if (x1 < x0) return;
  const int b0 = x0 >> 3;
  const int b1 = x1 >> 3;
  auto edge = [&](int b, std::uint8_t m) {
    const std::uint8_t inside = static_cast<std::uint8_t>((row[b] | pattern) & bg[b] & m);
    row[b] = static_cast<std::uint8_t>((row[b] & ~m) | inside);
  };
  const std::uint8_t lm = t.tailMask[x0 & 7];
  const std::uint8_t rm = throughMask(t, x1 & 7);
  if (b0 == b1) {
    edge(b0, static_cast<std::uint8_t>(lm & rm));
    return;
  }
  edge(b0, lm);
  int b = b0 + 1;
  for (; b + 16 <= b1; b += 16) store16(row + b, (load16(row + b) | pattern) & load16(bg + b));
  for (; b < b1; ++b) row[b] = static_cast<std::uint8_t>((row[b] | pattern) & bg[b]);
  edge(b1, rm);
}

void mask1(Bitmap& bm, const MaskArea& a, MaskPattern pattern, const Bitmap* background) {
  const Tables& t = tables();
  std::array<std::uint8_t, 4> bytes{};
  for (int r = 0; r < 4; ++r) bytes[static_cast<std::size_t>(r)] = pattern.rowByte(r);
  for (int y = a.top; y <= a.bottom; ++y) {
    const std::uint8_t pb = bytes[static_cast<std::size_t>(y & 3)];
    if (background)
      orSpanOnBackground(bm.row(y), background->row(y), a.left, a.right, pb, t);
    else
      orSpan(bm.row(y), a.left, a.right, pb, t);
  }
}

void mask8(Bitmap& bm, const MaskArea& a, MaskPattern pattern, bool onGrey) {
  const std::size_t n = static_cast<std::size_t>(a.right - a.left + 1);
  if (pattern.whitensAll()) {
    for (int y = a.top; y <= a.bottom; ++y) std::memset(bm.row(y) + a.left, 0xFF, n);
    return;
  }
  if (pattern.count() == 0) return;
  for (int y = a.top; y <= a.bottom; ++y) {
    const int patternRow = ((y - a.anchorTop) % 4 + 4) % 4;
    const int digit = pattern.rowDigit(patternRow);
    if (digit == 0) continue;
    // 0xFF under the whitened cells, lined up with the columns from a.left on.
    std::uint8_t cellBytes[16];
    for (int i = 0; i < 16; ++i)
      cellBytes[i] = (digit & (8 >> ((a.left + i) & 3))) ? 0xFF : 0x00;
    const Bytes16 cells = load16(cellBytes);
    std::uint8_t* p = bm.row(y);
    int x = a.left;
    for (; x + 16 <= a.right + 1; x += 16) {
      const Bytes16 v = load16(p + x);
      const Bytes16 hit = onGrey ? cells : cells & (Bytes16)(v == 0);
      store16(p + x, v | hit);
    }
    for (; x <= a.right; ++x) {
      if (!(digit & (8 >> (x & 3)))) continue;
      const std::uint8_t v = p[x];
      if (onGrey ? v != 0xFF : v == 0) p[x] = 0xFF;
    }
  }
}

void mask24(Bitmap& bm, const MaskArea& a, MaskPattern pattern) {
  if (!pattern.whitensAll()) return;
  const std::size_t from = 3 * static_cast<std::size_t>(a.left);
  const std::size_t n = 3 * static_cast<std::size_t>(a.right - a.left + 1);
  for (int y = a.top; y <= a.bottom; ++y) std::memset(bm.row(y) + from, 0xFF, n);
}

}  // namespace

// ---------------------------------------------------------------------------------------

std::optional<MaskPattern> MaskPattern::fromText(std::string_view text) {
  if (text.size() != 4) return std::nullopt;
  unsigned v = 0;
  for (char c : text) {
    const int d = hexValue(c);
    if (d < 0) return std::nullopt;
    v = v * 16 + static_cast<unsigned>(d);
  }
  return MaskPattern(static_cast<std::uint16_t>(v));
}

MaskPattern MaskPattern::level(int n) {
  const auto& levels = tables().maskLevels;
  const auto p = fromText(levels[static_cast<std::size_t>(clampv(n, 0, 15))]);
  return p ? *p : MaskPattern();
}

bool MaskPattern::assign(std::string_view text) {
  const auto p = fromText(text);
  if (!p) return false;
  *this = *p;
  return true;
}

std::string MaskPattern::text() const {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s(4, '0');
  for (int r = 0; r < 4; ++r) s[static_cast<std::size_t>(r)] = kDigits[rowDigit(r)];
  return s;
}

std::string MaskPattern::caption() const {
  return text() + " " + std::to_string(count()) + "/16";
}

int MaskPattern::count() const { return std::popcount(static_cast<unsigned>(cells_)); }

int MaskPattern::rowDigit(int row) const { return (cells_ >> (12 - 4 * (row & 3))) & 0xF; }

bool MaskPattern::cell(int row, int column) const {
  return (rowDigit(row) & (8 >> (column & 3))) != 0;
}

void MaskPattern::setCell(int row, int column, bool whitened) {
  const unsigned bit = 1u << (15 - 4 * (row & 3) - (column & 3));
  cells_ = static_cast<std::uint16_t>(whitened ? (cells_ | bit) : (cells_ & ~bit));
}

void MaskPattern::toggle(int row, int column) { setCell(row, column, !cell(row, column)); }

// ---------------------------------------------------------------------------------------

bool MaskEditor::cellAt(double x, double y, int& row, int& column) {
  const int ux = pixelCoord(x);
  const int uy = pixelCoord(y);
  const int side = 4 * kMaskEditorCellUnits;
  if (ux < 0 || uy < 0 || ux >= side || uy >= side) return false;
  column = ux / kMaskEditorCellUnits;
  row = uy / kMaskEditorCellUnits;
  return true;
}

bool MaskEditor::leftDown(MaskPattern& pattern, double x, double y) {
  int row = 0, column = 0;
  if (!cellAt(x, y, row, column)) return false;
  pattern.toggle(row, column);
  painting_ = true;
  paintState_ = pattern.cell(row, column);
  paintRow_ = row;
  paintColumn_ = column;
  return true;
}

bool MaskEditor::leftDrag(MaskPattern& pattern, double x, double y) {
  int row = 0, column = 0;
  if (!painting_ || !cellAt(x, y, row, column)) return false;
  if (row == paintRow_ && column == paintColumn_) return false;
  paintRow_ = row;
  paintColumn_ = column;
  if (pattern.cell(row, column) == paintState_) return false;
  pattern.setCell(row, column, paintState_);
  return true;
}

void MaskEditor::rightDown(const MaskPattern& pattern, double x, double y) {
  levelling_ = true;
  startCount_ = pattern.count();
  startX_ = x;
  startY_ = y;
}

int MaskEditor::rightDrag(MaskPattern& pattern, double x, double y) {
  if (!levelling_) return -1;
  const long long level = static_cast<long long>(startCount_) + pixelCoord(x - startX_) / 8 +
                          pixelCoord(startY_ - y) / 8;
  const int n = static_cast<int>(clampv<long long>(level, 0, 15));
  pattern = MaskPattern::level(n);
  return n;
}

// ---------------------------------------------------------------------------------------

std::optional<MaskPattern> quickMaskPattern(int index) {
  switch (index) {
    case 0: return MaskPattern(0x5F5F);
    case 1: return MaskPattern(0x5B5E);
    case 2: return MaskPattern(0x5A5A);
    case 3: return MaskPattern(0x0A0A);
    case 5: return kErasePattern;
    default: return std::nullopt;
  }
}

QuickMaskStep quickMaskClick(int index, bool drawingMode, bool editViewShown) {
  if (index == 4) return {QuickMaskAction::MaskWithCurrent, MaskPattern()};
  const auto pattern = quickMaskPattern(index);
  if (!pattern) return {};
  if (drawingMode) return {QuickMaskAction::ApplyOnce, *pattern};
  if (index == 5)
    return editViewShown ? QuickMaskStep{QuickMaskAction::RedrawCopy, *pattern} : QuickMaskStep{};
  return {QuickMaskAction::SetCurrent, *pattern};
}

// ---------------------------------------------------------------------------------------

MaskArea maskAreaFor(double x, double y, double w, double h, int pictureWidth,
                     int pictureHeight) {
  MaskArea a;
  a.left = std::max(pixelCoord(x), 0);
  a.right = pixelCoord(x + w - 1);
  a.top = pixelCoord(y);
  a.anchorTop = a.top;
  const long long bottom = static_cast<long long>(a.top) + pixelCoord(h - 1);
  a.bottom = static_cast<int>(clampv<long long>(bottom, -2000000000LL, 2000000000LL));
  return clipArea(a, pictureWidth, pictureHeight);
}

bool maskRectangle(Bitmap& picture, const MaskArea& area, MaskPattern pattern,
                   const MaskOptions& options) {
  if (!wellFormed(picture)) return false;
  const MaskArea a = clipArea(area, picture.width, picture.height);
  if (a.empty()) return true;
  switch (picture.bits) {
    case 1: {
      const Bitmap* bg = options.background;
      if (bg && (!wellFormed(*bg) || bg->bits != 1 || bg->width != picture.width ||
                 bg->height != picture.height || bg == &picture))
        bg = nullptr;
      mask1(picture, a, pattern, bg);
      break;
    }
    case 8: mask8(picture, a, pattern, options.onGrey); break;
    default: mask24(picture, a, pattern); break;
  }
  return true;
}

const Bitmap* RestoreBackground::usableFor(const Bitmap& picture) const {
  if (!on || !copy || copy == &picture || !copy->pixels || copy->bits != 1 || picture.bits != 1)
    return nullptr;
  if (copy->width != picture.width || copy->height != picture.height) return nullptr;
  return copy;
}


// ---------------------------------------------------------------------------------------

UnevenMaskTable buildUnevenMaskTable(double leftLevel, double rightLevel, int rowBytes,
                                     int currentCount, bool notAboveCurrent) {
  UnevenMaskTable table;
  table.limit = notAboveCurrent ? clampv(currentCount, 0, 16) : 15;
  if (rowBytes <= 0) return table;
  auto level = [](double v) { return std::isnan(v) ? 0 : nearesti(clampv(v, -32.0, 50.0)); };
  int l = level(leftLevel);
  int r = level(rightLevel);
  if (l < 0 && r < 0) l = r = 0;
  if (l > table.limit && r > table.limit) l = r = table.limit;

  const int n = std::abs(r - l) + 1;
  const double width = static_cast<double>(rowBytes) / n;
  for (int k = 0; k < n; ++k) {
    UnevenBand band;
    band.startByte = nearesti(k * width);
    band.endByte = k + 1 < n ? nearesti((k + 1) * width) : rowBytes;
    band.level = r >= l ? l + k : l - k;
    band.hasPattern = band.level >= 0 && band.level <= 15 && band.level <= table.limit;
    band.previewGrey = clampv(16 * band.level, 0, 255);
    if (band.hasPattern) {
      const MaskPattern p = MaskPattern::level(band.level);
      for (int row = 0; row < 4; ++row) band.rowBytes[static_cast<std::size_t>(row)] = p.rowByte(row);
    }
    if (band.endByte <= band.startByte) continue;
    if (!band.hasPattern && !table.bands.empty() && !table.bands.back().hasPattern &&
        table.bands.back().endByte == band.startByte) {
      table.bands.back().endByte = band.endByte;  // one band for a run of unmasked levels
      continue;
    }
    table.bands.push_back(band);
  }
  return table;
}

bool applyUnevenMask(Bitmap& picture, const MaskArea& area, const UnevenMaskTable& table) {
  if (!wellFormed(picture) || picture.bits != 1) return false;
  const MaskArea a = clipArea(area, picture.width, picture.height);
  if (a.empty()) return true;
  // The four pattern rows across the whole row, band by band (0 where no band masks).
  const std::size_t n = static_cast<std::size_t>(picture.rowBytes);
  std::vector<std::uint8_t> rows(4 * n, 0);
  for (const UnevenBand& band : table.bands) {
    const std::size_t from = static_cast<std::size_t>(std::max(band.startByte, 0));
    const std::size_t to = std::min(static_cast<std::size_t>(std::max(band.endByte, 0)), n);
    for (std::size_t r = 0; r < 4; ++r)
      for (std::size_t b = from; b < to; ++b) rows[r * n + b] = band.rowBytes[r];
  }
  const Tables& t = tables();
  const int b0 = a.left >> 3;
  const int b1 = a.right >> 3;
  const std::uint8_t lm = t.tailMask[a.left & 7];
  const std::uint8_t rm = throughMask(t, a.right & 7);
  for (int y = a.top; y <= a.bottom; ++y) {
    std::uint8_t* row = picture.row(y);
    const std::uint8_t* pat = rows.data() + static_cast<std::size_t>(y & 3) * n;
    if (b0 == b1) {
      row[b0] |= static_cast<std::uint8_t>(pat[b0] & lm & rm);
      continue;
    }
    row[b0] |= static_cast<std::uint8_t>(pat[b0] & lm);
    int b = b0 + 1;
    for (; b + 16 <= b1; b += 16) store16(row + b, load16(row + b) | load16(pat + b));
    for (; b < b1; ++b) row[b] |= pat[b];
    row[b1] |= static_cast<std::uint8_t>(pat[b1] & rm);
  }
  return true;
}

}  // namespace quillaro
