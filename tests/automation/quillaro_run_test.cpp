// The hidden run outside the window: the program's arguments, runHidden in this process
// (when the window is needed, exit codes, the workspace handed to the window), and
// quillaro-run itself: no Qt linked, the same print files and messages as quillaro.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "automation/hidden_run.h"
#include "automation/usage.h"
#include "base/files.h"
#include "image/bitmap.h"
#include "image/bmp_file.h"
#include "ops/file_printers.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;

ProgramArguments readArgs(std::vector<const char*> args) {
  args.insert(args.begin(), "quillaro");
  return readProgramArguments(static_cast<int>(args.size()), args.data());
}

TEST(ProgramArguments, WindowAndPrinterKeysAreTakenOutOfTheCommandLine) {
  const ProgramArguments a = readArgs({"--open", "page.bmp", "book.pfp", "PRINTER=BMP", "hide=1", "printer=My Printer"});
  EXPECT_EQ(a.openAtStart, "page.bmp");
  EXPECT_EQ(a.printerKey, "My Printer");  // the last one counts
  EXPECT_EQ(a.commandLine, "book.pfp hide=1");
  EXPECT_FALSE(a.help || a.version);
  EXPECT_EQ(readArgs({"book.pfp", "--open"}).commandLine, "book.pfp --open");  // no file: kept
  const ProgramArguments v = readArgs({"x.pfp", "--version", "-h"});
  EXPECT_TRUE(v.version && !v.help);  // the first of the two counts
  const ProgramArguments desktop = readArgs({"/scans/Page 1.BMP"});  // as the desktop opens a picture
  EXPECT_EQ(desktop.openAtStart, "/scans/Page 1.BMP");
  EXPECT_EQ(desktop.commandLine, "");
}

TEST(ProgramArguments, UsageFollowsTheLocale) {
  EXPECT_TRUE(russianLocale(nullptr, "", "ru_RU.UTF-8"));
  EXPECT_FALSE(russianLocale("C", "ru_RU.UTF-8", "ru_RU.UTF-8"));  // LC_ALL first
  EXPECT_TRUE(russianLocale("", "ru_UA", "en_GB"));
  EXPECT_FALSE(russianLocale(nullptr, nullptr, nullptr));
  EXPECT_NE(usageText(ProgramKind::Window, true).find("Использование: quillaro ["), std::string::npos);
  EXPECT_NE(usageText(ProgramKind::HiddenOnly, false).find("Usage: quillaro-run"), std::string::npos);
}

struct RunHidden : ::testing::Test {
  testing::TempDir dir;
  HiddenRunOptions options;
  std::vector<std::string> printersWanted;
  void SetUp() override {
    options.launch.installFolder = options.launch.programFolder = dir.sub("home");
    options.makePrinters = [this](Workspace& ws, const std::string& wanted) {
      printersWanted.push_back(wanted);
      auto list = std::make_unique<PrinterList>();
      list->add(std::make_unique<BmpFilePrinter>([&ws] { return ws.shared.folders[kFolderSaved]; }));
      return list;
    };
    ASSERT_TRUE(writeTextFile(dir.at("a5.pfp"), "New, L, F=A5\r\n"));
  }
  HiddenRunResult run(const std::string& commandLine, const std::string& printer = "") {
    ProgramArguments args;
    args.commandLine = commandLine;
    args.printerKey = printer;
    return runHidden(args, options);
  }
};

TEST_F(RunHidden, AnythingButHideNeedsTheWindowFirstAndDoesNothing) {
  for (const std::string& line : {std::string(), dir.at("a5.pfp") + " exit=1", std::string("hide=1 exit=1"),
                                  dir.at("a5.pfp") + " hide=0 exit=1", dir.at("a5.pfp") + " hide=x"}) {
    const HiddenRunResult r = run(line);
    EXPECT_TRUE(r.windowNeeded && !r.session) << line;
  }
  EXPECT_FALSE(fs::exists(dir.path / "home" / "pfp"));  // start-up did not run
  EXPECT_TRUE(printersWanted.empty());
}

