// The Linux layer's file calls keep Windows' semantics.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform.h"
#include "test_fs.h"

TEST(PosixFiles, RemoveDeletesFilesOnly) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "f.txt", "x"));
  ASSERT_TRUE(writeFile(dir / "ro.txt", "x"));
  ASSERT_TRUE(setReadOnly(dir / "ro.txt", true));
  ASSERT_TRUE(makeDirectory(dir / "d"));

  EXPECT_EQ(removeFile((dir / "F.TXT").c_str()), 0);  // letter case does not matter
  EXPECT_FALSE(pathExists(dir / "f.txt"));
  EXPECT_EQ(removeFile((dir / "f.txt").c_str()), -1);
  EXPECT_EQ(removeFile((dir / "ro.txt").c_str()), -1);
  EXPECT_TRUE(pathExists(dir / "ro.txt"));
  EXPECT_EQ(removeFile((dir / "d").c_str()), -1);
  EXPECT_TRUE(isDirectory(dir / "d"));
  EXPECT_EQ(removeFile("C:\\Windows\\win.ini"), -1);
}

// The letter case on disk is found for any component that differs, at any
// depth; a name that is not there under any case is simply missing.
TEST(PosixFiles, LetterCaseIsFoundAtAnyDepth) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "Outer\\Inner\\Deep\\f.txt", "x"));
  ASSERT_TRUE(makeDirectory(dir / "Outer\\Inner\\Empty"));
  EXPECT_EQ(GetFileAttributesA((dir / "OUTER\\inner\\Deep\\F.TXT").c_str()), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributesA((dir / "outer\\INNER\\deep\\missing.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((dir / "Outer\\Missing\\f.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  errno = 0;
  EXPECT_EQ(removeFile((dir / "Outer\\Inner\\Deep\\missing.txt").c_str()), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(removeFile((dir / "outer\\inner\\deep\\F.txt").c_str()), 0);
  EXPECT_FALSE(pathExists(dir / "Outer\\Inner\\Deep\\f.txt"));
  EXPECT_EQ(_rmdir((dir / "Outer\\Missing\\Empty\\").c_str()), -1);
  EXPECT_EQ(_rmdir((dir / "OUTER\\Inner\\empty\\").c_str()), 0);
  EXPECT_FALSE(pathExists(dir / "Outer\\Inner\\Empty"));
}

TEST(PosixFiles, RemoveDirectoryOnlyWhenEmpty) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "full\\f.txt", "x"));
  ASSERT_TRUE(makeDirectory(dir / "empty"));
  EXPECT_EQ(_rmdir((dir / "full\\").c_str()), -1);
  EXPECT_EQ(_rmdir((dir / "full\\f.txt").c_str()), -1);
  EXPECT_EQ(_rmdir((dir / "EMPTY\\").c_str()), 0);
  EXPECT_FALSE(pathExists(dir / "empty"));
  EXPECT_EQ(_rmdir((dir / "empty").c_str()), -1);
}

TEST(PosixFiles, LinksAreRemovedNotWhatTheyPointTo) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "target\\keep.txt", "x"));
  ASSERT_TRUE(makeDirectory(dir / "emptytarget"));
  ASSERT_TRUE(makeDirectoryLink(dir / "target", dir / "link"));
  ASSERT_TRUE(makeDirectoryLink(dir / "emptytarget", dir / "emptylink"));
  EXPECT_EQ(removeFile((dir / "link").c_str()), -1);
  EXPECT_EQ(_rmdir((dir / "emptylink").c_str()), 0);
  EXPECT_FALSE(pathExists(dir / "emptylink"));
  EXPECT_TRUE(isDirectory(dir / "emptytarget"));
  EXPECT_TRUE(pathExists(dir / "target\\keep.txt"));
}

TEST(PosixFiles, AnsiCallsRefusePathsOver259Characters) {
  ScopedTempDir dir;
  std::string name(259 - dir.path().size(), 'n');
  ASSERT_TRUE(writeFile(dir / name, "x"));
  ASSERT_TRUE(writeFile(dir / (name + "m"), "x"));
  EXPECT_EQ(removeFile((dir / (name + "m")).c_str()), -1);
  EXPECT_EQ(removeFile((dir / name).c_str()), 0);
}

TEST(PosixFiles, OpenGzFileOpensRegularFilesOnly) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "m.rmp", "x\n"));
  ASSERT_TRUE(makeDirectory(dir / "d.rmp"));
  gzFile f = openGzFile((dir / "M.RMP").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  gzclose(f);
  EXPECT_EQ(openGzFile((dir / "d.rmp").c_str(), "rb"), nullptr);
  EXPECT_EQ(openGzFile((dir / "none.rmp").c_str(), "rb"), nullptr);
}

