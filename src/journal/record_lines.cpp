#include "journal/record_lines.h"

#include "journal/recorder.h"
#include "base/numeric.h"
#include "model/param_store.h"
#include "model/workspace.h"
#include "ops/batch_run.h"
#include "ops/copy_record.h"
#include "ops/find_replace.h"
#include "ops/new_sheet.h"
#include "ops/text_settings.h"

namespace quillaro {
namespace {

// A text written as a key value: trimmed, "," read as ".", trailing points removed.
std::string valueText(const std::string& text) {
  std::string s = text;
  for (char& c : s)
    if (c == ',') c = '.';
  const auto b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  s = s.substr(b, s.find_last_not_of(' ') - b + 1);
  return normalizeField(s);
}

std::string fieldText(const Workspace& ws, int i) { return ws.format(ws.params.tnValue(i)); }

// ", H=" and " V=" with the two directions, unless both are on.
std::string directionsText(const Workspace& ws) {
  const bool h = ws.params.chb(check::kDensityHorizontal);
  const bool v = ws.params.chb(check::kDensityVertical);
  if (h && v) return {};
  return std::string(", H=") + (h ? "1" : "0") + " V=" + (v ? "1" : "0");
}

std::string repetitionsText(const Workspace& ws) {
  const ParamStore& p = ws.params;
  if (p.tnValue(field::kRepeatAcross) <= 1 && p.tnValue(field::kRepeatDown) <= 1) return {};
  auto optional = [&](int i) { return valueText(p.tn(i)).empty() ? std::string() : fieldText(ws, i); };
  return ", " + fieldText(ws, field::kRepeatAcross) + ", " + fieldText(ws, field::kRepeatDown) + ", " +
         optional(field::kStepAcross) + ", " + optional(field::kStepDown);
}

// What else decides the pixels of table lines: the mask over them and the line colour
// (colour pictures only).
std::string tableDrawingKeys(const Workspace& ws) {
  const ParamStore& p = ws.params;
  std::string s;
  if (p.chb(check::kMaskLines)) s += ", Mask=" + p.held(Held::MaskPattern);
  auto channel = [&](int f) { return std::to_string(clampv<long long>(nearest(p.tnValue(f)), 0, 255)); };
  const std::string r = channel(field::kRed), g = channel(field::kGreen), b = channel(field::kBlue);
  if (ws.shared.bitDepth == 24 && (r != "0" || g != "0" || b != "0")) s += ", Red=" + r + ", Green=" + g + ", Blue=" + b;
  return s;
}

std::string oneTableLine(const Workspace& ws, char letter) {
  const ParamStore& p = ws.params;
  const bool table = p.check(Check::ChTabTab);
  std::string s(1, letter);
  if (table && p.check(Check::ChDrawInCell)) s += "in" + valueText(p.tn(field::kInnerLineWidth));
  s += rectangleText(ws);
  if (letter == 'T')
    s += ", " + fieldText(ws, field::kAcross) + ", " + fieldText(ws, field::kDown) + ", " +
         fieldText(ws, field::kHorizontalLineWidth) + ", " + fieldText(ws, field::kVerticalLineWidth);
  if (letter == 'H') s += ", " + fieldText(ws, field::kDown) + ", " + fieldText(ws, field::kHorizontalLineWidth);
  if (letter == 'V') s += ", " + fieldText(ws, field::kAcross) + ", " + fieldText(ws, field::kVerticalLineWidth);
  s += repetitionsText(ws);
  if (letter != 'T' && p.chb(check::kArrows)) s += ", Arrow=1";
  s += tableDrawingKeys(ws);
  if (letter == 'T') return s;
  // An H or V line alone draws parallel lines; a table of one direction says "Cells=1".
  if (table) s += ", Cells=1";
  // Lines both ways are two lines; each carries the extension that the other direction
  // gave it, so that the corners replay as they were drawn.
  if (!table && p.chb(check::kTableHorizontal) && p.chb(check::kTableVertical)) {
    const int other = letter == 'H' ? field::kVerticalLineWidth : field::kHorizontalLineWidth;
    s += ", Ext=" + std::to_string(nearest(p.tnValue(other)));
  }
  return s;
}

}  // namespace

std::string openLine(const Workspace& ws, const std::string& path, int fileBits, bool correction,
                     long long usedValue) {
  const ParamStore& p = ws.params;
  std::string options;
  if (p.chb(check::kLoadOpened)) options += " ForPrint=1";
  if (fileBits > 1) {
    const bool to1bit = p.chb(check::kOpenAs1Bit);
    if (to1bit) options += " To1bit=1";
    if (p.chb(check::kReadRgb)) options += " RGB=1";
    const std::string v = std::to_string(usedValue);
    if ((v != "0" && !to1bit && correction) || (to1bit && v != "140")) options += " BW=" + v;
    if (correction && !to1bit) {
      const std::string k = valueText(p.tn(field::kContrast));
      if (k != "1") options += " Contrast=" + k;
      if (p.chb(check::kCorrectBlack)) options += " Black=1";
      if (p.chb(check::kCorrectWhite)) options += " White=1";
    }
  }
  return "Open, SRC=\"" + path + "\"" + options;
}

std::string copyAsIsLine(bool landscape) { return copyAsIsRecord(landscape); }

std::string printLine(const Workspace& ws, double copies) { return "Print, " + ws.format(copies); }

std::string a3Line(int half) { return "A3, " + std::to_string(half); }

std::string replaceTextLine(int field, const std::string& find, const std::string& replacement,
                            const std::string& ending, bool anyCase) {
  std::string line = "ReplaceText, TZ=" + std::to_string(field) + ", Find=\"" + escapeLineValue(find) +
                     "\", By=\"" + escapeLineValue(replacement) + "\"";
  if (!ending.empty()) line += ", End=\"" + escapeLineValue(ending) + "\"";
  if (anyCase) line += ", AnyCase=1";
  return line;
}

std::string batchLine(Workspace& ws) {
  const ParamStore& p = ws.params;
  const ImpositionPlan& plan = batchState(ws).plan;
  std::string line = "Batch, From=" + std::to_string(plan.first) + ", To=" + std::to_string(plan.last);
  if (p.chb(check::kCopybookNumbering)) line += ", Sheets=" + std::to_string(plan.forms / 2);
  if (plan.kind != PlanKind::A4) line += ", A3=1";
  if (plan.kind == PlanKind::A3TwoFolds) line += ", Folds=2";
  if (p.chb(check::kOriginalTurned)) line += ", Turned=1";
  line += ", Prefix=\"" + batchState(ws).scanPrefix + "\"";
  if (p.chb(check::kPrintAfter)) line += ", Print=1";
  return line;
}

std::string reloadLine(char direction) {
  if (direction == 'R' || direction == 'L') return std::string("Reload, ") + direction;
  return "Reload";
}

std::string turnLine(TurnDirection direction) {
  switch (direction) {
    case TurnDirection::Over: return "Over";
    case TurnDirection::Right: return "Right";
    case TurnDirection::Left: return "Left";
  }
  return {};
}

std::string brightnessContrastLine(const Workspace& ws) {
  const ParamStore& p = ws.params;
  std::string s = "DBC" + rectangleText(ws) + ",";
  const std::string bw = valueText(p.held(Held::Brightness));
  if (!bw.empty() && bw != "0") s += " BW=" + bw;
  const std::string k = valueText(p.tn(field::kContrast));
  if (!k.empty() && k != "1") s += " Contrast=" + k;
  if (!p.chb(check::kCorrectBlack)) s += " Black=0";
  if (p.chb(check::kCorrectWhite)) s += " White=1";
  return s;
}

std::string darkRelWhiteLine(const Workspace& ws) {
  return "DarkRelWhite" + rectangleText(ws) + ", Contrast=" + valueText(ws.params.tn(field::kContrastRelWhite));
}

std::string maskLine(const Workspace& ws, const std::string& pattern, int pictureBits) {
  std::string s = pattern == "FFFF" ? "Erase" + rectangleText(ws) : "Mask" + rectangleText(ws) + ", " + pattern;
  if (pictureBits == 8 && ws.params.chb(check::kMaskOnGrey)) s += ", OnGray=1";
  return s;
}

std::string textLine(const Workspace& ws, const std::string& text) {
  return textSettingsLine(ws, text) + " <TEXT>" + text + "</TEXT>";
}

std::string newSheetLine(int index) {
  std::string s = "New";
  if (index & kSheetLandscape) s += ", L";
  if (index & kSheetA5) s += ", F=A5";
  return s;
}

std::string convertTo1bitLine(const std::string& threshold) {
  std::string line = "ConvertTo1bit";
  if (threshold != "140") line += ", BW=" + threshold;
  return line;
}

std::string densityLine(const Workspace& ws, bool plus) {
  std::string s = "DenseThin" + rectangleText(ws);
  const std::string w = valueText(ws.params.tn(field::kDensityWidth));
  if (!w.empty() && w != "4") s += ", W=" + w;
  if (plus) s += ", Plus=1";
  return s + directionsText(ws);
}

std::string lineWidthLine(const Workspace& ws, bool thicker, bool variant) {
  const ParamStore& p = ws.params;
  std::string s = thicker ? "D+" : "D-";
  if (variant) s += "/";
  if (p.chb(check::kCorners) && p.chb(check::kDensityHorizontal) && p.chb(check::kDensityVertical)) s += "C";
  return s + rectangleText(ws) + directionsText(ws);
}

std::string mergeCellsLine(const Workspace& ws) { return "U" + rectangleText(ws); }

std::vector<std::string> tableLines(const Workspace& ws) {
  const ParamStore& p = ws.params;
  const bool h = p.chb(check::kTableHorizontal);
  const bool v = p.chb(check::kTableVertical);
  if (h && !v) return {oneTableLine(ws, 'H')};
  if (v && !h) return {oneTableLine(ws, 'V')};
  if (!h && !v) return {};  // nothing is drawn
  if (!p.check(Check::ChTabTab)) return {oneTableLine(ws, 'H'), oneTableLine(ws, 'V')};
  return {oneTableLine(ws, 'T')};
}

std::string textLine(const Workspace& ws) {
  return textSettingsLine(ws) + " <TEXT>" + ws.params.tz(text::kBody) + "</TEXT>";
}

bool recordTable(Workspace& ws) {
  bool any = false;
  for (const std::string& line : tableLines(ws)) any = appendLineForced(ws, line) || any;
  return any;
}

bool recordText(Workspace& ws) { return appendLineForced(ws, textLine(ws)); }

}  // namespace quillaro
