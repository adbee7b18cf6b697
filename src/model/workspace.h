#pragma once
// The workspace: the state of one editing session without any widgets. The main window
// owns one and shows it; a hidden run works on one alone. It holds the shared reading
// state, the ports to the user, the shared values, the parameter store, the recorder's
// state and the flags that operations test.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "model/action_state.h"
#include "model/automation_port.h"
#include "model/journal.h"
#include "base/fields.h"
#include "model/operations.h"
#include "model/param_store.h"
#include "base/ports.h"
#include "model/shared_values.h"
#include "image/bitmap.h"

namespace quillaro {

class Workspace;
struct CopyState;  // copy/copy_state.h
struct UndoState;  // app/undo.h
struct OpenState;  // image/open.h
struct PrintState;  // print/print.h

// Actions that belong to parts of the program built around the workspace. An empty hook
// takes the plain behaviour described beside it.
struct WorkspaceHooks {
  // Runs one text-settings line (the default text settings, or "X"). Plain: the line is
  // kept as the held text-settings record.
  std::function<void(Workspace&, const std::string& line)> runTextSettingsLine;
  // The text-settings record as the settings file writes it. Plain: the held record.
  std::function<std::string(const Workspace&)> textSettingsRecord;
  // The current mask pattern is set from a text. Plain: a text of 4 characters is kept.
  std::function<void(Workspace&, const std::string& pattern)> setMaskPattern;
  // The copy size field TN(68) (which = 0) or TN(69) (which = 1) is set through the copy
  // parameters. Plain: the field takes the text.
  std::function<void(Workspace&, int which, const std::string& text)> setCopySize;
  // The copy frame fields are recomputed from the panel. Plain: nothing.
  std::function<void(Workspace&)> recomputeCopyFrame;
  // The file list is rebuilt after the source folder changed. Plain: nothing.
  std::function<void(Workspace&)> rebuildFileList;
  // The table panel's origin action (settings key ShowPic). Plain: nothing.
  std::function<void(Workspace&)> showTablePanelOrigin;
  // The edit view is redrawn. Plain: nothing.
  std::function<void(Workspace&)> redrawEditView;
  // After settings were read or reset: the dependent panels and views are refreshed and
  // the settings panel is closed. Plain: nothing.
  std::function<void(Workspace&)> settingsApplied;
  // Saves a text under a name typed in the save panel into working folder `folder`.
  // Plain: "Введите имя файла" for an empty name, else the text is written (atomically)
  // to the folder + name.
  std::function<bool(Workspace&, const std::string& name, const std::string& text, int folder)>
      saveTextFile;
};

// The program text of the action runner and recorder: a copy of TZ(0), taken again
// whenever TZ(0) changed.
struct ProgramText {
  std::string text;
  bool changed = true;  // TZ(0) changed since the text was last taken
};

struct RecorderState {
  bool recordingAllowed = true;  // off while a program runs or an operation calls another
  bool insertionMode = false;    // the line goes after the last NEW/OPEN/RELOAD line
  std::size_t lengthBeforeLastAppend = 0;  // in characters
};

class Workspace {
public:
  // Null ports are replaced by silent ones (every question takes its default button).
  explicit Workspace(Prompts* prompts = nullptr, Progress* progress = nullptr);
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;
  ~Workspace();

  FieldReader reader;
  Prompts* prompts;
  Progress* progress;
  SharedValues shared;
  ParamStore params;
  WorkspaceHooks hooks;

  // Flags of the window.
  bool running = false;      // the interpreter is applying a line; panel handlers stay passive
  bool readingMode = false;  // the reader of one command (F1) applies a line

  ProgramText program;
  RecorderState recorder;

  // Screen and panel sizes that the window reports, in window units (integer pixels);
  // the defaults serve a hidden run.
  int screenWidth = 1920;
  int screenHeight = 1080;
  int tablePanelWidth = 1920;  // width of the table panel FrameTable

  // Pictures, all of the one working bit depth (shared.bitDepth).
  ImageBuffer image;  // the opened picture
  Bitmap page;        // the page image made by the copy
  Bitmap a3;          // the A3 assembly buffer

  // State of the copy composition (copy/copy_state.h; made on first use by copyState()).
  std::shared_ptr<CopyState> copyState;
  // The undo buffer (app/undo.h) and the opening's state (image/open.h), made on first use.
  std::shared_ptr<UndoState> undo;
  std::shared_ptr<OpenState> openState;
  // The print state (print/print.h), made on first use.
  std::shared_ptr<PrintState> printState;

  // Entry points of the operations, filled by the modules that build them.
  Operations ops;

  // The journal that records what the operations do, and the way to the action runner;
  // the composition root connects both (unconnected: nothing is recorded or run).
  Journal* journal;
  AutomationPort* automation;

  // The action interpreter's and runner's state.
  ActionState actions;

  // "Число дробных знаков до" (TN(9)): the number of decimals of formatted numbers, 1..5.
  int decimals() const;
  // A number written by the program into a field or a line.
  std::string format(double value) const { return formatNumber(value, decimals()); }

  // The hooks, or their plain behaviour when a hook is empty.
  void runTextSettingsLine(const std::string& line);
  std::string textSettingsRecord() const;
  void setMaskPattern(const std::string& pattern);
  void setCopySize(int which, const std::string& text);
  void recomputeCopyFrame();
  void rebuildFileList();
  void showTablePanelOrigin();
  void redrawEditView();
  void settingsApplied();
  bool saveTextFile(const std::string& name, const std::string& text, int folder);

private:
  SilentPrompts silentPrompts_;
  NoJournal noJournal_;
  NoAutomation noAutomation_;
  NullProgress nullProgress_;
  int programObserver_ = 0;
};

}  // namespace quillaro
