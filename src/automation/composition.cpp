#include "automation/composition.h"

#include "automation/interpreter.h"
#include "automation/runner.h"
#include "journal/line_journal.h"
#include "model/workspace.h"
#include "ops/copy_params.h"

namespace quillaro {
namespace {

// The operations' way to the interpreter and the runner.
class RunnerLink final : public AutomationPort {
public:
  void runText(Workspace& ws, const std::string& text) override { quillaro::runText(ws, text); }
  void applyLine(Workspace& ws, const std::string& line) override { interpret(ws, line); }
  void readCommandAt(Workspace& ws, std::size_t cursor) override {
    readOneCommand(ws, cursor, /*variant=*/true);
  }
};

// Both hold no state of their own: every call names its workspace.
LineJournal lineJournal;
RunnerLink runnerLink;

}  // namespace

void connectWorkspace(Workspace& ws) {
  ws.journal = &lineJournal;
  ws.automation = &runnerLink;
  // The panel handlers of the copy parameters (the store calls them on changes).
  registerCopyHandlers(ws);
}

}  // namespace quillaro
