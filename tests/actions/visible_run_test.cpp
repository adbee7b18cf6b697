// An action program named on the command line, run with the window shown: the window waits
// five ticks of its start-up timer (500 ms each), runs the program and, with exit=1, ends.
// The program itself is started under a virtual X display; without xvfb-run the tests skip.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/files.h"

extern char** environ;

namespace quillaro {
namespace {

#if defined(QUILLARO_EXE) && defined(QUILLARO_SAMPLESCAN)
namespace fs = std::filesystem;

struct Finished {
  int status = -1;        // exit status; -1 when it ended by a signal or was stopped
  bool timedOut = false;  // still running at the limit, then stopped
  bool stillRunning = false;  // still running a second after `until` held, then stopped
  double seconds = 0;     // how long quillaro itself ran (without the X server's start)
  std::string err;
};

std::string shellQuoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

struct VisibleRun : ::testing::Test {
  fs::path root;
  std::string scan;

  void SetUp() override {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    root = fs::temp_directory_path() /
           ("quillaro-visible-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root);
    scan = (root / "scan.bmp").string();
    const std::string make = shellQuoted(QUILLARO_SAMPLESCAN) + " " + shellQuoted(scan) +
                             " --bits 1 --width 2400 --height 3400 --seed 7 >/dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0);
    // Opens the scan, copies it into an A4 page and "prints" it to the BMP file printer,
    // which writes the page into the folder of saved pictures.
    writeProgram("book.pfp", "Open, SRC=\"" + scan + "\"\r\nCopy\r\nPrint, 1\r\n");
  }
  void TearDown() override {
    if (!root.empty()) fs::remove_all(root);
  }

  void writeProgram(const std::string& name, const std::string& text) {
    ASSERT_TRUE(writeTextFile((root / name).string(), text));
  }

  // An install folder of its own: saved pictures go to home/saved, and no question is
  // asked (a question box of a shown window would wait for a person).
  fs::path home(const std::string& name) {
    const fs::path h = root / name;
    fs::create_directories(h / "saved");
    EXPECT_TRUE(writeTextFile((h / "Quillaro.ini").string(),
                              "SavePath=\"" + (h / "saved").string() + "\"\r\nChRemind=0\r\n"));
    return h;
  }

  // Runs quillaro with `args`; shown on a virtual display unless `hidden`. A run still
  // going after `limitSeconds` is stopped (its whole process group); so is one that is
  // still going a second after `until` (when given) came true.
  Finished run(const fs::path& homeDir, const std::string& args, bool hidden,
               const std::function<bool()>& until = nullptr, int limitSeconds = 90) {
    const fs::path err = root / "stderr.txt";
    const fs::path took = root / "took.txt";
    fs::remove(took);
    fs::remove(root / "xvfb.txt");
    // The shell notes how long quillaro ran, so that the X server's start is not counted.
    const std::string timed = "s=$(date +%s%N); " + shellQuoted(QUILLARO_EXE) + " " + args +
                              " 2>" + shellQuoted(err.string()) + " </dev/null; rc=$?; e=$(date +%s%N); " +
                              "echo $(( (e - s) / 1000000 )) >" + shellQuoted(took.string()) + "; exit $rc";
    std::string cmd = "QUILLARO_HOME=" + shellQuoted(homeDir.string()) + "; export QUILLARO_HOME; ";
    if (hidden)
      cmd += "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM sh -c " + shellQuoted(timed);
    else
      // The search for a free display starts at a number of this process's own, so that
      // runs started at the same moment by parallel tests do not pick the same one.
      cmd += "exec xvfb-run -n " + std::to_string(200 + ::getpid() % 300 * 3) + " -a -e " +
             shellQuoted((root / "xvfb.txt").string()) +
             " -s '-screen 0 1600x1000x24' env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb sh -c " + shellQuoted(timed);
    std::vector<std::string> argv = {"/bin/sh", "-c", cmd};
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    pid_t pid = -1;
    Finished f;
    const int spawned = posix_spawn(&pid, "/bin/sh", nullptr, &attr, cargv.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (spawned != 0) {
      f.err = "cannot start /bin/sh";
      return f;
    }
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    auto stop = [&](int& raw) {
      ::kill(-pid, SIGTERM);
      std::this_thread::sleep_for(std::chrono::seconds(2));
      ::kill(-pid, SIGKILL);
      waitpid(pid, &raw, 0);
    };
    int raw = 0;
    auto ended = [&] { return waitpid(pid, &raw, WNOHANG) != 0; };
    while (!ended()) {
      if (std::chrono::steady_clock::now() > limit) {
        f.timedOut = true;
        stop(raw);
        break;
      }
      if (until && until()) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        if (!ended()) {
          f.stillRunning = true;
          stop(raw);
        }
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!f.timedOut && !f.stillRunning && WIFEXITED(raw)) f.status = WEXITSTATUS(raw);
    const std::string ms = readAll(took);
    if (!ms.empty()) f.seconds = std::atof(ms.c_str()) / 1000.0;
    f.err = readAll(err) + readAll(root / "xvfb.txt");
    return f;
  }

  std::string program(const std::string& name) const { return shellQuoted((root / name).string()); }
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
  // Five ticks of 500 ms pass before the program starts (a coarse timer may fire a few
  // per cent early, hence the margin); this bounds the wait from below only.
  EXPECT_GE(v.seconds, 2.3) << "the program ran before the start-up timer's fifth tick";
}

TEST_F(VisibleRun, WithoutExitTheWindowStaysAfterItsProgram) {
  const fs::path h = home("stay");
  const fs::path written = h / "saved" / "Print-0001.bmp";
  // Once the page is written the window must still be there.
  const Finished v = run(h, program("book.pfp") + " printer=BMP", false, [&] { return fs::exists(written); });
  ASSERT_FALSE(v.timedOut) << "the program did not run\n" << v.err;
  EXPECT_TRUE(v.stillRunning) << "the window ended without exit=1 (status " << v.status << ")\n" << v.err;
}

TEST_F(VisibleRun, AMissingOrEmptyProgramWithExitEndsWithoutWaiting) {
  // Nothing is pending, so the exit key ends the program before the window is shown.
  const fs::path h = home("missing");
  const Finished missing = run(h, program("absent.pfp") + " exit=1", false);
  ASSERT_FALSE(missing.timedOut) << missing.err;
  EXPECT_NE(missing.status, 0) << "a program that is not there is not a success";
  EXPECT_NE(missing.err.find("absent.pfp - нет файла"), std::string::npos) << missing.err;

  writeProgram("empty.pfp", "");
  const Finished empty = run(h, program("empty.pfp") + " exit=1", false);
  ASSERT_FALSE(empty.timedOut) << empty.err;
  EXPECT_EQ(empty.status, 0) << empty.err;
  EXPECT_TRUE(fs::is_empty(h / "saved"));
}
#endif

}  // namespace
}  // namespace quillaro
