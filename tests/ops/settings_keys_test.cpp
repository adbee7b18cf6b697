// Every settings key against the literal line it must give: each control gets a value of
// its own, the written text is compared with typed "Key=value" lines, and the same lines
// read back must set each control, so that a key bound to the wrong control is caught in
// both directions.
#include "ops/settings_file.h"

#include <gtest/gtest.h>

#include <utility>
#include <string>
#include <vector>

#include "automation/composition.h"
#include "base/text_codec.h"
#include "model/workspace.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

// Where a value lives. Folders and window items are addressed by their number.
enum class K { Folder, Win, Tn, Ttb, TextPrint, Held, Mask, A3, Chb, Check };

struct Item {
  const char* line;   // the literal line; "@" stands for the temporary folder
  K kind;
  int index;
  const char* value;  // the control's value
};

constexpr int held(Held h) { return static_cast<int>(h); }
constexpr int check(Check c) { return static_cast<int>(c); }

// All keys in the order of the file, each value different from every other text value.
// Check boxes alternate where the copy exclusions allow it (2 в 1 would be turned off by
// "4 в 1" and "Копировать многократно").
const Item kItems[] = {
    {"OpenPath=\"@/open\"", K::Folder, 1, "@/open"}, {"SavePath=\"@/save\"", K::Folder, 4, "@/save"},
    {"iniPath=\"@/ini\"", K::Folder, 2, "@/ini"}, {"pfpPath=\"@/pfp\"", K::Folder, 0, "@/pfp"},
    {"txtPath=\"@/txt\"", K::Folder, 3, "@/txt"}, {"Left=11", K::Win, 0, "11"}, {"Top=22", K::Win, 1, "22"},
    {"Width=1333", K::Win, 2, "1333"}, {"Height=944", K::Win, 3, "944"},
    {"TextPrinterMargin=\"7\"", K::Tn, 44, "7"}, {"L4CX=\"12.5\"", K::Held, held(Held::L4CX), "12.5"},
    {"L4CY=\"13.5\"", K::Held, held(Held::L4CY), "13.5"}, {"ChLand=0", K::Check, check(Check::ChLand), "0"},
    {"Ch2in1=1", K::Check, check(Check::Ch2in1), "1"},
    {"Ch2origin=0", K::Check, check(Check::Ch2origin), "0"},
    {"ChMirror=1", K::Check, check(Check::ChMirror), "1"},
    {"ChPaste=0", K::Check, check(Check::ChPaste), "0"}, {"ChForm=0", K::Check, check(Check::ChForm), "0"},
    {"ChA3=1", K::Check, check(Check::ChA3), "1"}, {"L4in1=0", K::Chb, 83, "0"},
    {"CopyWidth=\"180\"", K::Tn, 68, "180"}, {"CopyHeight=\"250\"", K::Tn, 69, "250"},
    {"ChBig=1", K::Check, check(Check::ChBig), "1"}, {"ChAxis=0", K::Check, check(Check::ChAxis), "0"},
    {"L4X0=\"1.5\"", K::Tn, 40, "1.5"}, {"L4Y0=\"-2\"", K::Tn, 41, "-2"},
    {"TextFram11=\"8\"", K::Tn, 42, "8"}, {"TextFram12=\"9\"", K::Tn, 43, "9"},
    {"ChScanM=0", K::Chb, 35, "0"}, {"TextScanM=\"6\"", K::Tn, 39, "6"},
    {"TextPrintX=\"1.02\"", K::TextPrint, 0, "1.02"}, {"TextPrintY=\"0.98\"", K::TextPrint, 1, "0.98"},
    {"ChAddFileName=1", K::Chb, 26, "1"}, {"TextAddFileName=\"-Печать\"", K::Ttb, 1, "-Печать"},
    {"HorizontalLines=0", K::Chb, 24, "0"}, {"VerticalLines=1", K::Chb, 25, "1"},
    {"ChSortTime=0", K::Chb, 27, "0"}, {"ChBackSort=1", K::Chb, 28, "1"}, {"ChAutoOpen=0", K::Chb, 29, "0"},
    {"ChWrite=1", K::Chb, 30, "1"}, {"ChRemind=0", K::Chb, 31, "0"}, {"ChSimple=1", K::Chb, 32, "1"},
    {"ChAutoSet=0", K::Chb, 33, "0"}, {"TextDirt=\"16\"", K::Tn, 7, "16"},
    {"TextProgName=\"Программа 1\"", K::Ttb, 2, "Программа 1"}, {"TextSpeed=\"17\"", K::Tn, 13, "17"},
    {"TextAllMarg=\"2\"", K::Tn, 23, "2"}, {"TextScale=\"95\"", K::Tn, 22, "95"},
    {"ScaleX=\"96\"", K::Tn, 60, "96"}, {"ScaleY=\"97\"", K::Tn, 61, "97"},
    {"Text0Xsel=\"10.5\"", K::Tn, 16, "10.5"}, {"Text0Ysel=\"12\"", K::Tn, 17, "12"},
    {"TextSZXsel=\"150\"", K::Tn, 18, "150"}, {"TextSZYsel=\"210\"", K::Tn, 19, "210"},
    {"TextX=\"41\"", K::Tn, 14, "41"}, {"TextY=\"42\"", K::Tn, 15, "42"}, {"TextNumLim=\"3\"", K::Tn, 9, "3"},
    {"PrintOrigin=1", K::Chb, 0, "1"}, {"A4A3simm=0", K::Chb, 1, "0"}, {"DateFolder=1", K::Chb, 8, "1"},
    {"FocusToPic=0", K::Chb, 15, "0"}, {"PasteToCell=1", K::Chb, 20, "1"}, {"EqualWidth=0", K::Chb, 21, "0"},
    {"Alt10=1", K::Chb, 22, "1"}, {"TextTabVL=\"43\"", K::Tn, 4, "43"}, {"TextTabHL=\"44\"", K::Tn, 5, "44"},
    {"TextTabLineW=\"45\"", K::Tn, 6, "45"}, {"TextAddLineWidth=\"19\"", K::Tn, 10, "19"},
    {"TextRoundTS=\"46\"", K::Tn, 30, "46"}, {"TextRoundX=\"47\"", K::Tn, 31, "47"},
    {"TextRoundY=\"48\"", K::Tn, 32, "48"}, {"ChRoundTS=0", K::Chb, 36, "0"}, {"Enter=1", K::Chb, 37, "1"},
    {"EditFontSize=\"15\"", K::Tn, 47, "15"}, {"EditFontBold=0", K::Chb, 23, "0"},
    {"FromPage=\"21\"", K::Tn, 48, "21"}, {"ToPage=\"38\"", K::Tn, 49, "38"},
    {"NumListInCopybook=\"13\"", K::Tn, 50, "13"}, {"OpenAfterPrint=1", K::Chb, 38, "1"},
    {"OpenAfterSave=0", K::Chb, 39, "0"}, {"OpenAfterA5=1", K::Chb, 48, "1"},
    {"OpenAfterA4toA3=0", K::Chb, 53, "0"}, {"NumCopybook=1", K::Chb, 41, "1"}, {"DirUp=0", K::Chb, 42, "0"},
    {"TurnOrig=1", K::Chb, 43, "1"}, {"FixFrame=0", K::Chb, 44, "0"}, {"FixMiddle=1", K::Chb, 45, "1"},
    {"FixCopyVersa=0", K::Chb, 46, "0"}, {"SaveSettings=1", K::Chb, 47, "1"}, {"Magnify=0", K::Chb, 49, "0"},
    {"NN=1", K::Chb, 50, "1"}, {"WRPP=0", K::Chb, 54, "0"}, {"MaskVari=1", K::Chb, 66, "1"},
    {"MaskCeil=0", K::Chb, 67, "0"}, {"MaskLeft=\"-6\"", K::Tn, 58, "-6"},
    {"MaskRight=\"14\"", K::Tn, 59, "14"}, {"LayoutFileName=\"Разметка.pfp\"", K::Ttb, 7, "Разметка.pfp"},
    {"AutoBitColor=1", K::Chb, 68, "1"}, {"RelativeWhite=0", K::Chb, 69, "0"}, {"OpenDBC=1", K::Chb, 70, "1"},
    {"OpenColor=0", K::Chb, 73, "0"}, {"AltScaleXY=1", K::Chb, 74, "1"}, {"OpenNextByNum=0", K::Chb, 75, "0"},
    {"LoadCopyForPrint=1", K::Chb, 76, "1"}, {"ReadCopyAfterOpen=0", K::Chb, 77, "0"},
    {"DensityPlusIfThinAfterOpen=1", K::Chb, 78, "1"}, {"FastCopy=0", K::Chb, 79, "0"},
    {"PrintToSize=1", K::Chb, 80, "1"}, {"PrintProportion=0", K::Chb, 81, "0"}, {"FoldA3=1", K::Chb, 82, "1"},
    {"CopyFitWindow=0", K::Chb, 84, "0"}, {"FrameByCopy=1", K::Chb, 85, "1"},
    {"FindFrameForText=1", K::Chb, 2, "1"}, {"CheckFrame=0", K::Chb, 3, "0"},
    {"RFindFrame=1", K::Chb, 4, "1"}, {"FillFrame=0", K::Chb, 5, "0"}, {"HorizontalALW=1", K::Chb, 6, "1"},
    {"VerticalALW=0", K::Chb, 7, "0"}, {"Corners=1", K::Chb, 34, "1"}, {"LineAfterText=0", K::Chb, 10, "0"},
    {"MaskLine=1", K::Chb, 11, "1"}, {"TableAuto=0", K::Chb, 12, "0"}, {"CellFit=1", K::Chb, 13, "1"},
    {"ReArrange=0", K::Chb, 14, "0"}, {"MultiCopy=0", K::Chb, 9, "0"}, {"MaskCopy=1", K::Chb, 40, "1"},
    {"A4mid=\"-8\"", K::Tn, 53, "-8"}, {"LevelBW=\"151\"", K::Held, held(Held::Threshold), "151"},
    {"BrightnessOpen=\"-12\"", K::Held, held(Held::Brightness), "-12"}, {"ConvertTo1bit=1", K::Chb, 55, "1"},
    {"ReadRGB=0", K::Chb, 56, "0"}, {"ContrastOpen=\"1.3\"", K::Tn, 56, "1.3"},
    {"CorrBlack=1", K::Chb, 57, "1"}, {"CorrWhite=0", K::Chb, 58, "0"},
    {"ContrastSelected=\"1.7\"", K::Tn, 57, "1.7"}, {"Mask8bit=1", K::Chb, 59, "1"},
    {"PageNum=0", K::Chb, 60, "0"}, {"Mask=\"0A4A\"", K::Mask, 0, "0A4A"},
    {"SX1=\"31.5\"", K::Held, held(Held::SX1), "31.5"}, {"SY1=\"32.5\"", K::Held, held(Held::SY1), "32.5"},
    {"SX2=\"33.5\"", K::Held, held(Held::SX2), "33.5"}, {"SY2=\"34.5\"", K::Held, held(Held::SY2), "34.5"},
    {"A3C=\"a1,b2,c3,d4,e5,f6,g7,h8\"", K::A3, 0, "a1,b2,c3,d4,e5,f6,g7,h8"},
};

