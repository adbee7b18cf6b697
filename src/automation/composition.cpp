#include "automation/composition.h"

#include "automation/interpreter.h"
#include "automation/runner.h"
#include "journal/line_journal.h"
#include "model/workspace.h"
#include "ops/a3_sheet.h"
#include "ops/copy_engine.h"
#include "ops/copy_params.h"
#include "ops/copy_record.h"
#include "ops/density_ops.h"
#include "ops/new_sheet.h"
#include "ops/open.h"
#include "ops/picture_commands.h"
#include "ops/save.h"
#include "ops/text_settings.h"
#include "ops/tone_ops.h"

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
  registerCopyHandlers(ws);
  registerSaveHooks(ws);
  installTextSettings(ws);
  installNewSheet(ws);
  installOpenAndToneOperations(ws);
  installDensityOperations(ws);

  Operations& ops = ws.ops;
  ops.copy = [](Workspace& w) { return copyPage(w); };
  // The interpreter leaves the line's key copy (letter case as written) in the reader.
  ops.readCopyRecord = [](Workspace& w) { applyCopyRecord(w, w.reader.keyCopy()); };
  ops.toA3 = [](Workspace& w) { toA3(w); };
  ops.selectA3Half = [](Workspace& w, int half) { selectA3Half(w, half); };
  ops.reload = [](Workspace& w, char direction) { reloadCopy(w, direction); };
  openState(ws).applyParityParameters = [](Workspace& w, int parity) { applyParityFrame(w, parity); };

  // Whatever is still empty: the picture commands of the page view.
  installPictureCommands(ws);
}

}  // namespace quillaro
