// The texts beside the panel widgets: no widget shows a bare control address, every field
// of a form has a label, the controls that nothing uses are left out (while the store
// keeps them), and controls sit on the panel of their subject.
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QtTest>

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "app/workspace.h"
#include "ui/form_a4.h"
#include "ui/panels.h"

using namespace quillaro;

// The controls that no panel shows. main_window_test.cpp uses it too.
bool leftOutOfPanels(ControlId id) {
  auto in = [&](std::initializer_list<int> l) {
    return std::find(l.begin(), l.end(), id.index) != l.end();
  };
  switch (id.kind) {
    case Ctl::ChB: return in({54, 64});
    case Ctl::TN: return in({13, 14, 15, 23, 30, 31, 32, 42, 43, 45, 46, 51, 52, 54, 65, 66, 67, 70});
    case Ctl::TTB: return id.index >= 3;
    case Ctl::Check: return id.index == static_cast<int>(Check::ChAxis);
    default: return false;
  }
}

namespace {

int arraySize(Ctl kind) {
  switch (kind) {
    case Ctl::ChB: return kChbCount;
    case Ctl::TN: return kTnCount;
    case Ctl::TTB: return kTtbCount;
    default: return kTextPrintCount;
  }
}

}  // namespace

class PanelCaptionsTest : public QObject {
  Q_OBJECT

private slots:
  void noWidgetShowsAControlAddress() {
    Workspace ws;
    FormA4 w(ws);
    const QRegularExpression address(QStringLiteral("^[A-Za-z]+\\(\\d+\\)$"));
    QWidget* panels = w.panels();
    QStringList texts;
    for (auto* l : panels->findChildren<QLabel*>()) texts << l->text().trimmed();
    for (auto* b : panels->findChildren<QCheckBox*>()) texts << b->text().trimmed();
    for (auto* r : panels->findChildren<QRadioButton*>()) texts << r->text().trimmed();
    for (auto* g : panels->findChildren<QGroupBox*>()) texts << g->title().trimmed();
    QVERIFY(texts.size() > 150);
    for (const QString& t : texts) QVERIFY2(!address.match(t).hasMatch(), qPrintable(t));
  }

  void optionGroupsAreTitledInWords() {
    Workspace ws;
    FormA4 w(ws);
    const QRegularExpression name(QStringLiteral("^[A-Za-z0-9]+$"));
    int groups = 0;
    for (auto* g : w.panels()->findChildren<QGroupBox*>()) {
      if (!g->objectName().endsWith(QLatin1String("Group"))) continue;
      ++groups;
      QVERIFY2(!g->title().isEmpty() && !name.match(g->title()).hasMatch(), qPrintable(g->title()));
    }
    QCOMPARE(groups, kOptionGroupCount);
    // Every button has a text but the first of OptionMouseUp, which has none by design.
    for (auto* r : w.panels()->findChildren<QRadioButton*>())
      if (r->objectName() != QStringLiteral("OptionMouseUp_0"))
        QVERIFY2(!r->text().isEmpty(), qPrintable(r->objectName()));
  }

  void everyFieldOfAFormHasALabel() {
    Workspace ws;
    FormA4 w(ws);
    int fields = 0;
    for (auto* form : w.panels()->findChildren<QFormLayout*>()) {
      for (int r = 0; r < form->rowCount(); ++r) {
        QLayoutItem* item = form->itemAt(r, QFormLayout::FieldRole);
        auto* edit = item ? qobject_cast<QLineEdit*>(item->widget()) : nullptr;
        if (!edit) continue;
        ++fields;
        auto* label = qobject_cast<QLabel*>(form->labelForField(edit));
        QVERIFY2(label && !label->text().trimmed().isEmpty(), qPrintable(edit->objectName()));
      }
    }
    QVERIFY(fields > 50);
  }

  void heldFieldsShowCaptionsNotKeys() {
    Workspace ws;
    FormA4 w(ws);
    auto labelOf = [&](ControlId id) -> QString {
      QWidget* field = w.binder().widgetFor(id);
      for (auto* form : w.panels()->findChildren<QFormLayout*>())
        if (auto* l = qobject_cast<QLabel*>(form->labelForField(field))) return l->text();
      return {};
    };
    // The held tone texts carry the captions of the label that they share with TN(55),
    // not their settings keys.
    QCOMPARE(labelOf(heldId(Held::Threshold)), QStringLiteral("Порог Ч/Б"));
    QCOMPARE(labelOf(heldId(Held::Brightness)), QStringLiteral("Яркость"));
    // A check box that only had a tooltip before.
    auto* toA3 = qobject_cast<QCheckBox*>(w.binder().widgetFor(chbId(63)));
    QVERIFY(toA3);
    QCOMPARE(toA3->text(), QStringLiteral("в A3,"));
    QCOMPARE(toA3->toolTip(), QStringLiteral("после копирования"));
  }

  void unusedControlsAreLeftOutButKept() {
    Workspace ws;
    FormA4 w(ws);
    int leftOut = 0;
    for (Ctl kind : {Ctl::ChB, Ctl::TN, Ctl::TTB, Ctl::TextPrint}) {
      for (int i = 0; i < arraySize(kind); ++i) {
        const ControlId id{kind, i};
        QWidget* widget = w.binder().widgetFor(id);
        if (leftOutOfPanels(id)) {
          ++leftOut;
          QVERIFY2(!widget, qPrintable(QStringLiteral("%1 %2").arg(int(kind)).arg(i)));
        } else {
          QVERIFY2(widget, qPrintable(QStringLiteral("%1 %2").arg(int(kind)).arg(i)));
        }
      }
    }
    QCOMPARE(leftOut, 27);
    QVERIFY(!w.binder().widgetFor(checkId(Check::ChAxis)));
    QVERIFY(w.binder().widgetFor(checkId(Check::ChLand)));
    QVERIFY(!w.findChild<QLineEdit*>(QStringLiteral("TN_13")));
    QVERIFY(!w.findChild<QCheckBox*>(QStringLiteral("ChB_54")));

    // The store still holds them, with their fresh values, and takes new ones.
    QCOMPARE(QString::fromStdString(ws.params.tn(13)), QStringLiteral("4"));
    QCOMPARE(QString::fromStdString(ws.params.tn(30)), QStringLiteral("1"));
    ws.params.setTn(14, "12");
    ws.params.setChb(54, true);
    ws.params.setTtb(7, "plan.txt");
    QCOMPARE(QString::fromStdString(ws.params.tn(14)), QStringLiteral("12"));
    QVERIFY(ws.params.chb(54));
    QCOMPARE(QString::fromStdString(ws.params.ttb(7)), QStringLiteral("plan.txt"));
  }

};

std::unique_ptr<QObject> makePanelCaptionsTest() { return std::make_unique<PanelCaptionsTest>(); }

#include "panel_captions_test.moc"
