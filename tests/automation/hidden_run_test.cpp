// Action programs named on the command line and run without a window: in-process through
// the start-up sequence, and end to end through the program itself when it is built.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <filesystem>

#include "automation/composition.h"
#include "automation/runner.h"
#include "base/files.h"
#include "automation/launch.h"
#include "model/workspace.h"
#include "support/scripted_prompts.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;

struct HiddenRun : ::testing::Test {
  fs::path root;
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("quillaro-hidden-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root);
    fs::create_directories(root / "home");
  }
  void TearDown() override { fs::remove_all(root); }
  std::string path(const std::string& name) const { return (root / name).string(); }
  void write(const std::string& name, const std::string& text) { ASSERT_TRUE(writeTextFile(path(name), text)); }
};

TEST_F(HiddenRun, ProgramFileWithLfOrCrLineEndsRunsEveryLine) {
  ASSERT_TRUE(writeFileAtomic(path("book.pfp"), "' book\nNew, L, F=A5\rX, 1, 2, 3, 4, FS=20 <TEXT>a\nb</TEXT>\n"));
  testing::ScriptedPrompts prompts;
  Workspace ws(&prompts);
  connectWorkspace(ws);
  LaunchOptions options;
  options.installFolder = path("home");
  options.programFolder = path("home");
  const LaunchResult r = launch(ws, path("book.pfp") + " hide=1 exit=1", options);
  EXPECT_TRUE(r.programRan);
  EXPECT_EQ(ws.image.bitmap.width, 4960);  // the New line made a landscape A5 sheet
  EXPECT_EQ(ws.image.bitmap.height, 3508);
  ASSERT_EQ(prompts.shown.size(), 1u);  // and the X line after it was read
  EXPECT_EQ(prompts.shown[0].text, "Действие недоступно: Text");
}

#ifdef QUILLARO_EXE
struct Exit {
  int status = -1;
  std::string err;
};

Exit runQuillaro(const fs::path& root, const std::string& args) {
  const fs::path err = root / "stderr.txt";
  const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM QUILLARO_HOME='" +
                          (root / "home").string() + "' '" + QUILLARO_EXE + "' " + args + " 2>'" +
                          err.string() + "' </dev/null";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readWholeFile(err.string()).value_or("")};
}

TEST_F(HiddenRun, ProgramRunsWithoutADisplayAndEnds) {
  // (a last New line would be dropped: the program already starts with one)
  write("good.pfp", "New, L\r\n' a comment\r\nNew, F=A5\r\nReload, none\r\n");
  const Exit e = runQuillaro(root, "'" + path("good.pfp") + "' hide=1 exit=1");
  EXPECT_EQ(e.status, 0) << e.err;
  EXPECT_NE(e.err.find("%] New, L"), std::string::npos) << e.err;
  EXPECT_NE(e.err.find("%] New, F=A5"), std::string::npos) << e.err;
  EXPECT_TRUE(fs::exists(root / "home" / "pfp"));
}

TEST_F(HiddenRun, AHugePictureDeclaredByATinyFileIsRefusedAndThePageStays) {
  // 54 bytes declaring an 8-bit picture of 20000 x 20000 dots (400 MB the file cannot fill).
  std::string bmp(54, '\0');
  const unsigned char head[] = {'B', 'M', 54, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                0x20, 0x4e, 0, 0, 0x20, 0x4e, 0, 0, 1, 0, 8};
  std::copy(std::begin(head), std::end(head), bmp.begin());
  ASSERT_TRUE(writeFileAtomic(path("huge.bmp"), bmp));
  write("open.pfp", "New, L\r\nOpen, SRC=\"" + path("huge.bmp") + "\"\r\n");
  const Exit e = runQuillaro(root, "'" + path("open.pfp") + "' hide=1 exit=1");
  EXPECT_NE(e.err.find("huge.bmp - файл неполный: в нём нет точек рисунка."), std::string::npos) << e.err;
  EXPECT_EQ(e.status, 1) << e.err;
}

TEST_F(HiddenRun, QuestionsTakeTheirDefaultAndArePrinted) {
  std::string text = "New\r\n";
  while (text.size() < 5000) text += "' padding so that the program asks first\r\n";
  write("long.pfp", text);
  const Exit e = runQuillaro(root, "'" + path("long.pfp") + "' hide=1 exit=1");
  EXPECT_EQ(e.status, 0) << e.err;
  EXPECT_NE(e.err.find("Выполнить действия ? -> Yes"), std::string::npos) << e.err;
}
#endif

}  // namespace
}  // namespace quillaro
