#include "ops/rename_scans.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <set>
#include <unistd.h>

#include "base/control_numbers.h"
#include "base/files.h"
#include "base/folders.h"
#include "model/workspace.h"
#include "ops/batch_run.h"
#include "ops/file_list.h"
#include "ops/save.h"

namespace quillaro {
namespace {

// Runs longer than this are refused (a mistyped range would touch thousands of files).
constexpr long long kMaxRenames = 10000;

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::string missingMessage(const std::string& path) { return "Файл " + path + " не существует."; }
std::string takenMessage(Workspace& ws, const std::string& path) {
  return "Файл " + path + " уже существует." + ws.shared.lineBreak + "Переименование невозможно.";
}

// The first refusal of renaming `pairs` in this order, simulated on the folder: an old name
// that is not there, or a new name that is taken and not freed by an earlier rename of the run.
std::string firstRefusal(Workspace& ws, const Pairs& pairs) {
  std::set<std::string> freed, taken;
  for (const auto& [from, to] : pairs) {
    const bool fromThere = (fileExists(from) && !freed.contains(from)) || taken.contains(from);
    if (!fromThere) return missingMessage(from);
    const bool toThere = (fileExists(to) && !freed.contains(to)) || taken.contains(to);
    if (toThere) return takenMessage(ws, to);
    freed.insert(from);
    taken.erase(from);
    taken.insert(to);
    freed.erase(to);
  }
  return {};
}

// Checks the run, forwards or backwards (a shift to higher numbers goes from the end), and
// renames. The renamed pairs are kept for the undo. Returns the count renamed.
int renameAll(Workspace& ws, Pairs pairs) {
  RenameRecord& kept = batchState(ws).renamed;
  std::string refusal = firstRefusal(ws, pairs);
  if (!refusal.empty()) {
    Pairs reversed(pairs.rbegin(), pairs.rend());
    if (firstRefusal(ws, reversed).empty()) {
      pairs = std::move(reversed);
      refusal.clear();
    }
  }
  if (!refusal.empty()) {
    ws.prompts->message(refusal);
    return 0;
  }
  kept.pairs.clear();
  for (const auto& [from, to] : pairs) {
    if (!renameNoReplace(from, to)) {
      ws.prompts->message(fileExists(to) ? takenMessage(ws, to) : missingMessage(from));
      break;
    }
    kept.pairs.emplace_back(from, to);
  }
  ws.progress->status("Переименовано файлов: " + std::to_string(kept.pairs.size()));
  return static_cast<int>(kept.pairs.size());
}

bool badPrefix(Workspace& ws, const std::string& prefix) {
  if (cleanFileName(prefix) == prefix && prefix.find('.') != 0) return false;
  ws.prompts->message("Недопустимые знаки в имени файла: " + prefix);
  return true;
}

}  // namespace

bool renameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  // Without an atomic call: a second link refuses an existing target; then the old name goes.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  return ::unlink(from.c_str()) == 0;
}

std::string renameFolder(Workspace& ws) {
  const std::string& source = ws.shared.folders[kFolderSource];
  if (!ws.params.chb(check::kDateFolderUp)) return source;
  const std::string& today = fileList(ws).today;
  return pictureFolderFor(source, true, today.empty() ? todayFolderName() : today);
}

int renameByNumber(Workspace& ws, const RenameByNumber& request) {
  if (badPrefix(ws, request.oldPrefix) || badPrefix(ws, request.newPrefix)) return 0;
  if (request.to < request.from || request.to - request.from >= kMaxRenames || request.from < 0 || request.newStart < 0) {
    ws.prompts->message("Неправильные номера файлов.");
    return 0;
  }
  const std::string folder = renameFolder(ws);
  Pairs pairs;
  long long n = request.newStart;
  for (long long k = request.from; k <= request.to; ++k, n += request.twoNumbers ? 2 : 1) {
    std::string to = request.newPrefix + std::to_string(n);
    if (request.twoNumbers) to += "-" + std::to_string(n + 1);
    pairs.emplace_back(joinPath(folder, request.oldPrefix + std::to_string(k) + ".bmp"), joinPath(folder, to + ".bmp"));
  }
  return renameAll(ws, std::move(pairs));
}

int renameByList(Workspace& ws, const std::string& prefix, long long start) {
  if (badPrefix(ws, prefix)) return 0;
  FileList& list = fileList(ws);
  const std::string folder = list.listedFolder();
  Pairs pairs;
  long long n = start;
  for (const std::string& name : list.entries()) {
    if (name.size() < 4 || (name.substr(name.size() - 4) != ".bmp" && name.substr(name.size() - 4) != ".BMP")) continue;
    pairs.emplace_back(joinPath(folder, name), joinPath(folder, prefix + std::to_string(n++) + ".bmp"));
    if (static_cast<long long>(pairs.size()) > kMaxRenames) break;
  }
  const int done = renameAll(ws, std::move(pairs));
  list.rebuild();
  return done;
}

int undoRename(Workspace& ws) {
  RenameRecord& kept = batchState(ws).renamed;
  int done = 0;
  while (!kept.pairs.empty()) {
    const auto [from, to] = kept.pairs.back();
    if (!fileExists(to)) {
      ws.prompts->message(missingMessage(to));
      break;
    }
    if (fileExists(from) || !renameNoReplace(to, from)) {
      ws.prompts->message(takenMessage(ws, from));
      break;
    }
    kept.pairs.pop_back();
    ++done;
  }
  ws.progress->status("Переименовано обратно: " + std::to_string(done));
  return done;
}

}  // namespace quillaro
