#include "file_finder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_fs.h"

namespace {

// The current directory as _getcwd gives it, or "(none)".
std::string cwdNow() {
  char buffer[1024];
  return _getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("(none)");
}

// Scans and checks that the current directory is what it was before.
void scan(FileFinder& finder, const char* pattern, bool recurse, const char* directory, bool rootMode) {
  const std::string before = cwdNow();
  finder.scan(pattern, recurse, directory, rootMode);
  EXPECT_EQ(cwdNow(), before) << "the scan puts the current directory back";
}

void scan(FileFinder& finder, const char* pattern, bool recurse, const std::string& directory, bool rootMode = false) {
  scan(finder, pattern, recurse, directory.c_str(), rootMode);
}

// Walks the list as the manifest replay does; "(null)" for a null path.
std::vector<std::string> paths(FileFinder& finder) {
  std::vector<std::string> out;
  finder.moveFirst();
  while (const WIN32_FIND_DATAA* data = finder.currentFindData()) {
    const char* path = finder.currentPath();
    out.push_back(path ? path : "(null)");
    if (path) {
      const char* name = finder.currentFileName();
      EXPECT_NE(name, nullptr);
      if (name && finder.state->rootMode == 0) {
        EXPECT_STREQ(name, data->cFileName);
      }
    }
    finder.moveNext();
  }
  EXPECT_EQ(out.size(), static_cast<size_t>(finder.entryCount()));
  return out;
}

std::vector<std::string> under(const std::string& base, std::vector<std::string> relative) {
  for (std::string& path : relative) path = base + path;
  return relative;
}

WIN32_FIND_DATAA recordNamed(const char* name) {
  WIN32_FIND_DATAA data = {};
  strncpy(data.cFileName, name, sizeof data.cFileName - 1);
  data.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  return data;
}

// The tree of the ordering example, with things that must not be listed.
class FinderTree : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.valid());
    for (const char* file : {"a.rmp", "Sub1\\b.rmp", "Sub1\\Deep\\c.rmp", "Sub2\\d.rmp", "notes.txt", "Sub1\\b.rmp.bak"}) {
      ASSERT_TRUE(writeFile(dir / file, "x")) << file;
    }
  }
  ScopedTempDir dir;
};

}  // namespace

