// The main window on the offscreen platform: panels bound to the store both ways, keys
// reaching their commands in each mode, the file list widget, the close prompts and the
// popup menu; and a picture of the whole window for a person to look at.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextCursor>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "ops/open.h"
#include "model/copy_state.h"
#include "ops/file_printers.h"
#include "ops/print.h"
#include "automation/runner.h"
#include "automation/composition.h"
#include "model/workspace.h"
#include "image/bmp_file.h"
#include "image/sample_page.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "ui/edit_text_window.h"
#include "ui/text_dialog.h"
#include "ui/form_a4.h"
#include "ui/picture_view.h"

using namespace quillaro;

bool leftOutOfPanels(ControlId id);  // panel_captions_test.cpp

namespace {

Bitmap samplePage(int bits, int width = 1000, int height = 1414) {
  SamplePageOptions o;
  o.width = width;
  o.height = height;
  o.bits = bits;
  o.seed = 3;
  return makeSamplePage(o);
}

void loadPicture(Workspace& ws, Bitmap b) {
  ws.image.bitmap = std::move(b);
  ws.image.loaded = true;
  ws.shared.bitDepth = ws.image.bitmap.bits;
}

KeyPress key(int k, bool shift = false, bool ctrl = false, bool alt = false) {
  KeyPress p;
  p.key = k;
  p.shift = shift;
  p.ctrl = ctrl;
  p.alt = alt;
  return p;
}

using quillaro::testing::TempDir;

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

private slots:
  void storeAndWidgetsFollowEachOther() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    auto widget = [&](ControlId id, int sub = 0) { return w.binder().widgetFor(id, sub); };
    auto* remind = qobject_cast<QCheckBox*>(widget(chbId(31)));
    QCOMPARE(remind->text(), QStringLiteral("Напоминать"));
    QCOMPARE(remind->toolTip(), QStringLiteral("Предупреждать, запрашивать подтверждение"));
    ws.params.setChb(31, false);
    QVERIFY(!remind->isChecked());
    ws.params.setOption(OptionGroup::Mouse, 2);
    QVERIFY(qobject_cast<QRadioButton*>(widget(optionId(OptionGroup::Mouse), 2))->isChecked());
    ws.params.setEnabled(checkId(Check::ChA3), false);
    QVERIFY(!widget(checkId(Check::ChA3))->isEnabled());
    auto* tz0 = qobject_cast<QPlainTextEdit*>(widget(tzId(0)));
    ws.params.setTz(0, "Open\r\nCopy");
    QCOMPARE(tz0->toPlainText(), QStringLiteral("Open\nCopy"));
    ws.params.setCaption(namedLabelId(NamedLabel::LabS), "12 %");
    QCOMPARE(qobject_cast<QLabel*>(widget(namedLabelId(NamedLabel::LabS)))->text(), QStringLiteral("12 %"));

