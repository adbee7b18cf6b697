#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/files.h"
#include "app/launch.h"
#include "app/workspace.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;

struct LaunchFixture : ::testing::Test {
  fs::path root;
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  int runs = 0;
  LaunchOptions options;

  void SetUp() override {
    root = fs::temp_directory_path() /
           ("quillaro-launch-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root);
    fs::create_directories(root / "home");
    fs::create_directories(root / "prog");
    options.installFolder = (root / "home").string();
    options.programFolder = (root / "prog").string();
    options.runProgram = [this](Workspace& w) {
      ++runs;
      EXPECT_FALSE(w.params.tz(0).empty());
    };
  }
  void TearDown() override { fs::remove_all(root); }
  std::string path(const std::string& name) const { return (root / name).string(); }
  void write(const std::string& name, const std::string& text) { ASSERT_TRUE(writeTextFile(path(name), text)); }
};

TEST_F(LaunchFixture, HiddenProgramRunsBeforeTheWindowAndExitEnds) {
  write("book.pfp", "Over\r\nRight\r\n");
  auto r = launch(ws, "\"" + path("book.pfp") + "\" hide=1 exit=1", options);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(r.programRead);
  EXPECT_FALSE(r.programPending);
  EXPECT_TRUE(r.endNow);
  EXPECT_EQ(ws.params.tz(0), "Over\r\nRight\r\n");
  EXPECT_FALSE(ws.params.tzModified(0));
}

TEST_F(LaunchFixture, VisibleProgramIsPendingAndNotRunYet) {
  write("book.pfp", "Over");
  auto r = launch(ws, path("book.pfp") + " exit=1", options);
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(r.programPending);
  EXPECT_FALSE(r.endNow);  // the timer ends the program after running it
  EXPECT_TRUE(r.commandLine.exit);
}

TEST_F(LaunchFixture, MissingOrEmptyProgramRunsNothingButExitStillEnds) {
  auto r = launch(ws, path("absent.pfp") + " hide=1 exit=1", options);
  EXPECT_EQ(runs, 0);
  EXPECT_FALSE(r.programRead);
  EXPECT_TRUE(r.endNow);
  write("empty.pfp", "");
  Workspace ws2{&prompts};
  auto r2 = launch(ws2, path("empty.pfp") + " hide=1", options);
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(r2.programRead);
  EXPECT_FALSE(r2.programPending);
  EXPECT_FALSE(r2.endNow);
}

TEST_F(LaunchFixture, WithoutPfpHideIsIgnored) {
  auto r = launch(ws, "hide=1 exit=1", options);
  EXPECT_FALSE(r.commandLine.hide);
  EXPECT_FALSE(r.endNow);
}

TEST_F(LaunchFixture, FoldersAndInitialValues) {
  launch(ws, "", options);
  const std::string home = (root / "home").string();
  EXPECT_EQ(ws.shared.installFolder, home);
  EXPECT_EQ(ws.shared.settingsPath, home + "/Quillaro.ini");
  EXPECT_EQ(ws.shared.folders[kFolderPrograms], home + "/pfp");
  EXPECT_EQ(ws.shared.folders[kFolderSettings], home + "/ini");
  EXPECT_EQ(ws.shared.folders[kFolderTexts], home + "/txt");
  EXPECT_TRUE(fs::is_directory(home + "/pfp"));
  EXPECT_TRUE(fs::is_directory(home + "/ini"));
  EXPECT_TRUE(fs::is_directory(home + "/txt"));
  EXPECT_EQ(ws.params.tn(9), "1");
  EXPECT_EQ(ws.params.tn(13), "4");
  EXPECT_EQ(ws.params.tn(7), "15");
  EXPECT_EQ(ws.params.tn(33), "72");
  EXPECT_EQ(ws.params.held(Held::Threshold), "140");
  EXPECT_EQ(ws.params.held(Held::MaskPattern), "5A5A");
  // The copy frame shows what a copy would use: 4 mm in, 202 x 289 mm.
  EXPECT_EQ(ws.params.tn(16), "4");
  EXPECT_EQ(ws.params.tn(17), "4");
  EXPECT_EQ(ws.params.tn(18), "202");
  EXPECT_EQ(ws.params.tn(19), "289");
  EXPECT_TRUE(ws.shared.messageSwitch);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(LaunchFixture, SettingsComeFromIniKeyOrProgramFolder) {
  write("home/Quillaro.ini", "TextScale=\"150\"\r\n");
  write("other.ini", "TextScale=\"75\"\r\n");
  write("book.pfp", "Over");
  launch(ws, path("book.pfp") + " ini=" + path("other.ini"), options);
  EXPECT_EQ(ws.shared.settingsPath, path("other.ini"));
  EXPECT_EQ(ws.params.tn(22), "75");

  // A candidate that does not exist leaves the install folder's file.
  Workspace ws2{&prompts};
  launch(ws2, path("book.pfp") + " ini=" + path("nothing.ini"), options);
  EXPECT_EQ(ws2.params.tn(22), "150");

  // No file in the install folder: the program folder's file is taken.
  fs::remove(root / "home" / "Quillaro.ini");
  write("prog/Quillaro.ini", "TextScale=\"120\"\r\n");
  Workspace ws3{&prompts};
  launch(ws3, "", options);
  EXPECT_EQ(ws3.shared.settingsPath, path("prog/Quillaro.ini"));
  EXPECT_EQ(ws3.params.tn(22), "120");
}

#ifdef QUILLARO_EXE
// The program itself, started the way a script starts it: no display at all.
struct Executable : LaunchFixture {
  int run(const std::string& args) {
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM QUILLARO_HOME='" +
                            (root / "home").string() + "' '" + QUILLARO_EXE + "' " + args + " 2>'" +
                            path("stderr.txt") + "'";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string errors() { return readWholeFile(path("stderr.txt")).value_or(""); }
};

TEST_F(Executable, HiddenRunNeedsNoDisplay) {
  write("book.pfp", "Over\r\n");
  EXPECT_EQ(run("'" + path("book.pfp") + "' hide=1 exit=1"), 0) << errors();
  EXPECT_TRUE(fs::is_directory(root / "home" / "pfp"));
}

TEST_F(Executable, MissingProgramFailsTheHiddenRun) {
  EXPECT_NE(run("'" + path("absent.pfp") + "' hide=1 exit=1"), 0);
  EXPECT_NE(errors().find("absent.pfp"), std::string::npos);
}

TEST_F(Executable, WindowWithoutDisplayIsRefusedCleanly) {
  EXPECT_EQ(run(""), 1);
  EXPECT_NE(errors().find("hide=1"), std::string::npos);
}

TEST_F(Executable, HelpAndVersion) {
  EXPECT_EQ(run("--version"), 0);
  EXPECT_EQ(run("--help"), 0);
}
#endif

}  // namespace
}  // namespace quillaro
