#pragma once
// The state of the action interpreter and runner that lives as long as the workspace:
// the font-attributes-only mode, the column alignment codes of the text settings, the
// blank sheet made last, and the runner's flags.
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace quillaro {

// Column alignment code "not set".
inline constexpr int kNoColumnAlign = 4;

struct ActionState {
  // Set by "X-", cleared by every other command of the H T V X M E U D group.
  bool fontAttributesOnly = false;
  // Alignment code of table columns 1..32 (entry 0 unused): 0..3 as OptionHA, 4 not set.
  std::array<int, 33> columnAlign = [] {
    std::array<int, 33> a{};
    a.fill(kNoColumnAlign);
    return a;
  }();

  // The blank sheet made last: its index and its pixel array (the picture is that sheet
  // only while the image buffer still holds this array); -1 when none.
  int newSheetIndex = -1;
  const void* newSheetPixels = nullptr;

  // Runner.
  int runDepth = 0;          // programs running (Run text nests)
  bool stopRequest = false;  // focus into the program text, a click into a picture view
  bool copyDone = false;     // a copy command ran during this run
  std::vector<int> lineFlags;   // supplied by the text drawing for the lines it generates
  std::size_t nextLineFlag = 0;
  int lineFlag = 0;             // the current line flag of the text drawing
  std::string upperProgram;     // the program text in upper case
  std::size_t linePosition = 0; // start of the next line (0-based)
  // The line extension in dots that the last H or V line carries (key "Ext"); -1 when
  // none. The next table drawing uses it once.
  double lineExtension = -1;
  // An applied X line is followed by X- lines: the draw button reads "Продолжить".
  bool continueText = false;
  // Where the last text drawing ended: the pen after its last character and the baseline
  // of its last line (a continued text of another size keeps to the same baseline).
  bool textEndValid = false;
  int textEndX = 0;
  int textEndBaseline = 0;
};

}  // namespace quillaro
