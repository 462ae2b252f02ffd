// The Linux layer's file calls keep Windows' semantics.
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
  ASSERT_EQ(_chdir("sub"), 0);
  char buffer[255];
  ASSERT_NE(_getcwd(buffer, sizeof buffer), nullptr);
  EXPECT_EQ(std::string(buffer), dir / "Sub");
  EXPECT_EQ(_chdir("missing"), -1);
  ASSERT_NE(_getcwd(buffer, sizeof buffer), nullptr);
  EXPECT_EQ(std::string(buffer), dir / "Sub");
  // The buffer must hold the path and its NUL.
  size_t length = (dir / "Sub").size();
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
