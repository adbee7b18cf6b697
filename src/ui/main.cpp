// The quillaro program: a hidden run goes through start-up without the window (it needs
// no display and no Qt); the application and the window are made only to be shown.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "automation/composition.h"
#include "automation/hidden_run.h"
#include "automation/launch.h"
#include "automation/runner.h"
#include "automation/usage.h"
#include "base/ports.h"
#include "model/workspace.h"
#include "ops/open.h"
#include "ops/print.h"
#include "ops/printer.h"
#include "ui/form_a4.h"
#include "ui/qt_ports.h"
#include "ui/qt_printer.h"
#include "ui/translations.h"

namespace {

bool haveDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (platform && *platform) || (x11 && *x11) || (wayland && *wayland);
}

int noDisplay() {
  std::fputs("quillaro: нет экрана для окна; без окна программа действий запускается с hide=1\n", stderr);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quillaro;
  const ProgramArguments args = readProgramArguments(argc, argv);
  if (printUsageOrVersion(args, ProgramKind::Window)) return 0;

  HiddenRunResult hidden = runHidden(args);
  if (!hidden.windowNeeded) return hidden.exitCode;
  if (!haveDisplay()) return noDisplay();

  QApplication app(argc, argv);
  installQtTranslations();
  QtPrompts qtPrompts;
  NullProgress nullProgress;
  std::unique_ptr<Workspace> ownWorkspace;
  std::unique_ptr<PrinterList> printers;
  LaunchResult started;
  if (hidden.session) {
    // The window shows what the hidden run left and prints through Qt; the printer the
    // run used stays the current one.
    HiddenSession& run = *hidden.session;
    run.ws.prompts = &qtPrompts;
    run.ws.reader.setPrompts(&qtPrompts);
    printers = makePrinterList(run.ws, "");
    if (const Printer* used = run.printers->current()) printers->selectByName(used->deviceName());
    installPrinting(run.ws, printers.get());
    started = run.started;
  } else {
    ownWorkspace = std::make_unique<Workspace>(&qtPrompts, &nullProgress);
    connectWorkspace(*ownWorkspace);
    if (args.copiesAllowed > 0) ownWorkspace->shared.copiesWithoutQuestion = args.copiesAllowed;
    printers = makePrinterList(*ownWorkspace, args.printerKey);
    installPrinting(*ownWorkspace, printers.get());
    started = launch(*ownWorkspace, args.commandLine);
    // Also when the window is to be shown: with exit=1 it never is, and the program would
    // end without a word.
    const bool programMissing = reportMissingProgram(started);
    if (started.endNow) return programMissing ? 1 : 0;
  }
  Workspace& ws = hidden.session ? hidden.session->ws : *ownWorkspace;

  FormA4 window(ws);
  window.setProgramRunner([&ws] { runAll(ws); });
  qtPrompts.setParent(&window);
  window.showMaximized();
  if (!args.openAtStart.empty() && openPicture(ws, args.openAtStart)) window.showPicture();
  if (started.programPending) window.startPendingProgram(started.commandLine.exit);
  return app.exec();
}