// The text-settings block of the panel set by setTextPanel(): a table with line shift,
// "Courier New" 20 bold underlined, offsets in percent, spacing in dots, centred across and
// stretched down ("В рамки" comes from FindFrameForText above).
const char* const kBlock =
    "<DefTextSet> TA=T FF=1 LB=1 FN=\"Courier New\" FS=20 FA=BU PX=3 TAB=12 PM=% DX=2 DM=P JL=60 HA=M "
    "VA=J</DefTextSet>";

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
  for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

std::string keyOf(const Item& item) {
  const std::string line = item.line;
  return line.substr(0, line.find('='));
}

bool isCheck(const Item& item) { return item.kind == K::Chb || item.kind == K::Check; }

void put(Workspace& ws, const Item& item, const std::string& v) {
  ParamStore& p = ws.params;
  switch (item.kind) {
    case K::Folder: ws.shared.folders[item.index] = v; break;
    case K::Win: {
      WindowRect w = p.window();
      int* fields[] = {&w.left, &w.top, &w.width, &w.height};
      *fields[item.index] = std::stoi(v);
      p.setWindow(w);
      break;
    }
    case K::Tn: p.setTn(item.index, v); break;
    case K::Ttb: p.setTtb(item.index, v); break;
    case K::TextPrint: p.setTextPrint(item.index, v); break;
    case K::Held: p.setHeld(static_cast<Held>(item.index), v); break;
    case K::Mask: ws.setMaskPattern(v); break;
    case K::A3:
      for (int i = 0; i < 8; ++i) p.setA3Text(i, v.substr(3 * i, 2));
      break;
    case K::Chb: p.setChb(item.index, v == "1"); break;
    case K::Check: p.setCheck(static_cast<Check>(item.index), v == "1"); break;
  }
}

