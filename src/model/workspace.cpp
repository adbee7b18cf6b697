#include "model/workspace.h"

#include "base/files.h"
#include "base/numeric.h"
#include "base/text_codec.h"

namespace quillaro {

Workspace::Workspace(Prompts* p, Progress* g)
    : prompts(p), progress(g), clock(&systemClock_), journal(&noJournal_), automation(&noAutomation_), view(&noView_) {
  if (!prompts) prompts = &silentPrompts_;
  if (!progress) progress = &nullProgress_;
  reader.setPrompts(prompts);
  params.setPassiveFlag(&running);
  // Any change of TZ(0), the user's or an operation's, makes the program text stale.
  programObserver_ = params.subscribe([this](const ControlId& id) {
    if (id == tzId(text::kProgram)) program.changed = true;
  });
}

Workspace::~Workspace() {
  params.unsubscribe(programObserver_);
  params.setPassiveFlag(nullptr);
}

int Workspace::decimals() const {
  const double v = params.tnValue(field::kDecimals);
  return clampv(nearesti(v), 1, 5);
}

void Workspace::setMaskPattern(const std::string& pattern) {
  if (utf8Length(pattern) == 4) params.setHeld(Held::MaskPattern, pattern);
}

void Workspace::redrawEditView() {
  if (!shared.redrawGuard) view->editViewChanged();
}

}  // namespace quillaro
