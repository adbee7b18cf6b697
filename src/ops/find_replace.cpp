#include "ops/find_replace.h"

#include <memory>

#include "base/control_numbers.h"
#include "base/fields.h"
#include "base/text_codec.h"
#include "model/workspace.h"

namespace quillaro {
namespace {

constexpr std::size_t kLongFindText = 255;
constexpr std::size_t kShownPart = 120;

// Finds in `text` (already upper-cased when the search ignores case).
std::optional<TextMatch> findIn(std::string_view text, std::size_t from, std::string_view find,
                                std::string_view ending) {
  if (find.empty() || from > text.size()) return std::nullopt;
  const std::size_t begin = text.find(find, from);
  if (begin == std::string_view::npos) return std::nullopt;
  std::size_t end = begin + find.size();
  if (!ending.empty()) {
    const std::size_t e = text.find(ending, end);
    if (e == std::string_view::npos) return std::nullopt;
    end = e + ending.size();
  }
  return TextMatch{begin, end};
}

// A long find text shown by its two ends.
std::string shortened(const std::string& text) {
  if (utf8Length(text) <= kLongFindText) return text;
  return text.substr(0, utf8Offset(text, kShownPart)) + " ... " + text.substr(utf8OffsetFromEnd(text, kShownPart));
}

bool validField(int field) { return field >= 0 && field < kReplaceFields; }

void keepUndoCopy(Workspace& ws, int field) {
  findReplaceState(ws).undoCopy[static_cast<std::size_t>(field)] = ws.params.tz(field);
}

bool askReplaceAll(Workspace& ws) {
  if (!ws.params.chb(check::kRemind)) return true;
  return ws.prompts->ask("Заменить всё ?", Buttons::YesNo, Icon::Question, Answer::Yes) == Answer::Yes;
}

// Replace all without the question.
ReplaceOutcome replaceAllQuietly(Workspace& ws, int field, const ReplaceSet& set, bool anyCase) {
  std::string text = ws.params.tz(field);
  if (replaceAllMatches(text, set, anyCase) == 0) return ReplaceOutcome::NoMatch;
  keepUndoCopy(ws, field);
  ws.params.setTz(field, std::move(text));
  // Editing the action program itself is not an action to replay.
  if (field != text::kProgram) ws.journal->textReplaced(ws, field, set.find, set.replacement, set.ending, anyCase);
  return ReplaceOutcome::Replaced;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<TextMatch> findMatch(std::string_view text, std::size_t from, const ReplaceSet& set, bool anyCase) {
  if (!anyCase) return findIn(text, from, set.find, set.ending);
  return findIn(upperUtf8(text), from, upperUtf8(set.find), upperUtf8(set.ending));
}

std::size_t replaceAllMatches(std::string& text, const ReplaceSet& set, bool anyCase) {
  const std::string searched = anyCase ? upperUtf8(text) : std::string();
  const std::string_view in = anyCase ? std::string_view(searched) : std::string_view(text);
  const std::string find = anyCase ? upperUtf8(set.find) : set.find;
  const std::string ending = anyCase ? upperUtf8(set.ending) : set.ending;
  std::string out;
  std::size_t count = 0;
  std::size_t pos = 0;
  for (auto m = findIn(in, 0, find, ending); m; m = findIn(in, pos, find, ending)) {
    out.append(text, pos, m->begin - pos);
    out += set.replacement;
    pos = m->end;
    ++count;
  }
  if (count == 0) return 0;
  out.append(text, pos, std::string::npos);
  text = std::move(out);
  return count;
}

FindReplaceState& findReplaceState(Workspace& ws) {
  if (!ws.findReplace) ws.findReplace = std::make_shared<FindReplaceState>();
  return *ws.findReplace;
}

std::optional<TextMatch> findNextInField(Workspace& ws, int field, std::size_t cursor, const ReplaceSet& set,
                                         bool anyCase) {
  if (!validField(field) || set.find.empty()) return std::nullopt;
  const std::string& text = ws.params.tz(field);
  if (auto m = findMatch(text, utf8Offset(text, cursor), set, anyCase)) {
    const std::size_t begin = utf8Length(std::string_view(text).substr(0, m->begin));
    return TextMatch{begin, begin + utf8Length(std::string_view(text).substr(m->begin, m->end - m->begin))};
  }
  if (ws.params.chb(check::kRemind)) {
    std::string shown = shortened(set.find);
    if (!set.ending.empty()) shown += " ... " + shortened(set.ending);
    ws.prompts->message("Нет  " + shown, Icon::Information);
  }
  return std::nullopt;
}

std::size_t replaceSelection(Workspace& ws, int field, TextMatch selection, const std::string& replacement) {
  if (!validField(field)) return 0;
  const std::string& old = ws.params.tz(field);
  const std::size_t begin = utf8Offset(old, selection.begin);
  const std::size_t end = utf8Offset(old, std::max(selection.begin, selection.end));
  std::string text = old.substr(0, begin) + replacement + old.substr(end);
  keepUndoCopy(ws, field);
  ws.params.setTz(field, std::move(text));
  return selection.begin;
}

ReplaceOutcome replaceAllInField(Workspace& ws, int field, const ReplaceSet& set, bool anyCase, bool ask) {
  if (!validField(field) || set.find.empty()) return ReplaceOutcome::NoMatch;
  if (ask && !askReplaceAll(ws)) return ReplaceOutcome::Refused;
  return replaceAllQuietly(ws, field, set, anyCase);
}

int replaceAllSets(Workspace& ws, int field, int first, int last, bool anyCase) {
  if (!validField(field)) return 0;
  if (!askReplaceAll(ws)) return -1;
  const auto& sets = findReplaceState(ws).sets;
  int replaced = 0;
  for (int i = std::max(first, 0); i <= std::min(last, kReplaceSets - 1); ++i) {
    const ReplaceSet set = sets[static_cast<std::size_t>(i)];
    if (!set.find.empty() && replaceAllQuietly(ws, field, set, anyCase) == ReplaceOutcome::Replaced) ++replaced;
  }
  return replaced;
}

bool undoReplace(Workspace& ws, int field) {
  if (!validField(field)) return false;
  auto& copy = findReplaceState(ws).undoCopy[static_cast<std::size_t>(field)];
  if (!copy) return false;
  std::string text = std::move(*copy);
  copy.reset();
  ws.params.setTz(field, std::move(text));
  return true;
}

std::string escapeLineValue(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    if (b <= ' ' || ch == '%' || ch == '"' || ch == '=') {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

std::string unescapeLineValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    const int hi = i + 2 < value.size() && value[i] == '%' ? hexValue(value[i + 1]) : -1;
    const int lo = hi >= 0 ? hexValue(value[i + 2]) : -1;
    if (lo >= 0) {
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += value[i];
    }
  }
  return out;
}

}  // namespace quillaro
