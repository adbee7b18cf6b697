#include "ops/draw_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <string_view>

#include "base/numeric.h"
#include "base/text_codec.h"
#include "kernels/glyphs.h"
#include "model/rects.h"
#include "model/undo.h"
#include "model/workspace.h"
#include "ops/picture_commands.h"
#include "ops/text_layout.h"
#include "ops/text_settings.h"

namespace quillaro {
namespace {

// Italic overhang factors of the four standard families (overhang = factor x line height,
// rounded up); other families take Arial's. The second factors of those families placed
// the letters of a synthesised slant; FreeType's italic faces place their own letters.
double overhangFactor(const std::string& family) {
  if (family == "Courier New") return 0.224;
  if (family == "Tahoma") return 0.3314;
  if (family == "Times New Roman") return 0.288;
  return 0.2027;
}

// Everything a drawing needs, in dots.
struct TextJob {
  std::shared_ptr<Font> font;
  bool underline = false, strikeout = false;
  Rgb ink;
  std::array<int, 256> widths{};
  int lineHeight = 1, overhang = 0, italicSlack = 0;
  int charSpacing = 0, lineSpacing = 0, indentX = 0, indentY = 0, tabWidth = 0, stretchLimit = 0;
};

// Inside: text with '\n' between paragraphs; outside (TZ(1), recorded lines): CR LF.
std::string toLf(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      r += '\n';
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      r += s[i];
    }
  }
  return r;
}

std::string outward(std::string_view cp) { return cp1251ToUtf8(toCrLf(cp)); }

// The first character of a UTF-8 text that Windows-1251 cannot hold, or empty.
std::string unrepresentable(const std::string& utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t n = 1;
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xF0) n = 4;
    else if (c >= 0xE0) n = 3;
    else if (c >= 0xC0) n = 2;
    n = std::min(n, utf8.size() - i);
    const std::string ch = utf8.substr(i, n);
    if (cp1251ToUtf8(utf8ToCp1251(ch)) != ch) return ch;
    i += n;
  }
  return {};
}

double fieldNumber(const ParamStore& p, int i) {
  const std::string& t = p.tn(i);
  return t.find_first_not_of(' ') == std::string::npos ? 0.0 : p.tnValue(i);
}

// Spacing DX/DY: percent of the line height, dots or millimetres.
int spacingDots(const Workspace& ws, int fieldIndex, int lineHeight) {
  const int option = ws.params.option(OptionGroup::SpacingUnit);
  const TextUnit unit = option == 1 ? TextUnit::Dots : option == 2 ? TextUnit::Millimetres : TextUnit::PercentOfLine;
  return textUnitDots(fieldNumber(ws.params, fieldIndex), unit, lineHeight, ws.shared.dotsPerMm);
}

// Offsets PX/PY and the tab width: millimetres, dots or percent of the line height.
int offsetDots(const Workspace& ws, double v, int lineHeight) {
  const int option = ws.params.option(OptionGroup::OffsetUnit);
  const TextUnit unit = option == 1 ? TextUnit::Dots : option == 2 ? TextUnit::PercentOfLine : TextUnit::Millimetres;
  return textUnitDots(v, unit, lineHeight, ws.shared.dotsPerMm);
}

void tell(Workspace& ws, const std::string& text) { ws.prompts->message(text, Icon::Exclamation); }

