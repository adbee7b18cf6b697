#include "automation/hidden_run.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "automation/composition.h"
#include "automation/runner.h"
#include "automation/startup.h"
#include "base/fields.h"
#include "ops/print.h"
#include "ops/system_printers.h"

namespace quillaro {

ProgramArguments readProgramArguments(int argc, const char* const* argv) {
  ProgramArguments out;
  std::vector<const char*> args =
      argc > 0 ? std::vector<const char*>(argv, argv + argc) : std::vector<const char*>{""};
  // The first of "--help" and "--version" counts.
  for (std::size_t i = 1; i < args.size() && !out.help && !out.version; ++i) {
    out.help = std::strcmp(args[i], "--help") == 0 || std::strcmp(args[i], "-h") == 0;
    out.version = std::strcmp(args[i], "--version") == 0;
  }
  // "--open FILE" is taken out before the command line is read.
  for (std::size_t i = 1; i + 1 < args.size(); ++i) {
    if (std::strcmp(args[i], "--open") == 0) {
      out.openAtStart = args[i + 1];
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
      break;
    }
  }
  // A picture named alone (the desktop opens a .bmp file so) is opened as with "--open".
  for (std::size_t i = 1; i < args.size() && out.openAtStart.empty(); ++i) {
    const std::size_t n = std::strlen(args[i]);
    if (n > 4 && strcasecmp(args[i] + n - 4, ".bmp") == 0) {
      out.openAtStart = args[i];
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  // "printer=NAME" and "copies=N" are no keys of start-up's command line; the last ones count.
  for (std::size_t i = 1; i < args.size();) {
    if (strncasecmp(args[i], "printer=", 8) == 0) {
      out.printerKey = args[i] + 8;
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
    } else if (strncasecmp(args[i], "copies=", 7) == 0) {
      out.copiesAllowed = std::max(0, static_cast<int>(std::min(parseNumber(args[i] + 7), 1e6)));
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  out.commandLine = joinArguments(static_cast<int>(args.size()), args.data());
  return out;
}

bool reportMissingProgram(const LaunchResult& started) {
  if (started.commandLine.programPath.empty() || started.programRead) return false;
  std::fprintf(stderr, "%s - нет файла\n", started.commandLine.programPath.c_str());
  std::fflush(stderr);
  return true;
}

HiddenRunResult runHidden(const ProgramArguments& args, const HiddenRunOptions& options) {
  HiddenRunResult result;
  // A first, silent look at the command line: only a hidden run goes on here.
  FieldReader probe;
  if (!parseCommandLine(args.commandLine, probe).hide) {
    result.windowNeeded = true;
    return result;
  }

  auto session = std::make_unique<HiddenSession>();
  Workspace& ws = session->ws;
  connectWorkspace(ws);
  if (args.copiesAllowed > 0) ws.shared.copiesWithoutQuestion = args.copiesAllowed;
  session->printers = options.makePrinters ? options.makePrinters(ws, args.printerKey)
                                           : makeCorePrinterList(ws, args.printerKey);
  installPrinting(ws, session->printers.get());
  reportRunOnStderr(ws);
  session->started = launch(ws, args.commandLine, options.launch);

  const bool missing = reportMissingProgram(session->started);
  if (session->started.endNow || !options.windowFollows) {
    result.exitCode = missing || session->prompts.failures > 0 ? 1 : 0;
    return result;
  }
  result.windowNeeded = true;
  result.session = std::move(session);
  return result;
}

}  // namespace quillaro
