#include "ui/batch_panel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/control_numbers.h"
#include "base/fields.h"
#include "model/workspace.h"
#include "ops/batch_run.h"
#include "ops/rename_scans.h"

namespace quillaro {
namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string str(const QString& s) { return s.toUtf8().toStdString(); }
long long number(QLineEdit* e) { return static_cast<long long>(parseNumber(str(e->text()))); }

}  // namespace

BatchPanel::BatchPanel(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
  setObjectName(QStringLiteral("BatchPanel"));
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(0, 0, 0, 0);

  auto* scans = new QHBoxLayout;
  prefix_ = new QLineEdit(qs(batchState(ws).scanPrefix));
  prefix_->setObjectName(QStringLiteral("ScanPrefix"));
  prefix_->setToolTip(QStringLiteral("Общая часть имён сканов: префикс + номер страницы"));
  numbering_ = new QLabel;
  numbering_->setObjectName(QStringLiteral("NumberingLabel"));
  scans->addWidget(new QLabel(QStringLiteral("Сканы:")));
  scans->addWidget(prefix_, 1);
  scans->addWidget(numbering_);
  v->addLayout(scans);
  connect(prefix_, &QLineEdit::textEdited, this, [this](const QString& t) { batchState(ws_).scanPrefix = str(t); });

  start_ = new QPushButton;
  start_->setObjectName(QStringLiteral("BTN1"));
  start_->setToolTip(QStringLiteral("Рассчитать спуск полос от первой до последней страницы и запустить его; во время работы - остановить"));
  v->addWidget(start_);
  connect(start_, &QPushButton::clicked, this, [this] {
    calculateAndStart(ws_);
    refresh();
  });
  progress_ = new QLabel;
  v->addWidget(progress_);

  plan_ = new QTableWidget(0, 3);
  plan_->setObjectName(QStringLiteral("PlanTable"));
  plan_->setHorizontalHeaderLabels({QStringLiteral("Низ A5"), QStringLiteral("Верх A5"), QStringLiteral("Файл")});
  plan_->horizontalHeader()->setStretchLastSection(true);
  plan_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  plan_->setSelectionBehavior(QAbstractItemView::SelectRows);
  plan_->setMinimumHeight(160);
  v->addWidget(plan_, 1);

  // Renaming of scans.
  auto* rename = new QFormLayout;
  auto* oldPrefix = new QLineEdit;
  auto* newPrefix = new QLineEdit;
  auto* from = new QLineEdit(QStringLiteral("1"));
  auto* to = new QLineEdit(QStringLiteral("1"));
  auto* start = new QLineEdit(QStringLiteral("1"));
  auto* listPrefix = new QLineEdit;
  auto* byNumber = new QPushButton(QStringLiteral("Переименовать файлы от"));
  auto* byList = new QPushButton(QStringLiteral("Переименовать по списку в"));
  auto* undo = new QPushButton(QStringLiteral("Отменить переименование"));
  byNumber->setToolTip(QStringLiteral("Дать файлам со старым именем новые номера по порядку"));
  byList->setToolTip(QStringLiteral("Переименовать файлы по списку имён"));
  undo->setToolTip(QStringLiteral("Вернуть файлам имена, которые были до последнего переименования"));
  auto* range = new QHBoxLayout;
  range->addWidget(byNumber);
  range->addWidget(from);
  range->addWidget(new QLabel(QStringLiteral("до")));
  range->addWidget(to);
  rename->addRow(range);
  rename->addRow(QStringLiteral("Старое имя"), oldPrefix);
  rename->addRow(QStringLiteral("Новое имя"), newPrefix);
  rename->addRow(QStringLiteral("Новый номер от"), start);
  auto* list = new QHBoxLayout;
  list->addWidget(byList);
  list->addWidget(listPrefix);
  rename->addRow(list);
  rename->addRow(undo);
  v->addLayout(rename);
  connect(byNumber, &QPushButton::clicked, this, [=, this] {
    renameByNumber(ws_, {str(oldPrefix->text()), str(newPrefix->text()), number(from), number(to), number(start),
                         ws_.params.chb(check::kTwoNumbers)});
  });
  connect(byList, &QPushButton::clicked, this, [=, this] { renameByList(ws_, str(listPrefix->text()), number(start)); });
  connect(undo, &QPushButton::clicked, this, [this] { undoRename(ws_); });

  ws.params.subscribe([this](const ControlId& id) {
    if (id == chbId(check::kTwoNumbers) || id == heldId(Held::PageNumber)) refresh();
  });
  refresh();
}

void BatchPanel::refresh() {
  const ParamStore& p = ws_.params;
  numbering_->setText(qs(numberingLabel(p.chb(check::kTwoNumbers), parseNumber(p.held(Held::PageNumber)))));
  start_->setText(qs(batchButtonCaption(ws_)));
  const BatchState& b = batchState(ws_);
  const ImpositionPlan& plan = b.plan;
  if (plan_->rowCount() != plan.forms) {
    plan_->setRowCount(plan.forms);
    for (int f = 0; f < plan.forms; ++f) {
      const auto& s = plan.formPages[static_cast<std::size_t>(f)];
      plan_->setVerticalHeaderItem(f, new QTableWidgetItem(QString::number(f + 1)));
      plan_->setItem(f, 0, new QTableWidgetItem(QString::number(s[0])));
      plan_->setItem(f, 1, new QTableWidgetItem(QString::number(s[1])));
      plan_->setItem(f, 2, new QTableWidgetItem(qs(plan.names[static_cast<std::size_t>(plan.imageOfForm(f))])));
    }
  } else {
    for (int f = 0; f < plan.forms; ++f) {
      const auto& s = plan.formPages[static_cast<std::size_t>(f)];
      plan_->item(f, 0)->setText(QString::number(s[0]));
      plan_->item(f, 1)->setText(QString::number(s[1]));
      plan_->item(f, 2)->setText(qs(plan.names[static_cast<std::size_t>(plan.imageOfForm(f))]));
    }
  }
  // The current form is marked while the batch runs.
  if (batchRunning(ws_) && b.form < plan.forms) {
    plan_->selectRow(b.form);
    progress_->setText(QStringLiteral("Форма %1 из %2").arg(b.form + 1).arg(plan.forms));
  } else {
    plan_->clearSelection();
    progress_->setText(plan.forms > 0 ? QStringLiteral("Форм: %1").arg(plan.forms) : QString());
  }
}

}  // namespace quillaro
