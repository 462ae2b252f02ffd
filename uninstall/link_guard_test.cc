// The link guard on small real trees, in both builds.
#include "link_guard.h"

#include <gtest/gtest.h>

#include <string>

#include "containment.h"
#include "test_fs.h"

namespace {

std::string normal(const std::string& path) {
  char out[1024];
  EXPECT_TRUE(normaliseWindowsPath(path.c_str(), out, sizeof out));
  return out;
}

}  // namespace

TEST(LinkGuard, RefusesEveryPathThroughOrToALink) {
  ScopedTempDir dir;
  const std::string root = dir / "Game";
  ASSERT_TRUE(writeFile(dir / "Game\\a\\b\\f.dat", "f"));
  ASSERT_TRUE(writeFile(dir / "Outside\\victim.txt", "v"));
  ASSERT_TRUE(makeDirectory(dir / "Outside\\empty"));
  if (!makeDirectoryLink(dir / "Outside", dir / "Game\\a\\out")) GTEST_SKIP() << "no directory links here";
  ASSERT_TRUE(makeDirectoryLink(dir / "Outside\\empty", dir / "Game\\emptylink"));

  struct Row {
    const char* target;  // inside Game
    bool allowed;
  };
  const Row rows[] = {
      {"a\\b\\f.dat", true},
      {"a\\b", true},
      {"a\\missing\\x.dat", true},  // missing: the effect will simply fail
      {"a\\out\\victim.txt", false},
      {"a\\out\\empty", false},
      {"a\\out", false},
      {"emptylink", false},
      {"", true},  // the installation directory itself is never looked at
  };
  LinkGuard guard;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.target);
    const std::string target = normal(root + "\\" + row.target);
    EXPECT_EQ(guard.allows(normal(root).c_str(), target.c_str()), row.allowed);
    // Asked again, it answers the same from what it remembers.
    EXPECT_EQ(guard.allows(normal(root).c_str(), target.c_str()), row.allowed);
  }
}

TEST(LinkGuard, ALinkMadeAfterADirectoryWasFoundPlainIsSeenByTheNextManifest) {
  ScopedTempDir dir;
  const std::string root = normal(dir / "Game");
  ASSERT_TRUE(writeFile(dir / "Game\\d\\f.dat", "f"));
  ASSERT_TRUE(makeDirectory(dir / "Outside"));
  LinkGuard guard;
  EXPECT_TRUE(guard.allows(root.c_str(), normal(dir / "Game\\d\\f.dat").c_str()));
  removeTree(dir / "Game\\d");
  if (!makeDirectoryLink(dir / "Outside", dir / "Game\\d")) GTEST_SKIP() << "no directory links here";
  guard.clear();  // as between two manifests
  EXPECT_FALSE(guard.allows(root.c_str(), normal(dir / "Game\\d\\f.dat").c_str()));
}
