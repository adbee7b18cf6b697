#include "journal/recorder.h"

#include <string>

#include "base/fields.h"
#include "base/text_codec.h"
#include "model/workspace.h"

namespace quillaro {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool hasContent(std::string_view line) {
  for (char c : line)
    if (static_cast<unsigned char>(c) > ' ') return true;
  return false;
}

// Where an inserted line goes: at the start of the line after the last line that starts
// with NEW, OPEN or RELOAD (the line that made the current picture). Returns npos when
// that line is the last one and has no line break after it.
std::size_t insertionPoint(const std::string& text) {
  const std::string upper = upperUtf8(text);
  const std::size_t start = producingLineBefore(upper, upper.size(), /*reloadAtStart=*/false);
  if (start == std::string::npos) return 0;  // no such line: the start of the text
  const auto end = text.find(kCrLf, start);
  return end == std::string::npos ? std::string::npos : end + 2;
}

}  // namespace

std::size_t producingLineBefore(std::string_view upper, std::size_t before, bool reloadAtStart) {
  std::size_t best = std::string::npos;
  for (std::string_view word : {"NEW", "OPEN", "RELOAD"}) {
    if (before == 0) break;
    std::size_t at = upper.rfind(std::string(kCrLf) + std::string(word), before - 1);
    if (at != std::string::npos) at += 2;
    else if (upper.starts_with(word) && (reloadAtStart || word != "RELOAD")) at = 0;
    if (at == std::string::npos || at >= before) continue;
    if (best == std::string::npos || at > best) best = at;
  }
  return best;
}

namespace {

bool append(Workspace& ws, std::string_view line, bool forced) {
  if (!hasContent(line)) return false;
  if (!ws.recorder.recordingAllowed || ws.readingMode) return false;
  if (!forced && !ws.params.chb(check::kRecordActions)) return false;

  if (ws.program.changed) {
    ws.program.text = ws.params.tz(text::kProgram);
    ws.program.changed = false;
  }
  const std::string& text = ws.program.text;

  std::string result;
  std::size_t lengthBefore = ws.recorder.lengthBeforeLastAppend;
  if (ws.recorder.insertionMode) {
    const std::size_t at = insertionPoint(text);
    if (at == std::string::npos) {
      // The picture's line ends the text without a line break: the line follows it.
      result = text;
      result += kCrLf;
      result += line;
      result += kCrLf;
    } else {
      result.reserve(text.size() + line.size() + 2);
      result.append(text, 0, at);
      result += line;
      result += kCrLf;
      result.append(text, at);
    }
  } else {
    lengthBefore = utf8Length(text);
    result = text;
    if (!result.empty() && !result.ends_with(kCrLf)) result += kCrLf;
    // A text block over several lines is preceded by an empty line.
    if (line.find(kCrLf) != std::string_view::npos) result += kCrLf;
    result += line;
    result += kCrLf;
  }

  const std::size_t length = utf8Length(result);
  if (length > kProgramTextLimit) {
    ws.prompts->ask("В текст нельзя ввести больше 30000 знаков", Buttons::Ok, Icon::Exclamation,
                    Answer::Ok);
    return false;
  }
  ws.recorder.lengthBeforeLastAppend = lengthBefore;
  ws.params.setTz(text::kProgram, result);
  ws.params.setTzCursor(text::kProgram, length);
  ws.program.text = std::move(result);
  ws.program.changed = false;
  return true;
}

}  // namespace

bool appendLine(Workspace& ws, std::string_view line) { return append(ws, line, false); }

bool appendLineForced(Workspace& ws, std::string_view line) { return append(ws, line, true); }

}  // namespace quillaro