TEST_F(RunHidden, ExitCodesAndTheWorkspaceLeftForTheWindow) {
  EXPECT_EQ(run(dir.at("absent.pfp") + " hide=1 exit=1").exitCode, 1);
  ASSERT_TRUE(writeTextFile(dir.at("bad.pfp"), "Open, SRC=\"" + dir.at("none.bmp") + "\"\r\n"));
  EXPECT_EQ(run(dir.at("bad.pfp") + " hide=1 exit=1").exitCode, 1);
  const HiddenRunResult ended = run(dir.at("a5.pfp") + " hide=1 exit=1", "BMP");
  EXPECT_FALSE(ended.windowNeeded);
  EXPECT_EQ(ended.exitCode, 0);

  const HiddenRunResult shown = run(dir.at("a5.pfp") + " hide=1");  // no exit: the window follows
  ASSERT_TRUE(shown.windowNeeded && shown.session);
  EXPECT_TRUE(shown.session->started.programRan);
  EXPECT_EQ(shown.session->ws.image.bitmap.width, 4960);  // landscape A5 at 600 dpi
  EXPECT_EQ(shown.session->printers->current()->deviceName(), "BMP");
  options.windowFollows = false;  // quillaro-run: the run is the whole program
  const HiddenRunResult alone = run(dir.at("a5.pfp") + " hide=1");
  EXPECT_TRUE(!alone.windowNeeded && !alone.session && alone.exitCode == 0);
  EXPECT_EQ(printersWanted, (std::vector<std::string>{"", "", "BMP", "", ""}));
}

#ifdef QUILLARO_RUN_EXE
struct Ran {
  int status = -1;
  std::string out, err;
};

// Runs a command with no display, keeping its standard output and error.
Ran shell(const testing::TempDir& dir, const std::string& command) {
  const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + command + " >'" +
                          dir.at("out.txt") + "' 2>'" + dir.at("err.txt") + "' </dev/null";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readWholeFile(dir.at("out.txt")).value_or(""),
          readWholeFile(dir.at("err.txt")).value_or("")};
}

// A copybook of 4 pages made by the program line alone, with the scans and the saved
// pages in the folders of the settings file.
TEST(QuillaroRun, BatchLineMakesACopybook) {
  testing::TempDir dir;
  for (int n = 1; n <= 4; ++n) {
    Bitmap scan = Bitmap::create(1200, 1600, 1);
    for (int y = 100 * n; y < 100 * n + 30; ++y)
      for (int x = 200; x < 900; ++x) scan.setWhite(x, y, false);
    ASSERT_TRUE(writeBitmap(dir.sub("scans") + "/p" + std::to_string(n) + ".bmp", scan, kPixelsPerMetre600));
  }
  ASSERT_TRUE(writeTextFile(dir.sub("home") + "/Quillaro.ini", "OpenPath=\"" + dir.at("scans") + "\"\r\nSavePath=\"" +
                                                           dir.sub("saved") + "\"\r\n"));
  ASSERT_TRUE(writeTextFile(dir.at("book.pfp"), "Batch, From=1, To=4, Prefix=\"p\"\r\n"));
  const Ran r = shell(dir, "QUILLARO_HOME='" + dir.sub("home") + "' '" + QUILLARO_RUN_EXE + "' '" +
                               dir.at("book.pfp") + "' hide=1 exit=1");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Спуск полос: форма 2 из 2"), std::string::npos) << r.err;
  for (const char* name : {"4+1.bmp", "2+3.bmp"}) EXPECT_TRUE(fs::exists(dir.path / "saved" / name)) << name << r.err;
}

TEST(QuillaroRun, LinksNoQt) {
  testing::TempDir dir;
  const Ran r = shell(dir, std::string("ldd '") + QUILLARO_RUN_EXE + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("libc.so"), std::string::npos) << r.out;  // ldd did list the libraries
  EXPECT_EQ(r.out.find("libQt"), std::string::npos) << r.out;
}

