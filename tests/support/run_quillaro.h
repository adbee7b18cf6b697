#pragma once
// The built program started the way a script starts it: no display, no input, its install
// folder given by QUILLARO_HOME.
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "base/files.h"

namespace quillaro::testing {

struct ProgramExit {
  int status = -1;  // -1: ended by a signal
  std::string err;  // what it wrote on its standard error
};

#ifdef QUILLARO_EXE
// `args` are passed to the shell as they are (quote paths); the standard error goes to `errFile`.
inline ProgramExit runQuillaroHidden(const std::string& home, const std::string& args, const std::string& errFile) {
  const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM QUILLARO_HOME='" + home + "' '" +
                          QUILLARO_EXE + "' " + args + " 2>'" + errFile + "' </dev/null";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readWholeFile(errFile).value_or("")};
}
#endif

}  // namespace quillaro::testing
