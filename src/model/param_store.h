#pragma once
// The parameter store: every value the main window keeps in a control, addressed as the
// program addresses it (chb(57), tn(24), check(Check::ChLand), ...), without any widgets.
// The window shows the store and writes user edits back into it; the settings file, the
// action interpreter and the operations read and set it.
//
// A change of a value notifies the observers (the window) and then runs the change or
// click handling registered for that control. While the interpreter's running flag is on
// the handling stays passive (observers are still told); callers that must run a
// control's handling say so with runHandler().
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/controls.h"

namespace quillaro {

class Prompts;

// The common field normalisation: trailing points are removed ("12." -> "12").
std::string normalizeField(std::string_view text);

// One of the action program and text file fields TZ(k) with its modified mark, the name
// last used for it and its text cursor (in characters).
struct TextArea {
  std::string text;
  bool modified = false;
  std::string name;
  std::size_t cursor = 0;
};

// The main window's position and size in window units (integer pixels here).
struct WindowRect {
  int left = 0;
  int top = 0;
  int width = 1200;
  int height = 800;
  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

class ParamStore {
public:
  using Observer = std::function<void(const ControlId&)>;
  using Handler = std::function<void(const ControlId&)>;

  ParamStore();
  ParamStore(const ParamStore&) = delete;
  ParamStore& operator=(const ParamStore&) = delete;

  // Puts every value, caption, tooltip and enabled state back to a fresh window's state
  // (handlers and observers stay; nothing is notified).
  void loadInitialValues();

  // --- Check boxes ChB(0..87) ---
  bool chb(int i) const { return valid(i, kChbCount) && chb_[i]; }
  void setChb(int i, bool v);

  // --- Number fields TN(0..70) ---
  const std::string& tn(int i) const { return valid(i, kTnCount) ? tn_[i] : empty_; }
  void setTn(int i, std::string v);
  // A field edited by the user: a number outside the field's stated range is brought to
  // the nearest limit before it is stored (TN(55) brightness -2500..2500 or threshold
  // 0..255, TN(10) 2..20, TN(58)/TN(59) -32..50, TN(44) 0..10, TN(12) -5000..5000).
  void editTn(int i, std::string v, Prompts* prompts = nullptr);
  // The value of TN(i) read by the number reader ("," read as ".").
  double tnValue(int i, Prompts* prompts = nullptr) const;

  // --- Text fields TTB(0..9), TextPrint(0..1) ---
  const std::string& ttb(int i) const { return valid(i, kTtbCount) ? ttb_[i] : empty_; }
  void setTtb(int i, std::string v);
  const std::string& textPrint(int i) const { return valid(i, kTextPrintCount) ? textPrint_[i] : empty_; }
  void setTextPrint(int i, std::string v);

  // --- Text areas TZ(0..7) ---
  const std::string& tz(int i) const { return valid(i, kTzCount) ? tz_[i].text : empty_; }
  // Sets the text; a change marks the field modified unless markModified is false.
  void setTz(int i, std::string v, bool markModified = true);
  bool tzModified(int i) const { return valid(i, kTzCount) && tz_[i].modified; }
  void setTzModified(int i, bool v);
  const std::string& tzName(int i) const { return valid(i, kTzCount) ? tz_[i].name : empty_; }
  void setTzName(int i, std::string name);
  std::size_t tzCursor(int i) const { return valid(i, kTzCount) ? tz_[i].cursor : 0; }
  void setTzCursor(int i, std::size_t pos);

  // --- Named check boxes, option groups, lists ---
  bool check(Check c) const { return checks_[static_cast<int>(c)]; }
  void setCheck(Check c, bool v);
  int option(OptionGroup g) const { return options_[static_cast<int>(g)]; }
  void setOption(OptionGroup g, int button);
  int listIndex(ListSel l) const { return lists_[static_cast<int>(l)]; }
  void setListIndex(ListSel l, int entry);
  // The text of the selected entry of the font list ("Arial", ...).
  std::string fontName() const;

  // --- Held texts and the eight A3 texts ---
  const std::string& held(Held h) const { return held_[static_cast<int>(h)]; }
  void setHeld(Held h, std::string v);
  const std::string& a3Text(int i) const { return valid(i, kA3TextCount) ? a3_[i] : empty_; }
  void setA3Text(int i, std::string v);

  // --- The window's position and size ---
  const WindowRect& window() const { return window_; }
  void setWindow(const WindowRect& r);

  // --- Captions, tooltips and enabled states (labels and any control whose caption the
  // program changes at run time); the table's text until one is set ---
  std::string caption(ControlId id, int sub = 0) const;
  void setCaption(ControlId id, std::string text);
  std::string tooltip(ControlId id, int sub = 0) const;
  void setTooltip(ControlId id, std::string text);
  bool enabled(ControlId id) const { return !disabled_.contains(id.key()); }
  void setEnabled(ControlId id, bool on);

  // --- Observers and handlers ---
  // Observers are called after every change, in the order of subscription.
  int subscribe(Observer obs);
  void unsubscribe(int token);
  // The change or click handling of a control (one per control; a later one replaces it).
  void setHandler(ControlId id, Handler h);
  bool hasHandler(ControlId id) const { return handlers_.contains(id.key()); }
  // Runs the handling of a control now, whatever the running flag says.
  void runHandler(ControlId id);

  // The flag that keeps handlers passive (the interpreter's running flag); the store
  // only reads it. Without one, handlers always run.
  void setPassiveFlag(const bool* running) { running_ = running; }
  // Blocks the automatic handling for the lifetime of the object (for changes that a
  // Part makes "with the change handling suppressed").
  class QuietScope {
  public:
    explicit QuietScope(ParamStore& s) : s_(s) { ++s_.quiet_; }
    ~QuietScope() { --s_.quiet_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;
  private:
    ParamStore& s_;
  };

private:
  static bool valid(int i, int n) { return i >= 0 && i < n; }
  void changed(ControlId id);
  void installBuiltInHandlers();

  std::array<bool, kChbCount> chb_{};
  std::array<std::string, kTnCount> tn_;
  std::array<std::string, kTtbCount> ttb_;
  std::array<std::string, kTextPrintCount> textPrint_;
  std::array<TextArea, kTzCount> tz_;
  std::array<bool, kCheckCount> checks_{};
  std::array<int, kOptionGroupCount> options_{};
  std::array<int, kListCount> lists_{};
  std::array<std::string, kHeldCount> held_;
  std::array<std::string, kA3TextCount> a3_;
  WindowRect window_;

  std::unordered_map<std::uint32_t, std::string> captions_;
  std::unordered_map<std::uint32_t, std::string> tooltips_;
  std::unordered_set<std::uint32_t> disabled_;

  std::vector<std::pair<int, Observer>> observers_;
  int nextToken_ = 1;
  std::unordered_map<std::uint32_t, Handler> handlers_;
  std::unordered_set<std::uint32_t> activeHandlers_;
  const bool* running_ = nullptr;
  int quiet_ = 0;
  std::string empty_;
};

}  // namespace quillaro
