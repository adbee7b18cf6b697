#include "presentation/help.h"

#include <gtest/gtest.h>

#include <fstream>

#include "automation/composition.h"
#include "model/workspace.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

struct SpyOpener : FileOpener {
  bool works = true;
  std::vector<std::string> asked;
  bool openFile(const std::string& path) override {
    asked.push_back(path);
    return works;
  }
};

TEST(HelpTest, BrowserFirstThenTheTextHelpInOrderOfTheFolders) {
  testing::TempDir dir;
  const std::string home = dir.sub("home"), share = dir.sub("share"), none = dir.at("none");
  std::ofstream(dir.path / "share" / "Quillaro.htm") << "<html></html>";
  std::ofstream(dir.path / "share" / "Quillaro.txt") << "\xEF\xBB\xBFСправка";
  std::ofstream(dir.path / "home" / "Quillaro.txt") << "\xD1\xEF\xF0\xE0\xE2\xEA\xE0 1251";
  Workspace ws;
  connectWorkspace(ws);
  SpyOpener opener;
  EXPECT_EQ(showHelp(ws, opener, {none, home, share}), HelpShown::Browser);
  EXPECT_EQ(opener.asked, std::vector<std::string>{dir.at("share/Quillaro.htm")});
  EXPECT_TRUE(ws.params.tz(kHelpField).empty());

  opener.works = false;  // no browser: the first text help found
  EXPECT_EQ(showHelp(ws, opener, {none, home, share}), HelpShown::Text);
  EXPECT_EQ(ws.params.tz(kHelpField), "Справка 1251");
  EXPECT_EQ(showHelp(ws, opener, {share}), HelpShown::Text);  // a shown help is kept
  EXPECT_EQ(ws.params.tz(kHelpField), "Справка 1251");

  Workspace fresh;
  EXPECT_EQ(showHelp(fresh, opener, {share}), HelpShown::Text);
  EXPECT_EQ(fresh.params.tz(kHelpField), "Справка");
  Workspace empty;
  EXPECT_EQ(showHelp(empty, opener, {none}), HelpShown::Nothing);

  ws.shared.installFolder = home;
  EXPECT_EQ(helpFolders(ws, "/opt/q/bin"),
            (std::vector<std::string>{home, "/opt/q/bin", "/opt/q/share/quillaro", "."}));
}

}  // namespace
}  // namespace quillaro
