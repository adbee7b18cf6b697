#include "automation/runner.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <string>
#include <utility>

#include "journal/recorder.h"
#include "base/fields.h"
#include "automation/interpreter.h"
#include "ops/settings_file.h"
#include "base/text_codec.h"
#include "model/workspace.h"
#include "ops/tone_ops.h"
#include "ops/print.h"
#include "ops/picture_commands.h"
#include "ops/density_ops.h"
#include "ops/copy_engine.h"
#include "ops/a3_sheet.h"
#include "ops/batch_run.h"
#include "ops/new_sheet.h"
#include "ops/draw_table.h"
#include "ops/merge_cells.h"
#include "ops/text_settings.h"
#include "ops/draw_text.h"

namespace quillaro {
namespace {

constexpr std::string_view kCrLf = "\r\n";
// The automation boxes suspended for a run: saving, printing, A3 and opening after copying.
constexpr std::array<int, 8> kAutomation = {
    check::kOpenAfterSave, check::kOpenAfterPrint, check::kOpenAfterA5, check::kAutoCopy,
    check::kAfterA3, check::kSaveAfter, check::kPrintAfter, check::kToA3After};

void takeProgramText(Workspace& ws) {
  if (ws.program.changed) {
    ws.program.text = ws.params.tz(text::kProgram);
    ws.program.changed = false;
  }
}

// The panels as they were before a run.
struct PanelSnapshot {
  std::string settings;
  std::string mask;
  bool a3 = false;
  std::array<std::string, field::kStepDown + 1> fields;
  std::string textBody;
  std::array<bool, kAutomation.size()> automation{};
  bool recordingAllowed = true;
  bool redrawGuard = false;
  bool continueText = false;
};

PanelSnapshot takeSnapshot(Workspace& ws) {
  ParamStore& p = ws.params;
  PanelSnapshot s;
  s.settings = buildSettingsText(ws);
  s.mask = p.held(Held::MaskPattern);
  s.a3 = p.check(Check::ChA3);
  for (int i = field::kAcross; i <= field::kStepDown; ++i) s.fields[static_cast<std::size_t>(i)] = p.tn(i);
  s.textBody = p.tz(text::kBody);
  for (std::size_t k = 0; k < kAutomation.size(); ++k) s.automation[k] = p.chb(kAutomation[k]);
  s.recordingAllowed = ws.recorder.recordingAllowed;
  s.redrawGuard = ws.shared.redrawGuard;
  s.continueText = ws.actions.continueText;
  return s;
}

void restoreSnapshot(Workspace& ws, const PanelSnapshot& s, bool copyDone) {
  ParamStore& p = ws.params;
  ws.shared.redrawGuard = s.redrawGuard;
  applySettingsText(ws, s.settings);
  p.setCheck(Check::ChA3, s.a3);
  for (int i = field::kAcross; i <= field::kCopies; ++i) p.setTn(i, s.fields[static_cast<std::size_t>(i)]);
  if (copyDone) {
    ParamStore::QuietScope quiet(p);
    for (int i = field::kFrameLeft; i <= field::kScale; ++i) p.setTn(i, s.fields[static_cast<std::size_t>(i)]);
  }
  for (int i = field::kDrawLeft; i <= field::kStepDown; ++i) p.setTn(i, s.fields[static_cast<std::size_t>(i)]);
  ws.setMaskPattern(s.mask);
  ws.recorder.recordingAllowed = s.recordingAllowed;
  ws.actions.lineFlags.clear();
  ws.actions.nextLineFlag = 0;
  ws.actions.lineFlag = 0;
  ws.running = false;
  p.setTz(text::kBody, s.textBody, false);
  ws.view->pictureChanged();
  {
    ParamStore::QuietScope quiet(p);
    for (std::size_t k = 0; k < kAutomation.size(); ++k) p.setChb(kAutomation[k], s.automation[k]);
  }
  ws.actions.continueText = s.continueText;
}

// Starts the operation of a command kind. False when the run is to end (Cancel).
bool dispatch(Workspace& ws, int kind) {
  switch (kind) {
    case kCmdTable: drawTable(ws); break;
    case kCmdText: drawText(ws); break;
    case kCmdMergeCells: mergeCells(ws); break;
    case kCmdCopy:
      copyPage(ws);
      ws.actions.copyDone = true;
      break;
    case kCmdMask: maskSelection(ws, ws.params.held(Held::MaskPattern)); break;
    case kCmdErase: maskSelection(ws, "FFFF"); break;
    case kCmdDensity: denseThinOp(ws, false); break;
    case kCmdDensityPlus: denseThinOp(ws, true); break;
    case kCmdPrint:
      if (ws.params.chb(check::kRemind)) {
        const Answer a = ws.prompts->ask("Печатать ?", Buttons::YesNoCancel, Icon::Question, Answer::Yes);
        if (a == Answer::Cancel) return false;
        if (a == Answer::No) break;
      }
      printPicture(ws);
      break;
    case kCmdThicker: lineWidthOp(ws, true, false); break;
    case kCmdThinner: lineWidthOp(ws, false, false); break;
    case kCmdThickerVariant: lineWidthOp(ws, true, true); break;
    case kCmdThinnerVariant: lineWidthOp(ws, false, true); break;
    case kCmdDarkRelWhite: darkRelWhiteOp(ws); break;
    case kCmdA3: toA3(ws); break;
    case kCmdBrightnessContrast: brightnessContrastOp(ws); break;
    case kCmdBatch: runBatchLine(ws); break;
    default: break;  // 7 and 15 were done by the interpreter
  }
  return true;
}

void reportFault(Workspace& ws, const std::string& line, const char* what) {
  ws.prompts->message(line + "\r\n" + what, Icon::Stop);
}

// Runs ws.program.text from its start.
RunEnd runProgram(Workspace& ws, bool byTextDrawing) {
  ActionState& a = ws.actions;
  const std::string program = ws.program.text;
  a.upperProgram = upperUtf8(program);
  const std::string upper = a.upperProgram;
  const std::size_t lastClose = upper.rfind("</TEXT>");
  a.stopRequest = false;
  a.copyDone = false;
  a.linePosition = 0;
  ++a.runDepth;

  const PanelSnapshot snapshot = takeSnapshot(ws);
  {
    ParamStore::QuietScope quiet(ws.params);
    for (int k : kAutomation) ws.params.setChb(k, false);
  }
  ws.recorder.recordingAllowed = false;

  RunEnd end = RunEnd::Finished;
  try {
    if (!byTextDrawing && !ws.image.loaded) {
      newSheet(ws, 0, true);
    }
    while (a.linePosition < program.size()) {
      const ProgramLine line = nextProgramLine(program, upper, a.linePosition, lastClose);
      a.linePosition = line.next;
      if (!startsWithCommandLetter(line.text)) continue;
      ws.view->programLine(line.text, a.linePosition, program.size());
      int kind = kCmdNothing;
      try {
        kind = interpret(ws, line.text);
      } catch (const std::exception& e) {
        ws.running = false;
        reportFault(ws, line.text, e.what());
        continue;
      }
      if (kind > kCmdNothing) {
        if (ws.progress->pump()) a.stopRequest = true;
        if (a.stopRequest) {
          end = RunEnd::Stopped;
          break;
        }
      }
      if (kind == kCmdNothing) continue;
      if (!a.lineFlags.empty()) {
        if (kind == kCmdCopy) continue;
        a.lineFlag = a.nextLineFlag < a.lineFlags.size() ? a.lineFlags[a.nextLineFlag] : 0;
        ++a.nextLineFlag;
      }
      bool goOn = true;
      try {
        goOn = dispatch(ws, kind);
      } catch (const std::exception& e) {
        reportFault(ws, line.text, e.what());
      }
      if (!goOn) {
        end = RunEnd::Cancelled;
        break;
      }
    }
  } catch (const std::exception& e) {
    reportFault(ws, "", e.what());
  }

  restoreSnapshot(ws, snapshot, a.copyDone);
  --a.runDepth;
  return end;
}

// The length of the line end at `at`: 2 for CR LF, 1 for LF or CR alone, 0 for none.
std::size_t lineEndLength(std::string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  if (text[at] == '\r') return text.substr(at, 2) == kCrLf ? 2 : 1;
  return text[at] == '\n' ? 1 : 0;
}

}  // namespace

ProgramLine nextProgramLine(std::string_view text, std::string_view upper, std::size_t position) {
  return nextProgramLine(text, upper, position, upper.rfind("</TEXT>"));
}

ProgramLine nextProgramLine(std::string_view text, std::string_view upper, std::size_t position,
                            std::size_t lastClose) {
  ProgramLine out;
  if (position >= text.size()) {
    out.next = text.size();
    return out;
  }
  // Any line end ends a command: CR LF, and LF or CR alone as other editors write them.
  const std::size_t end = std::min(text.find_first_of("\r\n", position), text.size());
  out.next = end + lineEndLength(text, end);
  out.text = std::string(text.substr(position, end - position));
  const char c = text[position];
  const std::string_view line = upper.substr(position, end - position);
  if ((c == 'X' || c == 'x') && line.find("</TEXT>") == std::string_view::npos) {
    const std::size_t openInLine = line.find("<TEXT>");
    const std::size_t open = openInLine == std::string_view::npos ? openInLine : position + openInLine;
    // Only a block with a "</TEXT>" somewhere after it is searched for its end.
    if (open != std::string_view::npos && lastClose != std::string_view::npos && lastClose > open) {
      const std::size_t close = upper.find("</TEXT>", open);
      if (close != std::string_view::npos) {
        out.text = std::string(text.substr(position, close + 7 - position));
        const std::size_t after = close + 7;
        const std::size_t ending = lineEndLength(text, after);
        out.next = std::min(text.size(), after + (ending ? ending : 2));
      }
    }
  }
  return out;
}

std::string rearrangeTrailingNew(const std::string& text) {
  if (text.size() < 4) return text;
  const std::string upper = upperUtf8(text);
  const std::size_t from = text.size() - 4;
  const std::size_t lastBreak = upper.rfind("\r\n", from);
  const std::size_t lastNew = upper.rfind("\r\nNEW", from);
  if (lastNew == std::string::npos || lastNew != lastBreak) return text;
  if (upper.find("\r\nNEW") == lastNew && !upper.starts_with("NEW"))
    return text.substr(lastNew + 2) + std::string(kCrLf) + text.substr(0, lastNew + 2);
  return text.substr(0, lastNew + 2);
}

RunEnd runAll(Workspace& ws) {
  takeProgramText(ws);
  // The rearrangement looks for CR LF line ends; a text with other line ends is only
  // rewritten when its last line moves.
  const std::string lines = toCrLf(ws.program.text);
  const std::string arranged = rearrangeTrailingNew(lines);
  if (arranged != lines) {
    ws.params.setTz(text::kProgram, arranged);
    ws.program.text = ws.params.tz(text::kProgram);
    ws.program.changed = false;
  }
  const std::size_t length = utf8Length(ws.program.text);
  if ((length > 511 && ws.params.chb(check::kRemind)) || length > 4095) {
    if (ws.prompts->ask("Выполнить действия ?", Buttons::YesNo, Icon::Exclamation, Answer::Yes) != Answer::Yes)
      return RunEnd::NotRun;
  }
  return runProgram(ws, false);
}

bool selectionMayRun(double nowSeconds, double focusLeftAtSeconds) {
  const double d = nowSeconds - focusLeftAtSeconds;
  return d >= 0 && d < 1.0;
}

RunEnd runSelection(Workspace& ws, const std::string& selected, bool focusInText) {
  if (!focusInText) {
    ws.prompts->message("Выделенная часть выполняется, если фокус ввода в тексте.", Icon::Information);
    return RunEnd::NotRun;
  }
  return runText(ws, selected);
}

RunEnd runText(Workspace& ws, const std::string& text, bool byTextDrawing) {
  ActionState& a = ws.actions;
  std::string savedText = std::move(ws.program.text);
  std::string savedUpper = a.upperProgram;
  const std::size_t savedPosition = a.linePosition;
  ws.program.text = text;
  const RunEnd end = runProgram(ws, byTextDrawing);
  ws.program.text = std::move(savedText);
  a.upperProgram = std::move(savedUpper);
  a.linePosition = savedPosition;
  ws.program.changed = true;
  return end;
}

void requestStop(Workspace& ws) { ws.actions.stopRequest = true; }

void setLineFlags(Workspace& ws, std::vector<int> flags) {
  ws.actions.lineFlags = std::move(flags);
  ws.actions.nextLineFlag = 0;
  ws.actions.lineFlag = 0;
}

namespace {

// Plain F1 brings the picture the line works on: an Open line of another file than the one
// loaded opens it, a New line makes its sheet when no picture is loaded. A picture that is
// already there is never replaced by the same line again (that would drop the work done on it).
void bringProducingPicture(Workspace& ws, const std::string& line) {
  const std::string upper = upperUtf8(line);
  if (upper.starts_with("OPEN")) {
    FieldReader keys;
    keys.prepareKeys(line);
    std::string src = keys.getKey("SRC");
    if (src.size() >= 2 && src.front() == '"' && src.back() == '"') src = src.substr(1, src.size() - 2);
    if (!src.empty() && (!ws.image.loaded || src != ws.image.path)) interpret(ws, line);
  } else if (upper.starts_with("NEW")) {
    if (!ws.image.loaded) interpret(ws, line);
  }
}

}  // namespace

ReadCommand readOneCommand(Workspace& ws, std::size_t cursor, bool variant) {
  ReadCommand r;
  takeProgramText(ws);
  const std::string text = ws.program.text;
  const std::string upper = upperUtf8(text);
  const std::size_t at = utf8Offset(text, cursor);
  std::size_t start = 0;
  if (at > 0) {
    const std::size_t crlf = text.rfind(kCrLf, at - 1);
    if (crlf != std::string::npos) start = crlf + 2;
  }
  // The command line at or after the cursor's line.
  ProgramLine line;
  std::size_t lineStart = start;
  while (lineStart < text.size()) {
    line = nextProgramLine(text, upper, lineStart);
    if (startsWithCommandLetter(line.text)) break;
    lineStart = line.next;
    line.text.clear();
  }
  if (line.text.empty()) return r;

  auto charsOf = [&](std::size_t from, std::size_t to) { return utf8Length(std::string_view(text).substr(from, to - from)); };
  r.found = true;
  r.start = charsOf(0, lineStart);
  r.length = utf8Length(line.text);
  ws.params.setCheck(Check::ChSelSize, true);

  const bool continuation = upperUtf8(line.text).starts_with("X-");
  const bool reading = ws.readingMode;
  ws.readingMode = true;
  // The line that made the picture; Ctrl+F1 (the variant) passes over it.
  if (const std::size_t made = producingLineBefore(upper, lineStart); made != std::string::npos) {
    r.producingFound = true;
    r.producingStart = charsOf(0, made);
    if (!variant) bringProducingPicture(ws, nextProgramLine(text, upper, made).text);
  }
  if (continuation) {
    // The X line that the X- line continues: the nearest line above starting with "X,".
    std::size_t xStart = std::string::npos;
    if (lineStart > 0) {
      const std::size_t found = upper.rfind("\r\nX,", lineStart - 1);
      if (found != std::string::npos) xStart = found + 2;
    }
    if (xStart == std::string::npos && upper.starts_with("X,")) xStart = 0;
    if (xStart != std::string::npos && xStart < lineStart) {
      const ProgramLine xLine = nextProgramLine(text, upper, xStart);
      interpret(ws, xLine.text);
      ws.actions.continueText = upper.substr(xLine.next, 2) == "X-";
    }
    r.kind = interpret(ws, line.text);
    r.openTextDialog = true;
  } else {
    r.kind = interpret(ws, line.text);
    if (r.kind == kCmdText) ws.actions.continueText = upper.substr(line.next, 2) == "X-";
  }
  ws.readingMode = reading;

  switch (r.kind) {
    case kCmdTable: case kCmdText: case kCmdMask: case kCmdErase: case kCmdDensity:
    case kCmdMergeCells: case kCmdThicker: case kCmdThinner: case kCmdThickerVariant:
    case kCmdThinnerVariant: case kCmdDarkRelWhite: case kCmdDensityPlus: case kCmdBrightnessContrast:
      r.focusPageView = ws.params.chb(check::kFocusOnRead);
      break;
    case kCmdCopy:
      ws.params.setCheck(Check::ChSelSize, false);
      r.hideTableFrame = true;
      break;
    default: break;
  }
  return r;
}

StartupTimer::Action StartupTimer::tick() {
  if (!enabled) return Action::None;
  if (++ticks < 5) return Action::None;
  ticks = 0;
  enabled = false;
  if (autoCopyPending) {
    autoCopyPending = false;
    return Action::AutoCopy;
  }
  if (programPending) {
    programPending = false;
    return Action::RunProgram;
  }
  return Action::None;
}

bool runPendingProgram(Workspace& ws, const StartupTimer& timer) {
  runAll(ws);
  return timer.exitAfterProgram;
}

namespace {

// A program line as the terminal is to show it: control characters (C0, DEL and the C1
// ones, U+0080..U+009F) written as \xNN, so that a line cannot move the cursor, change
// colours or send the terminal commands. Other bytes, UTF-8 letters among them, stay.
std::string terminalSafe(std::string_view line) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(line.size());
  auto escape = [&](unsigned char b) {
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 15];
  };
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto b = static_cast<unsigned char>(line[i]);
    if (b < 0x20 || b == 0x7F) {
      escape(b);
    } else if (b == 0xC2 && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(line[i + 1]) <= 0x9F) {
      escape(b);
      escape(static_cast<unsigned char>(line[++i]));
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

// The only view of a hidden run: each program line on standard error.
class StderrRunReport final : public ViewObserver {
public:
  void programLine(const std::string& line, std::size_t position, std::size_t length) override {
    const std::size_t cut = line.find_first_of("\r\n");
    std::string shown = terminalSafe(std::string_view(line).substr(0, cut));
    if (cut != std::string::npos) shown += " ...";
    const int percent = length == 0 ? 100 : static_cast<int>(position * 100 / length);
    std::fprintf(stderr, "[%3d %%] %s\n", percent, shown.c_str());
    std::fflush(stderr);
  }
  void batchChanged(int form, int forms) override {
    std::fprintf(stderr, "Спуск полос: форма %d из %d\n", form, forms);
    std::fflush(stderr);
  }
};

StderrRunReport stderrRunReport;

}  // namespace

void reportRunOnStderr(Workspace& ws) { ws.view = &stderrRunReport; }

}  // namespace quillaro
