#include "ops/settings_file.h"

#include <cstdint>

#include "base/fields.h"
#include "base/files.h"
#include "base/numeric.h"
#include "model/workspace.h"

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
    {"TextPrinterMargin", K::Tn, 44},
    {"L4CX", K::HeldAlways, hk(Held::L4CX)},
    {"L4CY", K::HeldAlways, hk(Held::L4CY)},
    {"ChLand", K::Check, ck(Check::ChLand)},
    {"Ch2in1", K::Check, ck(Check::Ch2in1)},
    {"Ch2origin", K::Check, ck(Check::Ch2origin)},
    {"ChMirror", K::Check, ck(Check::ChMirror)},
    {"ChPaste", K::Check, ck(Check::ChPaste)},
    {"ChForm", K::Check, ck(Check::ChForm)},
    {"ChA3", K::Check, ck(Check::ChA3)},
    {"L4in1", K::Chb, 83},
    {"CopyWidth", K::CopySize, 0},
    {"CopyHeight", K::CopySize, 1},
    {"ChBig", K::Check, ck(Check::ChBig)},
    {"ChAxis", K::Check, ck(Check::ChAxis)},
    {"L4X0", K::Tn, 40},
    {"L4Y0", K::Tn, 41},
    {"TextFram11", K::Tn, 42},
    {"TextFram12", K::Tn, 43},
    {"ChScanM", K::Chb, 35},
    {"TextScanM", K::Tn, 39},
    {"TextPrintX", K::TextPrint, 0},
    {"TextPrintY", K::TextPrint, 1},
    // Files, lists and general behaviour.
    {"ChAddFileName", K::Chb, 26},
    {"TextAddFileName", K::Ttb, 1},
    {"HorizontalLines", K::Chb, 24},
    {"VerticalLines", K::Chb, 25},
    {"ChSortTime", K::Chb, 27},
    {"ChBackSort", K::Chb, 28},
    {"ChAutoOpen", K::Chb, 29},
    {"ChWrite", K::Chb, 30},
    {"ChRemind", K::Chb, 31},
    {"ChSimple", K::Chb, 32},
    {"ChAutoSet", K::Chb, 33},
    {"TextDirt", K::Tn, 7},
    {"TextProgName", K::Ttb, 2},
    {"TextSpeed", K::Tn, 13},
    {"TextAllMarg", K::Tn, 23},
    {"TextScale", K::Tn, 22},
    {"ScaleX", K::Tn, 60},
    {"ScaleY", K::Tn, 61},
    {"Text0Xsel", K::Tn, 16},
    {"Text0Ysel", K::Tn, 17},
    {"TextSZXsel", K::Tn, 18},
    {"TextSZYsel", K::Tn, 19},
    {"TextX", K::Tn, 14},
    {"TextY", K::Tn, 15},
    {"TextNumLim", K::Tn, 9},
    {"PrintOrigin", K::Chb, 0},
    {"A4A3simm", K::Chb, 1},
    {"DateFolder", K::Chb, 8},
    {"FocusToPic", K::Chb, 15},
    {"PasteToCell", K::Chb, 20},
    {"EqualWidth", K::Chb, 21},
    {"Alt10", K::Chb, 22},
    {"TextTabVL", K::Tn, 4},
    {"TextTabHL", K::Tn, 5},
    {"TextTabLineW", K::Tn, 6},
    {"TextAddLineWidth", K::Tn, 10},
    {"TextRoundTS", K::Tn, 30},
    {"TextRoundX", K::Tn, 31},
    {"TextRoundY", K::Tn, 32},
    {"ChRoundTS", K::Chb, 36},
    {"Enter", K::Chb, 37},
    {"EditFontSize", K::Tn, 47},
    {"EditFontBold", K::Chb, 23},
    {"FromPage", K::Tn, 48},
    {"ToPage", K::Tn, 49},
    {"NumListInCopybook", K::Tn, 50},
    {"OpenAfterPrint", K::Chb, 38},
    {"OpenAfterSave", K::Chb, 39},
    {"OpenAfterA5", K::Chb, 48},
    {"OpenAfterA4toA3", K::Chb, 53},
    {"NumCopybook", K::Chb, 41},
    {"DirUp", K::Chb, 42},
    {"TurnOrig", K::Chb, 43},
    {"FixFrame", K::Chb, 44},
    {"FixMiddle", K::Chb, 45},
    {"FixCopyVersa", K::Chb, 46},
    {"SaveSettings", K::Chb, 47},
    {"Magnify", K::Chb, 49},
    {"NN", K::Chb, 50},
    {"WRPP", K::Chb, 54},
    {"MaskVari", K::Chb, 66},
    {"MaskCeil", K::Chb, 67},
    {"MaskLeft", K::Tn, 58},
    {"MaskRight", K::Tn, 59},
    {"LayoutFileName", K::Ttb, 7},
    {"AutoBitColor", K::Chb, 68},
    {"RelativeWhite", K::Chb, 69},
    {"OpenDBC", K::Chb, 70},
    {"OpenColor", K::Chb, 73},
    {"AltScaleXY", K::Chb, 74},
    {"OpenNextByNum", K::Chb, 75},
    {"LoadCopyForPrint", K::Chb, 76},
    {"ReadCopyAfterOpen", K::Chb, 77},
    {"DensityPlusIfThinAfterOpen", K::Chb, 78},
    {"FastCopy", K::Chb, 79},
    {"PrintToSize", K::Chb, 80},
    {"PrintProportion", K::Chb, 81},
    {"FoldA3", K::Chb, 82},
    {"CopyFitWindow", K::Chb, 84},
    {"FrameByCopy", K::Chb, 85},
    // Text, frames, tone and masks.
    {"FindFrameForText", K::Chb, 2},
    {"CheckFrame", K::Chb, 3},
    {"RFindFrame", K::Chb, 4},
    {"FillFrame", K::Chb, 5},
    {"HorizontalALW", K::Chb, 6},
    {"VerticalALW", K::Chb, 7},
    {"Corners", K::Chb, 34},
    {"LineAfterText", K::Chb, 10},
    {"MaskLine", K::Chb, 11},
    {"TableAuto", K::Chb, 12},
    {"CellFit", K::Chb, 13},
    {"ReArrange", K::Chb, 14},
    {"MultiCopy", K::Chb, 9},
    {"MaskCopy", K::Chb, 40},
    {"A4mid", K::Tn, 53},
    {"LevelBW", K::HeldNonEmpty, hk(Held::Threshold)},
    {"BrightnessOpen", K::HeldNonEmpty, hk(Held::Brightness)},
    {"ConvertTo1bit", K::Chb, 55},
    {"ReadRGB", K::Chb, 56},
    {"ContrastOpen", K::Tn, 56},
    {"CorrBlack", K::Chb, 57},
    {"CorrWhite", K::Chb, 58},
    {"ContrastSelected", K::Tn, 57},
    {"Mask8bit", K::Chb, 59},
    {"PageNum", K::Chb, 60},
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