TEST_F(FinderTree, SubdirectoryTreesComeBeforeADirectorysOwnFiles) {
  FileFinder finder;
  scan(finder, "*.rmp", true, dir.path());
  EXPECT_EQ(paths(finder), under(dir.path(), {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"}));
  EXPECT_EQ(finder.state->depth, 0);
}

TEST_F(FinderTree, WithoutRecursionOnlyTheDirectorysOwnFiles) {
  FileFinder finder;
  scan(finder, "*.rmp", false, dir.path());
  EXPECT_EQ(paths(finder), under(dir.path(), {"a.rmp"}));
  scan(finder, "*", false, dir / "Sub1");
  EXPECT_EQ(paths(finder), under(dir.path(), {"Sub1\\b.rmp", "Sub1\\b.rmp.bak"}));
}

TEST_F(FinderTree, DirectoriesAreEnteredButNeverListed) {
  ASSERT_TRUE(writeFile(dir / "m.rmp\\e.rmp", "x"));
  ASSERT_TRUE(writeFile(dir / ".hidden.rmp\\h.rmp", "x"));
  FileFinder finder;
  scan(finder, "*.rmp", true, dir.path());
  EXPECT_EQ(paths(finder), under(dir.path(), {".hidden.rmp\\h.rmp", "m.rmp\\e.rmp", "Sub1\\Deep\\c.rmp", "Sub1\\b.rmp",
                                              "Sub2\\d.rmp", "a.rmp"}));
}

// A directory whose name ends in a dot cannot be entered by that name: the
// ANSI calls drop the dot and look for another directory.
TEST_F(FinderTree, ADirectoryThatCannotBeEnteredAddsNothing) {
  ASSERT_TRUE(writeFile(dir / "Sub1\\bad.\\x.rmp", "x"));
  ASSERT_TRUE(writeFile(dir / "bad.\\y.rmp", "x"));
  FileFinder finder;
  scan(finder, "*.rmp", true, dir.path());
  EXPECT_EQ(paths(finder), under(dir.path(), {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"}));
}

TEST_F(FinderTree, NothingToFind) {
  FileFinder finder;
  scan(finder, "*.none", true, dir.path());
  EXPECT_EQ(finder.entryCount(), 0);
  EXPECT_FALSE(finder.moveFirst());
  EXPECT_FALSE(finder.moveNext());
  EXPECT_EQ(finder.currentFindData(), nullptr);
  EXPECT_EQ(finder.currentPath(), nullptr);
  EXPECT_EQ(finder.currentFileName(), nullptr);
  scan(finder, "*.rmp", true, dir / "missing");
  EXPECT_EQ(finder.entryCount(), 0);
  scan(finder, "*.rmp", true, dir / "a.rmp");
  EXPECT_EQ(finder.entryCount(), 0);
}

TEST_F(FinderTree, TheCursorStopsPastTheEndAndStartsAgain) {
  FileFinder finder;
  scan(finder, "*.rmp", true, dir.path());
  ASSERT_EQ(finder.entryCount(), 4);
  // The scan leaves the cursor on the first entry.
  ASSERT_NE(finder.currentFindData(), nullptr);
  EXPECT_STREQ(finder.currentFindData()->cFileName, "c.rmp");
  EXPECT_TRUE(finder.moveFirst());
  EXPECT_STREQ(finder.currentFindData()->cFileName, "c.rmp");
  // The name stays valid across a following currentPath of the same entry.
  const char* name = finder.currentFileName();
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name, "c.rmp");
  EXPECT_EQ(std::string(finder.currentPath()), dir / "Sub1\\Deep\\c.rmp");
  EXPECT_STREQ(name, "c.rmp");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(finder.moveNext());
  EXPECT_STREQ(finder.currentFileName(), "a.rmp");
  EXPECT_FALSE(finder.moveNext());
  EXPECT_FALSE(finder.moveNext());
  EXPECT_EQ(finder.currentFindData(), nullptr);
  EXPECT_EQ(finder.currentPath(), nullptr);
  EXPECT_EQ(finder.currentFileName(), nullptr);
  EXPECT_EQ(finder.entryCount(), 4);
  EXPECT_TRUE(finder.moveFirst());
  EXPECT_STREQ(finder.currentFindData()->cFileName, "c.rmp");
  EXPECT_TRUE(finder.moveNext());
  EXPECT_STREQ(finder.currentFileName(), "b.rmp");
}

TEST_F(FinderTree, ASecondScanReplacesTheList) {
  FileFinder finder;
  scan(finder, "*.rmp", true, dir.path());
  ASSERT_EQ(finder.entryCount(), 4);
  scan(finder, "*.txt", true, dir.path());
  EXPECT_EQ(paths(finder), under(dir.path(), {"notes.txt"}));
  finder.reset();
  EXPECT_EQ(finder.entryCount(), 0);
  EXPECT_EQ(finder.currentFindData(), nullptr);
}

// How each form of `directory` reaches the paths of the files found.
TEST_F(FinderTree, DirectoryPathsAsTheCallerWroteThem) {
  const std::string base = dir.path();                          // ends in a backslash
  const std::string bare = base.substr(0, base.size() - 1);     // does not
  const std::string drive = base.substr(0, 3);                  // "Z:\" or "C:\"
  std::string lower = bare;
  for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  std::string slashes = bare;
  for (char& c : slashes) c = c == '\\' ? '/' : c;

  struct Row {
    std::string name;
    std::string cwd;
    const char* directory;
    std::vector<std::string> paths;
  };
  const std::vector<std::string> all = under(base, {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"});
  const std::string fromRoot = base.substr(3) + "Sub1";
  const Row rows[] = {
      {"null", bare, nullptr, all},
      {"dot", bare, ".", all},
      {"absolute with backslash", drive, base.c_str(), all},
      {"absolute without", drive, bare.c_str(), all},
      // Letter case stays as written, below too: the current directory is
      // spelt as it was entered.
      {"absolute lower case", drive, lower.c_str(),
       under(lower + "\\", {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"})},
      // Separators too; _getcwd gives backslashes below.
      {"absolute with slashes", drive, slashes.c_str(),
       {base + "Sub1\\Deep\\c.rmp", base + "Sub1\\b.rmp", base + "Sub2\\d.rmp", slashes + "\\a.rmp"}},
      {"relative", bare, "Sub1", under(base, {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp"})},
      {"relative upper case", bare, "SUB1", under(base, {"SUB1\\Deep\\c.rmp", "SUB1\\b.rmp"})},
      // From a drive root the join doubles the backslash, but only for the
      // outermost level: the levels below get the path from _getcwd.
      {"relative from a drive root", drive, fromRoot.c_str(),
       {base + "Sub1\\Deep\\c.rmp", drive + "\\" + fromRoot + "\\b.rmp"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(_chdir(row.cwd.c_str()), 0);
    FileFinder finder;
    scan(finder, "*.rmp", true, row.directory, false);
    EXPECT_EQ(paths(finder), row.paths);
  }
}

// Root mode reports paths relative to the scanned directory, whatever form
// the directory was given in.
TEST_F(FinderTree, RootModeReportsPathsBelowTheRoot) {
  const std::string base = dir.path();
  const std::string bare = base.substr(0, base.size() - 1);
  const std::string drive = base.substr(0, 3);
  std::string upper = base;
  for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  const std::vector<std::string> all = {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"};
  const std::vector<std::string> sub1 = {"Deep\\c.rmp", "b.rmp"};

  struct Row {
    std::string name;
    std::string cwd;
    std::string directory;
    std::vector<std::string> paths;
  };
  const Row rows[] = {
      {"absolute", drive, base, all},
      {"absolute without backslash", drive, bare, all},
      {"absolute in other case", drive, upper, all},
      {"dot", bare, ".", all},
      {"relative", bare, "Sub1", sub1},
      {"relative in other case", bare, "sub1", sub1},
      {"relative from a drive root", drive, base.substr(3) + "Sub1", sub1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(_chdir(row.cwd.c_str()), 0);
    FileFinder finder;
    scan(finder, "*.rmp", true, row.directory, true);
    EXPECT_EQ(paths(finder), row.paths);
    // The root is kept upper-cased.
    const std::string root = finder.state->root.c_str();
    EXPECT_FALSE(root.empty());
    for (char c : root) EXPECT_FALSE(c >= 'a' && c <= 'z') << root;
    ASSERT_TRUE(finder.moveFirst());
    EXPECT_STREQ(finder.currentFileName(), "c.rmp");
  }
}

TEST_F(FinderTree, RootModeCutsAtTheRootsFirstOccurrence) {
  FileFinder finder;
  scan(finder, "*.rmp", false, dir.path(), true);
  ASSERT_EQ(finder.entryCount(), 1);
  const std::string root = finder.state->root.c_str();
  std::string lowerRoot = root;
  for (char& c : lowerRoot) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;

  WIN32_FIND_DATAA record = recordNamed("f.rmp");
  finder.state->addEntry(&record, (lowerRoot + "x\\" + lowerRoot).c_str());
  finder.state->addEntry(&record, "Q:\\elsewhere\\");
  finder.state->addEntry(&record, (std::string("\\\\server\\") + lowerRoot).c_str());
  EXPECT_EQ(paths(finder), (std::vector<std::string>{"a.rmp", "x\\" + lowerRoot + "f.rmp", "(null)", "f.rmp"}));
  // The record is there even when the path is not.
  ASSERT_TRUE(finder.moveFirst());
  ASSERT_TRUE(finder.moveNext());
  ASSERT_TRUE(finder.moveNext());
  EXPECT_EQ(finder.currentPath(), nullptr);
  EXPECT_EQ(finder.currentFileName(), nullptr);
  ASSERT_NE(finder.currentFindData(), nullptr);
  EXPECT_STREQ(finder.currentFindData()->cFileName, "f.rmp");

  // A later scan without root mode keeps the root but does not use it.
  scan(finder, "*.rmp", false, dir.path(), false);
  EXPECT_EQ(std::string(finder.state->root.c_str()), root);
  EXPECT_EQ(paths(finder), under(dir.path(), {"a.rmp"}));
}

TEST(FileFinder, AFreshFinderIsEmpty) {
  FileFinder finder;
  ASSERT_NE(finder.state, nullptr);
  EXPECT_EQ(finder.entryCount(), 0);
  EXPECT_EQ(finder.state->entries.head, nullptr);
  EXPECT_EQ(finder.state->root.text, nullptr);
  EXPECT_EQ(finder.state->root.capacity, -1);
  EXPECT_EQ(finder.state->rootMode, 0);
  EXPECT_EQ(finder.state->depth, 0);
  EXPECT_STREQ(finder.state->pathBuffer, "");
  EXPECT_FALSE(finder.moveFirst());
  EXPECT_EQ(finder.currentPath(), nullptr);
}

TEST(FileFinder, AddEntryCopiesTheRecordAndTheDirectory) {
  FileFinder finder;
  FinderState& state = *finder.state;
  state.addEntry(nullptr, "C:\\x\\");
  EXPECT_EQ(finder.entryCount(), 0);

  std::string directory = "C:\\Games\\";
  WIN32_FIND_DATAA record = recordNamed("one.rmp");
  state.addEntry(&record, directory.c_str());
  directory[0] = 'D';
  record.cFileName[0] = 'X';
  state.addEntry(&record, nullptr);
  ASSERT_EQ(finder.entryCount(), 2);
  EXPECT_EQ(state.entries.cursor, state.entries.head);
  EXPECT_EQ(state.entries.head->payload->owner, &state);
  EXPECT_EQ(state.entries.head->owned, 1);
  EXPECT_EQ(paths(finder), (std::vector<std::string>{"C:\\Games\\one.rmp", "Xne.rmp"}));
}

// A path that does not fit in 511 characters is never handed out cut.
TEST(FileFinder, PathsOver511CharactersAreNotHandedOut) {
  FileFinder finder;
  const std::string directory = "C:\\" + std::string(500, 'd') + "\\";  // 504 characters
  WIN32_FIND_DATAA fits = recordNamed("1234567");
  WIN32_FIND_DATAA tooLong = recordNamed("12345678");
  finder.state->addEntry(&fits, directory.c_str());
  finder.state->addEntry(&tooLong, directory.c_str());
  EXPECT_EQ(paths(finder), (std::vector<std::string>{directory + "1234567", "(null)"}));
}

// A file whose path would be longer than 511 characters is left out by the
// scan; its neighbours with shorter names are listed.
TEST(FileFinder, ScanLeavesOutFilesWhosePathWouldNotFit) {
  ScopedTempDir dir;
  const std::string a(254 - dir.path().size(), 'a');  // the directory's path: 254 characters
  const std::string b(200, 'b');                      // its subdirectory's: 455
  const std::string inB = dir / (a + "\\" + b + "\\");
  ASSERT_EQ(inB.size(), 456u);
  const std::string longest = std::string(51, 'f') + ".rmp";  // 511 characters in all
  ASSERT_TRUE(writeFile(inB + "s.rmp", "x"));
  ASSERT_TRUE(writeFile(inB + longest, "x"));
  ASSERT_TRUE(writeFile(inB + "g" + longest, "x"));
  FileFinder finder;
  scan(finder, "*.rmp", true, dir.path());
  EXPECT_EQ(paths(finder), (std::vector<std::string>{inB + longest, inB + "s.rmp"}));
}

// A level whose current directory on entry is longer than 254 characters
// lists nothing and goes no deeper.
TEST(FileFinder, LevelsBelowACurrentDirectoryOver254CharactersListNothing) {
  ScopedTempDir dir;
  const std::string one(250 - dir.path().size(), 'o');  // 250 characters
  const std::string two(49, 't');                       // 300
  const std::string oneDir = dir / one;
  const std::string twoDir = oneDir + "\\" + two;
  ASSERT_TRUE(writeFile(oneDir + "\\1.rmp", "x"));
  ASSERT_TRUE(writeFile(twoDir + "\\2.rmp", "x"));
  ASSERT_TRUE(writeFile(twoDir + "\\deep\\3.rmp", "x"));
  FileFinder finder;
  scan(finder, "*.rmp", true, dir.path());
  EXPECT_EQ(paths(finder), (std::vector<std::string>{twoDir + "\\2.rmp", oneDir + "\\1.rmp"}));

  // Scanning from inside the long directory lists nothing at all.
  ASSERT_EQ(_chdir(oneDir.c_str()), 0);
  ASSERT_EQ(_chdir(two.c_str()), 0);
  finder.scan("*.rmp", true, nullptr, false);
  EXPECT_EQ(finder.entryCount(), 0);
  finder.scan("*.rmp", true, "deep", false);
  EXPECT_EQ(finder.entryCount(), 0);
  ASSERT_EQ(_chdir(".."), 0);
  EXPECT_EQ(cwdNow(), oneDir);
}

TEST(FileFinder, DirectoryLinksAreNeverEntered) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "target\\t.rmp", "x"));
  ASSERT_TRUE(writeFile(dir / "target\\in\\i.rmp", "x"));
  if (!makeDirectoryLink(dir / "target", dir / "link")) GTEST_SKIP() << "no directory links here";
  FileFinder finder;
  scan(finder, "*.rmp", true, dir.path());
  EXPECT_EQ(paths(finder), under(dir.path(), {"target\\in\\i.rmp", "target\\t.rmp"}));
}

// A link back to an ancestor would make the tree endless; it is not entered.
TEST(FileFinder, ALinkToAnAncestorIsNotFollowed) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "a.rmp", "x"));
  ASSERT_TRUE(writeFile(dir / "sub\\b.rmp", "x"));
  if (!makeDirectoryLink(dir.path().substr(0, dir.path().size() - 1), dir / "sub\\loop")) {
    GTEST_SKIP() << "no directory links here";
  }
  std::string before = cwdNow();
  FileFinder finder;
  scan(finder, "*.rmp", true, dir.path());
  EXPECT_EQ(paths(finder), under(dir.path(), {"sub\\b.rmp", "a.rmp"}));
  EXPECT_EQ(cwdNow(), before);
}
