// quillaro-run: the hidden run of quillaro without the window and without Qt. It takes the
// same command line and runs an action program the same way (messages on standard error,
// the same exit codes and files), and ends after the program.
#include <cstdio>

#include "automation/hidden_run.h"

namespace {

const char* const kUsage =
    "Usage: quillaro-run PROGRAM.pfp hide=1 [exit=1] [ini=SETTINGS.ini] [printer=NAME]\n"
    "\n"
    "Runs a Quillaro action program without a window (no display, no Qt needed).\n"
    "\n"
    "  PROGRAM.pfp   the action program\n"
    "  hide=1        required: the program runs as quillaro runs it with hide=1\n"
    "                (messages go to standard error; questions take their default)\n"
    "  exit=1        accepted; the run always ends after the program\n"
    "  ini=FILE      read the settings from FILE instead of Quillaro.ini\n"
    "  printer=NAME  print to that printer in this run (\"PDF\" and \"BMP\" write files)\n"
    "  copies=N      prints of up to N copies run (default 100; more are refused)\n"
    "  --help        this text\n"
    "  --version     the version\n"
    "\n"
    "Exit status: 0 done, 1 the program is missing, a message told of a failure, or the\n"
    "command line asks for the window.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace quillaro;
  const ProgramArguments args = readProgramArguments(argc, argv);
  if (args.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.version) {
    std::printf("quillaro-run %s\n", QUILLARO_VERSION);
    return 0;
  }
  if (!args.openAtStart.empty())
    std::fprintf(stderr, "quillaro-run: --open %s не выполняется: окна нет\n", args.openAtStart.c_str());

  HiddenRunOptions options;
  options.windowFollows = false;
  const HiddenRunResult result = runHidden(args, options);
  if (result.windowNeeded) {
    std::fputs("quillaro-run: окна нет; нужна программа действий (*.pfp) с hide=1\n", stderr);
    return 1;
  }
  return result.exitCode;
}
