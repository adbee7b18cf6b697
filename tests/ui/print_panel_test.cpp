// The print settings widgets against a list of fake printers.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

#include <memory>
#include <stdexcept>

#include "model/workspace.h"
#include "ops/print.h"
#include "ops/printer.h"
#include "support/scripted_prompts.h"
#include "ui/print_panel.h"

using namespace quillaro;

namespace {

class FakePrinter : public Printer {
public:
  explicit FakePrinter(std::string name) : name(std::move(name)) {}
  std::string deviceName() const override { return name; }
  int paperCode() const override { return paper; }
  bool setPaperCode(int code) override { return !refuse && (paper = code, true); }
  int tray() const override { return trayCode; }
  bool setTray(int code) override { return !refuse && (trayCode = code, true); }
  int quality() const override { return qualityValue; }
  bool setQuality(int q) override {
    if (throwing) throw std::runtime_error("driver gone");
    return !refuse && (qualityValue = q, true);
  }
  int orientation() const override { return orient; }
  bool setOrientation(int o) override { return !refuse && (orient = o, true); }
  double pageWidthTwips() const override { return 11338.6; }   // 200 mm
  double pageHeightTwips() const override { return 17007.9; }  // 300 mm
  bool setCopies(int) override { return true; }
  bool drawPicture(const Bitmap&, std::int32_t, double, double) override { return true; }
  bool endDocument() override { return true; }
  PrinterError lastError() const override { return {380, "Invalid property value"}; }

  int paper = kPaperA4, trayCode = 7, qualityValue = -4, orient = kPortrait;
  bool refuse = false, throwing = false;
  std::string name;
};

QStringList entries(const QComboBox* box) {
  QStringList out;
  for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
  return out;
}

struct Rig {
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  PrinterList list;
  FakePrinter* first = new FakePrinter("Office");
  FakePrinter* second = new FakePrinter("Cellar");
  Rig() {
    list.add(std::unique_ptr<Printer>(first));
    list.add(std::unique_ptr<Printer>(second));
    list.select(0);
    installPrinting(ws, &list);
  }
  QString lastMessage() const { return QString::fromStdString(prompts.shown.back().text); }
};

}  // namespace

class PrintPanelTest : public QObject {
  Q_OBJECT

private slots:
  void listsAndStateAsTheCurrentPrinterReports() {
    Rig rig;
    PrintPanel p(rig.ws);
    QCOMPARE(p.findChild<QGroupBox*>()->title(), QStringLiteral("Настройки печати"));
    QCOMPARE(entries(p.printerList()), (QStringList{"Office", "Cellar"}));
    QCOMPARE(p.printerList()->currentIndex(), 0);
    QCOMPARE(entries(p.paperList()), (QStringList{"A4, 210 x 297 мм", "A3, 297 x 420 мм", "Авто"}));
    QCOMPARE(entries(p.trayList()), (QStringList{"Верхний лоток", "Нижний лоток", "Средний лоток"}));
    QCOMPARE(entries(p.qualityList()), (QStringList{"Черновик  100 dpi", "Низкое разрешение",
                                                    "Среднее разрешение  300 dpi", "Высокое разрешение  600 dpi"}));
    QCOMPARE(entries(p.orientationList()), (QStringList{"Авто", "Книжная ориентация", "Альбомная ориентация"}));
    QCOMPARE(p.paperLabel()->text(), QStringLiteral("A4, 210 x 297 mm"));
    QCOMPARE(p.trayLabel()->text(), QStringLiteral(" Лоток по умолчанию"));
    QCOMPARE(p.qualityLabel()->text(), QStringLiteral(" Разрешение = -4"));
    QCOMPARE(p.orientationLabel()->text(), QStringLiteral(" Книжная ориентация"));
    // Nothing chosen yet; the tray list is offered for tray 7, the quality row follows -4.
    QCOMPARE(p.paperList()->currentIndex(), -1);
    QCOMPARE(p.trayList()->currentIndex(), -1);
    QVERIFY(p.trayList()->isEnabled());
    QCOMPARE(p.qualityList()->currentIndex(), 3);
  }

