#include "presentation/help.h"

#include "base/files.h"
#include "base/text_decode.h"
#include "model/workspace.h"

namespace quillaro {

std::vector<std::string> helpFolders(const Workspace& ws, const std::string& programFolder) {
  std::vector<std::string> out;
  if (!ws.shared.installFolder.empty()) out.push_back(ws.shared.installFolder);
  if (!programFolder.empty()) {
    out.push_back(programFolder);
    out.push_back(joinPath(joinPath(parentFolder(programFolder), "share"), "quillaro"));
  }
  out.push_back(".");
  return out;
}

HelpShown showHelp(Workspace& ws, FileOpener& opener, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    const std::string html = joinPath(folder, kHelpHtml);
    if (fileExists(html) && opener.openFile(html)) return HelpShown::Browser;
  }
  if (ws.params.tz(kHelpField).empty()) {
    for (const std::string& folder : folders) {
      const std::string path = joinPath(folder, kHelpText);
      if (auto bytes = readWholeFile(path)) {
        ws.params.setTz(kHelpField, decodeTextFile(*bytes, path, {}).text, false);
        break;
      }
    }
  }
  if (ws.params.tz(kHelpField).empty()) return HelpShown::Nothing;
  ws.view->showField(kHelpField);
  return HelpShown::Text;
}

}  // namespace quillaro
