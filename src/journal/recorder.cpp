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
  std::size_t start = std::string::npos;
  for (std::string_view word : {"\r\nNEW", "\r\nOPEN", "\r\nRELOAD"}) {
    const auto at = upper.rfind(word);
    if (at != std::string::npos && (start == std::string::npos || at + 2 > start)) start = at + 2;
  }
  if (start == std::string::npos) {
    if (upper.starts_with("NEW") || upper.starts_with("OPEN")) start = 0;
    else return 0;  // no such line: the start of the text
  }
  const auto end = text.find(kCrLf, start);
  return end == std::string::npos ? std::string::npos : end + 2;
}

bool append(Workspace& ws, std::string_view line, bool forced) {
  if (!hasContent(line)) return false;
  if (!ws.recorder.recordingAllowed || ws.readingMode) return false;
  if (!forced && !ws.params.chb(30)) return false;

  if (ws.program.changed) {
    ws.program.text = ws.params.tz(0);
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
  ws.params.setTz(0, result);
  ws.params.setTzCursor(0, length);
  ws.program.text = std::move(result);
  ws.program.changed = false;
  return true;
}

}  // namespace

bool appendLine(Workspace& ws, std::string_view line) { return append(ws, line, false); }

bool appendLineForced(Workspace& ws, std::string_view line) { return append(ws, line, true); }

}  // namespace quillaro
