#pragma once
// Help (button "Справка", key H): the HTML help "Quillaro.htm" opened by the desktop's way
// of opening a file (the user's browser); when there is none, or it cannot be opened, the
// plain-text help "Quillaro.txt" is read into TZ(2) and shown.
#include <string>
#include <vector>

namespace quillaro {

class Workspace;

// The desktop's way of opening a file (the window gives QDesktopServices).
class FileOpener {
public:
  virtual ~FileOpener() = default;
  virtual bool openFile(const std::string& path) = 0;
};

inline constexpr const char* kHelpHtml = "Quillaro.htm";
inline constexpr const char* kHelpText = "Quillaro.txt";
inline constexpr int kHelpField = 2;  // TZ(2)

// The folders searched for the help files, in order: the install folder, the program's
// folder, the installed share folder beside it (<program>/../share/quillaro), and the
// current folder.
std::vector<std::string> helpFolders(const Workspace& ws, const std::string& programFolder);

enum class HelpShown { Browser, Text, Nothing };

// Opens the first "Quillaro.htm" of the folders; when none exists or the opener fails,
// reads the first readable "Quillaro.txt" into TZ(2) while TZ(2) is empty, and shows TZ(2)
// (Nothing when no text help could be read and TZ(2) stays empty).
HelpShown showHelp(Workspace& ws, FileOpener& opener, const std::vector<std::string>& folders);

}  // namespace quillaro