  void choicesReachThePrinterAndAreShown() {
    Rig rig;
    PrintPanel p(rig.ws);
    emit p.paperList()->activated(1);
    QCOMPARE(rig.first->paper, kPaperA3);
    QCOMPARE(p.paperLabel()->text(), QStringLiteral("A3, 297 x 420 mm"));
    emit p.trayList()->activated(1);
    QCOMPARE(p.trayLabel()->text(), QStringLiteral(" Нижний лоток"));
    emit p.qualityList()->activated(0);
    QCOMPARE(p.qualityLabel()->text(), QStringLiteral(" Разрешение = -1"));
    emit p.orientationList()->activated(2);
    QCOMPARE(p.orientationLabel()->text(), QStringLiteral(" Альбомная ориентация"));
    // Another printer: its own state, here a user paper size and a tray without a list.
    rig.second->paper = kPaperUser;
    rig.second->trayCode = 15;
    emit p.printerList()->activated(1);
    QCOMPARE(rig.list.currentIndex(), 1);
    QCOMPARE(p.paperLabel()->text(), QStringLiteral("200 x 300"));
    QCOMPARE(p.trayLabel()->text(), QStringLiteral(" Код лотка 15"));
    QVERIFY(!p.trayList()->isEnabled());
    QVERIFY(rig.prompts.shown.empty());
  }

  void refusalsAreShownAndTheReportedStateStays() {
    Rig rig;
    PrintPanel p(rig.ws);
    rig.first->refuse = true;
    emit p.paperList()->activated(1);
    QCOMPARE(rig.lastMessage(), QStringLiteral("Недопустимый формат бумаги"));
    QCOMPARE(p.paperLabel()->text(), QStringLiteral("A4, 210 x 297 mm"));
    emit p.trayList()->activated(2);
    QCOMPARE(rig.lastMessage(), QStringLiteral("Недопустимый лоток"));
    emit p.orientationList()->activated(2);
    QCOMPARE(rig.lastMessage(), QStringLiteral("Недопустимо"));
    // A handler that throws is reported, the panel stays usable.
    rig.first->refuse = false;
    rig.first->throwing = true;
    emit p.qualityList()->activated(1);
    QCOMPARE(rig.lastMessage(), QStringLiteral("ListPrintERROR 2"));
    QCOMPARE(p.qualityLabel()->text(), QStringLiteral(" Разрешение = -4"));
  }

  void showsThePrintStateWhenRefreshed() {
    Rig rig;
    PrintPanel p(rig.ws);
    // A change made elsewhere (printing sets the paper back, resets the list) is shown
    // without choosing anything on the printer.
    rig.first->paper = kPaperA3;
    printState(rig.ws).paperListIndex = 2;
    printState(rig.ws).loadedName = "page.bmp";
    p.refresh();
    QCOMPARE(p.paperLabel()->text(), QStringLiteral("A3, 297 x 420 mm"));
    QCOMPARE(p.paperList()->currentIndex(), 2);
    QCOMPARE(p.fileLabel()->text(), QStringLiteral("Файл:  page.bmp"));
    QCOMPARE(rig.first->paper, kPaperA3);
    emit p.orientationList()->activated(1);
  }

  void withoutPrintersTheListsAreOff() {
    testing::ScriptedPrompts prompts;
    Workspace ws(&prompts);
    PrinterList empty;
    installPrinting(ws, &empty);
    PrintPanel p(ws);
    for (QComboBox* box : {p.printerList(), p.paperList(), p.trayList(), p.qualityList(), p.orientationList()})
      QVERIFY(!box->isEnabled());
    QVERIFY(p.paperLabel()->text().isEmpty());
    emit p.paperList()->activated(0);
    QCOMPARE(QString::fromStdString(prompts.shown.back().text), QStringLiteral("Недопустимо"));
  }
};

std::unique_ptr<QObject> makePrintPanelTest() { return std::make_unique<PrintPanelTest>(); }

#include "print_panel_test.moc"
