#include "base/files.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <sys/stat.h>
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

namespace {

// The file a path names: symbolic links followed to the file they point to (which may not
// exist yet), so that a save replaces that file and leaves the link in place.
std::string followLinks(std::string path) {
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::error_code ec;
    const fs::path target = fs::read_symlink(path, ec);
    if (ec) break;
    path = target.is_absolute() ? target.string() : (fs::path(path).parent_path() / target).string();
  }
  return path;
}

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Makes a rename in the folder durable; not every file system can sync a folder, and the
// new file is already in place then, so a failure here is not a failed save.
void syncFolder(const std::string& file) {
  std::string folder = parentFolder(file);
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool writeFileAtomic(const std::string& path, std::initializer_list<std::string_view> parts,
                     std::string* error) {
  auto reason = [&](int code, const char* fallback) {
    if (error) *error = code ? std::strerror(code) : fallback;
    return false;
  };
  if (fileNamePart(path).empty()) return reason(0, "нет имени файла");
  const std::string target = followLinks(path);
  // A new temporary file beside the target: O_EXCL makes sure no other file is reused.
  static std::atomic<unsigned> counter{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = target + ".~tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return reason(errno, "файл не создаётся");
  bool ok = true;
  int code = 0;
  auto fail = [&] {
    if (ok) code = errno;
    ok = false;
  };
  // The file replaced keeps its permissions; a new one has those the umask leaves.
  struct stat old;
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode) && ::fchmod(fd, old.st_mode & 07777) != 0) fail();
  for (std::string_view part : parts)
    if (ok && !writeAll(fd, part)) fail();
  // The bytes are on the disk before the name points to them.
  if (ok && ::fsync(fd) != 0) fail();
  if (::close(fd) != 0) fail();
  if (ok && std::rename(temp.c_str(), target.c_str()) != 0) fail();
  if (!ok) {
    ::unlink(temp.c_str());
    return reason(code, "ошибка записи");
  }
  syncFolder(target);
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
