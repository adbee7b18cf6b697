// The imposition panel in the window: key L opens it, BTN 1 plans and starts the batch
// through the window's automatic copy and stops it again.
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

#include "automation/composition.h"
#include "base/control_numbers.h"
#include "image/bmp_file.h"
#include "image/sample_page.h"
#include "model/workspace.h"
#include "ops/batch_run.h"
#include "presentation/keymap.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "ui/batch_panel.h"
#include "ui/form_a4.h"
#include "ui/panels.h"

using namespace quillaro;

namespace {

class BatchPanelTest : public QObject {
  Q_OBJECT
private slots:
  void keyOpensPanelAndButtonStartsAndStops() {
    testing::TempDir dir;
    testing::ScriptedPrompts prompts;
    Workspace ws(&prompts);
    connectWorkspace(ws);
    FormA4 w(ws);
    ws.shared.folders[kFolderPictures] = dir.sub("scans");
    ws.shared.folders[kFolderSaved] = dir.sub("saved");
    SamplePageOptions o;
    o.width = 400;
    o.height = 400;
    o.bits = 1;
    QVERIFY(writeBitmap(dir.at("scans/p1.bmp"), makeSamplePage(o), kPixelsPerMetre600));
    ws.params.setTn(field::kFromPage, "1");
    ws.params.setTn(field::kToPage, "8");
    ws.params.setChb(check::kOriginalTurned, true);
    batchState(ws).scanPrefix = "p";
    KeyPress k;
    k.key = 'L';
    w.dispatchKey(k, QStringLiteral("l"));
    BatchPanel* panel = w.batchPanel();
    QVERIFY(panel);
    QCOMPARE(panel->startButton()->text(), QStringLiteral("Рассчитать и запустить"));
    panel->startButton()->click();
    QVERIFY(batchRunning(ws));
    QCOMPARE(panel->startButton()->text(), QStringLiteral("Остановить спуск"));
    QCOMPARE(panel->planTable()->rowCount(), 4);
    QCOMPARE(panel->planTable()->item(0, 2)->text(), QStringLiteral("8+1.bmp"));
    QCOMPARE(panel->planTable()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(QString::fromStdString(ws.image.fileName), QStringLiteral("p1.bmp"));
    panel->startButton()->click();
    QVERIFY(!batchRunning(ws));
    QCOMPARE(panel->startButton()->text(), QStringLiteral("Рассчитать и запустить"));
  }
};

}  // namespace

std::unique_ptr<QObject> makeBatchPanelTest() { return std::make_unique<BatchPanelTest>(); }

#include "batch_panel_test.moc"
