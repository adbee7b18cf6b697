#include "app/install.h"

#include "actions/runner.h"
#include "adjust/density_ops.h"
#include "adjust/tone_ops.h"
#include "app/picture_commands.h"
#include "app/workspace.h"
#include "copy/a3_sheet.h"
#include "copy/copy_engine.h"
#include "copy/copy_params.h"
#include "copy/copy_record.h"
#include "image/open.h"
#include "image/save.h"

namespace quillaro {

void installOperations(Workspace& ws) {
  registerCopyHandlers(ws);
  registerSaveHooks(ws);
  installActionModules(ws);
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
