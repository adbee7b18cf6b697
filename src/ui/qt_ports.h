#pragma once
// Qt implementations of the core's ports: message boxes and progress in the window.
#include <functional>
#include <string_view>

#include "base/ports.h"

class QWidget;

namespace quillaro {

class QtPrompts : public Prompts {
public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  Answer ask(std::string_view text, Buttons buttons, Icon icon, Answer defaultButton) override;

private:
  QWidget* parent_;
};

// Progress of long loops: "<n> %" in the window caption and the status label, pending
// events processed, and the stop request reported.
class QtProgress : public Progress {
public:
  // `show` receives the status text ("" restores the plain caption).
  explicit QtProgress(std::function<void(std::string_view caption, std::string_view status)> show)
      : show_(std::move(show)) {}
  void percent(int value) override;
  void status(std::string_view text) override;
  bool pump() override;
  // Asked by the window (a mouse press in a view, focus to TZ(0)); cleared by clearStop.
  void requestStop() { stop_ = true; }
  void clearStop() { stop_ = false; }
  bool stopRequested() const { return stop_; }

private:
  std::function<void(std::string_view, std::string_view)> show_;
  bool stop_ = false;
};

}  // namespace quillaro
