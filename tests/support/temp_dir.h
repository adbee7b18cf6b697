#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quillaro::testing {

struct TempDir {
  std::filesystem::path path;
  TempDir() {
    static std::atomic<int> counter{0};
    path = std::filesystem::temp_directory_path() /
           ("quillaro-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string str() const { return path.string(); }
  std::string at(const std::string& name) const { return (path / name).string(); }
  // The subfolder `name`, made if it is not there.
  std::string sub(const std::string& name) const {
    std::filesystem::create_directories(path / name);
    return at(name);
  }
  // The names of the entries in the folder.
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(path)) out.push_back(e.path().filename().string());
    return out;
  }
  // Writes `bytes` into the file `name` and gives its path.
  std::string file(const std::string& name, const std::string& bytes) const {
    std::ofstream(path / name, std::ios::binary) << bytes;
    return at(name);
  }
};

}  // namespace quillaro::testing
