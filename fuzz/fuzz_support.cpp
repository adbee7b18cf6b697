#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz_targets.h"

namespace quillaro::fuzz {

void fail(const char* what) {
  std::fprintf(stderr, "fuzz finding: %s\n", what);
  std::abort();
}

const char* scratchFolder() {
  static const std::string folder = [] {
    namespace fs = std::filesystem;
    const fs::path p = fs::temp_directory_path() / ("quillaro-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(p);
    fs::current_path(p);
    std::atexit([] {
      std::error_code ec;
      fs::current_path(fs::temp_directory_path(), ec);
      fs::remove_all(fs::temp_directory_path() / ("quillaro-fuzz-" + std::to_string(::getpid())), ec);
    });
    return p.string();
  }();
  return folder.c_str();
}

}  // namespace quillaro::fuzz
