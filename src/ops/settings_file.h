#pragma once
// The settings file: one Windows-1251 text of Key="value" and Key=number items, each
// ending with CR LF, written in a fixed key order and read by key in any order and case.
// It holds almost every option of the main window (the parameter store), the working
// folders and the window's position and size.
#include <string>
#include <string_view>

namespace quillaro {

class Workspace;

// The settings text in key order (UTF-8, CR LF line ends). The runner's panel snapshot
// uses the same text.
std::string buildSettingsText(const Workspace& ws);

// Applies every key found in a settings text: folders (with the fallback to the nearest
// existing parent), window position and size, fields, check boxes, held texts, the A3
// texts, the text-settings block and ShowPic. The redraw guard is set meanwhile.
void applySettingsText(Workspace& ws, std::string_view text);

// Reads the settings file at `path`; false (and nothing changed) when it does not exist
// or cannot be read.
bool readSettings(Workspace& ws, const std::string& path);

// Writes the settings to `path`. The file is replaced only once the new text is
// completely written; on failure a message is shown, false is returned and the old file
// stays as it was.
bool writeSettings(Workspace& ws, const std::string& path);

// At shutdown: writes the settings file path when "Сохранять настройки" ChB(47) is on.
// True when nothing had to be written or the write succeeded.
bool writeSettingsOnClose(Workspace& ws);

// Saves the settings under a name typed in the save panel, into working folder 2, through
// the text-file save.
bool saveSettingsAs(Workspace& ws, const std::string& name);

// The reset button: asks "Вернуть все первоначальные значения ?" (Yes, No); on Yes puts
// the initial values back (applyInitialSettings) and returns true.
bool resetSettings(Workspace& ws);
// The initial values, in the order of the reset.
void applyInitialSettings(Workspace& ws);

// The folder itself when it exists; otherwise it is cut back at its last "/" or "\" until
// an existing folder is reached or no separator is left ("Q:\a\b" with no drive Q gives
// "Q:"; "/gone/away" gives "/").
std::string existingFolderOrParent(std::string folder);

}  // namespace quillaro
