#include "containment.h"

#include <gtest/gtest.h>

#include <string>

TEST(Containment, PlainRelativeEntries) {
  struct Row {
    const char* entry;
    bool plain;
  };
  const Row rows[] = {
      {"data\\car.dat", true},
      {"data\\", true},
      {"..\\x", true},  // plain, though it may climb out: containment decides
      {".\\a\\.\\b", true},
      {"sub/x", true},
      {"\\x", true},  // joined to a directory it is a doubled separator
      {"a b\\c d", true},
      {"Z:\\Windows\\x", false},
      {"Z:x", false},
      {"f:s", false},
      {"f::$DATA", false},
      {"\\\\server\\share\\x", false},
      {"\\\\?\\Z:\\x", false},
      {"\\\\.\\PhysicalDrive0", false},
      {"//server/share", false},
      {"\\/x", false},
      {"a.\\x", false},
      {"a \\x", false},
      {"x.", false},
      {"x ", false},
      {"...\\x", false},
      {"dir\\name.\\", false},
      {"a\tb", false},
      {"a\x7f", false},
      {"a\x01", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entry);
    EXPECT_EQ(isPlainRelativeEntry(row.entry), row.plain);
  }
}

TEST(Containment, NormalisesAsWindowsDoes) {
  struct Row {
    const char* path;
    const char* normal;
  };
  const Row rows[] = {
      {"Z:\\Games\\Pellmoor\\", "Z:\\Games\\Pellmoor"},
      {"Z:/Games//Pellmoor/./x", "Z:\\Games\\Pellmoor\\x"},
      {"Z:\\Games\\Pellmoor\\..\\..\\..\\..\\x", "Z:\\x"},
      {"Z:\\a\\b.\\c \\", "Z:\\a\\b\\c"},
      {"Z:\\", "Z:\\"},
      {"\\\\server\\share\\x\\..\\y", "\\\\server\\share\\y"},
      {"\\x\\..\\..", "\\"},
      {"a\\..\\..\\b", "..\\b"},
      {"..\\..\\a\\..", "..\\.."},
      {"Z:rel\\..\\..\\x", "Z:..\\x"},
      {"", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    char out[256];
    ASSERT_TRUE(normaliseWindowsPath(row.path, out, sizeof out));
    EXPECT_STREQ(out, row.normal);
  }
  char small[8];
  EXPECT_FALSE(normaliseWindowsPath("Z:\\abcdefgh", small, sizeof small));
}

TEST(Containment, InsideTheRootOrNot) {
  const char* root = "Z:\\Games\\Pellmoor\\";
  struct Row {
    std::string path;
    bool allowRoot;
    bool inside;
  };
  const Row rows[] = {
      {"Z:\\Games\\Pellmoor\\data\\car.dat", false, true},
      {"z:\\GAMES\\pellmoor\\x", false, true},
      {"Z:\\Games\\Pellmoor\\sub\\..\\x", false, true},
      {"Z:\\Games\\Pellmoor\\\\x", false, true},
      {"Z:/Games/Pellmoor/x", false, true},
      {"Z:\\Games\\Pellmoor\\..\\x", false, false},
      {"Z:\\Games\\Pellmoor\\sub\\..\\..\\x", false, false},
      {"Z:\\Games\\Pellmoor\\../x", false, false},
      {"Z:\\Games\\Pellmoor\\..\\Pellmoor2\\x", false, false},
      {"Z:\\Games\\Pellmoor2\\x", false, false},
      {"Z:\\Games\\Pellmoo", false, false},
      {"C:\\Games\\Pellmoor\\x", false, false},
      {"Z:\\Games\\Pellmoor\\", false, false},
      {"Z:\\Games\\Pellmoor\\", true, true},
      {"Z:\\Games\\Pellmoor\\.\\", true, true},
      {"Z:\\Games\\Pellmoor\\sub\\..", true, true},
      {"Z:\\Games\\Pellmoor\\..\\Pellmoor\\x", false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(isInsideRoot(root, row.path.c_str(), row.allowRoot), row.inside);
  }
  EXPECT_TRUE(isInsideRoot("Z:\\", "Z:\\anything", false));
  EXPECT_FALSE(isInsideRoot("Z:\\", "Y:\\anything", false));
}
