#pragma once
// The text dialog (key "X", button "Текст..." of the text panel): the text to draw TZ(1),
// the font, its size and styles, and the buttons "Нарисовать" (F9) and "Продолжить" (the
// text goes on where the previous text ended, as an X- line). The other text settings are
// on the text panel. Every field is the parameter store's value, in both directions.
#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quillaro {

class Workspace;

// Draws TZ(1) from the window (continued: as an X- text) and shows the picture again.
void drawTextFromWindow(Workspace& ws, bool continued);

class TextDialog : public QDialog {
public:
  // `redraw` shows the picture after a drawing.
  TextDialog(Workspace& ws, std::function<void()> redraw, QWidget* parent = nullptr);
  ~TextDialog() override;

  // Shows the store's values.
  void refresh();
  void draw(bool continued);

  QPlainTextEdit* textEdit() const { return text_; }
  QComboBox* fontList() const { return font_; }

protected:
  void keyPressEvent(QKeyEvent* e) override;

private:
  Workspace& ws_;
  std::function<void()> redraw_;
  QPlainTextEdit* text_ = nullptr;
  QComboBox* font_ = nullptr;
  QLineEdit* size_ = nullptr;
  QCheckBox* styles_[4] = {};
  int token_ = 0;
  bool updating_ = false;
};

// Shows the text dialog of the window `owner` (made on first use).
void showTextDialog(QWidget* owner, Workspace& ws, std::function<void()> redraw);

// The buttons of the text panel: "Нарисовать" (ComDrawText) and "Текст..." (ComShowDrawText).
QWidget* makeTextButtons(std::function<void()> draw, std::function<void()> showDialog);

}  // namespace quillaro
