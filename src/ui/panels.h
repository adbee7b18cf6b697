#pragma once
// The option panels of the main window, built from the control table and bound to the
// parameter store in both directions: a user edit is written into the store (which runs
// the control's handling), and every change of the store is shown by the widgets.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/controls.h"

class QObject;
class QWidget;
class QLabel;
class QPlainTextEdit;
class QLineEdit;

namespace quillaro {

class ParamStore;
class Prompts;

enum class PanelId : int { Settings, Copy, Tone, Mask, Save, Actions, Print, Text, Table, Count };
inline constexpr int kPanelCount = static_cast<int>(PanelId::Count);

// The panel that shows a control.
PanelId panelOf(ControlId id);
// The caption of a panel tab ("Настройки", ...).
const char* panelCaption(PanelId p);
// The object name of a panel ("FrameSett", ...).
const char* panelName(PanelId p);

class PanelBinder {
public:
  PanelBinder(ParamStore& store, Prompts* prompts);
  ~PanelBinder();
  PanelBinder(const PanelBinder&) = delete;
  PanelBinder& operator=(const PanelBinder&) = delete;

  // Builds the widgets of every control that belongs to the panel (each control appears in
  // exactly one panel). The caller owns the returned widget.
  QWidget* buildPanel(PanelId panel);
  // Extra bound widgets that the window places itself.
  QLabel* makeLabel(ControlId id);                 // Lab(k) and the named labels
  QPlainTextEdit* makeTextArea(int k);             // TZ(k)
  QLineEdit* makeHeldField(Held h);                // TextFileName and other held texts

  // The widget bound to a control (option groups and lists: button or entry `sub`);
  // nullptr when none was built.
  QWidget* widgetFor(ControlId id, int sub = 0) const;
  // Every control that has a bound widget.
  std::size_t boundCount() const { return widgets_.size(); }

  // Shows the store's current state in every widget.
  void refreshAll();

private:
  static std::uint64_t slot(ControlId id, int sub) {
    return (static_cast<std::uint64_t>(id.key()) << 8) | static_cast<std::uint64_t>(sub & 0xFF);
  }
  void bind(ControlId id, int sub, QWidget* w);
  void show(ControlId id);
  void showOne(ControlId id, int sub, QWidget* w);

  ParamStore& store_;
  Prompts* prompts_;
  // Context of every connection: deleting it with the binder cuts them all, so widgets
  // that outlive the binder never call into it.
  QObject* guard_;
  int token_ = 0;
  bool updating_ = false;
  std::unordered_map<std::uint64_t, QWidget*> widgets_;
  std::unordered_map<std::uint32_t, std::vector<std::pair<int, QWidget*>>> byControl_;
};

}  // namespace quillaro
