#pragma once
// The find-and-replace window "Поиск и замена" (EditText): find, replacement and ending
// texts, the letter-case switch, the 32 stored sets, and the operations on the text field
// last used for editing.
#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quillaro {

class Workspace;
struct ReplaceSet;

class EditTextWindow : public QDialog {
public:
  // `field(k)` is the widget of TZ(k) (null when there is none).
  EditTextWindow(Workspace& ws, std::function<QPlainTextEdit*(int)> field, QWidget* parent = nullptr);

  // Shows the window for the field last used, with the selected text as the find text.
  void openFor(int field);

  // The window's operations, also for tests.
  void findNext();
  void replace();
  void replaceAllSets();
  void undo();
  void showSet(int step);  // -1 previous, +1 next

  // The row of the text panel: "Поиск и замена" (also Ctrl+F in the window) and the help
  // button "Справка" (ComHelp).
  QWidget* makeToolRow();

  QLineEdit* textEdit(int i) const { return texts_[i]; }
  QCheckBox* anyCase() const { return anyCase_; }

private:
  ReplaceSet shownSet() const;
  void storeShownSet();
  void showCurrentSet();
  QPlainTextEdit* activeEdit() const;

  Workspace& ws_;
  std::function<QPlainTextEdit*(int)> field_;
  QLineEdit* texts_[3] = {};
  QCheckBox* anyCase_ = nullptr;
  QLabel* setLabel_ = nullptr;
};

}  // namespace quillaro
