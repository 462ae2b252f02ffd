// The Linux layer's file search where it has choices of its own or meets
// what Windows cannot hold: file links, POSIX modes and times, names that
// differ only in case, and the failure hook.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fault.h"
#include "platform.h"
#include "test_fs.h"

namespace {

// The POSIX form of a Windows-form path on Z:.
std::string posixOf(const std::string& windowsPath) {
  std::string posix = windowsPath.substr(2);
  for (char& c : posix) c = c == '\\' ? '/' : c;
  return posix;
}

std::vector<std::string> names(const std::string& pattern) {
  std::vector<std::string> out;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return out;
  do out.push_back(data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return out;
}

// The one record a search for a plain name gives.
WIN32_FIND_DATAA recordOf(const std::string& path) {
  WIN32_FIND_DATAA data;
  memset(&data, 0, sizeof data);
  HANDLE find = FindFirstFileA(path.c_str(), &data);
  EXPECT_NE(find, INVALID_HANDLE_VALUE) << path;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  return data;
}

uint64_t ticksOf(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

}  // namespace

TEST(PosixFind, FileLinksAreMarkedAsReparsePoints) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "target.dat", "12345"));
  ASSERT_EQ(symlink(posixOf(dir / "target.dat").c_str(), posixOf(dir / "link.dat").c_str()), 0);
  WIN32_FIND_DATAA link = recordOf(dir / "link.dat");
  // Wine shows 0x20 here; we mark the link, keeping the archive bit.
  EXPECT_EQ(link.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT));
  EXPECT_EQ(link.nFileSizeLow, 5u);
}

TEST(PosixFind, ModesGiveReadOnlyAsWineDoes) {
  ScopedTempDir dir;
  struct Row {
    const char* name;
    bool directory;
    mode_t mode;
    DWORD attributes;
  };
  const Row rows[] = {
      {"f644", false, 0644, FILE_ATTRIBUTE_ARCHIVE},
      {"f464", false, 0464, FILE_ATTRIBUTE_ARCHIVE},
      {"f200", false, 0200, FILE_ATTRIBUTE_ARCHIVE},
      {"f044", false, 0044, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
      {"d555", true, 0555, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY},
      {"d000", true, 0000, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string path = dir / row.name;
    ASSERT_TRUE(row.directory ? makeDirectory(path) : writeFile(path, "x"));
    ASSERT_EQ(chmod(posixOf(path).c_str(), row.mode), 0);
    EXPECT_EQ(recordOf(path).dwFileAttributes, row.attributes);
  }
}

TEST(PosixFind, TimesAreTheModificationAndAccessTimes) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "f", "x"));
  struct timespec times[2];
  times[0].tv_sec = 1012709106;  // access: 2002-02-03 04:05:06.5
  times[0].tv_nsec = 500000000;
  times[1].tv_sec = 981173106;  // modification: 2001-02-03 04:05:06.123456789
  times[1].tv_nsec = 123456789;
  ASSERT_EQ(utimensat(AT_FDCWD, posixOf(dir / "f").c_str(), times, 0), 0);
  WIN32_FIND_DATAA data = recordOf(dir / "f");
  const uint64_t kFrom1601 = 11644473600ULL;
  EXPECT_EQ(ticksOf(data.ftLastWriteTime), (981173106ULL + kFrom1601) * 10000000ULL + 1234567ULL);
  EXPECT_EQ(ticksOf(data.ftCreationTime), ticksOf(data.ftLastWriteTime));
  EXPECT_EQ(ticksOf(data.ftLastAccessTime), (1012709106ULL + kFrom1601) * 10000000ULL + 5000000ULL);
  EXPECT_STREQ(data.cAlternateFileName, "");
  EXPECT_EQ(data.dwReserved0, 0u);
}

TEST(PosixFind, NamesThatDifferOnlyInCase) {
  ScopedTempDir dir;
  for (const char* name : {"a_b", "A_b", "cafz", "caf\xc3\xa9", "CAFE"}) ASSERT_TRUE(writeFile(dir / name, "x"));
  // Ties of the case fold go by bytes; other bytes sort by value.
  const std::vector<std::string> all = {".", "..", "A_b", "a_b", "CAFE", "cafz", "caf\xc3\xa9"};
  EXPECT_EQ(names(dir / "*"), all);
  // A plain name finds one file: the one spelt so, or the first in order.
  EXPECT_EQ(names(dir / "a_b"), std::vector<std::string>{"a_b"});
  EXPECT_EQ(names(dir / "A_b"), std::vector<std::string>{"A_b"});
  EXPECT_EQ(names(dir / "A_B").size(), 1u);
  EXPECT_EQ(names(dir / "a?b"), (std::vector<std::string>{"A_b", "a_b"}));
}

TEST(PosixFind, TheRootHasNoDotEntries) {
  std::vector<std::string> root = names("Z:\\*");
  ASSERT_FALSE(root.empty());
  for (const std::string& name : root) {
    EXPECT_NE(name, ".");
    EXPECT_NE(name, "..");
  }
  EXPECT_EQ(names("Z:\\."), std::vector<std::string>{});
}

TEST(PosixFind, PatternsOver259CharactersFindNothing) {
  ScopedTempDir dir;
  std::string name(259 - dir.path().size(), 'n');
  ASSERT_TRUE(writeFile(dir / name, "x"));
  EXPECT_EQ(names(dir / name).size(), 1u);
  EXPECT_EQ(names(dir / (name.substr(1) + "?")).size(), 1u);
  EXPECT_TRUE(names(dir / (name + "*")).empty());
}

TEST(PosixFind, BadHandlesAreRefused) {
  WIN32_FIND_DATAA data;
  EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
  EXPECT_FALSE(FindNextFileA(nullptr, &data));
  EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
  EXPECT_FALSE(FindClose(nullptr));
  EXPECT_EQ(FindFirstFileA(nullptr, &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFileA("Z:\\*", nullptr), INVALID_HANDLE_VALUE);
}

TEST(PosixFind, InjectedFailuresAreClean) {
  ScopedTempDir dir;
  for (const char* name : {"a", "b", "c"}) ASSERT_TRUE(writeFile(dir / name, "x"));
  WIN32_FIND_DATAA data;
  faultArm(FaultCall::FindFirstFile, 1);
  EXPECT_EQ(FindFirstFileA((dir / "*").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_TRUE(faultTriggered());

  // The second FindNextFileA fails; the handle is still closed whole.
  faultArm(FaultCall::FindNextFile, 2);
  HANDLE find = FindFirstFileA((dir / "?").c_str(), &data);  // ".", "a", "b", "c"
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, ".");
  EXPECT_TRUE(FindNextFileA(find, &data));
  EXPECT_STREQ(data.cFileName, "a");
  EXPECT_FALSE(FindNextFileA(find, &data));
  EXPECT_TRUE(faultTriggered());
  EXPECT_TRUE(FindClose(find));
  faultDisarm();
}
