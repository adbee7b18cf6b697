#pragma once
// The print settings: the printer, paper, tray, quality and orientation lists, each with
// the state the current printer reports, and the name of the file loaded for printing.
// A choice goes to the print logic; the widgets follow every change of the print state.
#include <QWidget>

class QComboBox;
class QLabel;

namespace quillaro {

class Workspace;

class PrintPanel : public QWidget {
public:
  explicit PrintPanel(Workspace& ws, QWidget* parent = nullptr);
  ~PrintPanel() override;

  // Shows the current printer's state and the list selections again.
  void refresh();

  // For tests and the window.
  QComboBox* printerList() const { return printers_; }
  QComboBox* paperList() const { return paper_; }
  QComboBox* trayList() const { return tray_; }
  QComboBox* qualityList() const { return quality_; }
  QComboBox* orientationList() const { return orientation_; }
  QLabel* fileLabel() const { return file_; }
  QLabel* paperLabel() const { return paperState_; }
  QLabel* trayLabel() const { return trayState_; }
  QLabel* qualityLabel() const { return qualityState_; }
  QLabel* orientationLabel() const { return orientationState_; }

protected:
  void showEvent(QShowEvent* e) override;

private:
  // Runs a list handler; anything it throws is shown as "ListPrintERROR 2".
  void choose(void (*handler)(Workspace&, int), int k);

  Workspace& ws_;
  QComboBox* printers_ = nullptr;
  QComboBox* paper_ = nullptr;
  QComboBox* tray_ = nullptr;
  QComboBox* quality_ = nullptr;
  QComboBox* orientation_ = nullptr;
  QLabel* file_ = nullptr;
  QLabel* paperState_ = nullptr;
  QLabel* trayState_ = nullptr;
  QLabel* qualityState_ = nullptr;
  QLabel* orientationState_ = nullptr;
};

}  // namespace quillaro
