#pragma once
// Qt's own texts (standard buttons, file and print dialogs, context menus of text fields)
// in Russian, from Qt's translation files.

namespace quillaro {

// Loads qtbase_ru from Qt's translations folder into the application; false when the file
// is missing (the texts stay English, the program works on).
bool installQtTranslations();

}  // namespace quillaro
