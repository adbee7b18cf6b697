#include "ops/settings_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/composition.h"
#include "support/recording_view.h"
#include "base/files.h"
#include "base/text_codec.h"
#include "model/workspace.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

using testing::ScriptedPrompts;

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
  for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

// A complete settings file in key order, every value differing from the fresh window
// where it can; "@" stands for a temporary folder.
const char* const kCompleteFile[] = {
    "OpenPath=\"@/scans\"", "SavePath=\"@/saved\"", "iniPath=\"@/ini\"", "pfpPath=\"@/pfp\"",
    "txtPath=\"@/txt\"", "Left=120", "Top=-30", "Width=1400", "Height=950",
    "TextPrinterMargin=\"5\"", "L4CX=\"10.5\"", "L4CY=\"Икс\"", "ChLand=0", "Ch2in1=1",
    "Ch2origin=0", "ChMirror=1", "ChPaste=0", "ChForm=1", "ChA3=1", "L4in1=1", "CopyWidth=\"200\"",
    "CopyHeight=\"280\"", "ChBig=1", "ChAxis=1", "L4X0=\"3\"", "L4Y0=\"7.5\"", "TextFram11=\"6\"",
    "TextFram12=\"8\"", "ChScanM=0", "TextScanM=\"5\"", "TextPrintX=\"1.02\"",
    "TextPrintY=\"0.98\"", "ChAddFileName=1", "TextAddFileName=\"-Печать 'A'\"",
    "HorizontalLines=0", "VerticalLines=1", "ChSortTime=0", "ChBackSort=1", "ChAutoOpen=1",
    "ChWrite=1", "ChRemind=0", "ChSimple=1", "ChAutoSet=1", "TextDirt=\"20\"",
    "TextProgName=\"Программа №1\"", "TextSpeed=\"6\"", "TextAllMarg=\"2\"", "TextScale=\"95.5\"",
    "ScaleX=\"96\"", "ScaleY=\"95\"", "Text0Xsel=\"1\"", "Text0Ysel=\"2\"", "TextSZXsel=\"150\"",
    "TextSZYsel=\"250\"", "TextX=\"11\"", "TextY=\"12\"", "TextNumLim=\"2\"", "PrintOrigin=1",
    "A4A3simm=0", "DateFolder=0", "FocusToPic=0", "PasteToCell=0", "EqualWidth=0", "Alt10=1",
    "TextTabVL=\"3\"", "TextTabHL=\"5\"", "TextTabLineW=\"6\"", "TextAddLineWidth=\"7\"",
    "TextRoundTS=\"2\"", "TextRoundX=\"3\"", "TextRoundY=\"4\"", "ChRoundTS=0", "Enter=1",
    "EditFontSize=\"16\"", "EditFontBold=1", "FromPage=\"3\"", "ToPage=\"20\"",
    "NumListInCopybook=\"12\"", "OpenAfterPrint=1", "OpenAfterSave=1", "OpenAfterA5=0",
    "OpenAfterA4toA3=1", "NumCopybook=1", "DirUp=1", "TurnOrig=1", "FixFrame=0", "FixMiddle=1",
    "FixCopyVersa=1", "SaveSettings=1", "Magnify=1", "NN=1", "WRPP=1", "MaskVari=1", "MaskCeil=1",
    "MaskLeft=\"-5\"", "MaskRight=\"12\"", "LayoutFileName=\"Разметка 1.pfp\"", "AutoBitColor=1",
    "RelativeWhite=0", "OpenDBC=1", "OpenColor=1", "AltScaleXY=1", "OpenNextByNum=1",
    "LoadCopyForPrint=1", "ReadCopyAfterOpen=1", "DensityPlusIfThinAfterOpen=1", "FastCopy=1",
    "PrintToSize=1", "PrintProportion=1", "FoldA3=1", "CopyFitWindow=1", "FrameByCopy=1",
    "FindFrameForText=1", "CheckFrame=0", "RFindFrame=0", "FillFrame=0", "HorizontalALW=0",
    "VerticalALW=0", "Corners=1", "LineAfterText=1", "MaskLine=1", "TableAuto=1", "CellFit=0",
    "ReArrange=0", "MultiCopy=1", "MaskCopy=1", "A4mid=\"-3\"", "LevelBW=\"120\"",
    "BrightnessOpen=\"-15\"", "ConvertTo1bit=1", "ReadRGB=1", "ContrastOpen=\"1.3\"", "CorrBlack=1",
    "CorrWhite=1", "ContrastSelected=\"1.5\"", "Mask8bit=1", "PageNum=1", "Mask=\"0A0A\"",
    "SX1=\"1\"", "SY1=\"2\"", "SX2=\"3\"", "SY2=\"4\"", "A3C=\"1,0,4960,7016,a,b,c,d\"",
    "<DefTextSet>X, 0, 0, 10, 10, FN=\"Times New Roman\" FS=40 TAB=15 JL=50</DefTextSet>",
};

