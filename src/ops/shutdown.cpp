#include "ops/shutdown.h"

#include "base/files.h"
#include "ops/settings_file.h"
#include "base/text_codec.h"
#include "model/workspace.h"

namespace quillaro {

bool saveFieldPrompt(Workspace& ws, int k) {
  ParamStore& p = ws.params;
  const bool nameless = p.tzName(k).empty();
  const std::string name = nameless ? (k == text::kProgram ? ".pfp" : ".txt") : p.tzName(k);
  if (!p.tzModified(k)) return true;
  if (!p.chb(check::kRemind) && utf8Length(p.tz(k)) < kAlwaysAskLength) return true;
  const Answer a = ws.prompts->ask("Сохранить файл " + name + " ?", Buttons::YesNoCancel,
                                   Icon::Question, Answer::Yes);
  if (a == Answer::Cancel) return false;
  if (a == Answer::No) return true;
  if (nameless) {
    p.setHeld(Held::TextFileName, name);
    ws.view->askFileName(k, name);
    return false;
  }
  std::string error;
  if (!writeTextFile(name, p.tz(k), &error)) {
    ws.prompts->message("Файл " + name + " не записан." + ws.shared.lineBreak + error, Icon::Stop);
    return false;
  }
  p.setTzModified(k, false);
  return true;
}

bool requestShutdown(Workspace& ws) {
  if (!saveFieldPrompt(ws, text::kProgram)) return false;
  if (!saveFieldPrompt(ws, text::kFile)) return false;
  writeSettingsOnClose(ws);  // a failed write shows its own message; the program still ends
  return true;
}

}  // namespace quillaro
