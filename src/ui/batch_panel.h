#pragma once
// The imposition part of the automation panel: the scan prefix, the numbering label, BTN 1
// ("Рассчитать и запустить" / "Остановить спуск"), the plan as a table of forms with the
// current one marked, and the renaming of scans. The first/last page, sheets, "2 сгиба A3",
// "Перевёрнутый оригинал" and "2 номера" boxes are the panel's bound controls.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quillaro {

class Workspace;

class BatchPanel : public QWidget {
public:
  explicit BatchPanel(Workspace& ws, QWidget* parent = nullptr);

  // Shows the plan, the current form and BTN 1's caption again.
  void refresh();

  QPushButton* startButton() const { return start_; }
  QTableWidget* planTable() const { return plan_; }

private:
  Workspace& ws_;
  QLineEdit* prefix_ = nullptr;
  QLabel* numbering_ = nullptr;
  QPushButton* start_ = nullptr;
  QTableWidget* plan_ = nullptr;
  QLabel* progress_ = nullptr;
};

}  // namespace quillaro
