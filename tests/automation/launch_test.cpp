#include <gtest/gtest.h>

#include <filesystem>

#include "base/files.h"
#include "automation/launch.h"
#include "model/workspace.h"
#include "support/run_quillaro.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;

struct LaunchFixture : ::testing::Test {
  testing::TempDir dir;
  fs::path root = dir.path;
  testing::ScriptedPrompts prompts;
  Workspace ws{&prompts};
  LaunchOptions options;

  void SetUp() override {
    fs::create_directories(root / "home");
    fs::create_directories(root / "prog");
    options.installFolder = (root / "home").string();
    options.programFolder = (root / "prog").string();
  }
  std::string path(const std::string& name) const { return (root / name).string(); }
  void write(const std::string& name, const std::string& text) { ASSERT_TRUE(writeTextFile(path(name), text)); }
};

TEST_F(LaunchFixture, VisibleProgramIsPendingAndNotRunYet) {
  write("book.pfp", "Over");
  auto r = launch(ws, path("book.pfp") + " exit=1", options);
  EXPECT_FALSE(r.programRan);
  EXPECT_TRUE(r.programPending && r.commandLine.exit);
  EXPECT_FALSE(r.endNow);  // the timer ends the program after running it
}

TEST_F(LaunchFixture, MissingOrEmptyProgramRunsNothingButExitStillEnds) {
  auto r = launch(ws, path("absent.pfp") + " hide=1 exit=1", options);
  EXPECT_TRUE(!r.programRead && r.endNow);
  write("empty.pfp", "");
  Workspace ws2{&prompts};
  auto r2 = launch(ws2, path("empty.pfp") + " hide=1", options);
  EXPECT_TRUE(r2.programRead && !r2.programPending && !r2.endNow);
  EXPECT_FALSE(r.programRan);
}

TEST_F(LaunchFixture, FoldersAndInitialValues) {
  launch(ws, "", options);
  const std::string home = (root / "home").string();
  EXPECT_EQ(ws.shared.settingsPath, home + "/Quillaro.ini");
  EXPECT_EQ(ws.shared.folders[kFolderPrograms], home + "/pfp");
  EXPECT_TRUE(fs::is_directory(home + "/pfp"));
  // The copy frame shows what a copy would use: 4 mm in, 202 x 289 mm.
  EXPECT_EQ(ws.params.tn(16) + " " + ws.params.tn(17) + " " + ws.params.tn(18) + " " + ws.params.tn(19),
            "4 4 202 289");
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(LaunchFixture, SettingsFromTheIniKeyAreApplied) {
  write("other.ini", "TextScale=\"75\"\r\n");
  write("book.pfp", "Over");
  launch(ws, path("book.pfp") + " ini=" + path("other.ini"), options);
  EXPECT_EQ(ws.shared.settingsPath, path("other.ini"));
  EXPECT_EQ(ws.params.tn(22), "75");
}

#ifdef QUILLARO_EXE
// The program itself, started the way a script starts it: no display at all.
struct Executable : LaunchFixture {
  testing::ProgramExit run(const std::string& args) { return testing::runQuillaroHidden(path("home"), args, path("stderr.txt")); }
};

TEST_F(Executable, WindowWithoutDisplayIsRefusedCleanly) {
  const testing::ProgramExit e = run("");
  EXPECT_EQ(e.status, 1);
  EXPECT_NE(e.err.find("hide=1"), std::string::npos) << e.err;
}

#endif

}  // namespace
}  // namespace quillaro
