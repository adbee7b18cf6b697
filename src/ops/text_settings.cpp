#include "ops/text_settings.h"

#include <string>

#include "base/fields.h"
#include "base/numeric.h"
#include "model/workspace.h"

namespace quillaro {
namespace {

std::string trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The number of TN(i) as the program writes it into a line.
std::string fieldText(const Workspace& ws, int i) { return ws.format(ws.params.tnValue(i)); }

// TN(i) written when it is not empty and its number text differs from `skip`.
bool writtenField(const Workspace& ws, int i, const char* skip, std::string* out) {
  if (trimmed(ws.params.tn(i)).empty()) return false;
  *out = fieldText(ws, i);
  return *out != skip;
}

std::string styleLetters(const ParamStore& p) {
  std::string s;
  if (p.chb(check::kBold)) s += "B";
  if (p.chb(check::kItalic)) s += "i";
  if (p.chb(check::kUnderline)) s += "U";
  if (p.chb(check::kStrikeOut)) s += "S";
  return s;
}

const std::string& columnText(const Workspace& ws) { return ws.params.held(Held::TextHAlign); }

// The column number of the box: 1..32, or 0 for anything else.
int boxColumn(const Workspace& ws, bool* valid) {
  const std::string text = trimmed(columnText(ws));
  *valid = false;
  if (text.empty() || !isNumeric(text)) return 0;
  const double v = parseNumber(text);
  const long long n = nearest(v);
  if (n < 1 || n > 32 || static_cast<double>(n) != v) return 0;
  *valid = true;
  return static_cast<int>(n);
}

ColumnAlignShown shown(const Workspace& ws) {
  bool valid = false;
  const int column = boxColumn(ws, &valid);
  if (!valid) return {0, kColumnBadColour};
  const int code = ws.actions.columnAlign[static_cast<std::size_t>(column)];
  return {column, code < kNoColumnAlign ? kColumnSetColour : kColumnUnsetColour};
}

}  // namespace

std::string textFontFamily(const ParamStore& p) {
  const std::string& other = p.held(Held::FontFamily);
  return other.empty() ? p.fontName() : other;
}

std::string rectangleText(const Workspace& ws) {
  std::string s;
  for (int i = field::kDrawLeft; i <= field::kDrawHeight; ++i) s += ", " + fieldText(ws, i);
  return s;
}

std::string textSettingsKeys(const Workspace& ws, bool defaultSet, bool textHasTab) {
  const ParamStore& p = ws.params;
  const int placement = p.option(OptionGroup::Placement);
  std::string s;
  if (placement != 0) {
    s += " TA=";
    s += placement == 1 ? "C" : placement == 2 ? (p.check(Check::ChRowTab) ? "RT" : "R") : "T";
  }
  if (p.chb(check::kTextIntoFrames)) s += " FF=1";
  if (p.check(Check::ChTexBiasLine)) s += " LB=1";
  if (placement == 3) {
    if (p.chb(check::kLinesAfterRows)) s += " LA=1";
    if (p.chb(check::kTableAuto))
      s += " TAU=" + std::to_string(1 + (p.chb(check::kCellFit) ? 2 : 0) + (p.chb(check::kRearrange) ? 4 : 0));
  }
  const std::string font = textFontFamily(p);
  if (!font.empty() && font != "Arial") s += " FN=\"" + font + "\"";
  std::string v;
  if (writtenField(ws, field::kFontSize, "72", &v)) s += " FS=" + v;
  const std::string styles = styleLetters(p);
  if (!styles.empty()) s += " FA=" + styles;
  bool offsets = false;
  if (writtenField(ws, field::kIndentX, "0", &v)) { s += " PX=" + v; offsets = true; }
  if (writtenField(ws, field::kIndentY, "0", &v)) { s += " PY=" + v; offsets = true; }
  if ((textHasTab || defaultSet) && writtenField(ws, field::kTabWidth, defaultSet ? "" : "15", &v)) {
    s += " TAB=" + v;
    offsets = true;
  }
  if (offsets) {
    const int unit = p.option(OptionGroup::OffsetUnit);
    if (unit == 1) s += " PM=P";
    else if (unit == 2) s += " PM=%";
  }
  bool spacing = false;
  if (writtenField(ws, field::kCharSpacing, "0", &v)) { s += " DX=" + v; spacing = true; }
  if (writtenField(ws, field::kLineSpacing, "0", &v)) { s += " DY=" + v; spacing = true; }
  if (spacing) {
    const int unit = p.option(OptionGroup::SpacingUnit);
    if (unit == 1) s += " DM=P";
    else if (unit == 2) s += " DM=mm";
  }
  const int ha = p.option(OptionGroup::HAlign);
  if ((ha == 3 || defaultSet) && writtenField(ws, field::kStretchLimit, defaultSet ? "" : "50", &v)) s += " JL=" + v;
  if (ha >= 1 && ha <= 3) s += std::string(" HA=") + "RMJ"[ha - 1];
  if (placement == 3) {
    for (int n = 1; n <= 32; ++n) {
      const int code = ws.actions.columnAlign[static_cast<std::size_t>(n)];
      if (code >= 0 && code < kNoColumnAlign)
        s += " HA[" + std::to_string(n) + "]=" + std::to_string(code);
    }
  }
  const int va = p.option(OptionGroup::VAlign);
  if (va >= 1 && va <= 3) s += std::string(" VA=") + "BMJ"[va - 1];
  if (ws.shared.bitDepth == 24) {
    const char* names[] = {" Red=", " Green=", " Blue="};
    for (int k = 0; k < 3; ++k) {
      const long long c = nearest(p.tnValue(field::kRed + k));
      if (c > 0) s += names[k] + std::to_string(clampv(c, 0LL, 255LL));
    }
  }
  return s;
}

std::string textSettingsLine(const Workspace& ws) { return textSettingsLine(ws, ws.params.tz(text::kBody)); }

std::string textSettingsLine(const Workspace& ws, const std::string& text) {
  const ParamStore& p = ws.params;
  if (ws.actions.fontAttributesOnly) {
    const std::string styles = styleLetters(p);
    return styles.empty() ? "X-," : "X-, FA=" + styles;
  }
  std::string s = "X" + rectangleText(ws);
  const bool boxes = p.chb(check::kLinesAfterRows) || p.chb(check::kTableAuto) || p.check(Check::ChTexBiasLine);
  if (p.option(OptionGroup::Placement) != 0 || boxes)
    s += ", " + fieldText(ws, field::kAcross) + ", " + fieldText(ws, field::kDown);
  if (boxes) s += ", " + fieldText(ws, field::kHorizontalLineWidth) + ", " + fieldText(ws, field::kVerticalLineWidth);
  s += ",";
  s += textSettingsKeys(ws, false, text.find('\t') != std::string::npos);
  return s;
}

std::string defaultTextSettingsRecord(const Workspace& ws) { return textSettingsKeys(ws, true, false); }

void applyTextSettingsLine(Workspace& ws, const std::string& line) {
  const std::string head = upperUtf8(trimmed(line.substr(0, line.find(','))));
  if (head == "X" || head == "X-") ws.automation->applyLine(ws, trimmed(line));
  else ws.automation->applyLine(ws, "X," + line);
}

ColumnAlignShown columnAlignChanged(Workspace& ws) {
  const ColumnAlignShown s = shown(ws);
  if (s.column > 0) {
    const int code = ws.actions.columnAlign[static_cast<std::size_t>(s.column)];
    if (code < kNoColumnAlign) ws.params.setOption(OptionGroup::HAlign, code);
  }
  return s;
}

ColumnAlignShown columnAlignEnter(Workspace& ws) {
  const ColumnAlignShown s = shown(ws);
  if (s.column > 0)
    ws.actions.columnAlign[static_cast<std::size_t>(s.column)] = ws.params.option(OptionGroup::HAlign);
  return shown(ws);
}

ColumnAlignShown columnAlignEscape(Workspace& ws) {
  const ColumnAlignShown s = shown(ws);
  if (s.column > 0) ws.actions.columnAlign[static_cast<std::size_t>(s.column)] = kNoColumnAlign;
  return shown(ws);
}

ColumnAlignShown columnAlignStep(Workspace& ws, int step) {
  bool valid = false;
  int column = boxColumn(ws, &valid);
  if (!valid) column = step > 0 ? 0 : 33;
  column = clampv(column + (step > 0 ? 1 : -1), 1, 32);
  ws.params.setHeld(Held::TextHAlign, std::to_string(column));
  return columnAlignChanged(ws);
}

}  // namespace quillaro
