// The current-directory calls that the core relies on, the same tests for
// both platform layers: our Linux one natively, and Windows' own under Wine.
#include <gtest/gtest.h>

#include <string>

#include "platform.h"
#include "test_fs.h"

namespace {

// The current directory as _getcwd gives it with the given size, or "(null)".
std::string cwd(int size = 255) {
  char buffer[1024];
  const char* got = _getcwd(buffer, size);
  return got ? std::string(got) : std::string("(null)");
}

std::string withoutSlash(const std::string& path) { return path.substr(0, path.size() - 1); }

}  // namespace

// Wine lets the current directory grow past MAX_PATH through relative
// changes (real Windows stops at MAX_PATH-2): only the argument of _chdir is
// held to the ANSI limit, and _getcwd with 255 bytes gives up past 254.
TEST(CurrentDirectory, DeepDirectoriesAreEnteredByRelativeNames) {
  ScopedTempDir dir;
  const std::string first(254 - dir.path().size(), 'a');  // full path: 254 characters
  const std::string second(100, 'b');                     // 355
  const std::string third(200, 'c');                      // 556
  ASSERT_TRUE(makeDirectories(dir / (first + "\\" + second + "\\" + third)));

  ASSERT_EQ(_chdir((dir / first).c_str()), 0);
  EXPECT_EQ(cwd(), dir / first);
  EXPECT_EQ(cwd(static_cast<int>((dir / first).size())), "(null)");
  ASSERT_EQ(_chdir(second.c_str()), 0);
  EXPECT_EQ(cwd(), "(null)");
  ASSERT_EQ(_chdir(third.c_str()), 0);
  EXPECT_EQ(cwd(), "(null)");
  ASSERT_EQ(_chdir("..\\.."), 0);
  EXPECT_EQ(cwd(), dir / first);
}

TEST(CurrentDirectory, AbsoluteArgumentsAreHeldToTheAnsiLimit) {
  ScopedTempDir dir;
  const std::string fits = dir / std::string(259 - dir.path().size(), 'f');
  const std::string tooLong = dir / std::string(261 - dir.path().size(), 'g');
  ASSERT_TRUE(makeDirectory(fits));
  ASSERT_TRUE(makeDirectory(tooLong));
  ASSERT_EQ(_chdir(dir.path().c_str()), 0);
  EXPECT_EQ(_chdir(tooLong.c_str()), -1);
  EXPECT_EQ(cwd(), withoutSlash(dir.path()));
  EXPECT_EQ(_chdir(fits.c_str()), 0);
  EXPECT_EQ(cwd(1024), fits);
  // The name alone is short enough.
  ASSERT_EQ(_chdir(dir.path().c_str()), 0);
  EXPECT_EQ(_chdir(tooLong.substr(dir.path().size()).c_str()), 0);
}

TEST(CurrentDirectory, FailedChangeKeepsTheDirectory) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "file", "x"));
  ASSERT_TRUE(makeDirectory(dir / "dot."));
  ASSERT_TRUE(makeDirectory(dir / "Named"));
  ASSERT_EQ(_chdir(dir.path().c_str()), 0);
  const char* refused[] = {"missing", "file", "dot.", "Named\\missing", ""};
  for (const char* path : refused) {
    SCOPED_TRACE(path);
    EXPECT_EQ(_chdir(path), -1);
    EXPECT_EQ(cwd(), withoutSlash(dir.path()));
  }
  // A trailing dot drops, so "NAMED." is "Named"; the current directory is
  // spelt as it was given, not as the name is on disk.
  EXPECT_EQ(_chdir("NAMED."), 0);
  EXPECT_EQ(cwd(), dir / "NAMED");
}

TEST(CurrentDirectory, DirectoryEnteredThroughALinkKeepsTheLinksPath) {
  ScopedTempDir dir;
  ASSERT_TRUE(makeDirectories(dir / "real\\inner"));
  ASSERT_TRUE(makeDirectory(dir / "other"));
  if (!makeDirectoryLink(dir / "real", dir / "other\\link")) GTEST_SKIP() << "no directory links here";
  ASSERT_EQ(_chdir((dir / "other\\link").c_str()), 0);
  EXPECT_EQ(cwd(), dir / "other\\link");
  ASSERT_EQ(_chdir("inner"), 0);
  EXPECT_EQ(cwd(), dir / "other\\link\\inner");
  // ".." goes back the way it came, not to the link's target's parent.
  ASSERT_EQ(_chdir("..\\.."), 0);
  EXPECT_EQ(cwd(), dir / "other");
}
