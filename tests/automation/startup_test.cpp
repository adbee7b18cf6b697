#include "automation/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "base/fields.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace quillaro {
namespace {

using testing::TempDir;

TEST(InstallFolderChoice, EachCase) {
  auto yes = [](const std::string&) { return true; };
  auto no = [](const std::string&) { return false; };
  EXPECT_EQ(chooseInstallFolder("/data/q//", "/opt/q", yes, "/home/u"), "/data/q");
  EXPECT_EQ(chooseInstallFolder("", "/opt/q", yes, "/home/u"), "/opt/q");
  EXPECT_EQ(chooseInstallFolder("", "/usr/bin", no, "/home/u/"), "/home/u/.local/share/Quillaro");
  EXPECT_EQ(chooseInstallFolder("", "/usr/bin", no, ""), "/usr/bin");
  EXPECT_EQ(settingsFilePath("/"), "/Quillaro.ini");
}

TEST(InstallFolderChoice, WrapperCreatesTheEnvironmentFolder) {
  TempDir tmp;
  std::string wanted = tmp.str() + "/home/Quillaro";
  const char* old = std::getenv("QUILLARO_HOME");
  std::string saved = old ? old : "";
  ::setenv("QUILLARO_HOME", wanted.c_str(), 1);
  std::string got = installFolder();
  if (old) ::setenv("QUILLARO_HOME", saved.c_str(), 1); else ::unsetenv("QUILLARO_HOME");
  EXPECT_EQ(got, wanted);
  EXPECT_TRUE(fs::is_directory(wanted));
}

class CommandLineParse : public ::testing::Test {
protected:
  testing::ScriptedPrompts prompts;
  FieldReader reader{&prompts};
  CommandLine parse(std::string_view text) { return parseCommandLine(text, reader); }
};

TEST_F(CommandLineParse, ProgramPathAndFlags) {
  const char* argv[] = {"quillaro", "\"D:\\work\\book.pfp\"", "hide=1", "exit=1"};
  CommandLine cl = parse(joinArguments(4, argv));
  EXPECT_EQ(cl.programPath, "D:\\work\\book.pfp");
  EXPECT_TRUE(cl.hide && cl.exit);
  EXPECT_EQ(parse("  book.PfP").programPath, "book.PfP");
  EXPECT_EQ(parse("/дом/Тетрадь.pfp exit=1").programPath, "/дом/Тетрадь.pfp");
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(CommandLineParse, KeysNeedAProgramAndQuotesAreGoneBeforeKeysAreRead) {
  CommandLine cl = parse("hide=1 exit=1 ini=/a.ini");
  EXPECT_EQ(cl.programPath + cl.iniCandidate, "");
  EXPECT_FALSE(cl.hide || cl.exit);
  cl = parse("hide=1 book.pfp");
  EXPECT_TRUE(cl.hide);
  EXPECT_EQ(cl.programPath, "hide=1 book.pfp");  // everything up to ".pfp"
  cl = parse("x.pfp ini=\"D:\\my settings.ini\" hide=1");
  EXPECT_EQ(cl.iniCandidate, "D:\\my");  // quotes are gone before keys are read
  EXPECT_TRUE(cl.hide);
}

TEST_F(CommandLineParse, FlagValues) {
  EXPECT_FALSE(parse("x.pfp hide=abc").hide);
  EXPECT_TRUE(parse("x.pfp hide=0.6").hide);
  EXPECT_FALSE(parse("x.pfp hide=0.5").hide);  // ties to even
  EXPECT_FALSE(parse("x.pfp hide=1e300").hide);  // magnitudes of 1e8 and more read as 0
  EXPECT_TRUE(prompts.shown.empty());
  CommandLine cl = parse("x.pfp hide=1e999 exit=1");
  EXPECT_FALSE(cl.hide);
  EXPECT_TRUE(cl.exit);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Неправильное число : \r\n1e999");
}

TEST(SettingsChoice, CandidateThenSettingsThenProgramFolder) {
  TempDir install, program, other;
  std::string settings = settingsFilePath(install.str());
  std::string candidate = other.str() + "/a.ini";
  EXPECT_EQ(chooseSettingsFile(settings, candidate, program.str()), settings);  // none exists
  std::string fallback = program.file("Quillaro.ini", "x");
  EXPECT_EQ(chooseSettingsFile(settings, candidate, program.str()), fallback);
  install.file("Quillaro.ini", "x");
  EXPECT_EQ(chooseSettingsFile(settings, "", program.str()), settings);
  EXPECT_EQ(chooseSettingsFile(settings, other.str(), program.str()), settings);  // a folder
  other.file("a.ini", "x");
  EXPECT_EQ(chooseSettingsFile(settings, candidate, program.str()), candidate);
}

TEST(WorkingFoldersSetup, SubfoldersCreatedAndKept) {
  TempDir install;
  install.file("pfp", "x");  // "pfp" taken by a plain file: creation fails silently
  fs::create_directory(install.path / "txt");
  install.file("txt/a.txt", "x");
  WorkingFolders f = makeWorkingFolders(install.str());
  EXPECT_EQ(f, (WorkingFolders{install.str() + "/pfp", install.str(), install.str() + "/ini",
                               install.str() + "/txt", install.str(), install.str()}));
  EXPECT_TRUE(fs::is_directory(f[2]));
  EXPECT_TRUE(fs::exists(install.path / "txt/a.txt"));
}

TEST(WorkingFoldersSetup, FolderEndingWithSeparatorGetsNoSubfolders) {
  TempDir install;
  std::string root = install.str() + "/";
  WorkingFolders f = makeWorkingFolders(root);
  for (const auto& folder : f) EXPECT_EQ(folder, root);
  EXPECT_TRUE(fs::is_empty(install.path));
}

TEST(ActionProgramFile, ReadAsWindows1251ButNotAFolder) {
  TempDir tmp;
  ActionProgramText p = readActionProgram(tmp.file("a.pfp", "Open, SRC=\"\xEA\xED\xE8\xE3\xE0.bmp\""));
  EXPECT_TRUE(p.read);
  EXPECT_EQ(p.text, "Open, SRC=\"книга.bmp\"");
  EXPECT_FALSE(readActionProgram(tmp.str()).read);  // a folder is not a program
}

TEST(ActionProgramFile, AnyLineEndIsReadAsCrLf) {
  TempDir tmp;
  EXPECT_EQ(readActionProgram(tmp.file("lf.pfp", "Over\nLeft\rRight\r\n\n")).text,
            "Over\r\nLeft\r\nRight\r\n\r\n");
  EXPECT_EQ(readActionProgram(tmp.file("crlf.pfp", "Over\r\n\r\nLeft")).text, "Over\r\n\r\nLeft");
}

}  // namespace
}  // namespace quillaro
