#pragma once
// Entry points of the picture operations, as the action interpreter, the runner and the
// window start them. Each module that builds an operation fills its entry when the
// workspace is made; an empty entry means the operation is not available in this build.
#include <functional>
#include <string>

namespace quillaro {

class Workspace;

struct Operations {
  // Opens the picture file at `path` through the open pipeline; false when it failed.
  std::function<bool(Workspace&, const std::string& path)> open;
};

}  // namespace quillaro
