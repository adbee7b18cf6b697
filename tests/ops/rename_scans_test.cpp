#include "ops/rename_scans.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "automation/composition.h"
#include "model/workspace.h"
#include "ops/file_list.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

struct Rename : ::testing::Test {
  testing::TempDir dir;
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  void SetUp() override {
    connectWorkspace(ws);
    ws.shared.folders[kFolderSource] = dir.str();
  }
  void make(const std::string& name) { std::ofstream(dir.at(name)) << name; }
  // Each file keeps its content: the name it was made with.
  std::string content(const std::string& name) {
    std::ifstream in(dir.at(name));
    std::string s;
    std::getline(in, s);
    return s;
  }
  std::vector<std::string> names() {
    auto n = dir.names();
    std::sort(n.begin(), n.end());
    return n;
  }
  std::string lastMessage() { return prompts.shown.empty() ? "" : prompts.shown.back().text; }
};

TEST_F(Rename, ByNumberShiftsWithoutClashAndUndoes) {
  for (int k = 1; k <= 4; ++k) make("scan" + std::to_string(k) + ".bmp");
  // scan1..4 -> scan2..5: each new name but the last is an old one of the run.
  EXPECT_EQ(renameByNumber(ws, {"scan", "scan", 1, 4, 2, false}), 4);
  EXPECT_EQ(names(), (std::vector<std::string>{"scan2.bmp", "scan3.bmp", "scan4.bmp", "scan5.bmp"}));
  EXPECT_EQ(content("scan5.bmp"), "scan4.bmp");
  EXPECT_EQ(undoRename(ws), 4);
  EXPECT_EQ(content("scan1.bmp"), "scan1.bmp");
  EXPECT_EQ(names().size(), 4u);
  // Two numbers: p1..p2 -> s3-4, s5-6; the undo of nothing does nothing.
  EXPECT_EQ(renameByNumber(ws, {"scan", "s", 1, 2, 3, true}), 2);
  EXPECT_EQ(content("s5-6.bmp"), "scan2.bmp");
  EXPECT_TRUE(prompts.shown.empty()) << lastMessage();
}

TEST_F(Rename, AClashInTheMiddleRenamesNothing) {
  for (int k = 1; k <= 4; ++k) make("a" + std::to_string(k) + ".bmp");
  make("b12.bmp");  // the new name of a2
  EXPECT_EQ(renameByNumber(ws, {"a", "b", 1, 4, 11, false}), 0);
  EXPECT_EQ(lastMessage(), "Файл " + dir.at("b12.bmp") + " уже существует.\r\nПереименование невозможно.");
  EXPECT_EQ(names().size(), 5u);
  EXPECT_EQ(content("a1.bmp"), "a1.bmp");
  EXPECT_EQ(content("b12.bmp"), "b12.bmp");
  EXPECT_EQ(renameByNumber(ws, {"a", "b", 1, 5, 20, false}), 0);
  EXPECT_EQ(lastMessage(), "Файл " + dir.at("a5.bmp") + " не существует.");
  EXPECT_EQ(renameByNumber(ws, {"a/..", "b", 1, 2, 20, false}), 0);
  EXPECT_EQ(renameByNumber(ws, {"a", "b", 4, 1, 20, false}), 0);
  EXPECT_EQ(names().size(), 5u);
}

TEST_F(Rename, UndoStopsAtAFileThatCameBack) {
  make("x1.bmp");
  make("x2.bmp");
  ASSERT_EQ(renameByNumber(ws, {"x", "y", 1, 2, 1, false}), 2);
  make("x2.bmp");  // someone made the old name again: the undo never replaces it
  EXPECT_EQ(undoRename(ws), 0);
  EXPECT_EQ(content("x2.bmp"), "x2.bmp");
  EXPECT_EQ(content("y2.bmp"), "x2.bmp");
  EXPECT_FALSE(renameNoReplace(dir.at("y1.bmp"), dir.at("y2.bmp")));
  EXPECT_EQ(content("y1.bmp"), "x1.bmp");
}

TEST_F(Rename, ByListInListOrder) {
  ws.shared.folders[kFolderPictures] = dir.str();
  for (const char* n : {"c.bmp", "a.bmp", "b.bmp", "notes.txt"}) make(n);
  fileList(ws).currentIndex = 5;
  fileList(ws).rebuild();
  EXPECT_EQ(renameByList(ws, "page", 1), 3);
  EXPECT_EQ(content("page1.bmp"), "a.bmp");
  EXPECT_EQ(content("page3.bmp"), "c.bmp");
  EXPECT_EQ(content("notes.txt"), "notes.txt");
  EXPECT_EQ(undoRename(ws), 3);
  EXPECT_EQ(content("b.bmp"), "b.bmp");
}

}  // namespace
}  // namespace quillaro
