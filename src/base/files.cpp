#include "base/files.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "base/text_codec.h"

namespace quillaro {
namespace fs = std::filesystem;

bool fileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

bool folderExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

std::optional<std::string> readWholeFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return std::nullopt;
  std::string data;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long size = std::ftell(f);
    if (size > 0) data.resize(static_cast<std::size_t>(size));
    std::fseek(f, 0, SEEK_SET);
  }
  std::size_t got = data.empty() ? 0 : std::fread(data.data(), 1, data.size(), f);
  data.resize(got);
  // Files whose size could not be known in advance (pipes, /proc) are read in pieces.
  char buf[65536];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) data.append(buf, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return std::nullopt;
  return data;
}

bool writeFileAtomic(const std::string& path, std::string_view data, std::string* error) {
  static std::atomic<unsigned> counter{0};
  const std::string temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + ": " + std::strerror(errno);
    std::remove(temp.c_str());
    return false;
  };
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  const bool written = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
  const bool flushed = std::fflush(f) == 0;
  if (std::fclose(f) != 0 || !written || !flushed) return fail("write");
  if (std::rename(temp.c_str(), path.c_str()) != 0) return fail("rename");
  return true;
}

std::optional<std::string> readTextFile(const std::string& path) {
  auto bytes = readWholeFile(path);
  if (!bytes) return std::nullopt;
  return cp1251ToUtf8(*bytes);
}

bool writeTextFile(const std::string& path, std::string_view text, std::string* error) {
  return writeFileAtomic(path, utf8ToCp1251(toCrLf(text)), error);
}

char pathSeparator() { return static_cast<char>(fs::path::preferred_separator); }

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && out.back() != pathSeparator()) out += pathSeparator();
  out += name;
  return out;
}

std::string fileNamePart(std::string_view path) {
  const auto p = path.rfind(pathSeparator());
  return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string parentFolder(std::string_view path) {
  const auto p = path.rfind(pathSeparator());
  if (p == std::string_view::npos) return {};
  if (p == 0) return std::string(1, pathSeparator());
  return std::string(path.substr(0, p));
}

}  // namespace quillaro
