#include "ops/save.h"

#include "ops/print.h"
#include "ops/file_list.h"
#include "base/files.h"
#include "base/text_decode.h"
#include "model/param_store.h"
#include "ops/settings_file.h"
#include "model/workspace.h"
#include "model/copy_state.h"
#include "image/bmp_file.h"

namespace quillaro {
namespace {

std::string lowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The part after the last "." in lower case; empty without a point.
std::string extensionOf(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : lowerAscii(name.substr(dot + 1));
}

std::int32_t pixelsPerMetre(const Workspace& ws) {
  return ws.shared.resolution == 1200 ? kPixelsPerMetre1200 : kPixelsPerMetre600;
}

bool writePicture(Workspace& ws, const std::string& path, const Bitmap& picture, std::int32_t ppm) {
  std::string error;
  if (writeBitmap(path, picture, ppm, &error)) {
    ws.view->resultReported("Сохранено: " + path);
    return true;
  }
  ws.prompts->message("Файл " + path + " не записан." + ws.shared.lineBreak + error, Icon::Stop);
  return false;
}

}  // namespace

std::string cleanFileName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (const char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32) continue;
    switch (ch) {
      case '/': case '\\': case '<': case '>': case '*': case '?': case ':': case '|':
        out += '-';
        break;
      case '"':
        out += '\'';
        break;
      default:
        out += ch;
    }
  }
  return out;
}

std::string picturePathFor(const std::string& folder, const std::string& name) {
  std::string path = joinPath(folder, name);
  if (path.size() < 4 || path.compare(path.size() - 4, 4, ".bmp") != 0) path += ".bmp";
  return path;
}

bool confirmOverwrite(Workspace& ws, const std::string& path) {
  if (!fileExists(path)) return true;
  const std::string& q = ws.shared.quote;
  return ws.prompts->ask("Файл с именем " + q + path + q + " существует, заменить его ?", Buttons::YesNo,
                         Icon::Question, Answer::Yes) == Answer::Yes;
}

bool renameRefused(Workspace& ws, const std::string& oldPath, const std::string& newPath) {
  if (!fileExists(oldPath)) {
    ws.prompts->message("Файл " + oldPath + " не существует.");
    return true;
  }
  if (fileExists(newPath)) {
    ws.prompts->message("Файл " + newPath + " уже существует." + ws.shared.lineBreak + "Переименование невозможно.");
    return true;
  }
  return false;
}

bool saveTextFullPath(Workspace& ws, const std::string& path, const std::string& text) {
  if (path.empty()) {
    ws.prompts->message("Введите имя файла");
    return false;
  }
  std::string sample;
  if (const std::size_t n = countUnstorable(text, &sample); n > 0) {
    const std::string question = "В тексте есть знаки, которых нет в кодировке Windows-1251: " +
                                 std::to_string(n) + " (например " + sample + ")." + ws.shared.lineBreak +
                                 "В файле " + path + " они будут заменены знаком \"?\". Сохранить ?";
    if (ws.prompts->ask(question, Buttons::YesNo, Icon::Question, Answer::Yes) != Answer::Yes) return false;
  }
  std::string error;
  if (!writeTextFile(path, text, &error)) {
    ws.prompts->message("Файл " + path + " не записан." + ws.shared.lineBreak + error, Icon::Stop);
    return false;
  }
  ws.view->resultReported("Сохранено: " + path);
  return true;
}

bool saveTextInFolder(Workspace& ws, const std::string& rawName, const std::string& text, int folder) {
  if (rawName.empty()) {
    ws.prompts->message("Введите имя файла");
    return false;
  }
  if (folder < 0 || folder >= static_cast<int>(ws.shared.folders.size())) return false;
  const std::string name = cleanFileName(rawName);
  const std::string& q = ws.shared.quote;
  const std::string& br = ws.shared.lineBreak;
  std::string& working = ws.shared.folders[static_cast<std::size_t>(folder)];
  const std::string requested = working;
  const std::string found = existingFolderOrParent(requested);
  const bool onlyDrive = found.empty() || found.back() == ':' ||
                         (found.size() == 1 && found[0] == pathSeparator() && requested != found);
  if (onlyDrive) {
    ws.prompts->message("Путь " + q + requested + q + " не существует.");
    return false;
  }
  if (found != requested) {
    working = found;
    if (ws.prompts->ask("Путь " + q + requested + q + " не существует," + br + "установлен " + q + found + q + br +
                            "Сохранить как " + q + joinPath(found, name) + q + " ?",
                        Buttons::OkCancel, Icon::Question, Answer::Ok) != Answer::Ok)
      return false;
  }
  ws.params.setHeld(Held::TextFileName, name);
  const std::string path = joinPath(found, name);
  if (!confirmOverwrite(ws, path)) return false;
  return saveTextFullPath(ws, path, text);
}