struct CompleteFile {
  testing::TempDir tmp;
  std::string text;  // UTF-8
  CompleteFile() {
    for (const char* f : {"scans", "saved", "ini", "pfp", "txt"}) tmp.sub(f);
    for (const char* line : kCompleteFile) text += replaceAll(line, "@", tmp.str()) + "\r\n";
  }
};

TEST(SettingsRoundTrip, CompleteFileComesBackByteForByte) {
  CompleteFile f;
  const std::string bytes = utf8ToCp1251(f.text);
  const std::string in = f.tmp.file("in.ini", bytes);
  // The keys of the store come back as they were; the text-settings block is applied
  // through the interpreter and written back from the panels (checked below).
  Workspace ws;
  ASSERT_TRUE(readSettings(ws, in));
  auto withoutBlock = [](const std::string& t) { return t.substr(0, t.find("<DefTextSet>")); };
  EXPECT_EQ(withoutBlock(buildSettingsText(ws)), withoutBlock(f.text));
  const std::string out = (f.tmp.path / "out.ini").string();
  ASSERT_TRUE(writeSettings(ws, out));
  EXPECT_EQ(withoutBlock(readWholeFile(out).value()), withoutBlock(bytes));

  Workspace connected;
  connectWorkspace(connected);
  ASSERT_TRUE(readSettings(connected, in));
  EXPECT_TRUE(buildSettingsText(connected).ends_with(
      "<DefTextSet> FN=\"Times New Roman\" FS=40 TAB=15 JL=50</DefTextSet>\r\n"));
}

TEST(SettingsWrite, QuotesPointsAndTheOptionalItems) {
  Workspace ws;
  connectWorkspace(ws);
  ws.params.setTtb(1, "-\"A\"");
  ws.params.setTn(22, "95.");
  std::string text = buildSettingsText(ws);
  EXPECT_NE(text.find("TextAddFileName=\"-\"A\"\"\r\n"), std::string::npos);  // quotes kept
  EXPECT_NE(text.find("TextScale=\"95\"\r\n"), std::string::npos);
  EXPECT_TRUE(text.starts_with("OpenPath=\"\"\r\nSavePath=\"\"\r\n"));
  EXPECT_EQ(text.find("ShowPic"), std::string::npos);
  ws.params.setTn(33, "40");
  ws.tablePanelWidth = 400;  // 6000 units: narrower than 7000
  text = buildSettingsText(ws);
  EXPECT_TRUE(text.ends_with("</DefTextSet>\r\nShowPic=\"1\"\r\n"));
  EXPECT_NE(text.find(" FS=40"), std::string::npos);
}

// Values written and read back through a file come back as they were, and no text inside
// a value is read as another key.
TEST(SettingsRoundTrip, HostileValuesComeBackUnchanged) {
  const char* const values[] = {
      "-\"A\"", "\"", "\"\"", "Scans \"2024\"", "x SavePath=\"/etc\" Left=5 ChRemind=0",
      "  blanks around  ", "a=b", "'apostrophes'", "<DefTextSet> FS=99</DefTextSet>",
      "Тетрадь №5 «Б» Ёё", "ends with a quote\"", "",
  };
  for (const char* v : values) {
    SCOPED_TRACE(v);
    testing::TempDir tmp;
    const std::string folder = tmp.sub(std::string("Scans \"2024\" ") + v);
    Workspace ws;
    connectWorkspace(ws);
    ws.params.setTtb(2, v);
    ws.params.setHeld(Held::L4CX, v);
    ws.shared.folders[kFolderSaved] = folder;
    const std::string file = tmp.at("back.ini");
    ASSERT_TRUE(writeSettings(ws, file));

    Workspace back;
    connectWorkspace(back);
    back.params.setTtb(2, "before");
    ASSERT_TRUE(readSettings(back, file));
    EXPECT_EQ(back.params.ttb(2), *v ? v : "before");  // an empty field value changes nothing
    EXPECT_EQ(back.params.held(Held::L4CX), v);
    EXPECT_EQ(back.shared.folders[kFolderSaved], folder);
    if (*v) EXPECT_EQ(buildSettingsText(back), buildSettingsText(ws)) << "written again";
  }
}

