// The texts beside the panel widgets, and the controls that no panel shows.
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "automation/composition.h"
#include "model/workspace.h"
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
  void captionsAreWordsNotControlAddresses() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    const QRegularExpression address(QStringLiteral("^[A-Za-z]+\\(\\d+\\)$"));
    const QRegularExpression name(QStringLiteral("^[A-Za-z0-9]+$"));
    QStringList texts;
    for (auto* l : w.panels()->findChildren<QLabel*>()) texts << l->text().trimmed();
    for (auto* b : w.panels()->findChildren<QCheckBox*>()) texts << b->text().trimmed();
    for (auto* r : w.panels()->findChildren<QRadioButton*>()) {
      texts << r->text().trimmed();
      // Every button has a text but the first of OptionMouseUp, which has none by design.
      QVERIFY2(!r->text().isEmpty() || r->objectName() == QStringLiteral("OptionMouseUp_0"), qPrintable(r->objectName()));
    }
    int groups = 0;
    for (auto* g : w.panels()->findChildren<QGroupBox*>()) {
      texts << g->title().trimmed();
      if (!g->objectName().endsWith(QLatin1String("Group"))) continue;
      ++groups;
      QVERIFY2(!g->title().isEmpty() && !name.match(g->title()).hasMatch(), qPrintable(g->title()));
    }
    QCOMPARE(groups, kOptionGroupCount);
    QVERIFY(texts.size() > 150);
    for (const QString& t : texts) QVERIFY2(!address.match(t).hasMatch(), qPrintable(t));

    int fields = 0;  // every field of a form has a label
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

  // One tone field: its caption names what it holds in the open mode, and a program that
  // sets the text behind it is seen in it.
  void theToneFieldIsOneAndFollowsTheOpenMode() {
    Workspace ws;
    connectWorkspace(ws);
    FormA4 w(ws);
    auto* field = qobject_cast<QLineEdit*>(w.binder().widgetFor(tnId(field::kBrightnessOrThreshold)));
    QVERIFY(field);
    QVERIFY(!w.binder().widgetFor(heldId(Held::Threshold)) && !w.binder().widgetFor(heldId(Held::Brightness)));
    QLabel* label = nullptr;
    for (auto* form : w.panels()->findChildren<QFormLayout*>())
      if (auto* l = qobject_cast<QLabel*>(form->labelForField(field))) label = l;
    QVERIFY(label);
    ws.params.setChb(check::kOpenAs1Bit, true);
    QCOMPARE(label->text(), QStringLiteral("Порог Ч/Б"));
    ws.params.setHeld(Held::Threshold, "150");  // as a program line "BW=150" does
    QCOMPARE(field->text(), QStringLiteral("150"));
    ws.params.setHeld(Held::Brightness, "7");  // not the text shown now
    QCOMPARE(field->text(), QStringLiteral("150"));
    ws.params.setChb(check::kOpenAs1Bit, false);
    QCOMPARE(label->text(), QStringLiteral("Яркость"));
    QCOMPARE(field->text(), QStringLiteral("7"));
    QCOMPARE(qobject_cast<QCheckBox*>(w.binder().widgetFor(chbId(63)))->text(), QStringLiteral("После копирования: в A3"));
  }

  void unusedControlsAreLeftOut() {
    Workspace ws;
    connectWorkspace(ws);
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
    QCOMPARE(QString::fromStdString(ws.params.tn(13)), QStringLiteral("4"));  // the store keeps them
  }
};

std::unique_ptr<QObject> makePanelCaptionsTest() { return std::make_unique<PanelCaptionsTest>(); }

#include "panel_captions_test.moc"
