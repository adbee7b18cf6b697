#pragma once
// Working folders as the file list uses them: the date folder name, the list pattern of
// each folder, the picture folder and the choice of a folder by a pattern match.
#include <ctime>
#include <string>
#include <string_view>

namespace quillaro {

class Workspace;

// A date as yyyymmdd ("ггггммдд"): four-digit year, month and day with leading zeros.
std::string dateFolderName(int year, int month, int day);
// A time of day as hhmmss.
std::string timeText(int hour, int minute, int second);
// Today's date folder name from the local clock.
std::string todayFolderName();
// The sort key of a file time with time sorting: yyyymmdd, a blank, hhmmss (local time).
std::string fileTimeKey(std::time_t t);

// The list pattern of working folder `index`: "*.pfp", "*" (source), "*.ini", "*.txt" (or
// the save panel's file name when it starts with "*"), "*" (saved pictures), "*.bmp".
std::string listPattern(int index, std::string_view textFileName);

// A name against a pattern of "*" and "?" without regard to case (ASCII letters).
bool matchesPattern(std::string_view name, std::string_view pattern);

// The picture folder for a source folder: source + "/" + today's date folder when the
// date-folder option is on and that folder exists, otherwise the source folder.
std::string pictureFolderFor(const std::string& source, bool dateFolderOn,
                             const std::string& today);

}  // namespace quillaro