TEST(PosixFiles, CurrentDirectoryInWindowsForm) {
  ScopedTempDir dir;
  ASSERT_TRUE(makeDirectory(dir / "Sub"));
  ASSERT_EQ(_chdir(dir.path().c_str()), 0);
  // As on Windows, the current directory is spelt as it was given.
  ASSERT_EQ(_chdir("sub"), 0);
  char buffer[255];
  ASSERT_NE(_getcwd(buffer, sizeof buffer), nullptr);
  EXPECT_EQ(std::string(buffer), dir / "sub");
  EXPECT_EQ(_chdir("missing"), -1);
  ASSERT_NE(_getcwd(buffer, sizeof buffer), nullptr);
  EXPECT_EQ(std::string(buffer), dir / "sub");
  // The buffer must hold the path and its NUL.
  size_t length = (dir / "sub").size();
  EXPECT_EQ(_getcwd(buffer, static_cast<int>(length)), nullptr);
  EXPECT_NE(_getcwd(buffer, static_cast<int>(length + 1)), nullptr);
  ASSERT_EQ(_chdir("Z:\\"), 0);
  ASSERT_NE(_getcwd(buffer, sizeof buffer), nullptr);
  EXPECT_STREQ(buffer, "Z:\\");
}

TEST(PosixFiles, StruprUpperCasesAsciiLettersOnly) {
  char text[] = "z:\\abc\xe9_xyz";
  EXPECT_EQ(_strupr(text), text);
  EXPECT_STREQ(text, "Z:\\ABC\xe9_XYZ");
}

TEST(PosixFiles, ReadOnlyMeansNobodyMayWrite) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "group.txt", "x"));
  ASSERT_TRUE(writeFile(dir / "none.txt", "x"));
  std::string base = dir.path().substr(2);
  for (char& c : base) c = c == '\\' ? '/' : c;
  ASSERT_EQ(chmod((base + "group.txt").c_str(), 0464), 0);
  ASSERT_EQ(chmod((base + "none.txt").c_str(), 0444), 0);
  // Wine deletes a file that its group may write, whatever the owner may.
  EXPECT_EQ(removeFile((dir / "group.txt").c_str()), 0);
  EXPECT_EQ(removeFile((dir / "none.txt").c_str()), -1);
}

TEST(PosixFiles, CurrentDirectoryKeepsTheDriveLetterAsGiven) {
  ScopedTempDir dir;
  std::string lower = "z" + dir.path().substr(1);
  ASSERT_EQ(_chdir(lower.c_str()), 0);
  char buffer[255];
  ASSERT_NE(_getcwd(buffer, sizeof buffer), nullptr);
  EXPECT_EQ(std::string(buffer) + "\\", lower);
  ASSERT_EQ(_chdir(".."), 0);
  ASSERT_NE(_getcwd(buffer, sizeof buffer), nullptr);
  EXPECT_EQ(buffer[0], 'z');
}

TEST(PosixFiles, CurrentDirectoryFollowsAPlainChdir) {
  ScopedTempDir dir;
  ASSERT_TRUE(makeDirectory(dir / "a"));
  ASSERT_TRUE(makeDirectory(dir / "b"));
  ASSERT_EQ(_chdir((dir / "A").c_str()), 0);
  // Moving by other means than _chdir: the kernel's path counts again.
  std::string posix = dir.path().substr(2) + "b";
  for (char& c : posix) c = c == '\\' ? '/' : c;
  ASSERT_EQ(chdir(posix.c_str()), 0);
  char buffer[255];
  ASSERT_NE(_getcwd(buffer, sizeof buffer), nullptr);
  EXPECT_EQ(std::string(buffer), dir / "b");
}

// Windows' ANSI calls take at most MAX_PATH-1 characters; Wine takes one
// more (260) in _chdir, remove, _rmdir and FindFirstFileA.
TEST(PosixFiles, ChdirRefusesArgumentsOver259Characters) {
  ScopedTempDir dir;
  std::string name(259 - dir.path().size(), 'n');
  ASSERT_TRUE(makeDirectory(dir / name));
  ASSERT_TRUE(makeDirectory(dir / (name + "m")));
  EXPECT_EQ(_chdir((dir / (name + "m")).c_str()), -1);
  EXPECT_EQ(_chdir((dir / name).c_str()), 0);
}