std::optional<TextJob> prepare(Workspace& ws, std::string_view text) {
  const ParamStore& p = ws.params;
  const double points = p.tn(field::kFontSize).find_first_not_of(' ') == std::string::npos
                            ? 72.0 : p.tnValue(field::kFontSize);
  const double largest = maxFontPoints(ws.shared.resolution);
  if (!(points >= kMinFontPoints && points <= largest)) {
    tell(ws, "Размер шрифта " + p.tn(field::kFontSize) + " нельзя нарисовать: допустимо от 1 до " +
                 std::to_string(static_cast<int>(largest)) + ".");
    return std::nullopt;
  }
  FontRequest req;
  req.family = textFontFamily(p);
  if (req.family.empty()) req.family = "Arial";
  req.points = points;
  req.dpi = ws.shared.resolution;
  req.bold = p.chb(check::kBold);
  req.italic = p.chb(check::kItalic);
  req.antialiased = ws.image.bitmap.bits != 1;
  std::string error;
  TextJob job;
  job.font = openFont(req, &error);
  if (!job.font) {
    tell(ws, "Шрифт \"" + req.family + "\" не найден: текст не нарисован.");
    return std::nullopt;
  }
  if (!familyAsIntended(req.family, job.font->family()))
    ws.progress->status("Шрифт \"" + req.family + "\" не установлен, рисуется \"" + job.font->family() + "\"");
  job.underline = p.chb(check::kUnderline);
  job.strikeout = p.chb(check::kStrikeOut);
  if (ws.image.bitmap.bits == 24) {
    auto c = [&](int i) { return static_cast<std::uint8_t>(clampv(nearest(fieldNumber(p, i)), 0LL, 255LL)); };
    job.ink = Rgb{c(field::kRed), c(field::kGreen), c(field::kBlue)};
  }
  const int lh = std::max(1, job.font->lineHeight());
  job.lineHeight = lh;
  if (req.italic) {
    job.overhang = static_cast<int>(std::ceil(overhangFactor(req.family) * lh));
    job.italicSlack = nearesti(lh / 20.0);
  }
  job.charSpacing = spacingDots(ws, field::kCharSpacing, lh);
  job.lineSpacing = spacingDots(ws, field::kLineSpacing, lh);
  job.indentX = offsetDots(ws, fieldNumber(p, field::kIndentX), lh);
  job.indentY = offsetDots(ws, fieldNumber(p, field::kIndentY), lh);
  job.tabWidth = std::min(4000, std::max(0, offsetDots(ws, fieldNumber(p, field::kTabWidth), lh)));
  job.stretchLimit = std::min(lh, nearesti(lh * fieldNumber(p, field::kStretchLimit) / 100.0));
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (!job.widths[u]) job.widths[u] = job.font->advance(u);
  }
  return job;
}

// The working rectangle of a place: the offsets move its left and top edges in; with
// "Толщина линий" it keeps clear of the frame lines of the table fields.
LayoutRules rulesFor(const Workspace& ws, const TextJob& job, const TextCell& place) {
  const ParamStore& p = ws.params;
  int left = place.left + job.indentX, top = place.top + job.indentY;
  int width = place.width - job.indentX, height = place.height - job.indentY;
  if (p.check(Check::ChTexBiasLine)) {
    const int v = nearesti(fieldNumber(p, field::kVerticalLineWidth));
    const int h = nearesti(fieldNumber(p, field::kHorizontalLineWidth));
    left += v;
    top += h;
    width -= v;
    height -= h;
  }
  LayoutRules r;
  r.left = left;
  r.top = top;
  r.right = left + width;
  r.bottom = top + height;
  r.pictureWidth = ws.image.bitmap.width;
  r.pictureHeight = ws.image.bitmap.height;
  r.lineHeight = job.lineHeight;
  r.overhang = job.overhang;
  r.italicSlack = job.italicSlack;
  r.charSpacing = job.charSpacing;
  r.lineSpacing = job.lineSpacing;
  r.tabWidth = job.tabWidth;
  r.stretchLimit = job.stretchLimit;
  r.hAlign = p.option(OptionGroup::HAlign);
  r.vAlign = p.option(OptionGroup::VAlign);
  return r;
}

void drawLines(Bitmap& pic, TextJob& job, std::string_view text, const TextLayout& layout, const LayoutRules& r) {
  const ClipBox clip{0, 0, pic.width, pic.height};
  for (const LaidLine& line : layout.lines) {
    int x = line.x;
    int blank = 0;
    for (std::size_t i = line.begin; i < line.end; ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      job.font->drawChar(pic, x, line.y, c, job.ink, clip);
      x += (c == '\t' ? r.tabWidth : job.widths[c]) + r.charSpacing;
      if (c == ' ' && line.blanks) x += stretchShare(line.stretch, line.blanks, blank++);
    }
    if (line.end == line.begin) continue;
    const int x1 = line.x + line.width + line.stretch;
    if (job.underline) job.font->drawRule(pic, line.x, x1, line.y, false, job.ink, clip);
    if (job.strikeout) job.font->drawRule(pic, line.x, x1, line.y, true, job.ink, clip);
  }
}

// The rectangle a layout covers (for the undo buffer).
PixRect coverOf(const TextLayout& layout, const TextJob& job) {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
  for (const LaidLine& l : layout.lines) {
    x0 = std::min(x0, l.x - job.overhang);
    y0 = std::min(y0, l.y);
    x1 = std::max(x1, l.x + l.width + l.stretch + 2 * job.overhang + job.lineHeight / 4);
    y1 = std::max(y1, l.y + job.lineHeight);
  }
  return {static_cast<double>(x0), static_cast<double>(y0), static_cast<double>(x1 - x0), static_cast<double>(y1 - y0)};
}