std::string get(const Workspace& ws, const Item& item) {
  const ParamStore& p = ws.params;
  switch (item.kind) {
    case K::Folder: return ws.shared.folders[item.index];
    case K::Win: {
      const WindowRect& w = p.window();
      const int fields[] = {w.left, w.top, w.width, w.height};
      return std::to_string(fields[item.index]);
    }
    case K::Tn: return p.tn(item.index);
    case K::Ttb: return p.ttb(item.index);
    case K::TextPrint: return p.textPrint(item.index);
    case K::Held: return p.held(static_cast<Held>(item.index));
    case K::Mask: return p.held(Held::MaskPattern);
    case K::A3: {
      std::string s;
      for (int i = 0; i < 8; ++i) s += (i ? "," : "") + p.a3Text(i);
      return s;
    }
    case K::Chb: return p.chb(item.index) ? "1" : "0";
    case K::Check: return p.check(static_cast<Check>(item.index)) ? "1" : "0";
  }
  return {};
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
    lines.push_back(text.substr(from, at - from));
    from = at + 2;
  }
  EXPECT_EQ(from, text.size()) << "every item ends with CR LF";
  return lines;
}

// The text panel whose default set is kBlock.
void setTextPanel(ParamStore& p) {
  p.setOption(OptionGroup::Placement, 3);
  p.setOption(OptionGroup::OffsetUnit, 2);
  p.setOption(OptionGroup::SpacingUnit, 1);
  p.setOption(OptionGroup::HAlign, 2);
  p.setOption(OptionGroup::VAlign, 3);
  p.setListIndex(ListSel::ListFontName, 1);
  p.setCheck(Check::ChTexBiasLine, true);
  for (int i : {16, 18}) p.setChb(i, true);
  for (auto [i, v] : {std::pair{33, "20"}, {34, "3"}, {35, ""}, {36, "12"}, {37, ""}, {38, "2"}, {8, "60"}})
    p.setTn(i, v);
}

