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

bool writeFileAtomic(const std::string& path, std::initializer_list<std::string_view> parts,
                     std::string* error) {
  auto reason = [&](int code, const char* fallback) {
    if (error) *error = code ? std::strerror(code) : fallback;
    return false;
  };
  if (fileNamePart(path).empty()) return reason(0, "нет имени файла");
  // A new temporary file beside the target: "x" makes sure no other file is reused.
  static std::atomic<unsigned> counter{0};
  std::string temp;
  std::FILE* f = nullptr;
  for (int attempt = 0; attempt < 16 && !f; ++attempt) {
    temp = path + ".~tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    errno = 0;
    f = std::fopen(temp.c_str(), "wbx");
    if (!f && errno != EEXIST) break;
  }
  if (!f) return reason(errno, "файл не создаётся");
  bool ok = true;
  for (std::string_view part : parts)
    ok = ok && (part.empty() || std::fwrite(part.data(), 1, part.size(), f) == part.size());
  ok = ok && std::fflush(f) == 0;
  int code = ok ? 0 : errno;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    code = errno;
  }
  if (!ok) {
    std::remove(temp.c_str());
    return reason(code, "ошибка записи");
  }
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
