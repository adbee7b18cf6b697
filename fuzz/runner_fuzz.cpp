// An action program run by the runner over the real operations, with the working folders
// in a folder of its own. Programs are kept short (sizes bounded) and without "/" or "\",
// so that every file they name lies in that folder; it is emptied after each run.
#include <filesystem>
#include <string>
#include <string_view>

#include "automation/composition.h"
#include "automation/runner.h"
#include "base/ports.h"
#include "base/text_codec.h"
#include "fuzz_targets.h"
#include "model/workspace.h"

namespace quillaro::fuzz {

int actionRunner(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (size > 1024 || bytes.find_first_of("/\\") != std::string_view::npos) return 0;
  const std::string folder = scratchFolder();
  {
    SilentPrompts prompts;
    NullProgress progress;
    Workspace ws(&prompts, &progress);
    connectWorkspace(ws);
    for (std::string& f : ws.shared.folders) f = folder;
    runText(ws, cp1251ToUtf8(bytes));
  }
  namespace fs = std::filesystem;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) fs::remove_all(entry.path(), ec);
  return 0;
}

}  // namespace quillaro::fuzz

QUILLARO_FUZZ_ENTRY(actionRunner)