void fileNameChanged(Workspace& ws) {
  const std::string ext = extensionOf(ws.params.held(Held::TextFileName));
  if (ext == "pfp" || ext == "ini" || ext == "txt") copyState(ws).saveEnabled = true;
}

bool savePanel(Workspace& ws) {
  ParamStore& p = ws.params;
  CopyState& st = copyState(ws);
  const std::string raw = p.held(Held::TextFileName);
  if (raw.empty()) {
    ws.prompts->message("Введите имя файла");
    return false;
  }
  const std::string ext = extensionOf(raw);
  const std::string name = cleanFileName(raw);
  p.setHeld(Held::TextFileName, name);
  if (ext == "ini") return saveSettingsAs(ws, name);
  if (ext == "pfp" || ext == "txt") {
    const int k = ext == "pfp" ? text::kProgram : text::kFile;
    if (!saveTextInFolder(ws, name, p.tz(k), k)) return false;
    p.setTzName(k, joinPath(ws.shared.folders[static_cast<std::size_t>(k)], name));
    p.setTzModified(k, false);
    return true;
  }
  const std::string& folder = ws.shared.folders[kFolderSaved];
  const std::string& br = ws.shared.lineBreak;
  if (!folderExists(folder)) {
    ws.prompts->message("Путь" + br + folder + br + "не существует");
    return false;
  }
  if (!st.copyMade || ws.page.empty()) {
    ws.prompts->message("Нет копии.");
    return false;
  }
  const bool sheet = p.check(Check::ChA3);
  if (sheet && (st.a3State < 2 || ws.a3.empty())) {
    ws.prompts->message("A3 не заполнен.");
    return false;
  }
  if (ws.shared.copySaved) {
    ws.prompts->message("Копия уже сохранена.");
    return false;
  }
  const std::string path = picturePathFor(folder, name);
  if (!confirmOverwrite(ws, path)) return false;
  if (!writePicture(ws, path, sheet ? ws.a3 : ws.page, pixelsPerMetre(ws))) return false;
  if (sheet) {
    st.a3State = 0;
    p.setCaption(namedLabelId(NamedLabel::LabA4inA3), "0 A4 в A3");
    ws.a3.release();
  }
  ws.shared.copySaved = true;
  st.saveEnabled = false;
  st.lastSavedPicture = path;
  if (p.chb(check::kOpenAfterSave)) {
    fileList(ws).openNext();
    return true;
  }
  if (p.chb(check::kLoadSaved)) {
    loadForPrint(ws, path);
    st.printEnabled = true;
  }
  if (p.chb(check::kPrintAfter)) printPicture(ws);
  return true;
}

bool saveTable(Workspace& ws) {
  ParamStore& p = ws.params;
  const std::string raw = p.ttb(0);
  if (raw.empty()) {
    ws.prompts->message("Введите имя файла");
    return false;
  }
  const std::string name = cleanFileName(raw);
  p.setTtb(0, name);
  if (!ws.image.loaded || ws.image.bitmap.empty()) {
    ws.prompts->message("Нет рисунка");
    return false;
  }
  const std::string path = picturePathFor(ws.shared.folders[kFolderSaved], name);
  if (!confirmOverwrite(ws, path)) return false;
  if (!writePicture(ws, path, ws.image.bitmap, kPixelsPerMetre600)) return false;
  ws.image.modified = 0;
  return true;
}

}  // namespace quillaro
