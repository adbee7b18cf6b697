#pragma once
// Saving from the save panel and file naming: the folder by extension, the cleaned name,
// the overwrite question, the folder fallback for text files, the rename check. Every
// write is atomic (a temporary file, then a rename): a refused or failed save leaves the
// old file as it was.
#include <string>
#include <string_view>

namespace quillaro {

class Workspace;

// Drops control characters; "/", "\", "<", ">", "*", "?", ":" and "|" become "-", and each
// double quote an apostrophe.
std::string cleanFileName(std::string_view name);

// The path of a picture saved under a name into a folder: ".bmp" is appended unless the
// name's last four characters are exactly ".bmp".
std::string picturePathFor(const std::string& folder, const std::string& name);

// The overwrite question: when the file exists, asks "Файл с именем "path" существует,
// заменить его ?" (Yes/No). True when the save may go on. The old file is not deleted
// here: the atomic write replaces it only once the new one is complete.
bool confirmOverwrite(Workspace& ws, const std::string& path);

// The rename check: true when renaming old to new is refused (message shown).
bool renameRefused(Workspace& ws, const std::string& oldPath, const std::string& newPath);

// Save (ComSavEd, Enter in TextFileName, the follow-up step "сохранять,"): the name of the
// file name field (Held::TextFileName) decides what is saved. True when a file was written.
bool savePanel(Workspace& ws);

// Save table (ComSaveTable): the opened picture under the name in TTB(0).
bool saveTable(Workspace& ws);

// Save a text into working folder `folder` (0 programs, 2 settings, 3 texts) with the
// folder fallback, its question and the overwrite question.
bool saveTextInFolder(Workspace& ws, const std::string& name, const std::string& text, int folder);
// Save a text under a full path (no questions).
bool saveTextFullPath(Workspace& ws, const std::string& path, const std::string& text);

// The save button follows the file name field: a name ending in "pfp", "ini" or "txt"
// enables it; others leave it as it is.
void fileNameChanged(Workspace& ws);


}  // namespace quillaro
