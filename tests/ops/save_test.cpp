#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "base/files.h"
#include "ops/a3_sheet.h"
#include "model/copy_state.h"
#include "ops/save.h"
#include "support/copy_test_util.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;
using testing::CopyFixture;

struct Saving : ::testing::Test {
  CopyFixture fx;
  testing::TempDir tmp;
  fs::path dir = tmp.path;
  void SetUp() override {
    const char* subs[] = {"pfp", "ini", "txt", "pic"};
    const int folders[] = {kFolderPrograms, kFolderSettings, kFolderTexts, kFolderSaved};
    for (int i = 0; i < 4; ++i) fx.ws->shared.folders[folders[i]] = tmp.sub(subs[i]);
  }
  void madeCopy() {
    fx.ws->page = testing::blockPicture(120, 100, 1, 0, 0, 5, 5);
    fx.st().copyMade = true;
    fx.st().pageDpi = 600;
    fx.ws->shared.copySaved = false;
  }
  void name(const std::string& n) { fx.p().setHeld(Held::TextFileName, n); }
};

TEST(SaveNames, CleanFileNameAndTheBmpEnding) {
  EXPECT_EQ("a-b-c-.bmp", cleanFileName("a/b:c?.bmp"));
  EXPECT_EQ("x-y-z-w-'q'", cleanFileName("x\\y<z>w|\"q\""));
  EXPECT_EQ("tab", cleanFileName("t\ta\nb\x01"));
  EXPECT_EQ("страница 1.bmp", cleanFileName("страница 1.bmp"));
  EXPECT_EQ(joinPath("f", "scan.BMP.bmp"), picturePathFor("f", "scan.BMP"));
  EXPECT_EQ(joinPath("f", "scan.bmp"), picturePathFor("f", "scan.bmp"));
}

TEST_F(Saving, PictureIsWrittenOnceUntilTheNextCopy) {
  madeCopy();
  name("scan");
  ASSERT_TRUE(savePanel(*fx.ws));
  EXPECT_TRUE(fs::exists(dir / "pic" / "scan.bmp"));
  EXPECT_TRUE(fx.ws->shared.copySaved);
  EXPECT_FALSE(fx.st().saveEnabled);
  EXPECT_FALSE(savePanel(*fx.ws));
  EXPECT_EQ("Копия уже сохранена.", fx.prompts.shown.back().text);
}

TEST_F(Saving, RefusalsWriteNothing) {
  name("scan");
  EXPECT_FALSE(savePanel(*fx.ws));
  EXPECT_EQ("Нет копии.", fx.prompts.shown.back().text);
  madeCopy();
  fx.p().setCheck(Check::ChA3, true);
  fx.st().freshCopy = true;
  ASSERT_TRUE(toA3(*fx.ws));
  EXPECT_FALSE(savePanel(*fx.ws));
  EXPECT_EQ("A3 не заполнен.", fx.prompts.shown.back().text);
  EXPECT_FALSE(fs::exists(dir / "pic" / "scan.bmp"));
  name("");
  EXPECT_FALSE(savePanel(*fx.ws));
  EXPECT_EQ("Введите имя файла", fx.prompts.shown.back().text);
  name("scan");
  fx.ws->shared.folders[kFolderSaved] = (dir / "gone").string();
  fx.p().setCheck(Check::ChA3, false);
  EXPECT_FALSE(savePanel(*fx.ws));
  EXPECT_EQ("Путь\r\n" + (dir / "gone").string() + "\r\nне существует", fx.prompts.shown.back().text);
}

TEST_F(Saving, FullA3SheetIsSavedAndEmptied) {
  fx.p().setCheck(Check::ChA3, true);
  madeCopy();
  fx.st().freshCopy = true;
  ASSERT_TRUE(toA3(*fx.ws));
  fx.st().freshCopy = true;
  ASSERT_TRUE(toA3(*fx.ws));
  name("sheet");
  ASSERT_TRUE(savePanel(*fx.ws));
  EXPECT_EQ(0, fx.st().a3State);
  EXPECT_TRUE(fx.ws->a3.empty());
  EXPECT_EQ("0 A4 в A3", fx.p().caption(namedLabelId(NamedLabel::LabA4inA3)));
  EXPECT_GT(fs::file_size(dir / "pic" / "sheet.bmp"), 0u);
}