PixRect unite(const PixRect& a, const PixRect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  const double x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
  return {x0, y0, std::max(a.x + a.w, b.x + b.w) - x0, std::max(a.y + a.h, b.y + b.h) - y0};
}

bool outsidePicture(const TextCell& c, const Bitmap& pic) {
  return c.width <= 0 || c.height <= 0 || c.left >= pic.width || c.top >= pic.height || c.left + c.width <= 0 ||
         c.top + c.height <= 0;
}

void finish(Workspace& ws, const TextJob& job, const TextLayout& last, const std::string& drawnUtf8) {
  ws.image.modified = 1;
  ws.redrawEditView();
  ws.actions.textEndValid = true;
  ws.actions.textEndX = last.endX;
  ws.actions.textEndBaseline = last.endY + job.font->ascent();
  ws.journal->textDrawn(ws, drawnUtf8);
}

std::string noRoomText(const TextLayout& layout) {
  if (layout.tooWide < 0) return "Недостаточно места.";
  const char c = static_cast<char>(layout.tooWide);
  return "Недостаточно места для 1 знака (" + cp1251ToUtf8(std::string_view(&c, 1)) + ")";
}

bool drawIntoFrame(Workspace& ws, const std::string& text, const TextCell& area) {
  std::optional<TextJob> job = prepare(ws, text);
  if (!job) return false;
  LayoutRules rules = rulesFor(ws, *job, area);
  if (ws.actions.fontAttributesOnly && ws.actions.textEndValid) {
    rules.continues = true;
    rules.hAlign = kAlignLeft;  // as an X- line reads: the lines after the first start at the left
    rules.startX = ws.actions.textEndX;
    rules.startY = ws.actions.textEndBaseline - job->font->ascent();
  }
  const TextLayout layout = layoutText(text, rules, job->widths);
  if (layout.lines.empty()) {
    ws.progress->status(noRoomText(layout));
    if (ws.actions.runDepth > 0) tell(ws, "Текст не нарисован: недостаточно места.");
    return false;
  }
  if (layout.charsLeft(text.size()) > 0 && ws.actions.runDepth == 0) {
    const Answer a = ws.prompts->ask("Недостаточно места.\r\nНарисовать то, что поместится ?", Buttons::YesNo,
                                     Icon::Question, Answer::Yes);
    if (a != Answer::Yes) return false;
  }
  const PixRect area0{static_cast<double>(area.left), static_cast<double>(area.top), static_cast<double>(area.width),
                      static_cast<double>(area.height)};
  const PixRect saved = unite(area0, coverOf(layout, *job));
  undoSave(ws, saved.x, saved.y, saved.w, saved.h);
  drawLines(ws.image.bitmap, *job, text, layout, rules);
  finish(ws, *job, layout, outward(text.substr(0, layout.drawnEnd)));
  ws.params.setTz(text::kBody, outward(text.substr(layout.restBegin)));
  return true;
}

bool drawPieces(Workspace& ws, const std::string& whole, const std::vector<std::string>& pieces,
                const std::vector<TextCell>& cells) {
  std::string all;
  for (const std::string& s : pieces) all += s;
  std::optional<TextJob> job = prepare(ws, all);
  if (!job) return false;
  PixRect cover;
  struct Placed {
    LayoutRules rules;
    TextLayout layout;
    std::size_t piece;
  };
  std::vector<Placed> placed;
  bool noRoom = false;
  for (std::size_t i = 0; i < pieces.size() && i < cells.size(); ++i) {
    if (pieces[i].empty()) continue;
    LayoutRules rules = rulesFor(ws, *job, cells[i]);
    TextLayout layout = layoutText(pieces[i], rules, job->widths);
    if (layout.lines.empty()) {
      noRoom = true;
      continue;
    }
    noRoom = noRoom || layout.charsLeft(pieces[i].size()) > 0;
    const TextCell& c = cells[i];
    cover = unite(cover, PixRect{static_cast<double>(c.left), static_cast<double>(c.top), static_cast<double>(c.width),
                                 static_cast<double>(c.height)});
    cover = unite(cover, coverOf(layout, *job));
    placed.push_back({rules, std::move(layout), i});
  }
  if (pieces.size() > cells.size()) ws.progress->status("Нет свободной ячейки");
  else if (noRoom) ws.progress->status("Нет места");
  if (placed.empty()) {
    if (ws.actions.runDepth > 0) tell(ws, "Текст не нарисован: нет места в ячейках.");
    return false;
  }
  undoSave(ws, cover.x, cover.y, cover.w, cover.h);
  for (const Placed& pl : placed) drawLines(ws.image.bitmap, *job, pieces[pl.piece], pl.layout, pl.rules);
  finish(ws, *job, placed.back().layout, outward(whole));
  return true;
}

