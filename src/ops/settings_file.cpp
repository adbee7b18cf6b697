#include "ops/settings_file.h"

#include <algorithm>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "base/fields.h"
#include "base/files.h"
#include "base/numeric.h"
#include "model/workspace.h"
#include "ops/text_settings.h"
#include "ops/save.h"
#include "ops/file_list.h"
#include "ops/copy_params.h"

namespace quillaro {
namespace {

enum class K : std::uint8_t {
  Folder,      // text item, working folder `index`
  Left, Top, Width, Height,  // number items, the window
  Tn,          // text item, TN(index), normalised when written
  Ttb,         // text item, TTB(index)
  TextPrint,   // text item, TextPrint(index)
  Chb,         // number item, ChB(index)
  Check,       // number item, the named check box `index`
  HeldAlways,  // text item, held text `index`, assigned even when empty
  HeldNonEmpty,  // text item, held text `index`, replaced only by a non-empty value
  Mask,        // text item, the current mask pattern
  CopySize,    // text item, TN(68 + index) through the copy size setter
  A3C,         // text item, the eight A3 texts joined by ","
};

struct Key {
  const char* name;
  K kind;
  int index;
};

constexpr int ck(Check c) { return static_cast<int>(c); }
constexpr int hk(Held h) { return static_cast<int>(h); }

// Every key in the order in which it is written.
constexpr Key kKeys[] = {
    // Folders and window.
    {"OpenPath", K::Folder, kFolderSource},
    {"SavePath", K::Folder, kFolderSaved},
    {"iniPath", K::Folder, kFolderSettings},
    {"pfpPath", K::Folder, kFolderPrograms},
    {"txtPath", K::Folder, kFolderTexts},
    {"Left", K::Left, 0},
    {"Top", K::Top, 0},
    {"Width", K::Width, 0},
    {"Height", K::Height, 0},
    // Copy parameters and page.
    {"TextPrinterMargin", K::Tn, field::kMargin},
    {"L4CX", K::HeldAlways, hk(Held::L4CX)},
    {"L4CY", K::HeldAlways, hk(Held::L4CY)},
    {"ChLand", K::Check, ck(Check::ChLand)},
    {"Ch2in1", K::Check, ck(Check::Ch2in1)},
    {"Ch2origin", K::Check, ck(Check::Ch2origin)},
    {"ChMirror", K::Check, ck(Check::ChMirror)},
    {"ChPaste", K::Check, ck(Check::ChPaste)},
    {"ChForm", K::Check, ck(Check::ChForm)},
    {"ChA3", K::Check, ck(Check::ChA3)},
    {"L4in1", K::Chb, check::kFourInOne},
    {"CopyWidth", K::CopySize, 0},
    {"CopyHeight", K::CopySize, 1},
    {"ChBig", K::Check, ck(Check::ChBig)},
    {"ChAxis", K::Check, ck(Check::ChAxis)},
    {"L4X0", K::Tn, field::kQuadOffsetX},
    {"L4Y0", K::Tn, field::kQuadOffsetY},
    {"TextFram11", K::Tn, field::kFrame11},
    {"TextFram12", K::Tn, field::kFrame12},
    {"ChScanM", K::Chb, check::kScanMargins},
    {"TextScanM", K::Tn, field::kScanMargin},
    {"TextPrintX", K::TextPrint, 0},
    {"TextPrintY", K::TextPrint, 1},
    // Files, lists and general behaviour.
    {"ChAddFileName", K::Chb, check::kAddToFileName},
    {"TextAddFileName", K::Ttb, 1},
    {"HorizontalLines", K::Chb, check::kTableHorizontal},
    {"VerticalLines", K::Chb, check::kTableVertical},
    {"ChSortTime", K::Chb, check::kSortByTime},
    {"ChBackSort", K::Chb, check::kSortDescending},
    {"ChAutoOpen", K::Chb, check::kArrows},
    {"ChWrite", K::Chb, check::kRecordActions},
    {"ChRemind", K::Chb, check::kRemind},
    {"ChSimple", K::Chb, check::kByBytes},
    {"ChAutoSet", K::Chb, check::kAutoFrame},
    {"TextDirt", K::Tn, field::kDirt},
    {"TextProgName", K::Ttb, 2},
    {"TextSpeed", K::Tn, field::kSpeed},
    {"TextAllMarg", K::Tn, field::kAllMargins},
    {"TextScale", K::Tn, field::kScale},
    {"ScaleX", K::Tn, field::kScaleX},
    {"ScaleY", K::Tn, field::kScaleY},
    {"Text0Xsel", K::Tn, field::kFrameLeft},
    {"Text0Ysel", K::Tn, field::kFrameTop},
    {"TextSZXsel", K::Tn, field::kFrameWidth},
    {"TextSZYsel", K::Tn, field::kFrameHeight},
    {"TextX", K::Tn, field::kTextX},
    {"TextY", K::Tn, field::kTextY},
    {"TextNumLim", K::Tn, field::kDecimals},
    {"PrintOrigin", K::Chb, check::kLoadOpened},
    {"A4A3simm", K::Chb, check::kA4InA3Turned},
    {"DateFolder", K::Chb, check::kDateFolder},
    {"FocusToPic", K::Chb, check::kFocusOnRead},
    {"PasteToCell", K::Chb, check::kPasteIntoCell},
    {"EqualWidth", K::Chb, check::kEqualLineWidths},
    {"Alt10", K::Chb, check::kAltStepTen},
    {"TextTabVL", K::Tn, field::kVerticalLineWidth},
    {"TextTabHL", K::Tn, field::kHorizontalLineWidth},
    {"TextTabLineW", K::Tn, field::kInnerLineWidth},
    {"TextAddLineWidth", K::Tn, field::kDensityWidth},
    {"TextRoundTS", K::Tn, field::kRound},
    {"TextRoundX", K::Tn, field::kRoundX},
    {"TextRoundY", K::Tn, field::kRoundY},
    {"ChRoundTS", K::Chb, check::kGrid},
    {"Enter", K::Chb, check::kEnterDraws},
    {"EditFontSize", K::Tn, field::kEditFontSize},
    {"EditFontBold", K::Chb, check::kEditFontBold},
    {"FromPage", K::Tn, field::kFromPage},
    {"ToPage", K::Tn, field::kToPage},
    {"NumListInCopybook", K::Tn, field::kCopybookSheets},
    {"OpenAfterPrint", K::Chb, check::kOpenAfterPrint},
    {"OpenAfterSave", K::Chb, check::kOpenAfterSave},
    {"OpenAfterA5", K::Chb, check::kOpenAfterA5},
    {"OpenAfterA4toA3", K::Chb, check::kAfterA3},
    {"NumCopybook", K::Chb, check::kCopybookNumbering},
    {"DirUp", K::Chb, check::kDateFolderUp},
    {"TurnOrig", K::Chb, check::kOriginalTurned},
    {"FixFrame", K::Chb, check::kRememberZones},
    {"FixMiddle", K::Chb, check::kMiddleByPaper},
    {"FixCopyVersa", K::Chb, check::kTwoSides},
    {"SaveSettings", K::Chb, check::kSaveSettings},
    {"Magnify", K::Chb, check::kMagnifier},
    {"NN", K::Chb, check::kTwoNumbers},
    {"WRPP", K::Chb, check::kWrpp},
    {"MaskVari", K::Chb, check::kUnevenMask},
    {"MaskCeil", K::Chb, check::kNotAboveMask},
    {"MaskLeft", K::Tn, field::kMaskLeft},
    {"MaskRight", K::Tn, field::kMaskRight},
    {"LayoutFileName", K::Ttb, 7},
    {"AutoBitColor", K::Chb, check::kAutoColour},
    {"RelativeWhite", K::Chb, check::kRelativeWhite},
    {"OpenDBC", K::Chb, check::kToneOnOpen},
    {"OpenColor", K::Chb, check::kKeepColour},
    {"AltScaleXY", K::Chb, check::kAltScale},
    {"OpenNextByNum", K::Chb, check::kNextByNumber},
    {"LoadCopyForPrint", K::Chb, check::kLoadSaved},
    {"ReadCopyAfterOpen", K::Chb, check::kFindCopyLine},
    {"DensityPlusIfThinAfterOpen", K::Chb, check::kDensityPlusOnOpen},
    {"FastCopy", K::Chb, check::kFastCopy},
    {"PrintToSize", K::Chb, check::kFitToPage},
    {"PrintProportion", K::Chb, check::kKeepProportions},
    {"FoldA3", K::Chb, check::kFoldA3},
    {"CopyFitWindow", K::Chb, check::kCopyFitsWindow},
    {"FrameByCopy", K::Chb, check::kFrameByCopy},
    // Text, frames, tone and masks.
    {"FindFrameForText", K::Chb, check::kTextIntoFrames},
    {"CheckFrame", K::Chb, check::kCheckFrame},
    {"RFindFrame", K::Chb, check::kRightClickFindsFrame},
    {"FillFrame", K::Chb, check::kFillFoundFrame},
    {"HorizontalALW", K::Chb, check::kDensityHorizontal},
    {"VerticalALW", K::Chb, check::kDensityVertical},
    {"Corners", K::Chb, check::kCorners},
    {"LineAfterText", K::Chb, check::kLinesAfterRows},
    {"MaskLine", K::Chb, check::kMaskLines},
    {"TableAuto", K::Chb, check::kTableAuto},
    {"CellFit", K::Chb, check::kCellFit},
    {"ReArrange", K::Chb, check::kRearrange},
    {"MultiCopy", K::Chb, check::kMultiCopy},
    {"MaskCopy", K::Chb, check::kMaskOnCopy},
    {"A4mid", K::Tn, field::kMiddleOffset},
    {"LevelBW", K::HeldNonEmpty, hk(Held::Threshold)},
    {"BrightnessOpen", K::HeldNonEmpty, hk(Held::Brightness)},
    {"ConvertTo1bit", K::Chb, check::kOpenAs1Bit},
    {"ReadRGB", K::Chb, check::kReadRgb},
    {"ContrastOpen", K::Tn, field::kContrast},
    {"CorrBlack", K::Chb, check::kCorrectBlack},
    {"CorrWhite", K::Chb, check::kCorrectWhite},
    {"ContrastSelected", K::Tn, field::kContrastRelWhite},
    {"Mask8bit", K::Chb, check::kMaskOnGrey},
    {"PageNum", K::Chb, check::kPageNumbers},
    {"Mask", K::Mask, 0},
    {"SX1", K::HeldAlways, hk(Held::SX1)},
    {"SY1", K::HeldAlways, hk(Held::SY1)},
    {"SX2", K::HeldAlways, hk(Held::SX2)},
    {"SY2", K::HeldAlways, hk(Held::SY2)},
    {"A3C", K::A3C, 0},
};

constexpr const char* kCrLf = "\r\n";
constexpr std::string_view kBlockOpen = "<DefTextSet>";
constexpr std::string_view kBlockClose = "</DefTextSet>";

// A text item is one line, Key="value" with the value as it is: the reader takes a quoted
// value to the last quote of its line, so quotes inside come back unchanged and no text
// inside is taken for a key. (Older versions wrote a quote as an apostrophe; they read a
// value up to its first inner quote.) A line break inside a value would end the line: it is
// written as a blank.
void appendTextItem(std::string& out, const char* key, std::string_view value) {
  out += key;
  out += "=\"";
  for (char c : value) out += c == '\r' || c == '\n' ? ' ' : c;
  out += '"';
  out += kCrLf;
}

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string upperAscii(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

// The items of a settings text, in file order, and the text-settings record. Items are
// read line by line: an item is a name, optional blanks, "=" and a value. A value in
// double quotes runs to the last double quote of its line; one in apostrophes to the next
// apostrophe; any other to the next blank, after which the line may hold further items
// (files written by hand). A word that is no item is skipped up to the next blank. The
// block "<DefTextSet>" ... "</DefTextSet>" (any case) is taken whole, across lines too.
struct SettingsItems {
  std::vector<std::pair<std::string, std::string>> items;  // upper-case name, value
  std::optional<std::string> block;

  // The value of the first item of that name; empty when there is none.
  std::string value(std::string_view name) const {
    const std::string want = upperAscii(name);
    for (const auto& [key, v] : items)
      if (key == want) return v;
    return {};
  }
};

SettingsItems parseSettingsItems(std::string_view text) {
  SettingsItems out;
  const std::string upper = upperAscii(text);
  constexpr std::string_view kOpen = "<DEFTEXTSET>", kClose = "</DEFTEXTSET>";
  const std::size_t n = text.size();
  std::size_t i = 0;
  std::size_t lineEnd = 0;  // end of the line that holds i (found once per line)
  bool unclosed = false;
  while (i < n) {
    if (isBlank(text[i])) { ++i; continue; }
    if (i >= lineEnd) lineEnd = std::min(text.find_first_of("\r\n", i), n);
    if (!out.block && !unclosed && upper.compare(i, kOpen.size(), kOpen) == 0) {
      const std::size_t from = i + kOpen.size();
      const std::size_t close = upper.find(kClose, from);
      unclosed = close == std::string::npos;  // then no later block closes either
      if (!unclosed) {
        std::string record(text.substr(from, close - from));
        for (char& c : record)
          if (c == '\r' || c == '\n') c = ' ';
        out.block = std::move(record);
        i = close + kClose.size();
        continue;
      }
    }
    const std::size_t start = i;
    std::size_t e = i;
    while (e < lineEnd && text[e] != '=' && !isBlank(text[e])) ++e;
    std::size_t eq = e;
    while (eq < lineEnd && isBlank(text[eq])) ++eq;
    if (e == i || eq >= lineEnd || text[eq] != '=') {
      while (i < n && !isBlank(text[i])) ++i;  // not an item: the next word
      continue;
    }
    std::size_t v = eq + 1;
    while (v < lineEnd && isBlank(text[v])) ++v;
    std::string value;
    if (v < lineEnd && (text[v] == '"' || text[v] == '\'')) {
      const std::string_view line = text.substr(0, lineEnd);
      std::size_t close = text[v] == '"' ? line.rfind('"') : line.find('\'', v + 1);
      if (close == std::string_view::npos || close <= v) close = lineEnd;
      value.assign(text.substr(v + 1, close - v - 1));
      i = std::min(close + 1, n);
    } else {
      std::size_t end = v;
      while (end < lineEnd && !isBlank(text[end])) ++end;
      value.assign(text.substr(v, end - v));
      i = end;
    }
    out.items.emplace_back(upper.substr(start, e - start), std::move(value));
  }
  return out;
}

void appendNumberItem(std::string& out, const char* key, long long value) {
  out += key;
  out += '=';
  out += std::to_string(value);
  out += kCrLf;
}

std::string a3Joined(const ParamStore& p) {
  std::string s;
  for (int i = 0; i < kA3TextCount; ++i) {
    if (i > 0) s += ',';
    s += p.a3Text(i);
  }
  return s;
}

// The table panel's width in the units of its thresholds (7000 and 5640).
long long tablePanelUnits(const Workspace& ws) {
  return static_cast<long long>(ws.tablePanelWidth) * ws.shared.twipsPerPixel;
}

// A check box value of the file: only 0 and 1 apply; an empty (absent) value changes
// nothing.
int checkValue(Workspace& ws, const std::string& value) {
  if (value.empty()) return -1;
  const long long v = nearest(parseNumber(value, ws.prompts));
  return v == 0 || v == 1 ? static_cast<int>(v) : -1;
}

}  // namespace

std::string existingFolderOrParent(std::string folder) {
  // No folder has a path longer than the system allows: such a path is cut back to a
  // separator within that length first, so that a hostile value costs linear time.
  constexpr std::size_t kLongestPath = 4096;
  if (folder.size() > kLongestPath) {
    const auto p = folder.find_last_of("/\\", kLongestPath);
    folder.resize(p == std::string::npos ? 0 : std::max<std::size_t>(p, 1));
  }
  while (!folder.empty() && !folderExists(folder)) {
    const auto p = folder.find_last_of("/\\");
    if (p == std::string::npos) break;
    if (p == 0) {
      folder.resize(1);  // the root
      if (folderExists(folder)) break;
      folder.clear();
      break;
    }
    folder.resize(p);
  }
  return folder;
}

std::string buildSettingsText(const Workspace& ws) {
  const ParamStore& p = ws.params;
  std::string out;
  out.reserve(6000);
  for (const Key& k : kKeys) {
    switch (k.kind) {
      case K::Folder: appendTextItem(out, k.name, ws.shared.folders[k.index]); break;
      case K::Left: appendNumberItem(out, k.name, p.window().left); break;
      case K::Top: appendNumberItem(out, k.name, p.window().top); break;
      case K::Width: appendNumberItem(out, k.name, p.window().width); break;
      case K::Height: appendNumberItem(out, k.name, p.window().height); break;
      case K::Tn: appendTextItem(out, k.name, normalizeField(p.tn(k.index))); break;
      case K::CopySize: appendTextItem(out, k.name, normalizeField(p.tn(field::kPageWidth + k.index))); break;
      case K::Ttb: appendTextItem(out, k.name, p.ttb(k.index)); break;
      case K::TextPrint: appendTextItem(out, k.name, p.textPrint(k.index)); break;
      case K::Chb: appendNumberItem(out, k.name, p.chb(k.index) ? 1 : 0); break;
      case K::Check: appendNumberItem(out, k.name, p.check(static_cast<Check>(k.index)) ? 1 : 0); break;
      case K::HeldAlways:
      case K::HeldNonEmpty: appendTextItem(out, k.name, p.held(static_cast<Held>(k.index))); break;
      case K::Mask: appendTextItem(out, k.name, p.held(Held::MaskPattern)); break;
      case K::A3C: appendTextItem(out, k.name, a3Joined(p)); break;
    }
  }
  const std::string record = defaultTextSettingsRecord(ws);
  if (record.find('=') != std::string::npos) {
    out += kBlockOpen;
    out += record;
    out += kBlockClose;
    out += kCrLf;
  }
  if (tablePanelUnits(ws) < 7000) appendTextItem(out, "ShowPic", "1");
  return out;
}

void applySettingsText(Workspace& ws, std::string_view text) {
  ParamStore& p = ws.params;
  const SettingsItems items = parseSettingsItems(text);
  const bool guard = ws.shared.redrawGuard;
  ws.shared.redrawGuard = true;

  for (const Key& k : kKeys) {
    const std::string value = items.value(k.name);
    switch (k.kind) {
      case K::Folder: {
        std::string& folder = ws.shared.folders[k.index];
        const std::string before = folder;
        if (!value.empty()) folder = value;
        folder = existingFolderOrParent(folder);
        if (k.index == kFolderSource && folder != before) fileList(ws).setPictureFolder();
        break;
      }
      case K::Left:
      case K::Top:
      case K::Width:
      case K::Height: {
        if (value.empty()) break;
        const long long v = nearest(parseNumber(value, ws.prompts));
        WindowRect w = p.window();
        if (k.kind == K::Left)
          w.left = static_cast<int>(clampv<long long>(v, -400, nearest(0.8 * ws.screenWidth)));
        else if (k.kind == K::Top)
          w.top = static_cast<int>(clampv<long long>(v, -400, nearest(0.8 * ws.screenHeight)));
        else if (k.kind == K::Width)
          w.width = static_cast<int>(clampv<long long>(v, INT32_MIN, INT32_MAX));
        else
          w.height = static_cast<int>(clampv<long long>(v, INT32_MIN, INT32_MAX));
        p.setWindow(w);
        break;
      }
      case K::Tn:
        if (!value.empty()) p.setTn(k.index, value);
        break;
      case K::Ttb:
        if (!value.empty()) p.setTtb(k.index, value);
        break;
      case K::TextPrint:
        if (!value.empty()) p.setTextPrint(k.index, value);
        break;
      case K::CopySize:
        if (!value.empty() && p.enabled(tnId(field::kPageWidth))) setPageImageSize(ws, k.index, value);
        break;
      case K::Chb: {
        const int v = checkValue(ws, value);
        if (v >= 0) p.setChb(k.index, v == 1);
        if (k.index == check::kOpenAs1Bit) p.runHandler(chbId(check::kOpenAs1Bit));
        break;
      }
      case K::Check: {
        const int v = checkValue(ws, value);
        const auto c = static_cast<Check>(k.index);
        if (v >= 0) p.setCheck(c, v == 1);
        if (c == Check::ChForm) p.runHandler(checkId(Check::ChForm));
        break;
      }
      case K::HeldAlways: p.setHeld(static_cast<Held>(k.index), value); break;
      case K::HeldNonEmpty:
        if (!value.empty()) p.setHeld(static_cast<Held>(k.index), value);
        break;
      case K::Mask:
        if (!value.empty()) ws.setMaskPattern(value);
        break;
      case K::A3C: {
        std::size_t start = 0;
        for (int i = 0; i < kA3TextCount; ++i) {
          if (start > value.size()) { p.setA3Text(i, ""); continue; }
          std::size_t comma = value.find(',', start);
          if (comma == std::string::npos) comma = value.size();
          p.setA3Text(i, value.substr(start, comma - start));
          start = comma + 1;
        }
        break;
      }
    }
  }

  applyTextSettingsLine(ws, items.block.value_or("X,0,0,0,0"));

  ws.shared.redrawGuard = guard;
  ws.view->settingsApplied();
}

bool readSettings(Workspace& ws, const std::string& path) {
  if (!fileExists(path)) return false;
  auto text = readTextFile(path);
  if (!text) {
    ws.prompts->message("Файл " + path + " не прочитан.");
    return false;
  }
  applySettingsText(ws, *text);
  return true;
}

bool writeSettings(Workspace& ws, const std::string& path) {
  std::string error;
  if (writeTextFile(path, buildSettingsText(ws), &error)) return true;
  ws.prompts->message("Настройки не сохранены в файл " + ws.shared.quote + path + ws.shared.quote +
                          "." + ws.shared.lineBreak + error,
                      Icon::Stop);
  return false;
}

bool writeSettingsOnClose(Workspace& ws) {
  if (!ws.params.chb(check::kSaveSettings)) return true;
  return writeSettings(ws, ws.shared.settingsPath);
}

bool saveSettingsAs(Workspace& ws, const std::string& name) {
  return saveTextInFolder(ws, name, buildSettingsText(ws), kFolderSettings);
}

bool resetSettings(Workspace& ws) {
  const Answer a = ws.prompts->ask("Вернуть все первоначальные значения ?", Buttons::YesNo,
                                   Icon::Question, Answer::No);
  if (a != Answer::Yes) return false;
  applyInitialSettings(ws);
  return true;
}

void applyInitialSettings(Workspace& ws) {
  ParamStore& p = ws.params;
  // 1. The copy check boxes.
  ws.shared.redrawGuard = true;
  for (Check c : {Check::ChLand, Check::Ch2in1, Check::Ch2origin, Check::ChMirror, Check::ChPaste,
                  Check::ChForm, Check::ChA3, Check::ChBig, Check::ChAxis})
    p.setCheck(c, false);
  // 2. Copy frame, margins, print factors, suffix, tone.
  p.setTn(field::kQuadOffsetX, "");
  p.setTn(field::kQuadOffsetY, "");
  p.setTn(field::kFrame11, "4");
  p.setTn(field::kFrame12, "4");
  normalizeCopyFrame(ws);
  p.setTn(field::kScanMargin, "4");
  p.setTn(field::kMargin, "4");
  p.setTextPrint(0, "1");
  p.setTextPrint(1, "1");
  p.setTtb(1, "-Print");
  p.setTn(field::kDirt, "15");
  p.runHandler(checkId(Check::ChForm));
  p.setTn(field::kSpeed, "4");
  p.setTn(field::kAllMargins, "0");
  p.setTn(field::kScale, "100");
  p.setTn(field::kMiddleOffset, "0");
  p.setHeld(Held::Threshold, kInitialThreshold);
  p.setHeld(Held::Brightness, kInitialBrightness);
  p.setTn(field::kContrast, "1");
  p.setTn(field::kContrastRelWhite, "10");
  // 3. Redraw.
  ws.shared.redrawGuard = false;
  ws.redrawEditView();
  p.setTn(field::kDecimals, "1");
  // 4. Every check box ChB(0..85).
  for (std::size_t k = 0; k < kInitialChecks.size(); ++k)
    p.setChb(static_cast<int>(k), kInitialChecks[k] == '1');
  p.runHandler(chbId(check::kOpenAs1Bit));
  // 5. Table, density, font size and imposition fields.
  p.setTn(field::kDensityWidth, "4");
  p.setTn(field::kVerticalLineWidth, "4");
  p.setTn(field::kHorizontalLineWidth, "4");
  p.setTn(field::kInnerLineWidth, "4");
  p.setTn(field::kRound, "1");
  p.setTn(field::kRoundX, "");
  p.setTn(field::kRoundY, "");
  p.setTn(field::kEditFontSize, "14");
  p.setTn(field::kFromPage, "1");
  p.setTn(field::kToPage, "40");
  p.setTn(field::kCopybookSheets, "10");
  // 6. Mask and text settings.
  ws.setMaskPattern("5A5A");
  applyTextSettingsLine(ws, "X");
  // 7.
  ws.view->settingsApplied();
}

}  // namespace quillaro
