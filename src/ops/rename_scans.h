#pragma once
// Renaming scans: by number (old prefix + k + ".bmp" to new prefix + n + ".bmp", or
// n + "-" + (n + 1) with "2 номера"), by the file list, and the undo of the last renaming.
// A rename never replaces a file: the whole run is checked first, done in an order in which
// no new name is still taken by an old one of the same run, and each file is renamed by one
// atomic call that refuses an existing target, so an interrupted run leaves every file
// under its old or its new name.
#include <string>
#include <utility>
#include <vector>

namespace quillaro {

class Workspace;

struct RenameByNumber {
  std::string oldPrefix;
  std::string newPrefix;
  long long from = 1;
  long long to = 1;
  long long newStart = 1;
  bool twoNumbers = false;  // "2 номера": new names n-(n+1), n grows by 2
};

// Renamed pairs (old path, new path) of the last run, kept for the undo.
struct RenameRecord {
  std::vector<std::pair<std::string, std::string>> pairs;
};

// The folder of the scans: the dated scan folder with "Перемещая из папки по текущей дате"
// on, else the folder of opened files.
std::string renameFolder(Workspace& ws);

// "Переименовать файлы от": renames in renameFolder(ws). Messages: "Файл " + old +
// " не существует.", "Файл " + new + " уже существует." + CR LF + "Переименование
// невозможно.", a prefix with characters a file name may not hold. Returns the count renamed.
int renameByNumber(Workspace& ws, const RenameByNumber& request);

// "Переименовать по списку в": the *.bmp files of the file list, in list order, become
// prefix + start, start + 1, ... + ".bmp" in the list's folder.
int renameByList(Workspace& ws, const std::string& prefix, long long start);

// "Отменить переименование": the kept pairs go back (new name to old) in reverse order
// while the new name exists and the old one does not. Returns the count renamed back.
int undoRename(Workspace& ws);

// Renames `from` to `to` unless `to` exists; never replaces a file. False on any failure.
bool renameNoReplace(const std::string& from, const std::string& to);

}  // namespace quillaro
