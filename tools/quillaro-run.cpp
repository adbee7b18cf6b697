// quillaro-run: the hidden run of quillaro without the window and without Qt. It takes the
// same command line and runs an action program the same way (messages on standard error,
// the same exit codes and files), and ends after the program.
#include <cstdio>

#include "automation/hidden_run.h"
#include "automation/usage.h"

int main(int argc, char** argv) {
  using namespace quillaro;
  const ProgramArguments args = readProgramArguments(argc, argv);
  if (printUsageOrVersion(args, ProgramKind::HiddenOnly)) return 0;
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
