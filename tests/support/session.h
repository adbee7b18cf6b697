#pragma once
// A workspace connected as the program connects it, every folder in `home`, printing to the
// BMP file printer there, with no reminders; recording only when asked.
#include <memory>
#include <string>
#include <utility>

#include "automation/composition.h"
#include "model/workspace.h"
#include "ops/file_printers.h"
#include "ops/print.h"
#include "ops/printer.h"
#include "support/scripted_prompts.h"

namespace quillaro::testing {

struct Session {
  ScriptedPrompts prompts;
  PrinterList printers;
  Workspace ws{&prompts};
  std::string home;

  explicit Session(std::string folder, bool record = false) : home(std::move(folder)) {
    connectWorkspace(ws);
    printers.add(std::make_unique<BmpFilePrinter>([this] { return home; }));
    installPrinting(ws, &printers);
    ws.shared.installFolder = home;
    ws.shared.folders.fill(home);
    ws.params.setChb(30, record);
    ws.params.setChb(31, false);
    if (record) ws.params.setTz(0, "", false);
  }
  std::string shown() const { return shownText(prompts); }
};

}  // namespace quillaro::testing
