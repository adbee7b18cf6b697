// A program named on the command line, run with the window shown under a virtual X display:
// the window waits five ticks of 500 ms, runs the program and, with exit=1, ends.
// Without xvfb-run the tests skip.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "base/files.h"

extern char** environ;

namespace quillaro {
namespace {

#if defined(QUILLARO_EXE) && defined(QUILLARO_SAMPLESCAN)
namespace fs = std::filesystem;

struct Finished {
  int status = -1;  // -1: ended by a signal or stopped at the limit
  bool timedOut = false;
  double seconds = 0;  // how long quillaro itself ran (without the X server's start)
  std::string err;
};

std::string quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

struct VisibleRun : ::testing::Test {
  fs::path root;

  void SetUp() override {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    root = fs::temp_directory_path() / ("quillaro-visible-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root);
    const std::string scan = (root / "scan.bmp").string();
    ASSERT_EQ(std::system((quoted(QUILLARO_SAMPLESCAN) + " " + quoted(scan) +
                           " --bits 1 --width 2400 --height 3400 --seed 7 >/dev/null").c_str()), 0);
    // Open, copy into an A4 page, "print" to the BMP file printer (into the saved folder).
    ASSERT_TRUE(writeTextFile((root / "book.pfp").string(), "Open, SRC=\"" + scan + "\"\r\nCopy\r\nPrint, 1\r\n"));
  }
  void TearDown() override {
    if (!root.empty()) fs::remove_all(root);
  }

  // An install folder of its own, with no questions (a shown question box would wait).
  fs::path home(const std::string& name) {
    const fs::path h = root / name;
    fs::create_directories(h / "saved");
    EXPECT_TRUE(writeTextFile((h / "Quillaro.ini").string(),
                              "SavePath=\"" + (h / "saved").string() + "\"\r\nChRemind=0\r\n"));
    return h;
  }

  // Runs quillaro, shown on a virtual display unless `hidden`; its process group is stopped
  // after 90 s.
  Finished run(const fs::path& homeDir, const std::string& args, bool hidden) {
    const fs::path err = root / "stderr.txt", took = root / "took.txt", xvfb = root / "xvfb.txt";
    fs::remove(took);
    fs::remove(xvfb);
    const std::string timed = "s=$(date +%s%N); " + quoted(QUILLARO_EXE) + " " + args + " 2>" +
                              quoted(err.string()) + " </dev/null; rc=$?; e=$(date +%s%N); " +
                              "echo $(( (e - s) / 1000000 )) >" + quoted(took.string()) + "; exit $rc";
    std::string cmd = "QUILLARO_HOME=" + quoted(homeDir.string()) + "; export QUILLARO_HOME; ";
    if (hidden)
      cmd += "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM sh -c " + quoted(timed);
    else  // display search starts at a number of this process's own: parallel tests differ
      cmd += "exec xvfb-run -n " + std::to_string(200 + ::getpid() % 300 * 3) + " -a -e " + quoted(xvfb.string()) +
             " -s '-screen 0 1600x1000x24' env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb sh -c " + quoted(timed);
    std::string sh = "/bin/sh", c = "-c";
    char* argv[] = {sh.data(), c.data(), cmd.data(), nullptr};
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    pid_t pid = -1;
    Finished f;
    const int spawned = posix_spawn(&pid, "/bin/sh", nullptr, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    if (spawned != 0) return f;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    int raw = 0;
    while (waitpid(pid, &raw, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > limit) {
        f.timedOut = true;
        ::kill(-pid, SIGTERM);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        ::kill(-pid, SIGKILL);
        waitpid(pid, &raw, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!f.timedOut && WIFEXITED(raw)) f.status = WEXITSTATUS(raw);
    f.seconds = std::atof(readWholeFile(took.string()).value_or("0").c_str()) / 1000.0;
    f.err = readWholeFile(err.string()).value_or("") + readWholeFile(xvfb.string()).value_or("");
    return f;
  }

  std::string program(const std::string& name) const { return quoted((root / name).string()); }
};

TEST_F(VisibleRun, ProgramRunsOnTheTimerAndWritesWhatAHiddenRunWrites) {
  const fs::path hiddenHome = home("hidden");
  const Finished h = run(hiddenHome, program("book.pfp") + " hide=1 exit=1 printer=BMP", true);
  ASSERT_EQ(h.status, 0) << h.err;
  const auto expected = readWholeFile((hiddenHome / "saved" / "Print-0001.bmp").string());
  ASSERT_TRUE(expected.has_value()) << h.err;

  const fs::path shownHome = home("shown");
  const Finished v = run(shownHome, program("book.pfp") + " exit=1 printer=BMP", false);
  ASSERT_FALSE(v.timedOut) << "the window did not end after its program\n" << v.err;
  EXPECT_EQ(v.status, 0) << v.err;
  const auto written = readWholeFile((shownHome / "saved" / "Print-0001.bmp").string());
  ASSERT_TRUE(written.has_value()) << v.err;
  EXPECT_TRUE(*written == *expected) << "the shown run wrote another picture";
  EXPECT_EQ(readWholeFile((shownHome / "saved" / "Print-0001.txt").string()),
            readWholeFile((hiddenHome / "saved" / "Print-0001.txt").string()));
  // Five ticks of 500 ms (a coarse timer may fire a few per cent early).
  EXPECT_GE(v.seconds, 2.3) << "the program ran before the start-up timer's fifth tick";
}

#endif

}  // namespace
}  // namespace quillaro
