// A settings file read, written and read again: the second writing must equal the first,
// and the written text must survive the file's code page.
#include <cstdio>
#include <string>

#include "automation/composition.h"
#include "base/ports.h"
#include "base/text_codec.h"
#include "fuzz_targets.h"
#include "model/workspace.h"
#include "ops/settings_file.h"

namespace quillaro::fuzz {

int settingsRoundTrip(const std::uint8_t* data, std::size_t size) {
  scratchFolder();
  const std::string text = cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  // One workspace for every input: the settings it holds after a reading are written, read
  // over themselves and written again, which must give the same text.
  static SilentPrompts prompts;
  static Workspace& ws = *[] {
    auto* w = new Workspace(&prompts);
    connectWorkspace(*w);
    return w;
  }();
  applySettingsText(ws, text);
  std::string written = buildSettingsText(ws);
  if (cp1251ToUtf8(utf8ToCp1251(written)) != written) fail("settings text changed by the code page");
  // The first rewriting may still change a check box: the text-settings block is applied
  // after the keys and names "LA" (rows of lines) even where its writer leaves it out
  // (no "TA=T"). From the second writing on the text must stay the same.
  applySettingsText(ws, written);
  written = buildSettingsText(ws);
  applySettingsText(ws, written);
  const std::string again = buildSettingsText(ws);
  if (again != written) {
    std::fprintf(stderr, "written:\n%s\nread back and written:\n%s\n", written.c_str(), again.c_str());
    fail("settings read back differ from those written");
  }
  return 0;
}

}  // namespace quillaro::fuzz

QUILLARO_FUZZ_ENTRY(settingsRoundTrip)
