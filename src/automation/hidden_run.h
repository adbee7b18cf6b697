#pragma once
// The start of the program as far as it needs no window: the arguments taken apart, and a
// hidden run (an action program named with hide=1) from start-up to its exit code, with
// the messages on standard error and the printers of the core. The window program calls
// it first and makes its window only when told to; quillaro-run, which has no window,
// calls it alone.
#include <functional>
#include <memory>
#include <string>

#include "automation/launch.h"
#include "base/ports.h"
#include "model/workspace.h"
#include "ops/printer.h"

namespace quillaro {

// The program's arguments taken apart.
struct ProgramArguments {
  bool help = false;        // "--help" or "-h" (before any "--version")
  bool version = false;     // "--version" (before any "--help")
  std::string openAtStart;  // "--open FILE" or a lone "*.bmp": a picture the window opens once shown
  std::string printerKey;   // "printer=NAME" (the key in any letter case): this run's printer
  int copiesAllowed = 0;    // "copies=N": prints of up to N copies are not asked about (0: none given)
  std::string commandLine;  // the other arguments joined by blanks: start-up's command line
};
ProgramArguments readProgramArguments(int argc, const char* const* argv);

// A workspace that a hidden run worked on, with its ports and printers. When the program
// does not end after the run, the window takes it over.
struct HiddenSession {
  StderrPrompts prompts;
  NullProgress progress;
  Workspace ws{&prompts, &progress};
  std::unique_ptr<PrinterList> printers;
  LaunchResult started;
};

struct HiddenRunOptions {
  LaunchOptions launch;  // install and program folders; empty: the platform's
  // Whether a window may follow the run. Without one (quillaro-run) the program ends after
  // a hidden run also when exit=1 was not given.
  bool windowFollows = true;
  // Makes the run's printer list; empty: makeCorePrinterList.
  std::function<std::unique_ptr<PrinterList>(Workspace&, const std::string& wanted)> makePrinters;
};

struct HiddenRunResult {
  bool windowNeeded = false;  // the window is to be shown next
  int exitCode = 0;           // the program's exit code when it ends now
  // After a hidden run that the window follows: the workspace as the run left it. Null
  // when no hidden run took place (the window starts from the beginning).
  std::unique_ptr<HiddenSession> session;
};

// A command line that asks for a hidden run (a ".pfp" program with hide=1) is run through
// start-up: the workspace connected, the printers made, each program line and every
// message written to standard error, questions answered with their default button. The
// exit code is 1 when the named program does not exist or a message told of a failure,
// else 0. Any other command line needs the window before anything is done.
HiddenRunResult runHidden(const ProgramArguments& args, const HiddenRunOptions& options = {});

// An action program named on the command line that could not be read is told on standard
// error ("book.pfp - нет файла"); true when it was so.
bool reportMissingProgram(const LaunchResult& started);

}  // namespace quillaro
