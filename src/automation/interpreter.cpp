#include "automation/interpreter.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/fields.h"
#include "base/numeric.h"
#include "kernels/mask.h"
#include "model/workspace.h"
#include "ops/picture_commands.h"
#include "ops/open.h"
#include "ops/new_sheet.h"
#include "ops/copy_record.h"
#include "ops/copy_engine.h"
#include "ops/a3_sheet.h"
#include "ops/find_replace.h"
#include "base/control_numbers.h"
#include "ops/batch_run.h"
#include "ops/save.h"

namespace quillaro {
namespace {

// Keeps the running flag on for one interpretation, also when an operation throws.
class RunningScope {
public:
  explicit RunningScope(Workspace& ws) : ws_(ws) { ws_.running = true; }
  ~RunningScope() { ws_.running = false; }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;
private:
  Workspace& ws_;
};

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

// A key value used as a number: an unquoted value keeps a comma written right after it
// ("W=4, Plus=1"); that separator is no part of the number.
std::string keyNumber(FieldReader& r, std::string_view name) {
  std::string v = r.getKey(name);
  while (!v.empty() && v.back() == ',') v.pop_back();
  return v;
}

std::string orDefault(std::string v, const char* def) { return v.empty() ? std::string(def) : v; }

// The next positional number into TN(i); a field that is absent or not numeric leaves
// the box unchanged. True when the box was set.
bool numberInto(Workspace& ws, int i) {
  if (!ws.reader.nextNumber()) return false;
  ws.params.setTn(i, ws.reader.field());
  return true;
}

// The same with a default for an absent or non-numeric field.
void numberOrDefault(Workspace& ws, int i, const char* def) {
  if (!numberInto(ws, i)) ws.params.setTn(i, def);
}

// The directions of the density and line width operations: both on, then off for a key
// whose value is "0".
void setDirections(Workspace& ws) {
  ParamStore& p = ws.params;
  p.setChb(check::kDensityHorizontal, true);
  p.setChb(check::kDensityVertical, true);
  if (ws.reader.getKey("H") == "0") p.setChb(check::kDensityHorizontal, false);
  if (ws.reader.getKey("V") == "0") p.setChb(check::kDensityVertical, false);
}

// Font attributes of X and X-: the letters as written.
void readFontAttributes(Workspace& ws) {
  ParamStore& p = ws.params;
  const std::string fa = ws.reader.getKey("FA");
  p.setChb(check::kBold, contains(fa, "B"));
  p.setChb(check::kItalic, contains(fa, "i"));
  p.setChb(check::kUnderline, contains(fa, "U"));
  p.setChb(check::kStrikeOut, contains(fa, "S"));
}

// The text settings keys of an X line (the steps after the positional fields).
void readTextSettings(Workspace& ws) {
  ParamStore& p = ws.params;
  FieldReader& r = ws.reader;
  p.setOption(OptionGroup::Placement, 0);
  const std::string ta = r.getKey("TA");
  if (ta == "C") {
    p.setOption(OptionGroup::Placement, 1);
  } else if (ta == "R") {
    p.setOption(OptionGroup::Placement, 2);
    p.setCheck(Check::ChRowTab, false);
  } else if (ta == "RT") {
    p.setOption(OptionGroup::Placement, 2);
    p.setCheck(Check::ChRowTab, true);
  } else if (ta == "T") {
    p.setOption(OptionGroup::Placement, 3);
  }
  p.setChb(check::kTextIntoFrames, r.getFlag("FF") != 0);
  for (int n = 1; n <= 32; ++n) {
    const std::string v = r.getKey("HA[" + std::to_string(n) + "]");
    int code = kNoColumnAlign;
    if (!v.empty()) {
      const long long c = nearest(parseNumber(v, ws.prompts));
      if (c >= 0 && c <= kNoColumnAlign) code = static_cast<int>(c);
    }
    ws.actions.columnAlign[static_cast<std::size_t>(n)] = code;
  }
  p.setHeld(Held::TextHAlign, "");
  p.setCheck(Check::ChTexBiasLine, r.getFlag("LB") != 0);
  const bool la = r.getFlag("LA") != 0;
  p.setChb(check::kLinesAfterRows, la);
  if (la) p.setCheck(Check::ChTexBiasLine, false);
  const std::string tau = r.getKey("TAU");
  const long long bits = tau.empty() ? 0 : nearest(parseNumber(tau, ws.prompts));
  p.setChb(check::kTableAuto, (bits & 1) != 0);
  if (!tau.empty()) {
    p.setChb(check::kCellFit, (bits & 2) != 0);
    p.setChb(check::kRearrange, (bits & 4) != 0);
  }
  p.setListIndex(ListSel::ListFontName, 0);
  const std::string fn = r.getKey("FN");
  if (fn == "Courier New") p.setListIndex(ListSel::ListFontName, 1);
  else if (fn == "Tahoma") p.setListIndex(ListSel::ListFontName, 2);
  else if (fn == "Times New Roman") p.setListIndex(ListSel::ListFontName, 3);
  // Any other installed family is kept by name beside the list.
  const bool listed = fn.empty() || fn == "Arial" || fn == "Courier New" || fn == "Tahoma" || fn == "Times New Roman";
  p.setHeld(Held::FontFamily, listed ? "" : fn);
  p.setTn(field::kFontSize, orDefault(keyNumber(r, "FS"), "72"));
}

void readTextLayout(Workspace& ws) {
  ParamStore& p = ws.params;
  FieldReader& r = ws.reader;
  const std::string ha = r.getKey("HA");
  p.setOption(OptionGroup::HAlign, ha == "R" ? 1 : ha == "M" ? 2 : ha == "J" ? 3 : 0);
  const std::string va = r.getKey("VA");
  p.setOption(OptionGroup::VAlign, va == "B" ? 1 : va == "M" ? 2 : va == "J" ? 3 : 0);
  const std::string dm = r.getKey("DM");
  p.setOption(OptionGroup::SpacingUnit, dm == "P" ? 1 : dm == "mm" ? 2 : 0);
  const std::string pm = r.getKey("PM");
  p.setOption(OptionGroup::OffsetUnit, pm == "P" ? 1 : pm == "%" ? 2 : 0);
  p.setTn(field::kIndentX, keyNumber(r, "PX"));
  p.setTn(field::kIndentY, keyNumber(r, "PY"));
  p.setTn(field::kTabWidth, orDefault(keyNumber(r, "TAB"), "15"));
  p.setTn(field::kLineSpacing, keyNumber(r, "DY"));
  p.setTn(field::kCharSpacing, keyNumber(r, "DX"));
  p.setTn(field::kStretchLimit, orDefault(keyNumber(r, "JL"), "50"));
}

// "ReplaceText, TZ=k, Find=..., By=..., End=..., AnyCase=1": replace all in TZ(k), never in
// the program being run (TZ(0)), without the question.
void replaceTextCommand(Workspace& ws) {
  FieldReader& r = ws.reader;
  const std::string tz = r.getKey("TZ");
  const long long field = tz.empty() ? -1 : nearest(parseNumber(tz));
  if (field <= text::kProgram || field >= kReplaceFields) return;
  const ReplaceSet set{unescapeLineValue(r.getKey("Find")), unescapeLineValue(r.getKey("By")),
                       unescapeLineValue(r.getKey("End"))};
  replaceAllInField(ws, static_cast<int>(field), set, r.getFlag("AnyCase") != 0, false);
}

// "Batch, From=1, To=16[, Sheets=4][, A3=1][, Folds=2][, Turned=1][, Prefix="scan"][, Print=1]":
// the automation panel of the imposition. Sheets chooses the sheets mode; A3 the A3 plans;
// Folds=2 the two-folds plan; Print=1 prints every finished page image.
void readBatchLine(Workspace& ws) {
  ParamStore& p = ws.params;
  FieldReader& r = ws.reader;
  const std::string from = keyNumber(r, "From");
  const std::string to = keyNumber(r, "To");
  const std::string sheets = keyNumber(r, "Sheets");
  if (!from.empty()) p.setTn(field::kFromPage, from);
  if (!to.empty()) p.setTn(field::kToPage, to);
  p.setChb(check::kCopybookNumbering, !sheets.empty());
  if (!sheets.empty()) p.setTn(field::kCopybookSheets, sheets);
  p.setCheck(Check::ChA3, r.getFlag("A3") != 0);
  p.setChb(check::kFourInOne, false);
  p.setChb(check::kFoldA3, keyNumber(r, "Folds") == "2");
  p.setChb(check::kOriginalTurned, r.getFlag("Turned") != 0);
  p.setChb(check::kPrintAfter, r.getFlag("Print") != 0);
  std::string prefix = r.getKey("Prefix");
  while (!prefix.empty() && prefix.back() == ',') prefix.pop_back();
  batchState(ws).scanPrefix = cleanFileName(prefix);
}

int groupA(Workspace& ws, const std::string& word) {
  ParamStore& p = ws.params;
  FieldReader& r = ws.reader;
  int kind = kCmdNothing;
  if (word == "OVER" || word == "RIGHT" || word == "LEFT") {
    if (word == "OVER") turnPictureOver(ws);
    else if (word == "RIGHT") turnPictureRight(ws);
    else turnPictureLeft(ws);
    kind = kCmdDone;
  }
  if (word == "OPEN") {
    const std::string src = r.getKey("SRC");
    p.setChb(check::kLoadOpened, r.getFlag("ForPrint") != 0);
    p.setChb(check::kOpenAs1Bit, r.getFlag("To1bit") != 0);
    p.setChb(check::kReadRgb, r.getFlag("RGB") != 0);
    const std::string bw = keyNumber(r, "BW");
    if (p.chb(check::kOpenAs1Bit)) p.setHeld(Held::Threshold, orDefault(bw, "140"));
    else p.setHeld(Held::Brightness, orDefault(bw, "0"));
    p.runHandler(chbId(check::kOpenAs1Bit));
    p.setTn(field::kContrast, orDefault(keyNumber(r, "Contrast"), "1"));
    p.setChb(check::kCorrectBlack, r.getFlag("Black") != 0);
    p.setChb(check::kCorrectWhite, r.getFlag("White") != 0);
    openPicture(ws, src);
    kind = kCmdDone;
  }
  if (word == "COPY") {
    // The key copy keeps the letter case of the line as it was written.
    applyCopyRecord(ws, r.keyCopy());
    kind = kCmdCopy;
  }
  if (word == "PRINT") {
    if (numberInto(ws, field::kCopies)) kind = kCmdPrint;
  }
  if (word == "RELOAD") {
    char direction = 0;
    bool known = true;
    if (r.nextField()) {
      if (r.field() == "R") direction = 'R';
      else if (r.field() == "L") direction = 'L';
      else known = false;
    }
    if (known) {
      reloadCopy(ws, direction);
    }
    kind = kCmdReloaded;
  }
  if (startsWith(word, "NEW")) {
    p.setCheck(Check::ChSelSize, true);
    const bool landscape = r.nextField() && startsWith(r.field(), "L");
    const bool a5 = r.getKey("F") == "A5";
    newSheet(ws, (landscape ? kSheetLandscape : 0) | (a5 ? kSheetA5 : 0), true);
    kind = kCmdDone;
  }
  if (word == "CONVERTTO1BIT") {
    p.setHeld(Held::Threshold, orDefault(keyNumber(r, "BW"), "140"));
    p.setChb(check::kOpenAs1Bit, true);
    p.runHandler(chbId(check::kOpenAs1Bit));
    convertPictureTo1bit(ws);
    kind = kCmdReloaded;
  }
  if (word == "REPLACETEXT") {
    // Reading one line (F1) sets nothing: the texts belong to the find-and-replace window.
    if (!ws.readingMode) replaceTextCommand(ws);
    kind = kCmdDone;
  }
  if (word == "BATCH") {
    readBatchLine(ws);
    kind = kCmdBatch;
  }
  if (word == "A3") {
    if (r.nextNumber()) {
      const long long half = nearest(r.fieldValue());
      // Reading one line (F1) sets the panels only: the sheet is not begun anew.
      if ((half == 1 || half == 2) && !ws.readingMode) {
        selectA3Half(ws, static_cast<int>(half));
      }
      p.setCheck(Check::ChA3, true);
    }
    kind = kCmdA3;
  }
  return kind;
}

int groupB(Workspace& ws, const std::string& word) {
  ParamStore& p = ws.params;
  FieldReader& r = ws.reader;
  const char first = word[0];
  int kind = first == 'X' ? kCmdText : kCmdNothing;

  if (startsWith(word, "X-")) {
    ws.actions.fontAttributesOnly = true;
    p.setOption(OptionGroup::VAlign, 0);
    p.setOption(OptionGroup::HAlign, 0);
    p.setOption(OptionGroup::Placement, 0);
    p.setChb(check::kTextIntoFrames, false);
    p.setChb(check::kTableAuto, false);
    readFontAttributes(ws);
    return kCmdText;
  }
  ws.actions.fontAttributesOnly = false;
  // "Tin", "Hin" and "Vin": the inner thickness follows the letters.
  if ((first == 'T' || first == 'H' || first == 'V') && startsWith(word.substr(1), "IN")) {
    std::string rest = word.substr(3);
    const auto b = rest.find_first_not_of(' ');
    const auto e = rest.find_last_not_of(' ');
    rest = b == std::string::npos ? std::string() : rest.substr(b, e - b + 1);
    p.setTn(field::kInnerLineWidth, rest);
    p.setCheck(Check::ChDrawInCell, true);
  } else {
    p.setCheck(Check::ChDrawInCell, false);
  }
  for (int i = field::kDrawLeft; i <= field::kDrawHeight; ++i) numberInto(ws, i);
  if (first == 'X' || first == 'H' || first == 'T' || first == 'V') {
    p.setTn(field::kRed, keyNumber(r, "Red"));
    p.setTn(field::kGreen, keyNumber(r, "Green"));
    p.setTn(field::kBlue, keyNumber(r, "Blue"));
  }
  if (first == 'T') {
    // A table has lines both ways; after an H or V line the directions would otherwise
    // stay one-sided and a recorded table would replay without half of its lines.
    p.setChb(check::kTableHorizontal, true);
    p.setChb(check::kTableVertical, true);
  }
  if (first == 'T' || first == 'X') {
    p.setCheck(Check::ChTabTab, true);
    p.runHandler(checkId(Check::ChTabTab));
    if (numberInto(ws, field::kAcross)) p.runHandler(tnId(field::kAcross));
    if (numberInto(ws, field::kDown)) p.runHandler(tnId(field::kDown));
    numberInto(ws, field::kHorizontalLineWidth);
    numberInto(ws, field::kVerticalLineWidth);
  }
  if (first == 'H') {
    p.setChb(check::kTableHorizontal, true);
    p.setChb(check::kTableVertical, false);
    p.runHandler(checkId(Check::ChTabTab));
    p.setTn(field::kAcross, "1");
    numberInto(ws, field::kDown);
    numberInto(ws, field::kHorizontalLineWidth);
  }
  if (first == 'V') {
    p.setChb(check::kTableHorizontal, false);
    p.setChb(check::kTableVertical, true);
    p.runHandler(checkId(Check::ChTabTab));
    p.setTn(field::kDown, "1");
    numberInto(ws, field::kAcross);
    numberInto(ws, field::kVerticalLineWidth);
  }
  if (first == 'H' || first == 'T' || first == 'V') {
    kind = kCmdTable;
    numberOrDefault(ws, field::kRepeatAcross, "1");
    numberOrDefault(ws, field::kRepeatDown, "1");
    numberOrDefault(ws, field::kStepAcross, "");
    numberOrDefault(ws, field::kStepDown, "");
  }
  if (first == 'H' || first == 'V') {
    p.setChb(check::kArrows, r.getFlag("Arrow") != 0);
    // Parallel lines unless the line says cells ("Cells=1"); "Ext" is the extension of lines
    // drawn both ways (the recorder writes both keys).
    p.setCheck(Check::ChTabTab, r.getFlag("Cells") != 0);
    const std::string ext = keyNumber(r, "Ext");
    ws.actions.lineExtension = isNumeric(ext) ? std::max(0.0, parseNumber(ext)) : -1;
  } else if (first == 'T') {
    ws.actions.lineExtension = -1;
  }
  if (first == 'H' || first == 'T' || first == 'V') {
    // "Mask=" and the pattern: the lines are masked with it.
    const std::string mask = r.getKey("Mask");
    const bool masked = mask.size() >= 4 && MaskPattern::fromText(mask.substr(0, 4)).has_value();
    p.setChb(check::kMaskLines, masked);
    if (masked) ws.setMaskPattern(mask.substr(0, 4));
  }
  if (first == 'X') {
    readTextSettings(ws);
    readFontAttributes(ws);
    readTextLayout(ws);
  }
  if (word == "MASK" && r.nextField()) {
    kind = kCmdMask;
    ws.setMaskPattern(r.field());
    if (ws.shared.bitDepth == 8) p.setChb(check::kMaskOnGrey, r.getFlag("OnGray") != 0);
  }
  if (word == "ERASE") {
    kind = kCmdErase;
    // The recorder writes ", OnGray=1" on erase lines too; without it a replayed erase of a
    // grey picture would whiten only the black pixels.
    if (ws.shared.bitDepth == 8) p.setChb(check::kMaskOnGrey, r.getFlag("OnGray") != 0);
  }
  if (word == "U") kind = kCmdMergeCells;
  if (first == 'D') {
    if (word == "DENSETHIN") {
      p.setTn(field::kDensityWidth, orDefault(keyNumber(r, "W"), "4"));
      setDirections(ws);
      // "Plus=1" is what the recorder writes; a value of 0 means without plus.
      kind = r.getFlag("PLUS") != 0 ? kCmdDensityPlus : kCmdDensity;
    }
    if (word == "DARKRELWHITE") {
      p.setTn(field::kContrastRelWhite, orDefault(keyNumber(r, "Contrast"), "10"));
      kind = kCmdDarkRelWhite;
    }
    if (word == "DBC") {
      p.setHeld(Held::Brightness, orDefault(keyNumber(r, "BW"), "0"));
      p.runHandler(chbId(check::kOpenAs1Bit));
      p.setTn(field::kContrast, orDefault(keyNumber(r, "Contrast"), "1"));
      p.setChb(check::kCorrectBlack, r.getKey("Black") != "0");
      p.setChb(check::kCorrectWhite, r.getFlag("White") != 0);
      kind = kCmdBrightnessContrast;
    }
    p.setChb(check::kCorners, contains(word, "C"));
    const bool plus = contains(word, "+");
    const bool minus = contains(word, "-");
    if (plus || minus) {
      kind = minus ? kCmdThinner : kCmdThicker;
      if (contains(word, "/")) kind += 2;
      setDirections(ws);
    }
  }
  ws.view->drawingRectChanged();
  return kind;
}

bool isGroupB(char c) {
  switch (c) {
    case 'H': case 'T': case 'V': case 'X': case 'M': case 'E': case 'U': case 'D': return true;
    default: return false;
  }
}

}  // namespace

bool startsWithCommandLetter(std::string_view line) {
  if (line.empty()) return false;
  const char c = line[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int interpret(Workspace& ws, std::string_view lineIn) {
  if (!startsWithCommandLetter(lineIn)) return kCmdNothing;
  std::string line(lineIn);
  FieldReader& r = ws.reader;
  r.setLine(line);
  if (!r.nextField()) {
    ws.running = false;
    return kCmdNothing;
  }
  const std::string word = upperUtf8(r.field());
  RunningScope running(ws);
  const char first = word[0];

  if (first == 'X') {
    const std::string upper = upperUtf8(line);
    const auto open = upper.find("<TEXT>");
    if (open != std::string::npos) {
      const auto from = open + 6;
      const auto close = upper.find("</TEXT>", from);
      if (close != std::string::npos) ws.params.setTz(text::kBody, line.substr(from, close - from));
      line.erase(open);
    }
  }
  r.prepareKeys(line);
  // Positional fields are read in upper case from here on; the word is passed over again.
  r.setLine(upperUtf8(line));
  r.nextField();

  if (!isGroupB(first)) return groupA(ws, word);
  return groupB(ws, word);
}

}  // namespace quillaro
