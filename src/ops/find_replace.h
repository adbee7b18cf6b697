#pragma once
// Find and replace in the text fields TZ(k): the find-and-replace window's operations over
// the workspace, with its 32 stored sets and one undo copy per field.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillaro {

class Workspace;

inline constexpr int kReplaceSets = 32;
inline constexpr int kReplaceFields = 8;  // TZ(0..7)

// One set of the window: find text, replacement text and ending text ("Окончание").
struct ReplaceSet {
  std::string find;
  std::string replacement;
  std::string ending;
};

// A match in a UTF-8 text, in bytes [begin, end).
struct TextMatch {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The first match at or after byte `from`: the find text, or with an ending text the span
// from the find text up to and including the next ending text after it (no ending, no
// match). With anyCase letters (ASCII and Cyrillic) compare in upper case. An empty find
// text matches nothing.
std::optional<TextMatch> findMatch(std::string_view text, std::size_t from, const ReplaceSet& set, bool anyCase);

// Replaces every match from the start to the end, each search starting after the previous
// replacement (a replacement is never searched again). Returns the number replaced.
std::size_t replaceAllMatches(std::string& text, const ReplaceSet& set, bool anyCase);

// The window's state that outlives the window: the sets, the shown set's number, the
// field worked on and the text of each field before its last replacement.
struct FindReplaceState {
  std::array<ReplaceSet, kReplaceSets> sets;
  int currentSet = 0;
  int activeField = 3;
  std::array<std::optional<std::string>, kReplaceFields> undoCopy;
};

FindReplaceState& findReplaceState(Workspace& ws);

// Find next in TZ(field) after the character `cursor`: the match in characters, or
// nothing; without a match and with "Напоминать" on, "Нет  " + the find text is shown
// (shortened around " ... " when over 255 characters or with an ending text).
std::optional<TextMatch> findNextInField(Workspace& ws, int field, std::size_t cursor, const ReplaceSet& set,
                                         bool anyCase);

// Replaces the characters [selection.begin, selection.end) of TZ(field) by the replacement
// text, keeping the earlier text as the field's undo copy. Returns the character where the
// replacement starts.
std::size_t replaceSelection(Workspace& ws, int field, TextMatch selection, const std::string& replacement);

enum class ReplaceOutcome { Refused, NoMatch, Replaced };

// Replace all in TZ(field): an empty find text does nothing; with "Напоминать" on and
// `ask`, "Заменить всё ?" is asked first (No: Refused); the undo copy keeps the earlier
// text and the journal records the "ReplaceText" line.
ReplaceOutcome replaceAllInField(Workspace& ws, int field, const ReplaceSet& set, bool anyCase, bool ask = true);

// Replace all with the stored sets first..last in turn (sets with an empty find text are
// passed over); the question is asked once, before the first set. Returns the number of
// sets that replaced something, or -1 when refused.
int replaceAllSets(Workspace& ws, int field, int first, int last, bool anyCase);

// Puts back the text of TZ(field) from before its last replacement. False without one.
bool undoReplace(Workspace& ws, int field);

// A text as a key value of a command line (the "ReplaceText" line) and back: "%", '"', "="
// and every byte up to a blank are written as "%" and two hexadecimal digits, so the value
// holds no line break, no quote and no other key.
std::string escapeLineValue(std::string_view text);
std::string unescapeLineValue(std::string_view value);

}  // namespace quillaro
