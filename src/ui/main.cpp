// The quillaro program: start-up without a window (so that a hidden action program runs
// on a machine with no display), then the main window.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <memory>
#include <string>
#include <vector>

#include "base/fields.h"
#include "automation/runner.h"
#include "automation/composition.h"
#include "automation/launch.h"
#include "base/ports.h"
#include "model/workspace.h"
#include "ops/print.h"
#include "ops/printer.h"
#include "ui/form_a4.h"
#include "ui/qt_ports.h"
#include "ui/qt_printer.h"

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
    "  --open FILE   open the picture FILE once the window is shown\n"
    "  --help        this text\n"
    "  --version     the version\n";

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("quillaro %s\n", QUILLARO_VERSION);
      return 0;
    }
  }
  using namespace quillaro;
  // "--open FILE" is taken out before the command line is read.
  std::string openAtStart;
  std::vector<const char*> args(argv, argv + argc);
  for (std::size_t i = 1; i + 1 < args.size(); ++i) {
    if (std::strcmp(args[i], "--open") == 0) {
      openAtStart = args[i + 1];
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
      break;
    }
  }
  // "printer=NAME" (not a key of the action command line) chooses the printer of this run.
  std::string printerKey;
  for (std::size_t i = 1; i < args.size();) {
    if (strncasecmp(args[i], "printer=", 8) == 0) {
      printerKey = args[i] + 8;
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  const std::string commandLine = joinArguments(static_cast<int>(args.size()), args.data());

  // A first, silent look at the command line decides whether a window is needed before
  // the action program runs.
  FieldReader probe;
  const CommandLine wanted = parseCommandLine(commandLine, probe);
  const bool hidden = wanted.hide;

  StderrPrompts stderrPrompts;
  NullProgress nullProgress;
  std::unique_ptr<QApplication> app;
  std::unique_ptr<QtPrompts> qtPrompts;
  auto haveDisplay = [] {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (platform && *platform) || (x11 && *x11) || (wayland && *wayland);
  };
  auto noDisplay = [] {
    std::fputs("quillaro: нет экрана для окна; без окна программа действий запускается с hide=1\n", stderr);
    return 1;
  };
  const bool displayAtStart = haveDisplay();
  if (!hidden) {
    if (!haveDisplay()) return noDisplay();
    app = std::make_unique<QApplication>(argc, argv);
    qtPrompts = std::make_unique<QtPrompts>();
  }
  Prompts* prompts = hidden ? static_cast<Prompts*>(&stderrPrompts) : qtPrompts.get();
  Workspace ws(prompts, &nullProgress);

  connectWorkspace(ws);
  // A hidden run that names a printer needs the platform's printing (the system printers,
  // the PDF writer): an application on the offscreen platform when there is no display.
  if (hidden && !printerKey.empty() && printerKey != "BMP" && !app) {
    if (!displayAtStart) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = std::make_unique<QApplication>(argc, argv);
  }
  const std::unique_ptr<PrinterList> printers = makePrinterList(ws, printerKey);
  installPrinting(ws, printers.get());
  if (hidden) reportRunOnStderr(ws);
  LaunchOptions launchOptions;
  launchOptions.runProgram = [](Workspace& w) { runAll(w); };
  const LaunchResult started = launch(ws, commandLine, launchOptions);
  ws.actions.onLine = nullptr;
  const bool programMissing = !started.commandLine.programPath.empty() && !started.programRead;
  // Also when the window is to be shown: with exit=1 it never is, and the program would
  // end without a word.
  if (programMissing) std::fprintf(stderr, "%s - нет файла\n", started.commandLine.programPath.c_str());
  if (started.endNow) return programMissing || stderrPrompts.failures > 0 ? 1 : 0;

  if (app && !displayAtStart) return noDisplay();  // only the offscreen printing application
  if (!app) {
    if (!haveDisplay()) return noDisplay();
    app = std::make_unique<QApplication>(argc, argv);
  }
  if (!qtPrompts) qtPrompts = std::make_unique<QtPrompts>();
  ws.prompts = qtPrompts.get();
  ws.reader.setPrompts(ws.prompts);

  FormA4 window(ws);
  window.setProgramRunner([&ws] { runAll(ws); });
  qtPrompts->setParent(&window);
  window.show();
  if (!openAtStart.empty()) window.fileList().openPicture(openAtStart);
  if (started.programPending) window.startPendingProgram(started.commandLine.exit);
  return app->exec();
}