#ifdef QUILLARO_EXE
TEST(QuillaroRun, WritesWhatQuillaroWritesWithTheSameMessages) {
  testing::TempDir dir;
  Bitmap scan = Bitmap::create(2400, 3400, 1);
  for (int y = 1000; y < 1040; ++y)
    for (int x = 300; x < 2000; ++x) scan.setWhite(x, y, false);
  ASSERT_TRUE(writeBitmap(dir.at("scan.bmp"), scan, kPixelsPerMetre600));
  ASSERT_TRUE(writeTextFile(dir.at("print.pfp"), "Open, SRC=\"" + dir.at("scan.bmp") + "\"\r\nCopy\r\nPrint, 1\r\n"));
  ASSERT_TRUE(writeTextFile(dir.at("new.pfp"), "New\r\n"));
  // Each program in an install folder of its own, whose pictures are saved in home/saved.
  auto run = [&](const std::string& exe, const std::string& home, const std::string& args) {
    EXPECT_TRUE(writeTextFile(dir.at(home + "/Quillaro.ini"), "SavePath=\"" + dir.sub(home + "/saved") + "\"\r\n"));
    return shell(dir, "QUILLARO_HOME='" + dir.at(home) + "' '" + exe + "' " + args);
  };
  const std::string print = "'" + dir.at("print.pfp") + "' hide=1 exit=1 printer=BMP";
  const Ran alone = run(QUILLARO_RUN_EXE, "alone", print);
  const Ran window = run(QUILLARO_EXE, "window", print);
  ASSERT_EQ(alone.status, 0) << alone.err;
  ASSERT_EQ(window.status, 0) << window.err;
  EXPECT_EQ(alone.err, window.err);
  for (const char* name : {"Print-0001.bmp", "Print-0001.txt"}) {
    const auto a = readWholeFile(dir.at(std::string("alone/saved/") + name));
    const auto w = readWholeFile(dir.at(std::string("window/saved/") + name));
    ASSERT_TRUE(a && w) << name;
    EXPECT_TRUE(*a == *w) << name << " differs";
  }
  // A printer nobody has: the same message and failure (and nothing printed on the
  // system's default printer: the program does not print).
  const Ran aloneUnknown = run(QUILLARO_RUN_EXE, "alone", "'" + dir.at("new.pfp") + "' hide=1 exit=1 printer=Nobody");
  const Ran windowUnknown = run(QUILLARO_EXE, "window", "'" + dir.at("new.pfp") + "' hide=1 exit=1 printer=Nobody");
  EXPECT_EQ(aloneUnknown.status, 1);
  EXPECT_EQ(windowUnknown.status, 1);
  EXPECT_NE(aloneUnknown.err.find("Нет принтера Nobody"), std::string::npos) << aloneUnknown.err;
  EXPECT_EQ(aloneUnknown.err, windowUnknown.err);
  // Without hide=1 quillaro-run has nothing to do: it says so and fails.
  const Ran refused = run(QUILLARO_RUN_EXE, "refused", "'" + dir.at("print.pfp") + "' exit=1 printer=BMP");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("hide=1"), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(dir.path / "refused" / "saved" / "Print-0001.bmp"));
}
#endif

// Text drawn by X lines in a hidden run reaches the printed page; a size the fonts cannot
// have is told and ends the run with status 1.
TEST(QuillaroRun, DrawsTextAndRefusesABadSize) {
  testing::TempDir dir;
  ASSERT_TRUE(writeBitmap(dir.at("white.bmp"), Bitmap::create(2400, 3400, 1), kPixelsPerMetre600));
  ASSERT_TRUE(writeTextFile(dir.at("Quillaro.ini"), "SavePath=\"" + dir.sub("saved") + "\"\r\n"));
  const std::string open = "Open, SRC=\"" + dir.at("white.bmp") + "\"\r\n";
  ASSERT_TRUE(writeTextFile(dir.at("text.pfp"), open + "X, 10, 10, 80, 20, FS=24 FA=B <TEXT>Привет</TEXT>\r\n"
                                                "Copy, 0, 0, 202, 289, 4, 4, 100, 0\r\nPrint, 1\r\n"));
  ASSERT_TRUE(writeTextFile(dir.at("bad.pfp"), open + "X, 10, 10, 80, 20, FS=5000 <TEXT>Привет</TEXT>\r\n"));
  const std::string head = "QUILLARO_HOME='" + dir.path.string() + "' '" + QUILLARO_RUN_EXE + "' '";
  const Ran good = shell(dir, head + dir.at("text.pfp") + "' hide=1 exit=1 printer=BMP");
  ASSERT_EQ(good.status, 0) << good.err;
  const ReadResult printed = readBitmap(dir.at("saved/Print-0001.bmp"), {}, nullptr);
  ASSERT_TRUE(printed.ok()) << good.err;
  const Bitmap& page = printed.image.bitmap;
  long long ink = 0;
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) ink += !page.isWhite(x, y);
  EXPECT_GT(ink, 2000);
  const Ran bad = shell(dir, head + dir.at("bad.pfp") + "' hide=1 exit=1");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("Размер шрифта 5000"), std::string::npos) << bad.err;
}
#endif

}  // namespace
}  // namespace quillaro
