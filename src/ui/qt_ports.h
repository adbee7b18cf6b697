#pragma once
// Qt implementations of the core's ports: message boxes and progress in the window.
#include "app/ports.h"

class QWidget;
class QLabel;

namespace quillaro {

class QtPrompts : public Prompts {
public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  Answer ask(std::string_view text, Buttons buttons, Icon icon, Answer defaultButton) override;

private:
  QWidget* parent_;
};

}  // namespace quillaro