TEST(SettingsRead, MissingFolderFallsBackToNearestParent) {
  testing::TempDir tmp;
  const std::string scans = tmp.sub("Scans");
  Workspace ws;
  testing::RecordingView view;
  ws.view = &view;
  applySettingsText(ws, "OpenPath=\"" + scans + "/2024\"\r\n");
  EXPECT_EQ(ws.shared.folders[kFolderSource], scans);
  EXPECT_EQ(view.count("files"), 1);  // the list of the new folder
  applySettingsText(ws, "OpenPath=\"" + scans + "\"\r\n");
  EXPECT_EQ(view.count("files"), 1);  // unchanged folder: the list stays
  // A folder whose key is absent is tested all the same.
  ws.shared.folders[kFolderSaved] = tmp.str() + "/gone/deeper";
  applySettingsText(ws, "Left=1\r\n");
  EXPECT_EQ(ws.shared.folders[kFolderSaved], tmp.str());
  EXPECT_EQ(existingFolderOrParent("Q:\\Scans\\2024"), "Q:");
  EXPECT_EQ(existingFolderOrParent("/no-such-root-folder/a/b"), "/");
  // A hostile path of 80 KB of missing folders falls back at once to what exists.
  std::string deep = tmp.str();
  while (deep.size() < 80000) deep += "/x";
  EXPECT_EQ(existingFolderOrParent(deep), tmp.str());
  EXPECT_EQ(existingFolderOrParent("/" + std::string(5000, 'x')), "/");
}

// Check values round to the nearest whole number (lower case, blanks, bad numbers and
// empty values are in settings_keys_test).
TEST(SettingsRead, CheckValueRoundsToNearest) {
  Workspace ws;
  applySettingsText(ws, "ChWrite=0\n");
  applySettingsText(ws, "chwrite=0.6\n");
  EXPECT_TRUE(ws.params.chb(30));
}

TEST(SettingsRead, WindowPositionIsClampedAndAHugeNumberReadsAsZero) {
  ScriptedPrompts prompts;
  Workspace ws(&prompts);
  applySettingsText(ws, "Left=-5000\r\nTop=99999\r\nWidth=30000\r\nHeight=7.5\r\n");
  EXPECT_EQ(ws.params.window(), (WindowRect{-400, 864, 30000, 8}));  // top at 0.8 x 1080
  ws.screenWidth = 1000;
  applySettingsText(ws, "Left=1000\r\n");
  EXPECT_EQ(ws.params.window().left, 800);
  applySettingsText(ws, "Left=1e999\r\n");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Неправильное число : \r\n1e999");
  EXPECT_EQ(ws.params.window().left, 0);
}

TEST(SettingsRead, ShortAndLongA3Texts) {
  Workspace ws;
  applySettingsText(ws, "A3C=\"2,x\"\r\n");
  EXPECT_EQ(ws.params.a3Text(1), "x");
  EXPECT_EQ(ws.params.a3Text(2), "");
  applySettingsText(ws, "A3C=\"a,b,c,d,e,f,g,h,i\"\r\n");
  EXPECT_EQ(ws.params.a3Text(7), "h");
}

TEST(SettingsRead, TextSettingsBlockOrTheDefaultLine) {
  Workspace ws;
  connectWorkspace(ws);
  auto rect = [&] { return ws.params.tn(24) + " " + ws.params.tn(25) + " " + ws.params.tn(26) + " " + ws.params.tn(27); };
  applySettingsText(ws, "Left=1\r\n<deftextset>X, 1, 2, 3, 4, FS=30</DEFTEXTSET>\r\n");
  EXPECT_EQ(rect(), "1 2 3 4");
  EXPECT_EQ(ws.params.tn(33), "30");
  applySettingsText(ws, "<DefTextSet> FS=31\r\n");  // never closed: the plain line "X,0,0,0,0"
  EXPECT_EQ(rect(), "0 0 0 0");
  EXPECT_NE(ws.params.tn(33), "31");
}

TEST(SettingsRead, CopySizeOnlyWhileItsFieldIsEnabled) {
  Workspace ws;
  connectWorkspace(ws);
  ws.params.setEnabled(tnId(68), false);
  applySettingsText(ws, "CopyWidth=\"100\"\r\nCopyHeight=\"150\"\r\n");
  EXPECT_NE(ws.params.tn(68), "100");
  ws.params.setEnabled(tnId(68), true);
  applySettingsText(ws, "CopyWidth=\"100\"\r\nCopyHeight=\"150\"\r\n");
  EXPECT_EQ(ws.params.tn(68), "100");
  EXPECT_EQ(ws.params.tn(69), "150");
}

