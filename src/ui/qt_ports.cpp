#include "ui/qt_ports.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <utility>
#include <QString>

namespace quillaro {
namespace {

QMessageBox::StandardButton toQt(Answer a) {
  switch (a) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
  }
  return QMessageBox::NoButton;
}

}  // namespace

Answer QtPrompts::ask(std::string_view text, Buttons buttons, Icon icon, Answer defaultButton) {
  QMessageBox box(parent_);
  box.setWindowTitle(QStringLiteral("Quillaro"));
  box.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).replace("\r\n", "\n"));
  switch (icon) {
    case Icon::None: break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Stop: box.setIcon(QMessageBox::Critical); break;
  }
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  // The texts of the buttons are the program's own, so that they read Russian even where
  // Qt's translations are not installed.
  const std::pair<QMessageBox::StandardButton, const char*> texts[] = {
      {QMessageBox::Ok, "ОК"}, {QMessageBox::Cancel, "Отмена"}, {QMessageBox::Yes, "Да"}, {QMessageBox::No, "Нет"}};
  for (const auto& [which, text] : texts)
    if (QAbstractButton* b = box.button(which)) b->setText(QString::fromUtf8(text));
  box.setDefaultButton(toQt(defaultButton));
  switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
  }
}

}  // namespace quillaro

#include <QCoreApplication>
#include <string>

namespace quillaro {

void QtProgress::percent(int value) {
  const std::string text = std::to_string(value) + " %";
  if (show_) show_(text, text);
  pump();
}

void QtProgress::status(std::string_view text) {
  if (show_) show_(text.empty() ? std::string_view{} : text, text);
}

bool QtProgress::pump() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return stop_;
}

}  // namespace quillaro
