#include "ui/print_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <string>
#include <tuple>
#include <vector>

#include "base/ports.h"
#include "model/workspace.h"
#include "ops/print.h"
#include "ops/printer.h"

namespace quillaro {
namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QComboBox* makeList(const char* name, const std::vector<std::string>& entries) {
  auto* box = new QComboBox;
  box->setObjectName(QString::fromLatin1(name));
  for (const std::string& e : entries) box->addItem(qs(e));
  box->setCurrentIndex(-1);
  return box;
}

QLabel* makeState(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(QString::fromLatin1(name));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

// The list row of a reported value, -1 when the value has no row.
int rowOf(int value, int first, int last, int row0) {
  if (value < std::min(first, last) || value > std::max(first, last)) return -1;
  return row0 + (first <= last ? value - first : first - value);
}

void select(QComboBox* box, int row) {
  const QSignalBlocker block(box);
  box->setCurrentIndex(row >= 0 && row < box->count() ? row : -1);
}

}  // namespace

PrintPanel::PrintPanel(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
  setObjectName(QStringLiteral("PrintPanel"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* group = new QGroupBox(QStringLiteral("Настройки печати"));
  group->setObjectName(QStringLiteral("FramePrintSettings"));
  outer->addWidget(group);
  auto* grid = new QGridLayout(group);

  file_ = makeState("LabPrintFile");
  printers_ = makeList("ListPrinters", {});
  paper_ = makeList("ListPaper", paperListEntries());
  tray_ = makeList("ListTray", trayListEntries());
  quality_ = makeList("ListQuality", qualityListEntries());
  orientation_ = makeList("ListOrientation", orientationListEntries());
  paperState_ = makeState("LabPaper");
  trayState_ = makeState("LabTray");
  qualityState_ = makeState("LabQuality");
  orientationState_ = makeState("LabOrientation");

  grid->addWidget(file_, 0, 0, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Принтер")), 1, 0);
  grid->addWidget(printers_, 1, 1, 1, 2);
  const std::tuple<const char*, QComboBox*, QLabel*> rows[] = {
      {"Бумага", paper_, paperState_},
      {"Лоток", tray_, trayState_},
      {"Качество", quality_, qualityState_},
      {"Ориентация", orientation_, orientationState_}};
  int r = 2;
  for (const auto& [caption, list, state] : rows) {
    grid->addWidget(new QLabel(QString::fromUtf8(caption)), r, 0);
    grid->addWidget(list, r, 1);
    grid->addWidget(state, r, 2);
    ++r;
  }
  grid->setColumnStretch(2, 1);

  // `activated` comes from the user only, so showing the state never chooses anything.
  connect(printers_, &QComboBox::activated, this, [this](int k) { choose(&choosePrinter, k); });
  connect(paper_, &QComboBox::activated, this, [this](int k) { choose(&choosePaper, k); });
  connect(tray_, &QComboBox::activated, this, [this](int k) { choose(&chooseTray, k); });
  connect(quality_, &QComboBox::activated, this, [this](int k) { choose(&chooseQuality, k); });
  connect(orientation_, &QComboBox::activated, this, [this](int k) { choose(&chooseOrientation, k); });

  // The window refreshes the panel when a print or an opening changes the print state.
  refresh();
}

PrintPanel::~PrintPanel() = default;

void PrintPanel::choose(void (*handler)(Workspace&, int), int k) {
  try {
    handler(ws_, k);
  } catch (const std::exception&) {
    ws_.prompts->message("ListPrintERROR 2", Icon::Exclamation);
  }
  // The lists show what the printer reports, also after a refused choice.
  refresh();
}

void PrintPanel::refresh() {
  const PrintPanelView v = printPanelView(ws_);
  const PrintState& st = printState(ws_);
  file_->setText(qs(v.fileLine));

  {
    const QSignalBlocker block(printers_);
    bool same = printers_->count() == static_cast<int>(v.printers.size());
    for (int i = 0; same && i < printers_->count(); ++i)
      same = printers_->itemText(i) == qs(v.printers[static_cast<std::size_t>(i)]);
    if (!same) {
      printers_->clear();
      for (const std::string& name : v.printers) printers_->addItem(qs(name));
    }
  }
  select(printers_, v.currentPrinter);

  const bool printer = v.currentPrinter >= 0;
  printers_->setEnabled(!v.printers.empty());
  paper_->setEnabled(printer);
  quality_->setEnabled(printer);
  orientation_->setEnabled(printer);
  tray_->setEnabled(printer && v.trayListOffered);

  paperState_->setText(qs(v.paper));
  trayState_->setText(qs(v.tray));
  qualityState_->setText(qs(v.quality));
  orientationState_->setText(qs(v.orientation));

  select(paper_, printer ? st.paperListIndex : -1);
  select(orientation_, printer ? st.orientationListIndex : -1);
  Printer* current = printer && st.printers ? st.printers->current() : nullptr;
  select(tray_, current ? rowOf(current->tray(), 1, 3, 0) : -1);
  select(quality_, current ? rowOf(current->quality(), -1, -4, 0) : -1);
}

void PrintPanel::showEvent(QShowEvent* e) {
  refresh();
  QWidget::showEvent(e);
}

}  // namespace quillaro
