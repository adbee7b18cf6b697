#pragma once
// The start-up sequence over a workspace: initial values, install and working folders,
// the command line, the settings file and the action program named on the command line.
#include <functional>
#include <string>
#include <string_view>

#include "automation/startup.h"

namespace quillaro {

class Workspace;

struct LaunchResult {
  CommandLine commandLine;
  bool programRead = false;     // the named action program existed and was read into TZ(0)
  bool programPending = false;  // a visible run: the start-up timer starts it
  bool programRan = false;      // a hidden run ran the program
  bool endNow = false;          // "exit" was given: the program ends after start-up
};

struct LaunchOptions {
  // Install folder; empty: the platform's choice (installFolder()).
  std::string installFolder;
  // Folder of the program file (second place for the settings file); empty: programFolder().
  std::string programFolder;
};

// Start-up steps in their order, without the window: the window shows the workspace
// afterwards (or the program ends when endNow is set).
LaunchResult launch(Workspace& ws, std::string_view commandLine, const LaunchOptions& options = {});

}  // namespace quillaro