TEST(SettingsFileIo, AbsentFileOrAFolderChangesNothing) {
  testing::TempDir tmp;
  Workspace ws;
  testing::RecordingView view;
  ws.view = &view;
  EXPECT_FALSE(readSettings(ws, (tmp.path / "none.ini").string()));
  EXPECT_FALSE(readSettings(ws, tmp.str()));
  EXPECT_EQ(view.count("settings"), 0);
}

TEST(SettingsFileIo, FailedWriteKeepsTheOldFile) {
  testing::TempDir tmp;
  // A name so long that the temporary file beside it cannot be created.
  const std::string path = tmp.file(std::string(250, 'n') + ".ini", "ChLand=1\r\n");
  ScriptedPrompts prompts;
  Workspace ws(&prompts);
  EXPECT_FALSE(writeSettings(ws, path));
  EXPECT_EQ(readWholeFile(path).value(), "ChLand=1\r\n");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_TRUE(prompts.shown[0].text.starts_with("Настройки не сохранены в файл \"" + path + "\"."));
  EXPECT_EQ(prompts.shown[0].icon, Icon::Stop);
  EXPECT_FALSE(writeSettings(ws, (tmp.path / "missing" / "a.ini").string()));
}

TEST(SettingsFileIo, NamedSaveGoesToTheSettingsFolderAndNeedsAName) {
  testing::TempDir tmp;
  ScriptedPrompts prompts;
  Workspace ws(&prompts);
  ws.shared.folders[kFolderSettings] = tmp.sub("ini");
  EXPECT_TRUE(saveSettingsAs(ws, "book.ini"));
  EXPECT_TRUE(fileExists(tmp.str() + "/ini/book.ini"));
  EXPECT_FALSE(saveSettingsAs(ws, ""));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Введите имя файла");
}

TEST(SettingsReset, NoKeepsEverything) {
  ScriptedPrompts prompts;
  prompts.answers = {Answer::No};
  Workspace ws(&prompts);
  ws.params.setTn(22, "50");
  EXPECT_FALSE(resetSettings(ws));
  EXPECT_EQ(prompts.shown.at(0).text, "Вернуть все первоначальные значения ?");
  EXPECT_EQ(ws.params.tn(22), "50");
}

TEST(SettingsReset, YesAppliesInitialValuesInOrder) {
  ScriptedPrompts prompts;
  prompts.answers = {Answer::Yes};
  Workspace ws(&prompts);
  ParamStore& p = ws.params;
  CompleteFile f;
  applySettingsText(ws, f.text);  // everything away from its initial value
  p.setTn(31, "5");
  std::vector<std::string> trace;
  // The window's part: the edit view redrawn once the guard is off, then the panels.
  struct TraceView : ViewObserver {
    Workspace& ws;
    std::vector<std::string>& trace;
    TraceView(Workspace& w, std::vector<std::string>& t) : ws(w), trace(t) {}
    void editViewChanged() override {
      trace.push_back("redraw");
      EXPECT_EQ(ws.params.tn(9), "2");  // set just after the redraw
    }
    void settingsApplied() override { trace.push_back("close"); }
  } view(ws, trace);
  ws.view = &view;
  p.setHandler(checkId(Check::ChForm), [&](const ControlId&) {
    trace.push_back("form " + ws.params.tn(7) + " " + ws.params.tn(13));
  });
  p.setHandler(tnId(22), [&](const ControlId&) { trace.push_back("scale"); });
  ASSERT_TRUE(resetSettings(ws));
  // ChForm is cleared first (its click runs), then handled again after TN(7), before TN(13).
  EXPECT_EQ(trace, (std::vector<std::string>{"form 20 6", "form 15 6", "scale", "redraw", "close"}));
  for (int i = 0; i < 86; ++i) EXPECT_EQ(p.chb(i), kInitialChecks[i] == '1') << i;
  EXPECT_EQ(p.tn(31), "");
  EXPECT_EQ(p.tn(55), "0");  // ChB(55) off again, its handling shows the brightness
  EXPECT_EQ(ws.shared.folders[kFolderSource], f.tmp.str() + "/scans");  // not touched
  EXPECT_EQ(p.ttb(2), "Программа №1");                                  // not touched
}

}  // namespace
}  // namespace quillaro