void expectTextPanel(const ParamStore& p) {
  EXPECT_EQ(p.option(OptionGroup::Placement), 3);
  EXPECT_EQ(p.option(OptionGroup::OffsetUnit), 2);
  EXPECT_EQ(p.option(OptionGroup::SpacingUnit), 1);
  EXPECT_EQ(p.option(OptionGroup::HAlign), 2);
  EXPECT_EQ(p.option(OptionGroup::VAlign), 3);
  EXPECT_EQ(p.listIndex(ListSel::ListFontName), 1);
  EXPECT_TRUE(p.check(Check::ChTexBiasLine));
  EXPECT_TRUE(p.chb(16) && !p.chb(17) && p.chb(18) && !p.chb(19));
  for (auto [i, v] : {std::pair{33, "20"}, {34, "3"}, {35, ""}, {36, "12"}, {37, ""}, {38, "2"}, {8, "60"}})
    EXPECT_EQ(p.tn(i), v) << "TN(" << i << ")";
}

struct SettingsKeys : ::testing::Test {
  testing::TempDir tmp;
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};

  void SetUp() override {
    connectWorkspace(ws);
    for (const char* f : {"open", "save", "ini", "pfp", "txt"}) tmp.sub(f);
  }
  std::string at(const char* text) const { return replaceAll(text, "@", tmp.str()); }
};

TEST_F(SettingsKeys, EveryControlIsWrittenAsItsOwnLiteralLine) {
  setTextPanel(ws.params);
  for (const Item& item : kItems) put(ws, item, at(item.value));
  const std::vector<std::string> lines = splitLines(buildSettingsText(ws));
  const std::size_t n = std::size(kItems);
  ASSERT_EQ(lines.size(), n + 1);  // the block is last; no ShowPic on a wide panel
  for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(lines[i], at(kItems[i].line));
  EXPECT_EQ(lines[n], kBlock);
}

// The same lines in reverse order, from a Windows-1251 file with CR LF and with LF only.
TEST_F(SettingsKeys, EveryLiteralLineSetsItsOwnControl) {
  for (const char* lineEnd : {"\r\n", "\n"}) {
    SCOPED_TRACE(lineEnd[1] ? "CR LF" : "LF only");
    Workspace fresh{&prompts};
    connectWorkspace(fresh);
    std::string text;
    for (auto it = std::rbegin(kItems); it != std::rend(kItems); ++it) text += at(it->line) + lineEnd;
    text += std::string(kBlock) + lineEnd;
    ASSERT_TRUE(readSettings(fresh, tmp.file("keys.ini", utf8ToCp1251(text))));
    for (const Item& item : kItems) EXPECT_EQ(get(fresh, item), at(item.value)) << item.line;
    expectTextPanel(fresh.params);
    EXPECT_EQ(fresh.params.tn(55), "151");  // "Открывать как 1-битный" shows the threshold
  }
  EXPECT_TRUE(prompts.shown.empty());
}

