#pragma once
// The buttons of the table panel: draw the table (ComTableCreate, keys "1" and "T") and
// the four new blank sheets (ComCreateBM(0..3)). The panel's fields and check boxes are
// bound by the panel binder; these buttons start the operations with their values.
#include <QWidget>

namespace quillaro {

class Workspace;

class TablePanel : public QWidget {
public:
  explicit TablePanel(Workspace& ws, QWidget* parent = nullptr);

private:
  Workspace& ws_;
};

}  // namespace quillaro
