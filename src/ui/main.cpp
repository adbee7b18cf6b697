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

const char* const kUsage =
    "Usage: quillaro [PROGRAM.pfp] [ini=SETTINGS.ini] [hide=1] [exit=1]\n"
    "\n"
    "Quillaro, an editor of scanned pages printed as copybooks.\n"
    "\n"
    "  PROGRAM.pfp   an action program to run after start-up\n"
    "  ini=FILE      read the settings from FILE instead of Quillaro.ini\n"
    "  hide=1        run the action program before any window is shown\n"
    "                (messages go to standard error; questions take their default)\n"
    "  exit=1        end after the action program has run\n"
    "  printer=NAME  print to that printer in this run (\"PDF\" and \"BMP\" write files)\n"
    "  copies=N      prints of up to N copies are not asked about (default 100)\n"
    "  --open FILE   open the picture FILE once the window is shown\n"
    "  --help        this text\n"
    "  --version     the version\n";

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
  if (args.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.version) {
    std::printf("quillaro %s\n", QUILLARO_VERSION);
    return 0;
  }

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
