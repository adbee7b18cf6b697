#include "ops/file_list.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "ops/open.h"
#include "base/fields.h"
#include "base/files.h"
#include "base/text_codec.h"
#include "base/text_decode.h"
#include "base/control_numbers.h"
#include "base/folders.h"
#include "ops/settings_file.h"
#include "ops/shutdown.h"
#include "model/workspace.h"
#include "image/bmp_file.h"

namespace fs = std::filesystem;

namespace quillaro {
namespace {

std::time_t toTimeT(fs::file_time_type t) {
  using namespace std::chrono;
  return system_clock::to_time_t(file_clock::to_sys(t));
}

bool endsWithBmp(std::string_view name) {
  if (name.size() < 4) return false;
  return upperUtf8(name.substr(name.size() - 4)) == ".BMP";
}

// Adds one to a decimal digit string (no leading zeros in the result).
std::string incrementDecimal(std::string_view digits) {
  std::size_t start = 0;
  while (start + 1 < digits.size() && digits[start] == '0') ++start;
  std::string n(digits.substr(start));
  if (n.empty()) n = "0";
  int i = static_cast<int>(n.size()) - 1;
  while (i >= 0 && n[static_cast<std::size_t>(i)] == '9') n[static_cast<std::size_t>(i--)] = '0';
  if (i < 0) n.insert(n.begin(), '1');
  else ++n[static_cast<std::size_t>(i)];
  return n;
}

}  // namespace

std::vector<FolderEntry> listFolder(const std::string& folder, std::string_view pattern,
                                    std::size_t limit) {
  std::vector<FolderEntry> out;
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  if (ec) return out;
  for (; it != end; it.increment(ec)) {
    if (ec) break;
    std::error_code e2;
    if (!it->is_regular_file(e2)) continue;
    std::string name = it->path().filename().string();
    if (!matchesPattern(name, pattern)) continue;
    const auto t = it->last_write_time(e2);
    out.push_back({std::move(name), e2 ? std::time_t{0} : toTimeT(t)});
  }
  // The platform's listing has no fixed order: take the names in order, then the limit.
  std::sort(out.begin(), out.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  if (out.size() > limit) out.resize(limit);
  return out;
}

std::vector<std::string> orderEntries(const std::vector<FolderEntry>& entries, bool byTime,
                                      bool descending,
                                      const std::function<std::string(std::time_t)>& key) {
  struct Item {
    std::string key;
    std::size_t index;
  };
  std::vector<Item> items;
  items.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::string k = byTime ? (key ? key(entries[i].time) : fileTimeKey(entries[i].time))
                           : entries[i].name;
    items.push_back({upperUtf8(k), i});
  }
  std::stable_sort(items.begin(), items.end(),
                   [](const Item& a, const Item& b) { return a.key < b.key; });
  std::vector<std::string> names;
  names.reserve(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Item& it = items[descending ? items.size() - 1 - i : i];
    names.push_back(entries[it.index].name);
  }
  return names;
}

std::string nextNameByNumber(std::string_view fileName) {
  std::string_view stem = fileName;
  const std::size_t dot = stem.rfind('.');
  if (dot != std::string_view::npos) stem = stem.substr(0, dot);
  std::size_t digits = stem.size();
  while (digits > 0 && stem[digits - 1] >= '0' && stem[digits - 1] <= '9') --digits;
  return std::string(stem.substr(0, digits)) + incrementDecimal(stem.substr(digits)) + ".bmp";
}

FileList& fileList(Workspace& ws) {
  if (!ws.files) ws.files = std::make_shared<FileList>(ws);
  return *ws.files;
}

FileList::FileList(Workspace& ws) : ws_(ws) {}

void FileList::stop() { ws_.params.setChb(check::kAutoCopy, false); }

// A picture opened from the list is shown whatever the opening itself redrew.
bool FileList::open(const std::string& path) {
  const bool opened = openPicture(ws_, path);
  if (opened) ws_.view->pictureChanged();
  return opened;
}

void FileList::setPictureFolder() {
  auto& folders = ws_.shared.folders;
  folders[5] = pictureFolderFor(folders[1], ws_.params.chb(check::kDateFolder),
                                today.empty() ? todayFolderName() : today);
  ws_.image.fileName.clear();
  rebuild();
}

void FileList::rebuild() {
  entries_.clear();
  selected_ = -1;
  const int index = (currentIndex >= 0 && currentIndex < 6) ? currentIndex : 5;
  const std::string folder = ws_.shared.folders[static_cast<std::size_t>(index)];
  listedFolder_ = folder;
  const bool messages = ws_.params.chb(check::kRemind) && ws_.shared.messageSwitch;
  if (!folderExists(folder)) {
    ws_.prompts->message("Путь " + ws_.shared.quote + folder + ws_.shared.quote + " не существует.");
    openNextRequest = false;
    ws_.view->fileListChanged();
    return;
  }
  const std::string pattern = listPattern(index, ws_.params.held(Held::TextFileName));
  entries_ = orderEntries(listFolder(folder, pattern), ws_.params.chb(check::kSortByTime),
                          ws_.params.chb(check::kSortDescending));

  const std::string& current = ws_.image.fileName;
  const std::string rememberedName = fileNamePart(remembered[static_cast<std::size_t>(index)]);
  int firstBmp = -1;
  bool previousWasCurrent = false;
  bool found = false;
  int foundAt = -1;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string& name = entries_[i];
    if (endsWithBmp(name)) {
      if (firstBmp < 0) firstBmp = static_cast<int>(i);
      if (previousWasCurrent) selected_ = static_cast<int>(i);
      previousWasCurrent = false;
      if (!current.empty() && name == current) {
        found = true;
        foundAt = static_cast<int>(i);
        previousWasCurrent = true;
      }
    } else if (!rememberedName.empty() && name == rememberedName) {
      selected_ = static_cast<int>(i);
    }
  }
  if (!current.empty()) {
    if (!found && openNextRequest && parentFolder(ws_.image.path) == folder) {
      if (messages)
        ws_.prompts->message(std::string("Текущий файл отсутствует в списке.") +
                             ws_.shared.lineBreak +
                             "Вероятно, он был удалён, перемещён или переименован.");
      stop();
    }
  } else {
    selected_ = firstBmp;
  }
  if (found && openNextRequest) {
    bool after = false;
    for (std::size_t i = static_cast<std::size_t>(foundAt) + 1; i < entries_.size(); ++i)
      if (endsWithBmp(entries_[i])) after = true;
    if (!after) {
      if (ws_.params.chb(check::kAutoCopy)) stop();
      else if (lastFileWarning && messages)
        ws_.prompts->message("Это последний в списке файл *.bmp");
    }
  }
  ws_.view->fileListChanged();
  if (openNextRequest && selected_ >= 0 && selected_ < static_cast<int>(entries_.size())) {
    openNextRequest = false;
    open(joinPath(ws_.shared.folders[5], entries_[static_cast<std::size_t>(selected_)]));
  }
  openNextRequest = false;
}

