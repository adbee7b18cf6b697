#include "ops/file_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ops/open.h"
#include "image/bmp_file.h"
#include "automation/composition.h"
#include "support/spy_journal.h"
#include "base/folders.h"
#include "model/workspace.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace quillaro {
namespace {

using testing::ScriptedPrompts;

struct Dir : testing::TempDir {
  // A file with a modification time `age` seconds before a fixed moment.
  // Pictures are real 1-bit bitmaps of 100 x 100 dots, other files hold one letter.
  void file(const std::string& name, int age = 0) const {
    if (name.ends_with(".bmp")) {
      Bitmap b = Bitmap::create(100, 100, 1);
      b.fill(255);
      EXPECT_TRUE(writeBitmap((path / name).string(), b, kPixelsPerMetre600));
    } else {
      std::ofstream(path / name) << "x";
    }
    fs::last_write_time(path / name, fs::file_time_type::clock::now() - std::chrono::hours(24) -
                                         std::chrono::seconds(age));
  }
};

TEST(FolderNamesTest, NamesAndPatterns) {
  EXPECT_EQ(dateFolderName(2024, 3, 5) + timeText(7, 3, 9), "20240305070309");
  EXPECT_EQ(listPattern(3, "book.txt"), "*.txt");
  EXPECT_TRUE(matchesPattern("PAGE1.BMP", "*.bmp"));
  EXPECT_FALSE(matchesPattern("page.bmpx", "*.bmp"));
  EXPECT_FALSE(matchesPattern("bmp", "*.bmp"));
  EXPECT_TRUE(matchesPattern("p1.bmp", "p?.bmp"));
}

TEST(FileOrderTest, EqualTimesKeepTheirNameOrder) {
  Dir d;
  d.file("b.bmp", 5);
  d.file("c.bmp", 5);
  d.file("a.bmp", 5);
  d.file("z.bmp", 60);
  const auto entries = listFolder(d.str(), "*.bmp");
  EXPECT_EQ(orderEntries(entries, true, false), (std::vector<std::string>{"z.bmp", "a.bmp", "b.bmp", "c.bmp"}));
  EXPECT_EQ(orderEntries(entries, true, true).back(), "z.bmp");  // newest first: the oldest last
  std::vector<FolderEntry> e{{"b.bmp"}, {"A.bmp"}, {"a2.bmp"}};  // names without regard to case
  EXPECT_EQ(orderEntries(e, false, false), (std::vector<std::string>{"A.bmp", "a2.bmp", "b.bmp"}));
}

TEST(FileOrderTest, ListingStopsAtTheLimitAndSkipsOtherFiles) {
  Dir d;
  for (int i = 0; i < 12; ++i) d.file("p" + std::to_string(i) + ".bmp");
  d.file("notes.txt");
  fs::create_directories(d.path / "sub.bmp");
  EXPECT_EQ(listFolder(d.str(), "*.bmp", 5).size(), 5u);
  EXPECT_EQ(listFolder(d.str(), "*.bmp").size(), 12u);
  EXPECT_TRUE(listFolder(d.str() + "/missing", "*").empty());
}

TEST(NextByNumberTest, NumbersAreCountedWithoutLeadingZeros) {
  EXPECT_EQ(nextNameByNumber("Page0.BMP"), "Page1.bmp");
  EXPECT_EQ(nextNameByNumber("1-2.bmp"), "1-3.bmp");
  EXPECT_EQ(nextNameByNumber("x99999999999999999999999.bmp"), "x100000000000000000000000.bmp");
}

struct ListFixture : ::testing::Test {
  ScriptedPrompts prompts;
  Workspace ws{&prompts};
  Dir dir;
  FileList& list = fileList(ws);
  testing::SpyJournal journal;
  std::vector<std::string> opened;  // the paths opened, from what the journal was told
  void SetUp() override {
    connectWorkspace(ws);
    ws.journal = &journal;
    ws.shared.folders.fill(dir.str());
    list.today = "20240305";
  }
  const std::vector<std::string>& openedPaths() {
    opened.clear();
    for (const std::string& step : journal.steps)
      if (step.starts_with("open ")) opened.push_back(step.substr(5));
    return opened;
  }
  void current(const std::string& name) {
    ws.image.path = (dir.path / name).string();
    ws.image.fileName = name;
    ws.image.loaded = true;
  }
};

TEST_F(ListFixture, NextByNumberOpensTheNumberedFileOrNothing) {
  ws.params.setChb(75, true);
  dir.file("Page009.bmp");
  dir.file("Page10.bmp");
  current("Page009.bmp");
  list.openNext();
  ASSERT_EQ(openedPaths().size(), 1u);
  EXPECT_EQ(fs::path(opened[0]).filename(), "Page10.bmp");
  list.openNext();  // Page11.bmp does not exist
  EXPECT_EQ(openedPaths().size(), 1u);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ListFixture, NextByListOpensTheFollowingEntry) {
  ws.params.setChb(27, false);
  for (const char* name : {"a.bmp", "b.bmp", "c.txt"}) dir.file(name);
  current("a.bmp");
  list.nextPageButton();
  ASSERT_EQ(openedPaths().size(), 1u);
  EXPECT_EQ(fs::path(opened[0]).filename(), "b.bmp");
  EXPECT_EQ(list.entries().size(), 2u);
}

TEST_F(ListFixture, LastFileMessageOnlyFromTheButtonWithRemindAndTheSwitchOn) {
  dir.file("a.bmp");
  current("a.bmp");
  ws.params.setChb(31, false);  // the message needs reminding on
  list.nextPageButton();
  ws.params.setChb(31, true);
  ws.shared.messageSwitch = false;  // and the message switch
  list.nextPageButton();
  EXPECT_TRUE(prompts.shown.empty());
  ws.shared.messageSwitch = true;
  list.nextPageButton();
  list.openNext();  // open next from elsewhere keeps quiet
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Это последний в списке файл *.bmp");
  ws.params.setChb(52, true);  // in automatic mode the mode is stopped instead
  list.nextPageButton();
  EXPECT_FALSE(ws.params.chb(52));
  EXPECT_EQ(prompts.shown.size(), 1u);
  EXPECT_TRUE(openedPaths().empty());
}

TEST_F(ListFixture, MissingCurrentFileGivesTheTwoLineMessage) {
  dir.file("a.bmp");
  current("gone.bmp");
  ws.params.setChb(52, true);
  list.nextPageButton();
  EXPECT_EQ(prompts.shown.at(0).text,
            "Текущий файл отсутствует в списке.\r\nВероятно, он был удалён, перемещён или переименован.");
  EXPECT_FALSE(ws.params.chb(52));
  EXPECT_TRUE(openedPaths().empty());
}

TEST_F(ListFixture, MissingFolderIsReportedAndTheListIsEmpty) {
  ws.shared.folders[5] = dir.str() + "/nothing";
  list.rebuild();
  EXPECT_EQ(prompts.shown.at(0).text, "Путь \"" + dir.str() + "/nothing\" не существует.");
  EXPECT_TRUE(list.entries().empty());
}

TEST_F(ListFixture, PictureFolderFollowsTheDateFolder) {
  fs::create_directories(dir.path / "20240305");
  std::ofstream(dir.path / "20240305" / "scan.bmp") << "x";
  ws.shared.folders[1] = dir.str();
  current("old.bmp");
  list.setPictureFolder();
  EXPECT_EQ(ws.shared.folders[5], (dir.path / "20240305").string());
  EXPECT_TRUE(ws.image.fileName.empty());
  EXPECT_EQ(list.entries().size(), 1u);
}

TEST_F(ListFixture, ClickedTextFileAsksAboutTheModifiedTextFirst) {
  std::ofstream(dir.path / "new.txt", std::ios::binary) << "\xcf\xf0\xe8\xe2\xe5\xf2";
  ws.params.setTz(3, "old text");  // modified, nameless
  list.currentIndex = 3;
  list.rebuild();
  ASSERT_EQ(list.entries().size(), 1u);
  prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(list.openEntry(0));
  EXPECT_EQ(ws.params.tz(3), "old text");
  prompts.answers = {Answer::No};
  EXPECT_TRUE(list.openEntry(0));
  EXPECT_EQ(ws.params.tz(3), "Привет");
  EXPECT_FALSE(ws.params.tzModified(3));
  EXPECT_EQ(ws.params.tzName(3), (dir.path / "new.txt").string());
  EXPECT_FALSE(list.openEntry(5));
}

TEST_F(ListFixture, ClickedUtf8TextFileIsDecodedAndItsForeignCharactersAnnounced) {
  std::ofstream(dir.path / "u.txt", std::ios::binary) << "\xEF\xBB\xBFМир αβ\r\n";
  std::ofstream(dir.path / "w.txt", std::ios::binary) << "\xEF\xBB\xBF\xCC\xE8\xF0";
  ws.params.setChb(31, false);
  list.currentIndex = 3;
  list.rebuild();
  ASSERT_EQ(list.entries().size(), 2u);
  EXPECT_TRUE(list.openEntry(0));
  EXPECT_EQ(ws.params.tz(3), "Мир αβ\r\n");
  ASSERT_EQ(prompts.shown.size(), 1u);  // told although reminders are off
  EXPECT_NE(prompts.shown[0].text.find("Windows-1251: 2 (например αβ)"), std::string::npos);
  ws.params.setChb(71, true);  // "Win-1251": the mark stays as its three letters
  EXPECT_TRUE(list.openEntry(1));
  EXPECT_EQ(ws.params.tz(3), "п»їМир");
}

TEST_F(ListFixture, ClickedPictureStopsTheAutomaticMode) {
  dir.file("a.bmp");
  ws.params.setChb(52, true);
  list.rebuild();
  EXPECT_EQ(list.selected(), 0);
  EXPECT_TRUE(list.openEntry(0));
  EXPECT_FALSE(ws.params.chb(52));
  EXPECT_EQ(openedPaths().size(), 1u);
}

}  // namespace
}  // namespace quillaro
