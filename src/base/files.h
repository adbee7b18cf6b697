#pragma once
// Whole-file reads and writes. Every write is atomic: the bytes go to a temporary file in
// the same folder, which then replaces the target by a rename, so a failed write never
// destroys the old file.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace quillaro {

bool fileExists(const std::string& path);
bool folderExists(const std::string& path);
std::optional<std::string> readWholeFile(const std::string& path);
// Writes the parts one after the other as the whole file, atomically: into a new temporary
// file beside the target (created exclusively, never an existing file), synced to the disk,
// then renamed over the target, and the folder synced. A symbolic link is followed: the file
// it points to is replaced and the link stays. A replaced file keeps its permissions. On
// failure the target is untouched, the temporary file is gone, and *error holds a short reason.
bool writeFileAtomic(const std::string& path, std::initializer_list<std::string_view> parts,
                     std::string* error = nullptr);
inline bool writeFileAtomic(const std::string& path, std::string_view data, std::string* error = nullptr) {
  return writeFileAtomic(path, {data}, error);
}
// Reads a Windows-1251 text file into UTF-8 (nullopt when it cannot be read).
std::optional<std::string> readTextFile(const std::string& path);
// Writes UTF-8 text as Windows-1251 with CR LF line ends, atomically.
bool writeTextFile(const std::string& path, std::string_view text, std::string* error = nullptr);

// Path helpers using the platform separator.
char pathSeparator();
std::string joinPath(std::string_view folder, std::string_view name);
std::string fileNamePart(std::string_view path);
std::string parentFolder(std::string_view path);  // empty when there is no separator

}  // namespace quillaro