void FileList::openNext() {
  if (ws_.params.chb(check::kNextByNumber) && ws_.image.loaded) {
    const std::string next = joinPath(ws_.shared.folders[5], nextNameByNumber(ws_.image.fileName));
    if (fileExists(next)) open(next);
    return;
  }
  currentIndex = 5;
  openNextRequest = true;
  rebuild();
}

void FileList::nextPageButton() {
  currentIndex = 5;
  lastFileWarning = true;
  openNext();
  lastFileWarning = false;
}

namespace {

// What a UTF-8 file held that the text field shows but a Windows-1251 file cannot keep.
void tellAboutEncoding(Workspace& ws, const std::string& path, const DecodedText& decoded) {
  const std::string& br = ws.shared.lineBreak;
  std::string text;
  if (decoded.unstorable > 0)
    text = "В файле " + path + " есть знаки, которых нет в кодировке Windows-1251: " +
           std::to_string(decoded.unstorable) + " (например " + decoded.unstorableSample + ")." + br +
           "Они показаны в тексте, но при сохранении будут заменены знаком \"?\".";
  if (decoded.droppedBytes > 0)
    text += (text.empty() ? "" : br) + std::string("Файл ") + path + " прочитан как UTF-8; " +
            std::to_string(decoded.droppedBytes) + " байт, не составляющих знаков UTF-8, пропущено.";
  if (!text.empty()) ws.prompts->message(text);
}

}  // namespace

bool FileList::openEntry(int i) {
  if (i < 0 || i >= static_cast<int>(entries_.size())) return false;
  const std::string& name = entries_[static_cast<std::size_t>(i)];
  const std::size_t index = static_cast<std::size_t>(currentIndex);
  const std::string path = joinPath(ws_.shared.folders[index], name);
  switch (currentIndex) {
    case 5:
      stop();
      return open(path);
    case 2:
      remembered[2] = path;
      return readSettings(ws_, path);
    case 0:
    case 3: {
      const int field = currentIndex;
      auto bytes = readWholeFile(path);
      if (!bytes) {
        ws_.prompts->message("Нет файла " + path);
        return false;
      }
      if (!saveFieldPrompt(ws_, field)) return false;
      std::string text;
      if (field == text::kFile) {
        const EncodingSwitches switches{ws_.params.chb(check::kWin1251), ws_.params.chb(check::kUtf8)};
        DecodedText decoded = decodeTextFile(*bytes, path, switches);
        tellAboutEncoding(ws_, path, decoded);
        text = std::move(decoded.text);
      } else {
        text = cp1251ToUtf8(*bytes);
      }
      ws_.params.setTz(field, std::move(text), false);
      ws_.params.setTzModified(field, false);
      ws_.params.setTzName(field, path);
      remembered[index] = path;
      ws_.view->showField(field);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace quillaro
