#pragma once
#include <QMainWindow>

namespace quillaro {

// The main window: a view over the workspace.
class FormA4 : public QMainWindow {
  Q_OBJECT
public:
  explicit FormA4(QWidget* parent = nullptr);
};

}  // namespace quillaro
