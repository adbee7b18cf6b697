// Action programs named on the command line and run without a window: in-process through
// the start-up sequence, and end to end through the program itself when it is built.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <filesystem>

#include "automation/composition.h"
#include "automation/runner.h"
#include "base/files.h"
#include "automation/launch.h"
#include "model/workspace.h"
#include "support/run_quillaro.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;

struct HiddenRun : ::testing::Test {
  testing::TempDir dir;
  std::string home = dir.sub("home");
  std::string path(const std::string& name) const { return dir.at(name); }
  void write(const std::string& name, const std::string& text) { ASSERT_TRUE(writeTextFile(path(name), text)); }
  testing::ProgramExit run(const std::string& args) { return testing::runQuillaroHidden(home, args, path("stderr.txt")); }
};

TEST_F(HiddenRun, ProgramFileWithLfOrCrLineEndsRunsEveryLine) {
  ASSERT_TRUE(writeFileAtomic(path("book.pfp"), "' book\nNew, L, F=A5\rX, 1, 2, 3, 4, FS=20 <TEXT>a\nb</TEXT>\n"));
  testing::ScriptedPrompts prompts;
  Workspace ws(&prompts);
  connectWorkspace(ws);
  LaunchOptions options;
  options.installFolder = home;
  options.programFolder = home;
  const LaunchResult r = launch(ws, path("book.pfp") + " hide=1 exit=1", options);
  EXPECT_TRUE(r.programRan);
  EXPECT_EQ(ws.image.bitmap.width, 4960);  // the New line made a landscape A5 sheet
  EXPECT_EQ(ws.image.bitmap.height, 3508);
  ASSERT_EQ(prompts.shown.size(), 1u);  // and the X line after it was read (20 points need more than 4 mm)
  EXPECT_EQ(prompts.shown[0].text, "Текст не нарисован: недостаточно места.");
}

#ifdef QUILLARO_EXE
// A program long enough to be asked about first: the question takes its default (go on)
// and is printed, as is each line run.
TEST_F(HiddenRun, ProgramRunsWithoutADisplayAndEnds) {
  std::string text = "New, L\r\n' a comment\r\nNew, F=A5\r\n";
  while (text.size() < 5000) text += "' padding so that the program asks first\r\n";
  write("long.pfp", text);
  const testing::ProgramExit e = run("'" + path("long.pfp") + "' hide=1 exit=1");
  EXPECT_EQ(e.status, 0) << e.err;
  EXPECT_NE(e.err.find("Выполнить действия ? -> Yes"), std::string::npos) << e.err;
  EXPECT_NE(e.err.find("%] New, L"), std::string::npos) << e.err;
  EXPECT_NE(e.err.find("%] New, F=A5"), std::string::npos) << e.err;
  EXPECT_TRUE(fs::exists(home + "/pfp"));
}

TEST_F(HiddenRun, TablesAreDrawnAndABadTableLineEndsWithStatusOne) {
  write("table.pfp", "New\r\nT, 10, 10, 190, 100, 5, 10, 2, 2\r\nH, 10, 120, 190, 50, 6, 1, 2, 1, 95\r\nU, 10, 10, 76, 20\r\n");
  testing::ProgramExit e = run("'" + path("table.pfp") + "' hide=1 exit=1");
  EXPECT_EQ(e.status, 0) << e.err;
  EXPECT_EQ(e.err.find("недоступно"), std::string::npos) << e.err;
  write("bad.pfp", "New\r\nT, 10, 10, 190, 100, 0, 10, 2, 2\r\n");
  e = run("'" + path("bad.pfp") + "' hide=1 exit=1");
  EXPECT_EQ(e.status, 1) << e.err;
  EXPECT_NE(e.err.find("Таблица не нарисована: \"Колонок\" = 0"), std::string::npos) << e.err;
}

TEST_F(HiddenRun, AHugePictureDeclaredByATinyFileIsRefusedAndThePageStays) {
  // 54 bytes declaring an 8-bit picture of 20000 x 20000 dots (400 MB the file cannot fill).
  std::string bmp(54, '\0');
  const unsigned char head[] = {'B', 'M', 54, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                0x20, 0x4e, 0, 0, 0x20, 0x4e, 0, 0, 1, 0, 8};
  std::copy(std::begin(head), std::end(head), bmp.begin());
  ASSERT_TRUE(writeFileAtomic(path("huge.bmp"), bmp));
  write("open.pfp", "New, L\r\nOpen, SRC=\"" + path("huge.bmp") + "\"\r\n");
  const testing::ProgramExit e = run("'" + path("open.pfp") + "' hide=1 exit=1");
  EXPECT_NE(e.err.find("huge.bmp - файл неполный: в нём нет точек рисунка."), std::string::npos) << e.err;
  EXPECT_EQ(e.status, 1) << e.err;
}
#endif

}  // namespace
}  // namespace quillaro
