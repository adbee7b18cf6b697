#pragma once
// Layer model: the workspace, its parameter store, pictures, undo and states, and the small
// interfaces it reaches the journal, the runner and the view through.
//
// The model: the workspace, the state of one editing session without any widgets. The main
// window owns one and shows it through the view observer; a hidden run works on one alone.
// It holds the shared reading state, the ports to the user, the shared values, the
// parameter store, the pictures, the recorder's state and the flags that operations test.
#include <cstddef>
#include <memory>
#include <string>

#include "model/action_state.h"
#include "model/automation_port.h"
#include "model/journal.h"
#include "base/fields.h"
#include "model/param_store.h"
#include "base/ports.h"
#include "model/shared_values.h"
#include "model/view_observer.h"
#include "image/bitmap.h"

namespace quillaro {

class Workspace;
struct CopyState;  // copy/copy_state.h
struct UndoState;  // app/undo.h
struct OpenState;  // image/open.h
struct PrintState;  // print/print.h
class FileList;     // ops/file_list.h
struct FindReplaceState;  // ops/find_replace.h
struct BatchState;  // ops/batch_run.h

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
  Clock* clock;  // the system's unless a test sets its own
  SharedValues shared;
  ParamStore params;

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

  // The file list of the picture folder (ops/file_list.h), made on first use.
  std::shared_ptr<FileList> files;
  // The find-and-replace sets and undo copies (ops/find_replace.h), made on first use.
  std::shared_ptr<FindReplaceState> findReplace;
  // The imposition batch and its plan (ops/batch_run.h), made on first use.
  std::shared_ptr<BatchState> batch;

  // The journal that records what the operations do, and the way to the action runner;
  // the composition root connects both (unconnected: nothing is recorded or run).
  Journal* journal;
  AutomationPort* automation;
  // What shows the workspace: the window binds itself here; a hidden run has no view.
  ViewObserver* view;

  // The action interpreter's and runner's state.
  ActionState actions;

  // "Число дробных знаков до" (TN(9)): the number of decimals of formatted numbers, 1..5.
  int decimals() const;
  // A number written by the program into a field or a line.
  std::string format(double value) const { return formatNumber(value, decimals()); }

  // The current mask pattern: a text of 4 characters is kept, anything else is ignored.
  void setMaskPattern(const std::string& pattern);
  // The edit view is redrawn unless the redraw guard is set.
  void redrawEditView();

private:
  SilentPrompts silentPrompts_;
  NoJournal noJournal_;
  NoAutomation noAutomation_;
  NoView noView_;
  NullProgress nullProgress_;
  SystemClock systemClock_;
  int programObserver_ = 0;
};

}  // namespace quillaro
