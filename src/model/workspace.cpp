#include "model/workspace.h"

#include "base/files.h"
#include "base/numeric.h"
#include "base/text_codec.h"

namespace quillaro {

Workspace::Workspace(Prompts* p, Progress* g)
    : prompts(p), progress(g), journal(&noJournal_), automation(&noAutomation_) {
  if (!prompts) prompts = &silentPrompts_;
  if (!progress) progress = &nullProgress_;
  reader.setPrompts(prompts);
  params.setPassiveFlag(&running);
  // Any change of TZ(0), the user's or an operation's, makes the program text stale.
  programObserver_ = params.subscribe([this](const ControlId& id) {
    if (id == tzId(0)) program.changed = true;
  });
}

Workspace::~Workspace() {
  params.unsubscribe(programObserver_);
  params.setPassiveFlag(nullptr);
}

int Workspace::decimals() const {
  const double v = params.tnValue(9);
  return clampv(nearesti(v), 1, 5);
}

void Workspace::runTextSettingsLine(const std::string& line) {
  if (hooks.runTextSettingsLine) hooks.runTextSettingsLine(*this, line);
  else params.setHeld(Held::DefTextSet, line);
}

std::string Workspace::textSettingsRecord() const {
  if (hooks.textSettingsRecord) return hooks.textSettingsRecord(*this);
  return params.held(Held::DefTextSet);
}

void Workspace::setMaskPattern(const std::string& pattern) {
  if (hooks.setMaskPattern) hooks.setMaskPattern(*this, pattern);
  else if (utf8Length(pattern) == 4) params.setHeld(Held::MaskPattern, pattern);
}

void Workspace::setCopySize(int which, const std::string& text) {
  if (hooks.setCopySize) hooks.setCopySize(*this, which, text);
  else params.setTn(which == 0 ? 68 : 69, text);
}

void Workspace::recomputeCopyFrame() {
  if (hooks.recomputeCopyFrame) hooks.recomputeCopyFrame(*this);
}

void Workspace::rebuildFileList() {
  if (hooks.rebuildFileList) hooks.rebuildFileList(*this);
}

void Workspace::showTablePanelOrigin() {
  if (hooks.showTablePanelOrigin) hooks.showTablePanelOrigin(*this);
}

void Workspace::redrawEditView() {
  if (hooks.redrawEditView) hooks.redrawEditView(*this);
}

void Workspace::settingsApplied() {
  if (hooks.settingsApplied) hooks.settingsApplied(*this);
}

bool Workspace::saveTextFile(const std::string& name, const std::string& text, int folder) {
  if (hooks.saveTextFile) return hooks.saveTextFile(*this, name, text, folder);
  if (name.empty()) {
    prompts->message("Введите имя файла");
    return false;
  }
  if (folder < 0 || folder >= static_cast<int>(shared.folders.size())) return false;
  const std::string path = joinPath(shared.folders[static_cast<std::size_t>(folder)], name);
  std::string error;
  if (!writeTextFile(path, text, &error)) {
    prompts->message("Файл " + path + " не записан." + shared.lineBreak + error, Icon::Stop);
    return false;
  }
  return true;
}

}  // namespace quillaro
