#pragma once
// Shutdown over the workspace: the save prompts of the action program TZ(0) and the text
// file TZ(3), then the settings file.
#include <cstddef>
#include <string>

namespace quillaro {

class Workspace;

// Characters from which a modified field is asked about even while "Напоминать" is off.
inline constexpr std::size_t kAlwaysAskLength = 1001;

// The save prompt of TZ(k), k = 0 or 3. True: the close (or the replacing of the field)
// may go on; false: refused, the field stays as it is. Yes for a field without a name puts
// ".pfp" or ".txt" into the file name and asks the view for a name (askFileName).
bool saveFieldPrompt(Workspace& ws, int k);

// The close request: the prompts of TZ(0) and TZ(3), then the settings when "Сохранять
// настройки" is on. True when the program may end.
bool requestShutdown(Workspace& ws);

}  // namespace quillaro