TEST_F(Saving, TheOldFileSurvivesANoAndAFailedWrite) {
  const std::string old = (dir / "pic" / "old.bmp").string();
  ASSERT_TRUE(writeFileAtomic(old, "OLD"));
  madeCopy();
  name("old");
  fx.prompts.answers = {Answer::No};
  EXPECT_FALSE(savePanel(*fx.ws));
  EXPECT_EQ("Файл с именем \"" + old + "\" существует, заменить его ?", fx.prompts.shown.back().text);
  EXPECT_EQ("OLD", *readWholeFile(old));
  // A file size limit makes the write fail for any user (root ignores folder permissions).
  fx.prompts.answers = {Answer::Yes};
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 100;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const bool ok = savePanel(*fx.ws);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_FALSE(ok);
  EXPECT_EQ("OLD", *readWholeFile(old));
  EXPECT_FALSE(fx.ws->shared.copySaved) << "a failed save is not a save";
  EXPECT_EQ(Icon::Stop, fx.prompts.shown.back().icon);
}

TEST_F(Saving, TextFilesGoToTheFolderOfTheirExtension) {
  fx.p().setTz(0, "Copy, 0, 0\r\n");
  fx.p().setTz(3, "текст");
  name("book.PFP");
  ASSERT_TRUE(savePanel(*fx.ws));
  EXPECT_TRUE(fs::exists(dir / "pfp" / "book.PFP"));
  EXPECT_FALSE(fx.p().tzModified(0));
  EXPECT_EQ((dir / "pfp" / "book.PFP").string(), fx.p().tzName(0));
  name("notes.txt");
  ASSERT_TRUE(savePanel(*fx.ws));
  EXPECT_EQ("\xF2\xE5\xEA\xF1\xF2", *readWholeFile((dir / "txt" / "notes.txt").string())) << "Windows-1251";
  // Text files may be saved again (after the overwrite question).
  fx.prompts.answers = {Answer::Yes};
  name("notes.txt");
  EXPECT_TRUE(savePanel(*fx.ws));
}

TEST_F(Saving, MissingTextFolderFallsBackAfterTheQuestion) {
  fx.ws->shared.folders[kFolderTexts] = (dir / "txt" / "old").string();
  fx.prompts.answers = {Answer::Cancel};
  EXPECT_FALSE(saveTextInFolder(*fx.ws, "a.txt", "x", kFolderTexts));
  const std::string q = "Путь \"" + (dir / "txt" / "old").string() + "\" не существует,\r\nустановлен \"" +
                        (dir / "txt").string() + "\"\r\nСохранить как \"" + (dir / "txt" / "a.txt").string() + "\" ?";
  EXPECT_EQ(q, fx.prompts.shown.back().text);
  EXPECT_EQ(Buttons::OkCancel, fx.prompts.shown.back().buttons);
  EXPECT_FALSE(fs::exists(dir / "txt" / "a.txt"));
  fx.ws->shared.folders[kFolderTexts] = (dir / "txt" / "old").string();
  fx.prompts.answers = {Answer::Ok};
  EXPECT_TRUE(saveTextInFolder(*fx.ws, "a.txt", "x", kFolderTexts));
  EXPECT_TRUE(fs::exists(dir / "txt" / "a.txt"));
  EXPECT_EQ((dir / "txt").string(), fx.ws->shared.folders[kFolderTexts]);
}

TEST_F(Saving, RenameCheck) {
  const std::string a = (dir / "a.bmp").string(), b = (dir / "b.bmp").string();
  EXPECT_TRUE(renameRefused(*fx.ws, a, b));
  EXPECT_EQ("Файл " + a + " не существует.", fx.prompts.shown.back().text);
  ASSERT_TRUE(writeFileAtomic(a, "1"));
  EXPECT_FALSE(renameRefused(*fx.ws, a, b));
  ASSERT_TRUE(writeFileAtomic(b, "2"));
  EXPECT_TRUE(renameRefused(*fx.ws, a, b));
  EXPECT_EQ("Файл " + b + " уже существует.\r\nПереименование невозможно.", fx.prompts.shown.back().text);
}

TEST_F(Saving, SaveTableWritesTheOpenedPicture) {
  fx.p().setTtb(0, "tab:le");
  EXPECT_FALSE(saveTable(*fx.ws));
  EXPECT_EQ("Нет рисунка", fx.prompts.shown.back().text);
  fx.load(testing::blockPicture(120, 110, 8, 0, 0, 3, 3));
  fx.ws->image.modified = 1;
  ASSERT_TRUE(saveTable(*fx.ws));
  EXPECT_EQ("tab-le", fx.p().ttb(0));
  EXPECT_TRUE(fs::exists(dir / "pic" / "tab-le.bmp"));
  EXPECT_EQ(0, fx.ws->image.modified);
}

}  // namespace
}  // namespace quillaro
