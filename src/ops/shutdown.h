#pragma once
// Shutdown over the workspace: the save prompts of the action program TZ(0) and the text
// file TZ(3), then the settings file.
#include <functional>
#include <string>

namespace quillaro {

class Workspace;

// The nameless case: Yes was answered for a field without a name; the window shows the
// save panel with `name` (".pfp" or ".txt") in the file name field and focuses it.
using AskNameFn = std::function<void(int field, const std::string& name)>;

// Characters from which a modified field is asked about even while "Напоминать" is off.
inline constexpr std::size_t kAlwaysAskLength = 1001;

// The save prompt of TZ(k), k = 0 or 3. True: the close (or the replacing of the field)
// may go on; false: refused, the field stays as it is.
bool saveFieldPrompt(Workspace& ws, int k, const AskNameFn& askName);

// The close request: the prompts of TZ(0) and TZ(3), then the settings when "Сохранять
// настройки" is on. True when the program may end.
bool requestShutdown(Workspace& ws, const AskNameFn& askName);

}  // namespace quillaro
