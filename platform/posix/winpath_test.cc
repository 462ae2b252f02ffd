#include "winpath.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct Row {
  const char* windows;
  const char* posix;  // null: no POSIX form
};
}  // namespace

TEST(WinPath, MapsAsWineDoes) {
  const Row rows[] = {
      {"Z:\\tmp\\a\\b.rmp", "/tmp/a/b.rmp"},
      {"z:\\tmp", "/tmp"},
      {"Z:\\", "/"},
      {"Z:/tmp/x", "/tmp/x"},
      {"Z:\\tmp\\\\a\\\\\\b", "/tmp/a/b"},
      {"Z:\\tmp\\dir\\", "/tmp/dir/"},
      {"Z:\\tmp\\.\\a\\..\\b", "/tmp/b"},
      {"Z:\\..\\..\\etc", "/etc"},
      {"Z:\\tmp\\a.txt.", "/tmp/a.txt"},
      {"Z:\\tmp\\d1. \\c.txt  ", "/tmp/d1/c.txt"},
      {"\\etc\\passwd", "/etc/passwd"},
      {"/etc/passwd", "/etc/passwd"},
      // Relative forms, against the current directory /home/u.
      {"sub\\f.txt", "/home/u/sub/f.txt"},
      {"..\\x", "/home/x"},
      {".", "/home/u"},
      {"Z:rel", "/home/u/rel"},
      {"a\\..\\..\\..\\..", "/"},
      // No POSIX form.
      {"C:\\Windows", nullptr},
      {"c:x", nullptr},
      {"\\\\server\\share\\x", nullptr},
      {"\\\\?\\Z:\\tmp", nullptr},
      {"\\\\.\\PhysicalDrive0", nullptr},
      {"//server/share", nullptr},
      {"Z:\\tmp\\f:stream", nullptr},
      {"Z:\\tmp\\f\tx", nullptr},
      {"", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.windows);
    char out[256];
    bool ok = windowsToPosixPath(row.windows, "/home/u", out, sizeof out);
    if (row.posix) {
      EXPECT_TRUE(ok);
      EXPECT_STREQ(out, row.posix);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_STREQ(out, "");
    }
  }
}

// Resolution skips reading the current directory for a rooted path: such a
// path must map the same without one, and any other must need one.
TEST(WinPath, OnlyPathsNotRootedNeedTheCurrentDirectory) {
  const struct {
    const char* windows;
    bool rooted;
  } rows[] = {
      {"Z:\\tmp\\a", true}, {"z:/x", true},     {"Z:\\", true},    {"\\etc\\passwd", true},
      {"/etc", true},        {"Z:rel", false},   {"sub\\f.txt", false}, {"..\\x", false},
      {".", false},          {"a:\\x", true},    {"", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.windows);
    EXPECT_EQ(isRootedWindowsPath(row.windows), row.rooted);
    char withCwd[256];
    char withoutCwd[256];
    bool mapped = windowsToPosixPath(row.windows, "/home/u", withCwd, sizeof withCwd);
    bool mappedWithout = windowsToPosixPath(row.windows, nullptr, withoutCwd, sizeof withoutCwd);
    if (row.rooted) {
      EXPECT_EQ(mappedWithout, mapped);
      EXPECT_STREQ(withoutCwd, withCwd);
    } else {
      EXPECT_FALSE(mappedWithout);
    }
  }
  EXPECT_FALSE(isRootedWindowsPath(nullptr));
}

TEST(WinPath, FailsWhenTheResultDoesNotFit) {
  char out[8];
  EXPECT_TRUE(windowsToPosixPath("Z:\\abcde", "/", out, sizeof out));
  EXPECT_STREQ(out, "/abcde");
  EXPECT_FALSE(windowsToPosixPath("Z:\\abcdefg", "/", out, sizeof out));
  EXPECT_FALSE(windowsToPosixPath("Z:\\abcdef\\", "/", out, sizeof out));
  EXPECT_FALSE(windowsToPosixPath("x", nullptr, out, sizeof out));
}

TEST(WinPath, PosixToWindows) {
  char out[16];
  ASSERT_TRUE(posixToWindowsPath("/tmp/a", out, sizeof out));
  EXPECT_STREQ(out, "Z:\\tmp\\a");
  ASSERT_TRUE(posixToWindowsPath("/", out, sizeof out));
  EXPECT_STREQ(out, "Z:\\");
  EXPECT_FALSE(posixToWindowsPath("relative", out, sizeof out));
  EXPECT_FALSE(posixToWindowsPath("/0123456789abc", out, sizeof out));
  EXPECT_TRUE(posixToWindowsPath("/0123456789ab", out, sizeof out));
}
