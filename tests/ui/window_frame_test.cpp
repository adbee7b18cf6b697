// The window's frame: it fits small screens at any scale, the menu runs the keys'
// commands, the frame handles set the fields, the status bar tells what happened and Qt's
// message boxes speak Russian.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <algorithm>

#include "automation/composition.h"
#include "automation/runner.h"
#include "image/bmp_file.h"
#include "image/sample_page.h"
#include "model/workspace.h"
#include "ops/file_printers.h"
#include "ops/open.h"
#include "ops/print.h"
#include "presentation/menu_commands.h"
#include "support/temp_dir.h"
#include "ui/form_a4.h"
#include "ui/picture_view.h"
#include "ui/qt_ports.h"
#include "ui/translations.h"

using namespace quillaro;

namespace {

void loadSample(Workspace& ws, int bits) {
  SamplePageOptions o;
  o.width = 1000;
  o.height = 1414;
  o.bits = bits;
  o.seed = 5;
  ws.image.bitmap = makeSamplePage(o);
  ws.image.loaded = true;
  ws.image.fileName = "sample.bmp";
  ws.shared.bitDepth = bits;
}

// A window shown at a size given in device pixels (1280 x 800 is 640 x 400 at scale 2).
void showAt(FormA4& w, int deviceW, int deviceH) {
  const double dpr = qApp->devicePixelRatio();
  w.resize(static_cast<int>(deviceW / dpr), static_cast<int>(deviceH / dpr));
  w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
}

}  // namespace

