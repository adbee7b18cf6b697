#include "ui/form_a4.h"

namespace quillaro {

FormA4::FormA4(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString::fromUtf8("Редактор *.bmp для печати"));
  resize(1200, 800);
}

}  // namespace quillaro