    qobject_cast<QCheckBox*>(widget(chbId(27)))->click();
    QVERIFY(!ws.params.chb(27));
    auto* margin = qobject_cast<QLineEdit*>(widget(tnId(44)));
    margin->setText("25");
    emit margin->editingFinished();
    QCOMPARE(QString::fromStdString(ws.params.tn(44)), QStringLiteral("10"));  // clamped to 0..10
    QCOMPARE(margin->text(), QStringLiteral("10"));
    qobject_cast<QRadioButton*>(widget(optionId(OptionGroup::MouseUp), 3))->click();
    QCOMPARE(ws.params.option(OptionGroup::MouseUp), 3);
    qobject_cast<QComboBox*>(widget(listId(ListSel::ListFontName)))->setCurrentIndex(3);
    QCOMPARE(QString::fromStdString(ws.params.fontName()), QStringLiteral("Times New Roman"));
    qobject_cast<QPlainTextEdit*>(widget(tzId(3)))->setPlainText("a\nб");
    QCOMPARE(ws.params.tz(3), std::string("a\r\nб"));
    QVERIFY(ws.params.tzModified(3));
    QTest::keyClicks(widget(heldId(Held::TextFileName)), "book.pfp");
    QCOMPARE(ws.params.held(Held::TextFileName), std::string("book.pfp"));
  }

  void findAndReplaceWindowWorksOnTheTextField() {
    Workspace ws;
    connectWorkspace(ws);
    ws.params.setChb(31, false);
    FormA4 w(ws);
    auto* tz3 = qobject_cast<QPlainTextEdit*>(w.binder().widgetFor(tzId(3)));
    tz3->setPlainText(QStringLiteral("Кот\nи кот"));
    EditTextWindow* edit = w.editText();
    edit->openFor(3);
    QCOMPARE(edit->windowTitle(), QStringLiteral("Поиск и замена"));
    edit->textEdit(0)->setText(QStringLiteral("кот"));
    edit->textEdit(1)->setText(QStringLiteral("пёс"));
    edit->anyCase()->setChecked(true);
    edit->findNext();
    QCOMPARE(tz3->textCursor().selectedText(), QStringLiteral("Кот"));
    edit->findNext();
    QCOMPARE(tz3->textCursor().selectionStart(), 6);  // after the line break
    edit->replace();  // the selection only
    QCOMPARE(ws.params.tz(3), std::string("Кот\r\nи пёс"));
    tz3->moveCursor(QTextCursor::Start);
    edit->replace();  // no selection: all
    QCOMPARE(ws.params.tz(3), std::string("пёс\r\nи пёс"));
    edit->undo();
    QCOMPARE(tz3->toPlainText(), QStringLiteral("Кот\nи пёс"));
  }

  void everyControlOfTheTableHasOneWidget() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    for (const ControlInfo& row : controlTable()) {
      // Held texts are kept by the program, not typed; the two tone texts are typed through
      // the one shared field TN(55).
      if (row.kind == Ctl::Held && row.index != static_cast<int>(Held::TextFileName)) continue;
      if ((row.kind == Ctl::List && row.sub > 0) || leftOutOfPanels({row.kind, row.index})) continue;
      if (row.kind == Ctl::NamedLabel && (row.index == static_cast<int>(NamedLabel::LabXCell) ||
                                          row.index == static_cast<int>(NamedLabel::LabYCell)))
        continue;  // belong to the table drawing panel
      if (row.kind == Ctl::NamedLabel && row.index == static_cast<int>(NamedLabel::ComCopy)) {
        ws.params.setCaption({row.kind, row.index}, "Стоп");  // the copy button shows the caption
        QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("ComCopy"))->text(), QStringLiteral("Стоп"));
        continue;
      }
      QVERIFY2(w.binder().widgetFor({row.kind, row.index}, row.kind == Ctl::Option ? row.sub : 0), row.name);
    }
  }

  void f1InTheProgramTextReadsTheLineAtTheCursor() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    auto* text = w.findChild<QPlainTextEdit*>(QStringLiteral("TZ_0"));
    QVERIFY(text);
    text->setPlainText(QStringLiteral("' Привет 😀\nT, 1, 2, 3, 4, 5, 6\nPrint, 2"));
    QTextCursor c = text->textCursor();
    c.setPosition(12);  // after the comment, which holds a character outside the BMP
    text->setTextCursor(c);
    QTest::keyClick(text, Qt::Key_F1);
    QCOMPARE(text->textCursor().selectedText(), QStringLiteral("T, 1, 2, 3, 4, 5, 6"));
    QCOMPARE(QString::fromStdString(ws.params.tn(0)), QStringLiteral("5"));
    // The button reads the line at the cursor just the same.
    c.setPosition(text->toPlainText().size());
    text->setTextCursor(c);
    w.findChild<QPushButton*>(QStringLiteral("ComRead"))->click();
    QCOMPARE(text->textCursor().selectedText(), QStringLiteral("Print, 2"));
  }

  void keysReachTheirCommandsByMode() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    loadPicture(ws, samplePage(1));
    ws.params.setCheck(Check::ChSelSize, false);  // copy mode; the keymap itself is tested alone
    w.dispatchKey(key('K'));
    QCOMPARE(w.lastCommand(), Cmd::None);
    w.dispatchKey(key('C'));
    QCOMPARE(w.lastCommand(), Cmd::Copy);
    w.dispatchKey({}, "+");
    QCOMPARE(w.lastCommand(), Cmd::PlusButton);
    ws.params.setTn(20, "10");
    w.dispatchKey(key(kKeyRight));
    QCOMPARE(ws.params.tn(20), std::string("10.1"));
    w.dispatchKey(key(kKeyUp, true));
    QCOMPARE(ws.params.tn(21), std::string("-1"));

    w.dispatchKey(key('S'));
    QVERIFY(ws.params.check(Check::ChSelSize));  // drawing mode
    w.dispatchKey({}, "+");
    QCOMPARE(w.lastCommand(), Cmd::LineWidthPlus);
    ws.params.setTn(26, "5");
    w.dispatchKey(key(kKeyLeft, false, false, true));
    QCOMPARE(ws.params.tn(26), std::string("4.9"));
    ws.params.setTn(24, "12");
    w.dispatchKey(key(kKeyF1 + 5));
    QCOMPARE(ws.params.tn(20), std::string("12"));
    QCOMPARE(ws.params.tn(18), std::string("4.9"));
  }

  void maskAndTurnKeysChangeThePicture() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    Bitmap black = Bitmap::create(300, 200, 1);
    black.fill(0);
    loadPicture(ws, std::move(black));
    for (int tn : {24, 25}) ws.params.setTn(tn, "0");
    for (int tn : {26, 27}) ws.params.setTn(tn, "2");
    ws.params.setCheck(Check::ChSelSize, false);
    w.dispatchKey(key('M'));  // masks in drawing mode only
    QVERIFY(!ws.image.bitmap.isWhite(1, 0));
    w.dispatchKey(key(kKeyComma, false, true));
    QCOMPARE(ws.image.bitmap.width, 200);
    QVERIFY(ws.params.tz(0).find("Left") != std::string::npos);
    ws.params.setCheck(Check::ChSelSize, true);
    w.dispatchKey(key(kKeyDelete));
    QVERIFY(ws.image.bitmap.isWhite(1, 0));
    QVERIFY(!ws.image.bitmap.isWhite(60, 60));
    QVERIFY(ws.params.tz(0).find("Erase, 0, 0, 2, 2") != std::string::npos);
  }

  // Keys 1 and T, the panel's button, key O (merge cells) and a new sheet button.
  void tableKeysAndButtonsDrawAndRecord() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    loadPicture(ws, Bitmap::create(1000, 800, 1));
    ParamStore& p = ws.params;
    const char* values[] = {"5", "5", "20", "10"};
    for (int i = 0; i < 4; ++i) p.setTn(24 + i, values[i]);
    for (int tn : {0, 1}) p.setTn(tn, "2");
    for (int tn : {2, 3, 4, 5}) p.setTn(tn, "1");
    p.setCheck(Check::ChTabTab, true);
    p.setChb(24, true);
    p.setChb(25, true);
    p.setCheck(Check::ChSelSize, true);
    p.setTz(0, "", false);
    w.dispatchKey(key('1'));
    // The middle lines: vertical at 15 mm, horizontal at 10 mm.
    const int at = static_cast<int>(std::lround(15 * ws.shared.dotsPerMm));
    const int mid = static_cast<int>(std::lround(10 * ws.shared.dotsPerMm));
    QVERIFY(!ws.image.bitmap.isWhite(at, 200) && !ws.image.bitmap.isWhite(300, mid));
    w.dispatchKey(key('O'));
    QVERIFY(ws.image.bitmap.isWhite(at, 200) && ws.image.bitmap.isWhite(300, mid));
    QCOMPARE(QString::fromStdString(p.tz(0)), QStringLiteral("T, 5, 5, 20, 10, 2, 2, 1, 1\r\nU, 5, 5, 20, 10\r\n"));
    w.findChild<QPushButton*>(QStringLiteral("ComTableCreate"))->click();
    QVERIFY(!ws.image.bitmap.isWhite(at, 200));
    ws.image.modified = 0;
    w.findChild<QPushButton*>(QStringLiteral("ComCreateBM_3"))->click();
    QCOMPARE(ws.image.bitmap.width, 4960);
    QCOMPARE(ws.image.bitmap.height, 3508);
  }

  void keyXOpensTheTextDialogWhichDrawsWithF9() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    loadPicture(ws, Bitmap::create(1200, 800, 1));
    ws.params.setCheck(Check::ChSelSize, true);
    const char* rect[] = {"5", "5", "40", "20"};
    for (int i = 0; i < 4; ++i) ws.params.setTn(24 + i, rect[i]);
    ws.params.setTn(33, "20");
    w.dispatchKey(key('X'));
    auto* dialog = w.findChild<TextDialog*>(QStringLiteral("TextDialog"));
    QVERIFY(dialog && dialog->isVisible());
    dialog->textEdit()->setPlainText(QStringLiteral("Привет"));
    QCOMPARE(ws.params.tz(1), std::string("Привет"));
    QTest::keyClick(dialog, Qt::Key_F9);
    long long ink = 0;
    for (int y = 0; y < 800; ++y)
      for (int x = 0; x < 1200; ++x) ink += !ws.image.bitmap.isWhite(x, y);
    QVERIFY(ink > 500);
    QVERIFY(ws.params.tz(0).find("X, 5, 5, 40, 20, FS=20 <TEXT>Привет</TEXT>") != std::string::npos);
    QCOMPARE(ws.params.tz(1), std::string());  // everything was drawn
  }

  void snapshotPointerReadoutAndCopyCount() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    Bitmap grey = Bitmap::create(200, 200, 8);
    grey.setGrey(50, 60, 77);
    loadPicture(ws, std::move(grey));
    w.showPicture();
    w.dispatchKey(key(kKeyF1 + 1));
    QVERIFY(w.snapshotShown());
    w.dispatchKey(key(kKeyF1 + 1));
    QVERIFY(!w.snapshotShown());
    w.pointerAt(50.4, 60.2);
    QCOMPARE(ws.params.caption(labId(49)), std::string("2.1"));
    QCOMPARE(ws.params.caption(labId(50)), std::string("2.5"));
    QCOMPARE(ws.params.caption(labId(51)), std::string("Яркость =77"));
    loadPicture(ws, Bitmap::create(200, 200, 1));
    w.pointerAt(1, 1);
    QCOMPARE(ws.params.caption(labId(51)), std::string("Яркость =77"));  // kept on 1 bit
    w.showCopies(21);
    QCOMPARE(ws.params.caption(namedLabelId(NamedLabel::LabCopies)), std::string("21 копию"));
    w.showCopies(12);
    QCOMPARE(ws.params.caption(namedLabelId(NamedLabel::LabCopies)), std::string("12 копий"));
  }

  void popupMenuStatesFollowTheDepth() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    loadPicture(ws, samplePage(1));
    w.prepareMenu();
    auto action = [&](const char* n) { return w.popupMenu()->findChild<QAction*>(n); };
    QVERIFY(action("MuLinePlus")->isEnabled());
    QVERIFY(!action("MuTo1bit")->isEnabled());
    loadPicture(ws, samplePage(8));
    ws.params.setTn(10, "6");
    w.prepareMenu();
    QVERIFY(!action("MuLinePlus")->isEnabled());
    QVERIFY(action("MuTo1bit")->isEnabled());
    QCOMPARE(action("MuDenseThinMax")->text(), QStringLiteral("Не менее 6"));
    action("MuTo1bit")->trigger();
    QCOMPARE(ws.image.bitmap.bits, 1);
  }

  void fileListWidgetShowsAndOpens() {
    TempDir d;
    for (const char* n : {"b.bmp", "a.bmp"})
      QVERIFY(writeBitmap(d.at(n), samplePage(8, 400, 300), kPixelsPerMetre600));
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    ws.params.setChb(27, false);
    ws.params.setChb(8, false);
    ws.shared.folders[1] = d.path.string();
    w.findChild<QPushButton*>("ComPath_5")->click();
    QVERIFY(w.listOpen()->isVisibleTo(&w));
    QCOMPARE(w.listOpen()->count(), 2);
    QCOMPARE(w.listOpen()->item(0)->text(), QStringLiteral("a.bmp"));
    QVERIFY(w.fileList().openEntry(1));
    QCOMPARE(ws.image.fileName, std::string("b.bmp"));
    QCOMPARE(ws.image.bitmap.width, 400);
    QVERIFY(!ws.params.caption(labId(55)).empty());
  }

  void automaticCopyWaitsForTheTimerAndCanBeStopped() {
    TempDir d;
    const std::string scan = d.at("scan.bmp");
    QVERIFY(writeBitmap(scan, samplePage(1, 400, 300), kPixelsPerMetre600));
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    ws.params.setChb(52, true);  // "Автоматически копировать,"
    auto* button = w.findChild<QPushButton*>(QStringLiteral("ComCopy"));
    QVERIFY(openPicture(ws, scan));
    QCOMPARE(button->text(), QStringLiteral("Стоп"));
    QVERIFY(ws.page.empty());
    // The copy comes on the timer's fifth tick, and the button reads "Копировать" again.
    QTRY_VERIFY_WITH_TIMEOUT(!ws.page.empty(), 5000);
    QCOMPARE(button->text(), QStringLiteral("Копировать"));
    // Opened again and stopped with the button: nothing is copied.
    ws.page = Bitmap();
    ws.image.lastPath.clear();
    QVERIFY(openPicture(ws, scan));
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Копировать"));
    QTest::qWait(3000);
    QVERIFY(ws.page.empty());
  }

  // What a program or the copy button makes is shown at once, and the print button takes
  // the full A3 sheet on view, not the original.
  void copiesAreShownAndTheFullSheetIsPrinted() {
    TempDir d;
    const std::string scan = d.at("scan.bmp");
    QVERIFY(writeBitmap(scan, samplePage(1), kPixelsPerMetre600));
    Workspace ws;
    connectWorkspace(ws);
    ws.shared.folders[kFolderSaved] = d.str();
    PrinterList printers;
    printers.add(std::make_unique<BmpFilePrinter>([&ws] { return ws.shared.folders[kFolderSaved]; }));
    installPrinting(ws, &printers);
    FormA4 w(ws);
    ws.params.setChb(check::kRemind, false);
    ws.params.setCheck(Check::ChA3, true);
    QVERIFY(openPicture(ws, scan));
    runText(ws, "Copy, 0, 0, 100, 140, 4, 4, 100, 0\r\nA3, 1");
    QVERIFY(!ws.page.empty());
    QCOMPARE(w.editView()->pictureSize(), QSize(ws.page.width, ws.page.height));
    w.findChild<QPushButton*>(QStringLiteral("ComCopy"))->click();
    runText(ws, "A3, 2");
    QCOMPARE(copyState(ws).a3State, 2);
    w.findChild<QPushButton*>(QStringLiteral("ComPrint"))->click();
    ReadResult printed = readBitmap(d.at("Print-0001.bmp"), {}, nullptr);
    QVERIFY(printed.ok());
    QCOMPARE(printed.image.bitmap.width, ws.a3.width);
    // The status bar names the printer and the file.
    QVERIFY2(w.statusResult().startsWith(QStringLiteral("Напечатано: BMP")), qPrintable(w.statusResult()));
    QVERIFY(w.statusResult().contains(QStringLiteral("Print-0001.bmp")));
  }

  void closeIsRefusedOnCancelAndAsksForANameOnYes() {
    testing::ScriptedPrompts prompts;
    Workspace ws(&prompts);
    ws.params.setChb(47, false);
    FormA4 w(ws);
    w.show();
    ws.params.setTz(0, "Copy");
    prompts.answers = {Answer::Cancel};
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    prompts.answers = {Answer::Yes};
    QVERIFY(!w.close());
    QCOMPARE(w.panels()->currentIndex(), static_cast<int>(PanelId::Save));
    QCOMPARE(ws.params.held(Held::TextFileName), std::string(".pfp"));
    prompts.answers = {Answer::No};
    QVERIFY(w.close());
  }

  void programTimerStartsOnTheFifthTick() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    int runs = 0;
    w.setProgramRunner([&] { ++runs; });
    w.startPendingProgram(false);
    QTest::qWait(1800);
    QCOMPARE(runs, 0);
    QTRY_COMPARE_WITH_TIMEOUT(runs, 1, 2000);
    QTest::qWait(1200);
    QCOMPARE(runs, 1);
  }

  void screenshotOfMainWindow() {
    const QByteArray out = qgetenv("QUILLARO_SCREENSHOT");
    if (out.isEmpty()) QSKIP("QUILLARO_SCREENSHOT names the PNG to write");
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    loadPicture(ws, samplePage(8, 4961, 7016));
    ws.image.fileName = "sample.bmp";
    const std::pair<int, const char*> fields[] = {{20, "4"},  {21, "4"},  {18, "190"}, {19, "270"},
                                                  {24, "40"}, {25, "60"}, {26, "80"},  {27, "30"}};
    for (auto [tn, v] : fields) ws.params.setTn(tn, v);
    ws.params.setCheck(Check::ChSelSize, true);
    // QUILLARO_SCREENSHOT_SIZE=WxH in device pixels (at QT_SCALE_FACTOR=2 the window is
    // half as many units); 1400x900 when not given.
    const QStringList size = qEnvironmentVariable("QUILLARO_SCREENSHOT_SIZE", QStringLiteral("1400x900")).split('x');
    const double dpr = qApp->devicePixelRatio();
    w.resize(static_cast<int>(size.value(0).toInt() / dpr), static_cast<int>(size.value(1).toInt() / dpr));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.showPicture();
    // QUILLARO_SCREENSHOT_PANEL=n shows panel n instead of the copy panel.
    bool chosen = false;
    const int panel = qEnvironmentVariableIntValue("QUILLARO_SCREENSHOT_PANEL", &chosen);
    w.showPanel(chosen && panel >= 0 && panel < kPanelCount ? static_cast<PanelId>(panel) : PanelId::Copy);
    w.pointerAt(1200, 2400);
    QTest::qWait(300);
    QVERIFY(w.grab().save(QString::fromLocal8Bit(out)));
  }
};

// Every test class of quillaro_ui_tests runs from this main.
#include "ui/run_test_objects.h"
std::unique_ptr<QObject> makePrintPanelTest();
std::unique_ptr<QObject> makePanelCaptionsTest();
std::unique_ptr<QObject> makeBatchPanelTest();
std::unique_ptr<QObject> makeWindowFrameTest();

int main(int argc, char** argv) {
  QTEST_MAIN_SETUP()
  MainWindowTest mainWindow;
  const std::unique_ptr<QObject> printPanel = makePrintPanelTest();
  const std::unique_ptr<QObject> panelCaptions = makePanelCaptionsTest();
  const std::unique_ptr<QObject> batchPanel = makeBatchPanelTest();
  const std::unique_ptr<QObject> windowFrame = makeWindowFrameTest();
  return quillaro::testing::runTestObjects(
      {&mainWindow, printPanel.get(), panelCaptions.get(), batchPanel.get(), windowFrame.get()}, argc, argv);
}
#include "main_window_test.moc"