class WindowFrameTest : public QObject {
  Q_OBJECT

private slots:
  void everyPanelControlIsWithinReach() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    showAt(w, 1280, 800);
    const QSize wanted(static_cast<int>(1280 / qApp->devicePixelRatio()), static_cast<int>(800 / qApp->devicePixelRatio()));
    QCOMPARE(w.size(), wanted);  // the window's minimum does not push it off the screen
    const QRect window = w.rect();
    auto* dock = w.findChild<QDockWidget*>(QStringLiteral("PanelDock"));
    QVERIFY(dock->isVisible());
    QVERIFY(window.contains(QRect(dock->mapTo(&w, QPoint(0, 0)), dock->size())));
    QVERIFY(w.pageView()->width() > 100 && w.pageView()->height() > 100);
    int checked = 0;
    for (int i = 0; i < kPanelCount; ++i) {
      w.panels()->setCurrentIndex(i);
      QApplication::processEvents();
      auto* scroll = qobject_cast<QScrollArea*>(w.panels()->widget(i));
      QVERIFY(scroll);
      const QRect viewport(scroll->viewport()->mapTo(&w, QPoint(0, 0)), scroll->viewport()->size());
      QVERIFY2(window.contains(viewport), panelCaption(static_cast<PanelId>(i)));
      // Inside the scrolled body every control lies within the body (reached by scrolling),
      // and the body is no wider than the viewport unless it scrolls sideways.
      QWidget* body = scroll->widget();
      for (QWidget* c : body->findChildren<QWidget*>()) {
        if (!c->isVisibleTo(body) || !(qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c))) continue;
        const QRect r(c->mapTo(body, QPoint(0, 0)), c->size());
        QVERIFY2(body->rect().contains(r), qPrintable(c->objectName()));
        ++checked;
      }
      QVERIFY2(body->width() <= scroll->viewport()->width() || scroll->horizontalScrollBar()->isVisible(),
               panelCaption(static_cast<PanelId>(i)));
    }
    QVERIFY(checked > 150);
  }

  void menuEntriesRunTheCommandsOfTheKeys() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    for (const MenuCommand& m : menuCommands()) {
      QAction* a = w.menuAction(m.cmd);
      QVERIFY2(a, commandName(m.cmd));
      QVERIFY2(a->text().endsWith(QStringLiteral("\t") + QString::fromUtf8(m.keyText)), m.caption);
      ws.params.setCheck(Check::ChSelSize, m.mode == KeyMode::Drawing);
      a->trigger();
      QCOMPARE(w.lastCommand(), m.cmd);
      // The key itself, in its mode, starts the same command.
      ws.params.setCheck(Check::ChSelSize, m.mode == KeyMode::Drawing);
      w.forgetLastCommand();
      if (m.typed) w.dispatchKey({}, QString(QChar(static_cast<char16_t>(m.typed))));
      else w.dispatchKey(m.key);
      QVERIFY2(w.lastCommand() == m.cmd, m.caption);
      if (w.isFullScreen()) ws.params.setCheck(Check::ChMXSZ, false);
    }
    // Every push button says what it does.
    QStringList silent;
    for (auto* b : w.findChildren<QPushButton*>())
      if (b->toolTip().isEmpty()) silent << b->objectName() + QStringLiteral(" ") + b->text();
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(QStringLiteral(", "))));
  }

  void handlesSizeTheFramesAndTheFieldsFollow() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    loadSample(ws, 1);
    showAt(w, 1280, 800);
    w.showPicture();
    PictureView* v = w.pageView();
    const double d = ws.shared.dotsPerMm;
    auto viewPoint = [&](double px, double py) {
      return QPoint(qRound(v->mapping().toViewX(px)), qRound(v->mapping().toViewY(py)));
    };
    // Drawing mode: the bottom right corner of the drawing rectangle.
    ws.params.setCheck(Check::ChSelSize, true);
    for (auto [tn, val] : {std::pair{24, "10"}, {25, "10"}, {26, "20"}, {27, "20"}}) ws.params.setTn(tn, val);
    const QPoint corner = viewPoint(30 * d, 30 * d);
    QTest::mousePress(v, Qt::LeftButton, {}, corner);
    QTest::mouseMove(v, corner + QPoint(40, 20));
    const double grownW = ws.params.tnValue(26);
    QTest::mouseRelease(v, Qt::LeftButton, {}, corner + QPoint(40, 20));
    QCOMPARE(ws.params.tn(24), std::string("10"));  // the opposite corner stays
    QVERIFY(grownW > 20);                             // followed while dragging
    QVERIFY(std::abs(ws.params.tnValue(26) - (20 + 40 / v->mapping().scale / d)) < 0.2);
    QVERIFY(std::abs(ws.params.tnValue(27) - (20 + 20 / v->mapping().scale / d)) < 0.2);
    // Copy mode: the right edge of the copy zone sizes the frame.
    ws.params.setCheck(Check::ChSelSize, false);
    for (auto [tn, val] : {std::pair{20, "5"}, {21, "5"}, {18, "20"}, {19, "30"}}) ws.params.setTn(tn, val);
    const QPoint edge = viewPoint(25 * d, 20 * d);
    QTest::mousePress(v, Qt::LeftButton, {}, edge);
    QTest::mouseMove(v, edge + QPoint(-10, 0));
    QTest::mouseRelease(v, Qt::LeftButton, {}, edge + QPoint(-10, 0));
    QCOMPARE(ws.params.tn(20), std::string("5"));
    QCOMPARE(ws.params.tn(19), std::string("30"));
    QVERIFY(std::abs(ws.params.tnValue(18) - (20 - 10 / v->mapping().scale / d)) < 0.2);
  }

  void ctrlWheelZoomsAroundThePointer() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    loadSample(ws, 8);
    showAt(w, 1280, 800);
    w.showPicture();
    PictureView* v = w.pageView();
    v->zoomBy(4);  // larger than the view both ways: nothing is centred any more
    const QPointF at(v->width() * 0.4, v->height() * 0.45);
    const double px = v->mapping().toPictureX(at.x()), py = v->mapping().toPictureY(at.y());
    const double before = v->mapping().scale;
    QWheelEvent wheel(at, v->mapToGlobal(at), {}, QPoint(0, 240), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(v, &wheel);
    QVERIFY(v->mapping().scale > before * 1.5);
    QVERIFY(std::abs(v->mapping().toPictureX(at.x()) - px) < 1);
    QVERIFY(std::abs(v->mapping().toPictureY(at.y()) - py) < 1);
    QVERIFY(w.statusPicture().contains(QStringLiteral("%")));
  }

  // (the printed file in the status bar: main window test of the A3 print)
  void statusBarTellsPictureAndMode() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    ws.params.setChb(check::kRemind, false);
    loadSample(ws, 8);
    w.showPicture();
    QVERIFY(w.statusPicture().contains(QStringLiteral("sample.bmp")));
    QVERIFY(w.statusPicture().contains(QStringLiteral("8 бит")));
    QCOMPARE(w.statusMode(), QStringLiteral("Режим: копирование"));
    w.dispatchKey(KeyPress{'S'});
    QCOMPARE(w.statusMode(), QStringLiteral("Режим: рисование"));
    w.popupMenu()->findChild<QAction*>(QStringLiteral("MuTo1bit"))->trigger();
    QVERIFY(w.statusPicture().contains(QStringLiteral("1 бит")));
    // A turn shows its progress in the caption, which is clean again afterwards.
    w.runCommand({Cmd::TurnRight});
    QTRY_COMPARE_WITH_TIMEOUT(w.windowTitle(), QStringLiteral("Редактор *.bmp для печати"), 4000);
  }

  void a3UndoAndFillRatioButtonsWork() {
    quillaro::testing::TempDir d;
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    ws.params.setChb(check::kRemind, false);
    auto* toA3 = w.findChild<QPushButton*>(QStringLiteral("ComA3"));
    QVERIFY(!toA3->isEnabled());
    ws.params.setCheck(Check::ChA3, true);
    QVERIFY(toA3->isEnabled());
    Bitmap black = Bitmap::create(400, 300, 1);
    black.fill(0);
    const std::string scan = d.at("scan.bmp");
    QVERIFY(writeBitmap(scan, black, kPixelsPerMetre600));
    QVERIFY(openPicture(ws, scan));
    runText(ws, "Copy, 0, 0, 100, 140, 4, 4, 100, 0");
    toA3->click();
    QCOMPARE(ws.params.caption(namedLabelId(NamedLabel::LabA4inA3)), std::string("1 A4 в A3"));
    auto* preview = w.findChild<PictureView*>(QStringLiteral("PicA3"));
    QCOMPARE(preview->pictureSize(), QSize(ws.a3.width, ws.a3.height));  // current at once
    QTest::mouseDClick(w.binder().widgetFor(namedLabelId(NamedLabel::LabA4inA3)), Qt::LeftButton);
    QVERIFY(ws.a3.empty());
    QVERIFY(preview->pictureSize().isEmpty());
    // Undo takes back a mask in drawing mode.
    ws.params.setCheck(Check::ChSelSize, true);
    for (auto [tn, val] : {std::pair{24, "1"}, {25, "1"}, {26, "5"}, {27, "5"}}) ws.params.setTn(tn, val);
    const Bitmap before = ws.image.bitmap.clone();
    auto same = [&] { return std::equal(before.data(), before.data() + before.byteCount(), ws.image.bitmap.data()); };
    w.dispatchKey(KeyPress{'M'});
    QVERIFY(!same());
    w.findChild<QPushButton*>(QStringLiteral("ComUnDo"))->click();
    QVERIFY(same());
    // The fill ratio shows on its button.
    // (the find-and-replace window has a button of the same name in its own window)
    QPushButton* fill = nullptr;
    for (auto* b : w.findChildren<QPushButton*>(QStringLiteral("Command1")))
      if (b->window() == &w) fill = b;
    QVERIFY(fill);
    fill->click();
    QVERIFY2(fill->text().endsWith(QStringLiteral("%")) && fill->text() != QStringLiteral("0%"), qPrintable(fill->text()));
  }

  void messageBoxesSpeakRussian() {
    QVERIFY(installQtTranslations());  // qt6-translations-l10n is installed by install-deps
    QtPrompts prompts;
    QStringList texts;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      for (QAbstractButton* b : box->buttons()) texts << b->text();
      box->button(QMessageBox::No)->click();
    });
    QCOMPARE(prompts.ask("Сохранить файл a.pfp ?", Buttons::YesNoCancel, Icon::Question, Answer::Yes), Answer::No);
    texts.sort();
    QCOMPARE(texts, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет"), QStringLiteral("Отмена")}));
  }
};

std::unique_ptr<QObject> makeWindowFrameTest() { return std::make_unique<WindowFrameTest>(); }

#include "window_frame_test.moc"