// Splits at the separators (each one ends a piece).
std::vector<std::string> splitAt(const std::string& text, std::string_view separators) {
  std::vector<std::string> pieces(1);
  for (const char c : text) {
    if (separators.find(c) != std::string_view::npos) pieces.emplace_back();
    else pieces.back() += c;
  }
  return pieces;
}

// The text of TZ(1) in Windows-1251 with '\n' between paragraphs; false (after a message)
// when it holds a character that Windows-1251 has no code for.
bool bodyText(Workspace& ws, std::string* cp) {
  const std::string& utf8 = ws.params.tz(text::kBody);
  const std::string bad = unrepresentable(utf8);
  if (!bad.empty()) {
    tell(ws, "Знак \"" + bad + "\" нельзя нарисовать: его нет в кодировке Windows-1251.");
    return false;
  }
  *cp = toLf(utf8ToCp1251(utf8));
  return true;
}

bool placeReady(Workspace& ws, const TextCell& area) {
  if (!pictureReady(ws)) {
    tell(ws, "Нет рисунка: текст не нарисован.");
    return false;
  }
  if (outsidePicture(area, ws.image.bitmap)) {
    tell(ws, "Место для текста вне рисунка:" + rectangleText(ws).substr(1));
    return false;
  }
  return true;
}

}  // namespace

std::vector<TextCell> equalCells(const TextCell& area, int across, int down) {
  across = std::max(1, across);
  down = std::max(1, down);
  std::vector<TextCell> cells;
  cells.reserve(static_cast<std::size_t>(across) * static_cast<std::size_t>(down));
  for (int j = 0; j < down; ++j)
    for (int i = 0; i < across; ++i) {
      const int x0 = area.left + nearesti(static_cast<double>(area.width) * i / across);
      const int x1 = area.left + nearesti(static_cast<double>(area.width) * (i + 1) / across);
      const int y0 = area.top + nearesti(static_cast<double>(area.height) * j / down);
      const int y1 = area.top + nearesti(static_cast<double>(area.height) * (j + 1) / down);
      cells.push_back({x0, y0, x1 - x0, y1 - y0});
    }
  return cells;
}

bool drawText(Workspace& ws) {
  const PixRect r = drawingRect(ws.params, ws.shared.dotsPerMm);
  const TextCell area{nearesti(r.x), nearesti(r.y), nearesti(r.w), nearesti(r.h)};
  if (!placeReady(ws, area)) return false;
  std::string text;
  if (!bodyText(ws, &text)) return false;
  if (text.empty()) {
    ws.progress->status("Нет текста для рисования");
    return false;
  }
  const ParamStore& p = ws.params;
  const int placement = ws.actions.fontAttributesOnly ? 0 : p.option(OptionGroup::Placement);
  const auto count = [&](int i) { return std::max(1, static_cast<int>(nearest(fieldNumber(p, i)))); };
  switch (placement) {
    case 1: return drawPieces(ws, text, splitAt(text, "\n"), equalCells(area, 1, count(field::kDown)));
    case 2:
      return drawPieces(ws, text, splitAt(text, p.check(Check::ChRowTab) ? "\t" : "\n"),
                        equalCells(area, count(field::kAcross), 1));
    case 3:
      return drawPieces(ws, text, splitAt(text, "\t\n"), equalCells(area, count(field::kAcross), count(field::kDown)));
    default: return drawIntoFrame(ws, text, area);
  }
}

bool drawTextInCells(Workspace& ws, const std::vector<std::string>& pieces, const std::vector<TextCell>& cells) {
  if (!pictureReady(ws)) return false;
  std::string whole;
  std::vector<std::string> cp;
  for (const std::string& s : pieces) {
    const std::string bad = unrepresentable(s);
    if (!bad.empty()) {
      tell(ws, "Знак \"" + bad + "\" нельзя нарисовать: его нет в кодировке Windows-1251.");
      return false;
    }
    cp.push_back(toLf(utf8ToCp1251(s)));
    whole += (whole.empty() ? "" : "\t") + cp.back();
  }
  return drawPieces(ws, whole, cp, cells);
}

}  // namespace quillaro