// A quote inside a text value would end it early when read back: it is written as an
// apostrophe.
void appendTextItem(std::string& out, const char* key, std::string_view value) {
  out += key;
  out += "=\"";
  for (char c : value) out += c == '"' ? '\'' : c;
  out += '"';
  out += kCrLf;
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
  while (!folderExists(folder)) {
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
      case K::CopySize: appendTextItem(out, k.name, normalizeField(p.tn(68 + k.index))); break;
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
  const std::string record = ws.textSettingsRecord();
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
  FieldReader& r = ws.reader;
  r.prepareKeys(text);
  const bool guard = ws.shared.redrawGuard;
  ws.shared.redrawGuard = true;

  for (const Key& k : kKeys) {
    const std::string value = r.getKey(k.name);
    switch (k.kind) {
      case K::Folder: {
        std::string& folder = ws.shared.folders[k.index];
        const std::string before = folder;
        if (!value.empty()) folder = value;
        folder = existingFolderOrParent(folder);
        if (k.index == kFolderSource && folder != before) ws.rebuildFileList();
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
        if (!value.empty() && p.enabled(tnId(68))) ws.setCopySize(k.index, value);
        break;
      case K::Chb: {
        const int v = checkValue(ws, value);
        if (v >= 0) p.setChb(k.index, v == 1);
        if (k.index == 55) p.runHandler(chbId(55));
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

  // The text-settings block, found without regard to case; the key-search copies keep
  // the positions of each other.
  const std::string& upper = r.upperKeyCopy();
  std::string line = "X,0,0,0,0";
  const auto open = upper.find("<DEFTEXTSET>");
  if (open != std::string::npos) {
    const auto from = open + kBlockOpen.size();
    const auto close = upper.find("</DEFTEXTSET>", from);
    if (close != std::string::npos) line = r.keyCopy().substr(from, close - from);
  }
  ws.runTextSettingsLine(line);

  const std::string show = r.getKey("ShowPic");
  if (!show.empty() && nearest(parseNumber(show, ws.prompts)) == 1 && tablePanelUnits(ws) < 5640) {
    const bool messages = ws.shared.messageSwitch;
    ws.shared.messageSwitch = false;
    ws.showTablePanelOrigin();
    ws.shared.messageSwitch = messages;
  }

  ws.shared.redrawGuard = guard;
  ws.settingsApplied();
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
  if (!ws.params.chb(47)) return true;
  return writeSettings(ws, ws.shared.settingsPath);
}

bool saveSettingsAs(Workspace& ws, const std::string& name) {
  return ws.saveTextFile(name, buildSettingsText(ws), kFolderSettings);
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
  p.setTn(40, "");
  p.setTn(41, "");
  p.setTn(42, "4");
  p.setTn(43, "4");
  ws.recomputeCopyFrame();
  p.setTn(39, "4");
  p.setTn(44, "4");
  p.setTextPrint(0, "1");
  p.setTextPrint(1, "1");
  p.setTtb(1, "-Print");
  p.setTn(7, "15");
  p.runHandler(checkId(Check::ChForm));
  p.setTn(13, "4");
  p.setTn(23, "0");
  p.setTn(22, "100");
  p.setTn(53, "0");
  p.setHeld(Held::Threshold, kInitialThreshold);
  p.setHeld(Held::Brightness, kInitialBrightness);
  p.setTn(56, "1");
  p.setTn(57, "10");
  // 3. Redraw.
  ws.shared.redrawGuard = false;
  ws.redrawEditView();
  p.setTn(9, "1");
  // 4. Every check box ChB(0..85).
  for (std::size_t k = 0; k < kInitialChecks.size(); ++k)
    p.setChb(static_cast<int>(k), kInitialChecks[k] == '1');
  p.runHandler(chbId(55));
  // 5. Table, density, font size and imposition fields.
  p.setTn(10, "4");
  p.setTn(4, "4");
  p.setTn(5, "4");
  p.setTn(6, "4");
  p.setTn(30, "1");
  p.setTn(31, "");
  p.setTn(32, "");
  p.setTn(47, "14");
  p.setTn(48, "1");
  p.setTn(49, "40");
  p.setTn(50, "10");
  // 6. Mask and text settings.
  ws.setMaskPattern("5A5A");
  ws.runTextSettingsLine("X");
  // 7.
  ws.settingsApplied();
}

}  // namespace quillaro
