#pragma once
// The action runner: runs an action program (the program text of TZ(0), a selected part
// of it, or a text handed over by another part of the program) line by line through the
// interpreter, and starts the operation that each command kind names. Around a run the
// panels are saved and put back, so that a program changes the user's settings only while
// it runs. The reader of one command (F1) applies the single line at the text cursor.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillaro {

class Workspace;

// One line of a program text and the start of the next one (byte positions).
struct ProgramLine {
  std::string text;
  std::size_t next = 0;
};

// The line at `position`; lines end with CR LF, LF or CR. An X line whose text block
// ("<TEXT>" ... "</TEXT>", any letter case) runs over several lines is read up to its
// "</TEXT>"; the next line then starts after the line end there (two characters when none
// follows). `upper` is the program text in upper case (same byte positions). `lastClose`
// is the position of the last "</TEXT>" of the text (npos: none); a caller that reads a
// whole program passes it, so that blocks that are never closed cost no search each.
ProgramLine nextProgramLine(std::string_view text, std::string_view upper, std::size_t position,
                            std::size_t lastClose);
ProgramLine nextProgramLine(std::string_view text, std::string_view upper, std::size_t position);

// A program whose last line begins with NEW: the line moves to the top when it is the only
// NEW line after a line break and the program does not start with NEW; otherwise it is
// removed. Returns the text unchanged when its last line does not begin with NEW.
std::string rearrangeTrailingNew(const std::string& text);

enum class RunEnd {
  Finished,   // every line was read
  Stopped,    // the stop request ended the run
  Cancelled,  // Cancel at "Печатать ?"
  NotRun,     // refused before it began (question answered No, selection without focus)
};

// Run all without a selection: the program text of TZ(0), after the trailing-NEW
// rearrangement and, for long programs, the question "Выполнить действия ?".
RunEnd runAll(Workspace& ws);

// Run all with a selection in TZ(0): the selected text runs only when the focus left the
// program text less than a second ago (`focusInText`); otherwise the message
// "Выделенная часть выполняется, если фокус ввода в тексте." is shown.
RunEnd runSelection(Workspace& ws, const std::string& selected, bool focusInText);
// Whether a selection may run: the program text lost the focus less than 1 s ago.
bool selectionMayRun(double nowSeconds, double focusLeftAtSeconds);

// Runs a text as a program; the program text is put back afterwards. `byTextDrawing`:
// the text drawing runs the lines it generated (no blank sheet is made first).
RunEnd runText(Workspace& ws, const std::string& text, bool byTextDrawing = false);

// The stop request (focus into the program text, a click into a picture view).
void requestStop(Workspace& ws);

// The line flag list of the text drawing for the next run.
void setLineFlags(Workspace& ws, std::vector<int> flags);

// Read one command (F1): the command line at the character position `cursor` of TZ(0).
struct ReadCommand {
  bool found = false;
  std::size_t start = 0;    // the line to select in TZ(0), in characters
  std::size_t length = 0;
  int kind = 0;
  bool focusPageView = false;   // the focus moves to the page view
  bool hideTableFrame = false;  // a copy line: the table frame is hidden
  bool openTextDialog = false;  // an X- line was applied after its X line
  // The last NEW, OPEN or RELOAD line above: the one that made the picture.
  bool producingFound = false;
  std::size_t producingStart = 0;  // in characters
};
// Plain F1 first brings the picture that line makes when it is not there (another file
// opened, or no picture at all); Ctrl+F1 (`variant`) reads the line alone.
ReadCommand readOneCommand(Workspace& ws, std::size_t cursor, bool variant = false);

// The start-up timer TimerCom (500 ms): on its fifth tick it disables itself and starts
// the automatic copy or the pending action program.
class StartupTimer {
public:
  static constexpr int kIntervalMs = 500;
  enum class Action { None, AutoCopy, RunProgram };

  void start() { enabled = true; ticks = 0; }
  Action tick();

  bool enabled = false;
  int ticks = 0;
  bool programPending = false;   // an action program named on the command line
  bool autoCopyPending = false;  // the automatic copy after an opening
  bool exitAfterProgram = false; // "exit" was given
};

// The program run by the timer: Run all; true when the program is to end afterwards.
bool runPendingProgram(Workspace& ws, const StartupTimer& timer);

// Hidden runs: each command line that runs is written to standard error with the share
// of the program done ("[ 40 %] Open, SRC=..."), its control characters shown as \xNN.
void reportRunOnStderr(Workspace& ws);


}  // namespace quillaro
