#pragma once
// Start-up pieces that need neither the window nor the parameter store: the install
// folder, the settings file path, the command line, the choice of settings file, the
// working folders and the reading of the action program named on the command line.
#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace quillaro {

class FieldReader;

// Name of the settings file in the install folder.
inline constexpr const char* kSettingsFileName = "Quillaro.ini";

// Chooses the install folder from injected inputs: `quillaroHome` (the value of
// $QUILLARO_HOME) when it is not empty, else `programFolder` when `isWritable` says so,
// else `home` + "/.local/share/Quillaro". Trailing separators of a chosen folder are
// dropped, except for the root itself. Nothing is created here.
std::string chooseInstallFolder(std::string_view quillaroHome, std::string_view programFolder,
                                const std::function<bool(const std::string&)>& isWritable,
                                std::string_view home);

// The folder of the running program file (from /proc/self/exe); empty when unknown.
std::string programFolder();

// The install folder of this process: chooseInstallFolder over the real environment, the
// chosen folder created when it is missing (a failure is not reported here).
std::string installFolder();

// The settings file of a folder: folder + "/" + "Quillaro.ini" (no doubled separator).
std::string settingsFilePath(std::string_view folder);

// What the command line asks for.
struct CommandLine {
  std::string programPath;   // the action program, empty when none
  std::string iniCandidate;  // the settings file named by "ini", empty when none
  bool hide = false;         // run the program before the window is shown
  bool exit = false;         // end the program afterwards
};

// Joins argv[1..argc-1] with single blanks, quoting nothing.
std::string joinArguments(int argc, const char* const* argv);

// Reads the command line: every quote character is removed, keys are prepared over the
// text with `reader` (its prompts show "Неправильное число : " for a bad hide/exit value),
// and only when the text contains ".PFP" (any case) are the program path (the text up to
// and including the first ".PFP"), "ini", "hide" and "exit" taken.
CommandLine parseCommandLine(std::string_view text, FieldReader& reader);

// The settings file to read: the candidate when it is not empty and exists; else, when
// `settingsPath` does not exist, the program folder's settings file if that exists;
// else `settingsPath` unchanged.
std::string chooseSettingsFile(const std::string& settingsPath, const std::string& candidate,
                               const std::string& programFolder);

// Working folders 0..5 (0 action programs, 1 source pictures, 2 settings files, 3 text
// files, 4 saved pictures, 5 picture folder).
using WorkingFolders = std::array<std::string, 6>;

// All six start as the install folder; unless it ends with the separator (or is empty),
// folder 2 becomes install + "/ini", 0 install + "/pfp" and 3 install + "/txt", each created
// when missing (a failure to create is not reported).
WorkingFolders makeWorkingFolders(const std::string& install);

// The action program named on the command line, read whole (Windows-1251 to UTF-8, any
// line ends made CR LF).
struct ActionProgramText {
  std::string text;   // empty when the file was not read
  bool read = false;  // the file existed and was read
};
ActionProgramText readActionProgram(const std::string& path);

}  // namespace quillaro
