// Full Windows-form paths from command-line arguments.
#include "tool_paths.h"

#include <gtest/gtest.h>

#include <string>

#include "test_fs.h"

TEST(ToolPaths, FullWindowsPath) {
  const std::string cwd = currentDirectory();
  ASSERT_GE(cwd.size(), 3u);
  const std::string below = cwd.back() == '\\' ? cwd : cwd + "\\";
  // The current directory of a test run is never a drive's root.
  const std::string parent = below.substr(0, below.rfind('\\', below.size() - 2) + 1);
  struct Row {
    std::string given;
    bool ok;
    std::string full;
  };
  const Row rows[] = {
      {"C:\\Games\\Pellmoor", true, "C:\\Games\\Pellmoor"},
      {"c:/Games/Pellmoor/", true, "c:\\Games\\Pellmoor\\"},
      {"\\\\server\\share\\x", true, "\\\\server\\share\\x"},
      {"/tmp/x", true, cwd.substr(0, 2) + "\\tmp\\x"},
      {"sub/m.rmp", true, below + "sub\\m.rmp"},
      {"./sub/./m.rmp", true, below + "sub\\m.rmp"},
      {"sub\\", true, below + "sub\\"},
      {".", true, cwd},
      {"sub\\..\\x\\..\\..\\m.rmp", true, parent + "m.rmp"},
      {"/tmp/./x/../y", true, cwd.substr(0, 2) + "\\tmp\\y"},
      {"C:\\a\\.\\b", true, "C:\\a\\.\\b"},
      {"C:m.rmp", false, ""},
      {"C:", false, ""},
      {"", false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.given);
    std::string full;
    EXPECT_EQ(fullWindowsPath(row.given, full), row.ok);
    if (row.ok) {
      EXPECT_EQ(full, row.full);
    }
  }
}

TEST(ToolPaths, DirectoryAndFileName) {
  EXPECT_EQ(directoryOf("Z:\\a\\b.rmp"), "Z:\\a\\");
  EXPECT_EQ(fileNameOf("Z:\\a\\b.rmp"), "b.rmp");
  EXPECT_EQ(directoryOf("Z:\\a\\"), "Z:\\a\\");
  EXPECT_EQ(fileNameOf("Z:\\a\\"), "");
  EXPECT_EQ(directoryOf("b.rmp"), "");
  EXPECT_EQ(fileNameOf("b.rmp"), "b.rmp");
}