// One box on at a time: every check-box key must name exactly its own box. Turning
// "2 оригинала" on turns "2 в 1" on with it.
TEST_F(SettingsKeys, EachCheckBoxKeyNamesItsOwnBox) {
  std::vector<const Item*> boxes;
  for (const Item& item : kItems)
    if (isCheck(item)) boxes.push_back(&item);
  auto alsoOn = [](const Item* on, const Item* other) {
    return keyOf(*on) == "Ch2origin" && keyOf(*other) == "Ch2in1";
  };
  for (const Item* on : boxes) {
    SCOPED_TRACE(keyOf(*on));
    for (const Item* b : boxes) put(ws, *b, "0");
    put(ws, *on, "1");
    const std::string text = buildSettingsText(ws);
    std::string file;
    for (const Item* b : boxes) {
      const std::string line = keyOf(*b) + "=" + (b == on || alsoOn(on, b) ? "1" : "0");
      EXPECT_NE(text.find("\r\n" + line + "\r\n"), std::string::npos) << line;
      file += line + "\r\n";
    }
    // Read back into a workspace with every box on. The text-settings line that follows
    // the keys sets "В рамки", "Ряды" and "Авто" from its own keys, so those three are
    // left out here.
    Workspace back{&prompts};
    connectWorkspace(back);
    for (const Item* b : boxes) put(back, *b, "1");
    applySettingsText(back, file);
    for (const Item* b : boxes) {
      if (b->kind == K::Chb && (b->index == 2 || b->index == 10 || b->index == 12)) continue;
      EXPECT_EQ(get(back, *b), b == on || alsoOn(on, b) ? "1" : "0") << keyOf(*b);
    }
  }
}

// The block is read after the keys: its FF, LA and TAU decide "В рамки", "Ряды", "Авто".
TEST_F(SettingsKeys, TextSettingsBlockWinsOverTheCheckBoxKeys) {
  applySettingsText(ws, "FindFrameForText=0\r\nLineAfterText=0\r\nTableAuto=0\r\n"
                        "<deftextset> TA=T FF=1 LA=1 TAU=7</DEFTEXTSET>\r\n");
  EXPECT_TRUE(ws.params.chb(2));
  EXPECT_TRUE(ws.params.chb(10));
  EXPECT_TRUE(ws.params.chb(12));
  EXPECT_TRUE(ws.params.chb(13));
  EXPECT_TRUE(ws.params.chb(14));
}

// Odd input, from disk with CR LF (Windows-1251) and with LF only.
const char* const kOddFile[] = {
    "openpath=\"@/open/2024/05\"",      // lower case; a missing folder falls back to its parent
    "TextAddFileName='-Печать 2'",       // a value between apostrophes
    "TextProgName=\"Программа 'Б' 1\"",  // apostrophes and blanks between double quotes
    "TextDirt = \"16\"",                 // blanks around "="
    "Bogus=\"77\"",                       // unknown keys change nothing,
    "XMask=\"FFFF\"",                     // even when they end with a known one
    "MaskLine=1",
    "Top=12abc",                          // a broken number reads its leading number
    "Left=-5000",                         // brought to -400
    "ChRemind=abc",                       // no number at all: 0
    "ChSortTime=2",                       // neither 0 nor 1: unchanged
    "TextScale=\"\"",                     // empty: unchanged
    "Mask=\"12345\"",                     // not four digits: unchanged
};

TEST_F(SettingsKeys, OddValuesUnknownKeysAndBrokenNumbers) {
  for (const char* lineEnd : {"\r\n", "\n"}) {
    SCOPED_TRACE(lineEnd[1] ? "CR LF" : "LF only");
    Workspace w{&prompts};
    connectWorkspace(w);
    ParamStore& p = w.params;
    p.setHeld(Held::L4CX, "5");
    std::string text;
    for (const char* line : kOddFile) text += at(line) + lineEnd;
    ASSERT_TRUE(readSettings(w, tmp.file("odd.ini", utf8ToCp1251(text))));
    EXPECT_EQ(w.shared.folders[1], tmp.str() + "/open");
    EXPECT_EQ(p.ttb(1), "-Печать 2");
    EXPECT_EQ(p.ttb(2), "Программа 'Б' 1");
    EXPECT_EQ(p.tn(7), "16");
    EXPECT_EQ(p.held(Held::MaskPattern), "5A5A");
    EXPECT_TRUE(p.chb(11));
    EXPECT_EQ(p.window().top, 12);
    EXPECT_EQ(p.window().left, -400);
    EXPECT_FALSE(p.chb(31));
    EXPECT_TRUE(p.chb(27));
    EXPECT_EQ(p.tn(22), "100");
    EXPECT_EQ(p.held(Held::L4CX), "");  // always assigned, empty when absent
  }
  EXPECT_TRUE(prompts.shown.empty());
}

}  // namespace
}  // namespace quillaro
