// A copy record applied, written, and applied again: the second record equals the first.
#include <cstdio>
#include <string>

#include "automation/composition.h"
#include "base/ports.h"
#include "base/text_codec.h"
#include "fuzz_targets.h"
#include "model/workspace.h"
#include "ops/copy_record.h"

namespace quillaro::fuzz {

int copyRecord(const std::uint8_t* data, std::size_t size) {
  scratchFolder();
  const std::string record = cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  // One workspace for every input (a record sets every flag and field it holds).
  static SilentPrompts prompts;
  static Workspace& ws = *[] {
    auto* w = new Workspace(&prompts);
    connectWorkspace(*w);
    return w;
  }();
  applyCopyRecord(ws, record);
  const std::string written = buildCopyRecord(ws);
  applyCopyRecord(ws, written);
  const std::string again = buildCopyRecord(ws);
  if (again != written) {
    std::fprintf(stderr, "written: %s\nread back and written: %s\n", written.c_str(), again.c_str());
    fail("a copy record read back differs from the one written");
  }
  return 0;
}

}  // namespace quillaro::fuzz

QUILLARO_FUZZ_ENTRY(copyRecord)
