// The simulated tree on small real trees: each effect answered as the real
// call would answer it by then, and nothing on disk touched.
#include "simulated_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "test_fs.h"

TEST(SimulatedTree, FileDeletionsAnswerAsTheRealCallWould) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "a.dat", "a"));
  ASSERT_TRUE(writeFile(dir / "ro.dat", "r"));
  ASSERT_TRUE(setReadOnly(dir / "ro.dat", true));
  ASSERT_TRUE(makeDirectory(dir / "sub"));
  SimulatedTree tree;
  struct Row {
    std::string path;
    std::string expected;
  };
  const Row rows[] = {
      {dir / "a.dat", ""},
      {dir / "a.dat", "missing"},
      // Another spelling of the same file: case, '/', "." and "..".
      {dir / "A.DAT", "missing"},
      {dir / "sub\\..\\.\\a.dat", "missing"},
      {dir / "never.dat", "missing"},
      {dir / "ro.dat", "read-only"},
      {dir / "sub", "is a directory"},
      {dir / std::string(260, 'x'), "path too long"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(tree.deleteFile(row.path.c_str()), row.expected);
  }
  EXPECT_TRUE(pathExists(dir / "a.dat"));
  EXPECT_TRUE(tree.isGone((dir / "a.dat").c_str()));
  EXPECT_FALSE(tree.isGone((dir / "ro.dat").c_str()));
  setReadOnly(dir / "ro.dat", false);
}

TEST(SimulatedTree, DirectoryGoesOnlyOnceEverythingInItIsGone) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "d\\inner\\f.dat", "f"));
  ASSERT_TRUE(writeFile(dir / "d\\.hidden", "h"));
  ASSERT_TRUE(writeFile(dir / "file.dat", "x"));
  SimulatedTree tree;
  EXPECT_EQ(tree.removeDirectory((dir / "d\\").c_str()), "not empty");
  EXPECT_EQ(tree.removeDirectory((dir / "d\\inner\\").c_str()), "not empty");
  EXPECT_EQ(tree.deleteFile((dir / "d\\inner\\f.dat").c_str()), "");
  EXPECT_EQ(tree.removeDirectory((dir / "d\\inner\\").c_str()), "");
  // A dot-file counts as much as any other.
  EXPECT_EQ(tree.removeDirectory((dir / "d\\").c_str()), "not empty");
  EXPECT_EQ(tree.deleteFile((dir / "d\\.hidden").c_str()), "");
  EXPECT_EQ(tree.removeDirectory((dir / "d").c_str()), "");
  // Whatever lay below a removed directory is gone with it.
  EXPECT_EQ(tree.removeDirectory((dir / "d\\inner\\").c_str()), "missing");
  EXPECT_EQ(tree.deleteFile((dir / "D\\INNER\\f.dat").c_str()), "missing");
  EXPECT_TRUE(tree.isGone((dir / "d\\inner\\f.dat").c_str()));
  EXPECT_EQ(tree.removeDirectory((dir / "file.dat\\").c_str()), "not a directory");
  EXPECT_EQ(tree.removeDirectory((dir / "none\\").c_str()), "missing");
  // Nothing was touched on disk.
  EXPECT_TRUE(pathExists(dir / "d\\inner\\f.dat"));
  EXPECT_TRUE(pathExists(dir / "d\\.hidden"));
}

// "CON" and "nul.txt" name devices under Windows and Wine, which report
// attributes for them; no deletion is ever planned for one that is not a
// real file in its directory.
TEST(SimulatedTree, DeviceNamesAreNeverDeleted) {
  ScopedTempDir dir;
  SimulatedTree tree;
  for (const char* name : {"CON", "nul.txt", "aux\\", "COM1"}) {
    SCOPED_TRACE(name);
    std::string result = tree.deleteFile((dir / name).c_str());
    EXPECT_TRUE(result == "missing" || result == "a device name") << result;
    result = tree.removeDirectory((dir / name).c_str());
    EXPECT_TRUE(result == "missing" || result == "a device name") << result;
  }
}
