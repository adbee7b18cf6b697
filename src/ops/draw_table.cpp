#include "ops/draw_table.h"

#include <algorithm>
#include <cmath>

#include "base/control_numbers.h"
#include "base/numeric.h"
#include "kernels/lines.h"
#include "kernels/mask.h"
#include "model/undo.h"
#include "model/workspace.h"
#include "ops/new_sheet.h"

namespace quillaro {

namespace {

// Lines along one axis: how many, their pitch and the thickness they grow back by.
struct Axis {
  int count = 0;
  double pitch = 0;
};

Axis horizontalAxis(const TableLayout& s) {
  if (s.table) return {s.rows + 1, s.rows > 0 ? s.height / s.rows : 0};
  return {s.rows, s.rows > 1 ? s.height / (s.rows - 1) : 0};
}

Axis verticalAxis(const TableLayout& s) {
  if (s.table) return {s.columns + 1, s.columns > 0 ? s.width / s.columns : 0};
  return {s.columns, s.columns > 1 ? s.width / (s.columns - 1) : 0};
}

// The start of line i along an axis (relative to the table's origin): into-cells moves
// every line but the first back so that it grows into the cell before it.
double lineStart(const TableLayout& s, const Axis& a, int i, int thickness) {
  const double back = s.table && s.intoCells && i > 0 ? thickness - s.innerThickness : 0;
  return i * a.pitch - back;
}

double extensionOf(const TableLayout& s, bool otherDrawn, int otherThickness) {
  if (s.table && s.intoCells) return 0;
  if (s.extension >= 0) return s.extension;
  return otherDrawn ? otherThickness : 0;
}

// Cell bands along one axis: from the end of each line to the start of the next.
std::vector<std::pair<double, double>> bands(const TableLayout& s, const Axis& a, bool drawn,
                                             int thickness, double origin, double size) {
  std::vector<std::pair<double, double>> out;
  if (!drawn || a.count < 2) {
    out.emplace_back(origin, size);
    return out;
  }
  for (int i = 0; i + 1 < a.count; ++i) {
    const double from = origin + lineStart(s, a, i, thickness) + thickness;
    const double to = origin + lineStart(s, a, i + 1, thickness);
    out.emplace_back(from, std::max(0.0, to - from));
  }
  return out;
}

// A count field: the rounded value, or the message when it is outside lo..hi.
bool readCount(const ParamStore& p, int field, const char* caption, int lo, int hi, int& out,
               std::string& error) {
  const double v = p.tnValue(field);
  const long long n = nearest(v);
  if (n < lo || n > hi) {
    error = "Таблица не нарисована: \"" + std::string(caption) + "\" = " + p.tn(field) +
            ", нужно число от " + std::to_string(lo) + " до " + std::to_string(hi);
    return false;
  }
  out = static_cast<int>(n);
  return true;
}

}  // namespace

std::vector<TableLine> tableGeometry(const TableLayout& s) {
  std::vector<TableLine> out;
  const Axis h = horizontalAxis(s), v = verticalAxis(s);
  const int repeatAcross = std::max(s.repeatAcross, 0), repeatDown = std::max(s.repeatDown, 0);
  for (int r = 0; r < repeatDown; ++r) {
    for (int c = 0; c < repeatAcross; ++c) {
      const double x0 = s.left + c * s.stepAcross, y0 = s.top + r * s.stepDown;
      if (s.horizontal) {
        const double e = extensionOf(s, s.vertical, s.verticalThickness);
        for (int i = 0; i < h.count; ++i)
          out.push_back({true, x0, y0 + lineStart(s, h, i, s.horizontalThickness), s.width,
                         static_cast<double>(s.horizontalThickness), e});
      }
      if (s.vertical) {
        const double e = extensionOf(s, s.horizontal, s.horizontalThickness);
        for (int j = 0; j < v.count; ++j)
          out.push_back({false, x0 + lineStart(s, v, j, s.verticalThickness), y0, s.height,
                         static_cast<double>(s.verticalThickness), e});
      }
    }
  }
  return out;
}

std::vector<PixRect> tableCells(const TableLayout& s) {
  std::vector<PixRect> out;
  const Axis h = horizontalAxis(s), v = verticalAxis(s);
  for (int r = 0; r < s.repeatDown; ++r) {
    for (int c = 0; c < s.repeatAcross; ++c) {
      const double x0 = s.left + c * s.stepAcross, y0 = s.top + r * s.stepDown;
      const auto across = bands(s, v, s.vertical, s.verticalThickness, x0, s.width);
      const auto down = bands(s, h, s.horizontal, s.horizontalThickness, y0, s.height);
      for (const auto& [y, hh] : down)
        for (const auto& [x, w] : across) out.push_back({x, y, w, hh});
    }
  }
  return out;
}

std::optional<TableLayout> readTableLayout(const Workspace& ws, std::string& error) {
  const ParamStore& p = ws.params;
  TableLayout s;
  const PixRect rect = drawingRect(p, ws.shared.dotsPerMm);
  s.left = rect.x;
  s.top = rect.y;
  s.width = rect.w;
  s.height = rect.h;
  s.table = p.check(Check::ChTabTab);
  s.horizontal = p.chb(check::kTableHorizontal);
  s.vertical = p.chb(check::kTableVertical);
  s.intoCells = p.check(Check::ChDrawInCell);
  s.arrows = p.chb(check::kArrows) && !s.table;
  s.stepAcross = p.tnValue(field::kStepAcross) * ws.shared.dotsPerMm;
  s.stepDown = p.tnValue(field::kStepDown) * ws.shared.dotsPerMm;
  if (s.width < 0 || s.height < 0) {
    error = "Таблица не нарисована: ширина и высота не могут быть отрицательными";
    return std::nullopt;
  }
  // A size of 0 gives one line across it (the caller turns the other direction off).
  const bool needColumns = s.vertical && s.width != 0, needRows = s.horizontal && s.height != 0;
  if (needColumns && !readCount(p, field::kAcross, "Колонок", 1, kMaxTableCount, s.columns, error)) return std::nullopt;
  if (needRows && !readCount(p, field::kDown, "Рядов", 1, kMaxTableCount, s.rows, error)) return std::nullopt;
  if (!needColumns) s.columns = 1;
  if (!needRows) s.rows = 1;
  const bool ok =
      readCount(p, field::kRepeatAcross, "Повторов таблицы по горизонтали", 1, kMaxTableRepeats, s.repeatAcross, error) &&
      readCount(p, field::kRepeatDown, "Повторов таблицы по вертикали", 1, kMaxTableRepeats, s.repeatDown, error) &&
      readCount(p, field::kVerticalLineWidth, "Толщина вертикальных линий, точек", 0, kMaxTableThickness,
                s.verticalThickness, error) &&
      readCount(p, field::kHorizontalLineWidth, "Толщина горизонтальных линий, точек", 0, kMaxTableThickness,
                s.horizontalThickness, error) &&
      (!s.intoCells || readCount(p, field::kInnerLineWidth, "Толщина линий внутри ячеек, точек", 0,
                                 kMaxTableThickness, s.innerThickness, error));
  if (!ok) return std::nullopt;
  const long long perTable = (s.horizontal ? horizontalAxis(s).count : 0) + (s.vertical ? verticalAxis(s).count : 0);
  if (perTable * s.repeatAcross * s.repeatDown > kMaxTableLines) {
    error = "Таблица не нарисована: больше " + std::to_string(kMaxTableLines) + " линий";
    return std::nullopt;
  }
  // Only the lines of one direction that an H or V line draws take its extension.
  if (!s.table && s.horizontal != s.vertical) s.extension = ws.actions.lineExtension;
  return s;
}

namespace {

// The box a line covers in the picture.
PixelBox boxOf(const TableLine& l, const Bitmap& b) {
  return l.horizontal ? horizontalLineBox(l.x, l.y, l.length, l.thickness, l.extension, b.width, b.height)
                      : verticalLineBox(l.x, l.y, l.length, l.thickness, l.extension, b.width, b.height);
}

}  // namespace

Rgb tableLineColour(const ParamStore& p) {
  auto channel = [&](int f) { return static_cast<std::uint8_t>(clampv<long long>(nearest(p.tnValue(f)), 0, 255)); };
  return {channel(field::kRed), channel(field::kGreen), channel(field::kBlue)};
}

bool drawTable(Workspace& ws) {
  ParamStore& p = ws.params;
  if (!ws.image.loaded && !newSheet(ws, 0, true)) return false;
  Bitmap& picture = ws.image.bitmap;
  if (picture.empty()) return false;
  const PixRect rect = drawingRect(p, ws.shared.dotsPerMm);
  if (rect.w == 0 && rect.h == 0) {
    ws.progress->status("Нулевые размеры");
    return false;
  }
  if (rect.w == 0) p.setChb(check::kTableHorizontal, false);
  if (rect.h == 0) p.setChb(check::kTableVertical, false);
  std::string error;
  const std::optional<TableLayout> table = readTableLayout(ws, error);
  ws.actions.lineExtension = -1;  // an extension read from a line serves that line only
  if (!table) {
    ws.prompts->message(error, Icon::Exclamation);
    return false;
  }
  const std::vector<TableLine> lines = tableGeometry(*table);

  // Undo keeps the block all lines (and their arrowheads) cover.
  const int arrow = table->arrows ? arrowheadLength(std::max(table->horizontalThickness, table->verticalThickness)) : 0;
  PixelBox all{picture.width, picture.height, 0, 0};
  for (const TableLine& l : lines) {
    const PixelBox b = boxOf(l, picture);
    if (b.empty()) continue;
    all = {std::min(all.left, b.left - arrow), std::min(all.top, b.top - arrow),
           std::max(all.right, b.right + arrow), std::max(all.bottom, b.bottom + arrow)};
  }
  if (!all.empty()) undoSave(ws, all.left, all.top, all.right - all.left, all.bottom - all.top);

  const Rgb colour = tableLineColour(p);
  const bool masked = p.chb(check::kMaskLines);
  const std::optional<MaskPattern> pattern = MaskPattern::fromText(p.held(Held::MaskPattern));
  MaskOptions maskOptions;
  maskOptions.onGrey = p.chb(check::kMaskOnGrey);
  for (const TableLine& l : lines) {
    const PixelBox b = fillBox(picture, boxOf(l, picture), colour);
    if (b.empty()) continue;
    if (table->arrows) drawArrowheads(picture, b, l.horizontal, arrowheadLength(static_cast<int>(l.thickness)), colour);
    if (masked && pattern) {
      const double along = l.length + l.extension;
      const MaskArea area = l.horizontal ? maskAreaFor(l.x, l.y, along, l.thickness, picture.width, picture.height)
                                         : maskAreaFor(l.x, l.y, l.thickness, along, picture.width, picture.height);
      maskRectangle(picture, area, *pattern, maskOptions);
    }
  }
  ws.image.modified = 1;
  ws.journal->tableDrawn(ws);
  ws.view->pictureChanged();
  return true;
}

}  // namespace quillaro
