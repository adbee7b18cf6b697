#pragma once
// The file list of the left panel: listing a working folder by pattern, ordering by name
// or by file time (ascending or descending), choosing the selected entry, opening the
// next picture by list or by the number in its name, and opening a clicked entry by kind.
#include <array>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillaro {

class Workspace;

// The list holds at most this many entries (the name table of the time sorting).
inline constexpr std::size_t kFileListLimit = 4001;

struct FolderEntry {
  std::string name;
  std::time_t time = 0;  // modification time
};

// Regular files of `folder` whose names match `pattern`, in name order, at most `limit`.
// An unreadable folder gives an empty list.
std::vector<FolderEntry> listFolder(const std::string& folder, std::string_view pattern,
                                    std::size_t limit = kFileListLimit);

// The names in list order. With byTime the key is fileTimeKey(time), otherwise the name;
// keys ascend without regard to letter case and equal keys keep their given order.
// Descending takes the ascending list from its end.
std::vector<std::string> orderEntries(const std::vector<FolderEntry>& entries, bool byTime,
                                      bool descending,
                                      const std::function<std::string(std::time_t)>& key = {});

// The next name by number: the extension is removed, the run of digits at the end is the
// number (0 when there is none) and the rest the base; the result is base + (number + 1)
// without leading zeros + ".bmp". "Page9.bmp" -> "Page10.bmp", "Page009.bmp" ->
// "Page10.bmp". Numbers of any length are counted exactly.
std::string nextNameByNumber(std::string_view fileName);

// The file list of the working folders. The workspace holds one (fileList()); the window
// shows it through the view observer.
class FileList {
public:
  explicit FileList(Workspace& ws);

  // State of the list.
  int currentIndex = 5;                   // working folder the list shows
  std::array<std::string, 6> remembered;  // full path last used per folder
  bool openNextRequest = false;
  bool lastFileWarning = false;

  // The name of the date folder to use ("yyyymmdd"); empty: today's.
  std::string today;

  const std::vector<std::string>& entries() const { return entries_; }
  int selected() const { return selected_; }
  const std::string& listedFolder() const { return listedFolder_; }

  // Picture folder := source folder (or its date folder); the current file name is
  // cleared; the list is rebuilt.
  void setPictureFolder();
  // Builds the list of the current index; may open the next picture.
  void rebuild();
  // The next picture by number in the name or by the list.
  void openNext();
  // The next-page button: pictures, last-file warning on around openNext.
  void nextPageButton();
  // Opens entry i of the list by the kind of the current index. False when nothing was
  // opened.
  bool openEntry(int i);

private:
  void stop();
  bool open(const std::string& path);

  Workspace& ws_;
  std::vector<std::string> entries_;
  int selected_ = -1;
  std::string listedFolder_;
};

// The workspace's file list, made on first use.
FileList& fileList(Workspace& ws);

}  // namespace quillaro
