#pragma once
// Files opened the desktop's usual way (the HTML help in the user's browser).
#include <QDesktopServices>
#include <QUrl>

#include "automation/startup.h"
#include "presentation/help.h"

namespace quillaro {

class DesktopFileOpener final : public FileOpener {
public:
  bool openFile(const std::string& path) override {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
  }
};

// The help button: the HTML help in the browser, else the text help in TZ(2).
inline void openHelp(Workspace& ws) {
  DesktopFileOpener opener;
  showHelp(ws, opener, helpFolders(ws, programFolder()));
}

}  // namespace quillaro
