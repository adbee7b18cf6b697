#pragma once
// The action recorder's shared step: every operation that changes the picture hands its
// finished command line here, and the line is added to the action program in TZ(0).
#include <cstddef>
#include <string_view>

namespace quillaro {

class Workspace;

// The program text may hold at most this many characters (line breaks count).
inline constexpr std::size_t kProgramTextLimit = 30000;

// The start (byte offset) of the last line of an upper-case program text that begins with
// NEW, OPEN or RELOAD and starts before `before`: the line that made the picture the lines
// below it work on. npos when there is none. The recorder's insertion does not take a
// RELOAD at the very start of the text (there is no copy to reload there).
std::size_t producingLineBefore(std::string_view upper, std::size_t before, bool reloadAtStart = true);

// Adds the line to the action program when recording is wanted: the line is not empty
// (blanks and line breaks do not count), recording is allowed, "Записывать действия"
// ChB(30) is on and the reader of one command is not applying a line. In insertion mode
// the line goes after the last NEW/OPEN/RELOAD line, otherwise at the end (a line of
// several lines is preceded by an empty line). A program that would grow past 30000
// characters shows "В текст нельзя ввести больше 30000 знаков" and stays as it was.
// Returns true when TZ(0) received the line.
bool appendLine(Workspace& ws, std::string_view line);

// The same, as if "Записывать действия" were on (tables and texts drawn through the panel).
bool appendLineForced(Workspace& ws, std::string_view line);

}  // namespace quillaro
