#include "journal/record_lines.h"

#include "journal/recorder.h"
#include "base/numeric.h"
#include "model/param_store.h"
#include "model/workspace.h"
#include "ops/batch_run.h"
#include "ops/copy_record.h"
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

std::string oneTableLine(const Workspace& ws, char letter) {
  const ParamStore& p = ws.params;
  std::string s(1, letter);
  if (letter == 'T' && p.check(Check::ChDrawInCell)) s += "in" + valueText(p.tn(field::kInnerLineWidth));
  s += rectangleText(ws);
  if (letter == 'T')
    s += ", " + fieldText(ws, field::kAcross) + ", " + fieldText(ws, field::kDown) + ", " +
         fieldText(ws, field::kHorizontalLineWidth) + ", " + fieldText(ws, field::kVerticalLineWidth);
  if (letter == 'H') s += ", " + fieldText(ws, field::kDown) + ", " + fieldText(ws, field::kHorizontalLineWidth);
  if (letter == 'V') s += ", " + fieldText(ws, field::kAcross) + ", " + fieldText(ws, field::kVerticalLineWidth);
  s += repetitionsText(ws);
  if (letter != 'T' && p.chb(check::kArrows)) s += ", Arrow=1";
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
