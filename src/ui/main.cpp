#include <QApplication>

#include "ui/form_a4.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  quillaro::FormA4 window;
  window.show();
  return app.exec();
}
