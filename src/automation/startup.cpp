#include "automation/startup.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/fields.h"
#include "base/files.h"
#include "base/text_codec.h"

namespace fs = std::filesystem;

namespace quillaro {
namespace {

constexpr char kSep = '/';

bool endsWithSeparator(std::string_view s) { return !s.empty() && s.back() == kSep; }

// "/data/q//" -> "/data/q"; "/" and "//" stay "/".
std::string dropTrailingSeparators(std::string_view s) {
  while (s.size() > 1 && s.back() == kSep) s.remove_suffix(1);
  return std::string(s);
}

std::string appendName(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!endsWithSeparator(out)) out += kSep;
  out += name;
  return out;
}

bool writableFolder(const std::string& folder) {
  return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string environment(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

void createFolder(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);  // failures show up later, when files are written
}

}  // namespace

std::string chooseInstallFolder(std::string_view quillaroHome, std::string_view programFolder,
                                const std::function<bool(const std::string&)>& isWritable,
                                std::string_view home) {
  if (!quillaroHome.empty()) return dropTrailingSeparators(quillaroHome);
  std::string program = dropTrailingSeparators(programFolder);
  if (!program.empty() && isWritable && isWritable(program)) return program;
  if (home.empty()) return program;  // nowhere better to go
  return appendName(dropTrailingSeparators(home), ".local/share/Quillaro");
}

std::string programFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return {};
  return exe.parent_path().string();
}

std::string installFolder() {
  // An installed copy (<prefix>/bin beside <prefix>/share/quillaro) keeps its files in the
  // home folder even when it may write into its own folder (root and /usr/bin).
  const auto usable = [](const std::string& folder) {
    const fs::path share = fs::path(folder).parent_path() / "share" / "quillaro";
    std::error_code ec;
    return !fs::is_directory(share, ec) && writableFolder(folder);
  };
  std::string folder = chooseInstallFolder(environment("QUILLARO_HOME"), programFolder(), usable,
                                           environment("HOME"));
  if (folder.empty()) folder.push_back('.');  // the current folder
  if (!folderExists(folder)) createFolder(folder);
  return folder;
}

std::string settingsFilePath(std::string_view folder) { return appendName(folder, kSettingsFileName); }

std::string joinArguments(int argc, const char* const* argv) {
  std::string out;
  for (int i = 1; i < argc; ++i) {
    if (!argv || !argv[i]) continue;
    if (i > 1) out += ' ';
    out += argv[i];
  }
  return out;
}

CommandLine parseCommandLine(std::string_view text, FieldReader& reader) {
  std::string unquoted;
  unquoted.reserve(text.size());
  for (char c : text)
    if (c != '"') unquoted += c;

  reader.prepareKeys(unquoted);
  CommandLine cl;
  // The key-search copies begin with a blank and have equal lengths, so the position found
  // in the upper-case copy cuts the copy written as typed at the same place.
  std::size_t at = reader.upperKeyCopy().find(".PFP");
  if (at == std::string::npos) return cl;

  std::string_view typed(reader.keyCopy());
  typed = typed.substr(0, at + 4);
  std::size_t first = typed.find_first_not_of(" \t");
  cl.programPath = first == std::string_view::npos ? std::string() : std::string(typed.substr(first));
  cl.iniCandidate = reader.getKey("ini");
  cl.hide = reader.getFlag("hide") != 0;
  cl.exit = reader.getFlag("exit") != 0;
  return cl;
}

std::string chooseSettingsFile(const std::string& settingsPath, const std::string& candidate,
                               const std::string& programFolder) {
  if (!candidate.empty() && fileExists(candidate)) return candidate;
  if (!fileExists(settingsPath) && !programFolder.empty()) {
    std::string fallback = settingsFilePath(programFolder);
    if (fileExists(fallback)) return fallback;
  }
  return settingsPath;
}

WorkingFolders makeWorkingFolders(const std::string& install) {
  WorkingFolders folders;
  folders.fill(install);
  if (install.empty() || endsWithSeparator(install)) return folders;
  folders[2] = install + kSep + "ini";
  folders[0] = install + kSep + "pfp";
  folders[3] = install + kSep + "txt";
  for (int k : {2, 0, 3})
    if (!folderExists(folders[k])) createFolder(folders[k]);
  return folders;
}

ActionProgramText readActionProgram(const std::string& path) {
  ActionProgramText out;
  if (path.empty() || !fileExists(path)) return out;
  if (auto text = readTextFile(path)) {
    // Files written elsewhere may end lines with LF or CR alone; the program text and the
    // reader of one command work with CR LF.
    out.text = toCrLf(*text);
    out.read = true;
  }
  return out;
}

}  // namespace quillaro
