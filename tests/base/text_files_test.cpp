#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/files.h"
#include "base/text_codec.h"
#include "support/temp_dir.h"

namespace quillaro {
namespace {

namespace fs = std::filesystem;

using testing::TempDir;

TEST(Cp1251, EveryByteRoundTrips) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all)), all);
}

TEST(Cp1251, KnownCharacters) {
  EXPECT_EQ(cp1251ToUtf8("\xC0\xFF\xA8\xB8\xB9"), "АяЁё№");
  EXPECT_EQ(utf8ToCp1251("Привет"), "\xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_EQ(utf8ToCp1251("日本"), "??");
  EXPECT_EQ(utf8ToCp1251("a\xFFz"), "a\xFFz");  // malformed bytes pass through
}

TEST(Cp1251, CharacterCountAndLineEnds) {
  EXPECT_EQ(utf8Length("Жук\r\n"), 5u);
  EXPECT_EQ(toCrLf("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
}

TEST(AtomicWrite, ReplacesAndLeavesNoTemporaryFiles) {
  TempDir d;
  const auto f = d.at("a.txt");
  ASSERT_TRUE(writeFileAtomic(f, "one"));
  ASSERT_TRUE(writeFileAtomic(f, "two"));
  EXPECT_EQ(*readWholeFile(f), "two");
  EXPECT_EQ(std::distance(fs::directory_iterator(d.path), fs::directory_iterator()), 1);
}

TEST(AtomicWrite, FailureKeepsOldFile) {
  TempDir d;
  const auto f = d.at("keep.txt");
  ASSERT_TRUE(writeFileAtomic(f, "old"));
  std::string err;
  EXPECT_FALSE(writeFileAtomic(d.at("missing/x.txt"), "new", &err));
  EXPECT_FALSE(err.empty());
  // A target that is a folder cannot be replaced: the rename fails and nothing is lost.
  fs::create_directories(d.path / "dir");
  fs::path inner = d.path / "dir" / "inside";
  std::ofstream(inner) << "inner";
  EXPECT_FALSE(writeFileAtomic(d.at("dir"), "new", &err));
  EXPECT_EQ(*readWholeFile(inner.string()), "inner");
  EXPECT_EQ(*readWholeFile(f), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(d.path), fs::directory_iterator()), 2);
}

TEST(AtomicWrite, ThroughLinksTheFileTheyPointToIsReplaced) {
  TempDir d;
  d.sub("real");
  const auto real = d.file("real/a.txt", "old");
  fs::create_symlink("real/a.txt", d.path / "link.txt");
  fs::create_symlink("link.txt", d.path / "chain.txt");
  fs::create_symlink("real/b.txt", d.path / "dangling.txt");
  ASSERT_TRUE(writeFileAtomic(d.at("link.txt"), "new"));
  EXPECT_TRUE(fs::is_symlink(d.path / "link.txt"));
  EXPECT_EQ(*readWholeFile(real), "new");
  ASSERT_TRUE(writeFileAtomic(d.at("chain.txt"), "third"));
  EXPECT_TRUE(fs::is_symlink(d.path / "chain.txt"));
  EXPECT_TRUE(fs::is_symlink(d.path / "link.txt"));
  EXPECT_EQ(*readWholeFile(real), "third");
  // A link to a file not made yet makes that file.
  ASSERT_TRUE(writeFileAtomic(d.at("dangling.txt"), "made"));
  EXPECT_TRUE(fs::is_symlink(d.path / "dangling.txt"));
  EXPECT_EQ(*readWholeFile(d.at("real/b.txt")), "made");
  EXPECT_EQ(std::distance(fs::directory_iterator(d.path / "real"), fs::directory_iterator()), 2);
  EXPECT_EQ(std::distance(fs::directory_iterator(d.path), fs::directory_iterator()), 4);
}

TEST(AtomicWrite, ReplacedFileKeepsItsPermissions) {
  TempDir d;
  const auto f = d.file("secret.txt", "old");
  fs::permissions(f, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(writeFileAtomic(f, "new"));
  EXPECT_EQ(fs::status(f).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  const auto g = d.file("shared.txt", "old");
  fs::permissions(g, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
  ASSERT_TRUE(writeFileAtomic(g, "new"));
  EXPECT_EQ(fs::status(g).permissions() & fs::perms::all,
            fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(*readWholeFile(g), "new");
}

TEST(AtomicWrite, FailureThroughALinkOrWithANameTooLongKeepsOldFile) {
  TempDir d;
  // Root may write anywhere: the temporary file is kept from being made by its name, which
  // is longer than the file's own.
  const auto f = d.file(std::string(250, 'n'), "old");
  std::string err;
  EXPECT_FALSE(writeFileAtomic(f, "new", &err));
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(*readWholeFile(f), "old");
  fs::create_symlink("missing/x.txt", d.path / "link.txt");
  EXPECT_FALSE(writeFileAtomic(d.at("link.txt"), "new", &err));
  EXPECT_TRUE(fs::is_symlink(d.path / "link.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(d.path), fs::directory_iterator()), 2);
}

TEST(TextFiles, WrittenAsCp1251WithCrLfAndReadBack) {
  TempDir d;
  const auto f = d.at("t.txt");
  ASSERT_TRUE(writeTextFile(f, "Строка 1\nLine 2\n"));
  EXPECT_EQ(*readWholeFile(f), "\xD1\xF2\xF0\xEE\xEA\xE0 1\r\nLine 2\r\n");
  EXPECT_EQ(*readTextFile(f), "Строка 1\r\nLine 2\r\n");
  EXPECT_FALSE(readTextFile(d.at("absent.txt")).has_value());
}

TEST(Paths, JoinAndSplit) {
  EXPECT_EQ(joinPath("/", "c.ini"), "/c.ini");
  EXPECT_EQ(fileNamePart("/a/b/c.bmp"), "c.bmp");
  EXPECT_EQ(parentFolder("/a/b/c.bmp"), "/a/b");
  EXPECT_EQ(parentFolder("/c.bmp"), "/");
  EXPECT_EQ(parentFolder("c.bmp"), "");
}

}  // namespace
}  // namespace quillaro
