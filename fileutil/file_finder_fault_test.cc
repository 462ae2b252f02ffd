// FileFinder against the Linux layer's failure hook: every failure of a
// platform call or an allocation comes out clean, and the current
// directory is put back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fault.h"
#include "file_finder.h"
#include "test_fs.h"

namespace {

std::string cwdNow() {
  char buffer[1024];
  return _getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("(none)");
}

std::vector<std::string> paths(FileFinder& finder) {
  std::vector<std::string> out;
  finder.moveFirst();
  while (finder.currentFindData()) {
    const char* path = finder.currentPath();
    out.push_back(path ? path : "(null)");
    finder.moveNext();
  }
  return out;
}

class FinderFault : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.valid());
    for (const char* file : {"a.rmp", "Sub1\\b.rmp", "Sub1\\Deep\\c.rmp", "Sub2\\d.rmp"}) {
      ASSERT_TRUE(writeFile(dir / file, "x"));
    }
    ASSERT_EQ(_chdir(dir.path().c_str()), 0);
    start = cwdNow();
  }
  void TearDown() override { faultDisarm(); }

  std::string p(const char* relative) { return dir / relative; }

  ScopedTempDir dir;
  std::string start;
};

}  // namespace

// The calls of a scan of the example tree, in order: _getcwd and _chdir into
// the top, Sub1, Deep; back out of Deep and Sub1; into Sub2 and back; back
// to the start. Searches: "*.*" then "*.rmp" for each directory, Deep's
// before Sub1's "*.rmp". A failed call costs only its part of the tree, and
// leaves a gap where that part would have been listed; changing back is
// tried again, so one failure of it costs nothing.
TEST_F(FinderFault, EachFailingCallCostsOnlyItsPart) {
  struct Row {
    const char* what;
    FaultCall call;
    long nth;
    long count;
    std::vector<const char*> found;
    int32_t beforeGap;
  };
  const Row rows[] = {
      {"top's _getcwd", FaultCall::GetCwd, 1, 1, {}, 0},
      {"Sub1's _getcwd", FaultCall::GetCwd, 2, 1, {"Sub2\\d.rmp", "a.rmp"}, 0},
      {"Deep's _getcwd", FaultCall::GetCwd, 3, 1, {"Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"}, 0},
      {"entering the top", FaultCall::ChDir, 1, 1, {}, 0},
      {"entering Sub1", FaultCall::ChDir, 2, 1, {"Sub2\\d.rmp", "a.rmp"}, 0},
      {"entering Deep", FaultCall::ChDir, 3, 1, {"Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"}, 0},
      {"leaving Deep once", FaultCall::ChDir, 4, 1, {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"}, 4},
      {"leaving Sub2 once", FaultCall::ChDir, 7, 1, {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"}, 4},
      // Failing to change back twice stops the scan; what is listed stays.
      {"leaving Deep twice", FaultCall::ChDir, 4, 2, {"Sub1\\Deep\\c.rmp"}, 1},
      {"leaving Sub1 twice", FaultCall::ChDir, 5, 2, {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp"}, 2},
      {"leaving Sub2 twice", FaultCall::ChDir, 7, 2, {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp", "Sub2\\d.rmp"}, 3},
      {"top's directory search", FaultCall::FindFirstFile, 1, 1, {"a.rmp"}, 0},
      {"Sub1's directory search", FaultCall::FindFirstFile, 2, 1, {"Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"}, 0},
      {"Deep's file search", FaultCall::FindFirstFile, 4, 1, {"Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"}, 0},
      {"top's file search", FaultCall::FindFirstFile, 8, 1, {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp", "Sub2\\d.rmp"}, 3},
      {"top's first next name", FaultCall::FindNextFile, 1, 1, {"a.rmp"}, 0},
      // The last call of the scan: the end of the top's own files.
      {"top's last next name", FaultCall::FindNextFile, 19, 1,
       {"Sub1\\Deep\\c.rmp", "Sub1\\b.rmp", "Sub2\\d.rmp", "a.rmp"}, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FileFinder finder;
    faultArm(row.call, row.nth, row.count);
    finder.scan("*.rmp", true, dir.path().c_str(), false);
    EXPECT_TRUE(faultTriggered());
    faultDisarm();
    std::vector<std::string> expected;
    for (const char* relative : row.found) expected.push_back(p(relative));
    EXPECT_EQ(paths(finder), expected);
    EXPECT_EQ(finder.entriesBeforeGap(), row.beforeGap);
    EXPECT_EQ(finder.state->depth, 0);
    EXPECT_EQ(cwdNow(), start);
  }
}

TEST_F(FinderFault, AScanWithoutFailuresHasNoGap) {
  FileFinder finder;
  finder.scan("*.rmp", true, dir.path().c_str(), false);
  EXPECT_EQ(finder.entryCount(), 4);
  EXPECT_EQ(finder.entriesBeforeGap(), 4);
  // A gap belongs to the scan that met it: the next scan starts without one.
  faultArm(FaultCall::GetCwd, 2);
  finder.scan("*.rmp", true, dir.path().c_str(), false);
  faultDisarm();
  EXPECT_EQ(finder.entriesBeforeGap(), 0);
  finder.scan("*.rmp", true, dir.path().c_str(), false);
  EXPECT_EQ(finder.entriesBeforeGap(), 4);
}

TEST_F(FinderFault, FailingTwiceToGetBackToTheStartLeavesTheListWhole) {
  FileFinder finder;
  faultArm(FaultCall::ChDir, 8, 2);
  finder.scan("*.rmp", true, dir.path().c_str(), false);
  EXPECT_TRUE(faultTriggered());
  EXPECT_EQ(paths(finder).size(), 4u);
  EXPECT_EQ(finder.entriesBeforeGap(), 4);
  // The scan could not put the current directory back; the next one can.
  faultDisarm();
  ASSERT_EQ(_chdir(start.c_str()), 0);
  finder.scan("*.rmp", true, "Sub1", false);
  EXPECT_EQ(paths(finder), (std::vector<std::string>{p("Sub1\\Deep\\c.rmp"), p("Sub1\\b.rmp")}));
  EXPECT_EQ(cwdNow(), start);
}

// Allocation N fails, for every N the scan makes: the first is the state,
// then three for each entry (the entry, its directory text, its node).
TEST_F(FinderFault, EachFailingAllocationDropsOneEntryWhole) {
  const std::vector<std::string> all = {p("Sub1\\Deep\\c.rmp"), p("Sub1\\b.rmp"), p("Sub2\\d.rmp"), p("a.rmp")};
  for (bool rootMode : {false, true}) {
    for (long nth = 1;; ++nth) {
      SCOPED_TRACE(std::string(rootMode ? "root mode, " : "") + "allocation " + std::to_string(nth));
      faultArm(FaultCall::HeapAlloc, nth);
      std::vector<std::string> found;
      int32_t count;
      int32_t beforeGap;
      {
        FileFinder finder;
        finder.scan("*.rmp", true, dir.path().c_str(), rootMode);
        count = finder.entryCount();
        beforeGap = finder.entriesBeforeGap();
        if (!rootMode) found = paths(finder);
      }
      const bool triggered = faultTriggered();
      faultDisarm();
      EXPECT_EQ(cwdNow(), start);
      if (!triggered) {
        EXPECT_EQ(count, 4);
        break;
      }
      if (nth == 1 || (rootMode && nth == 2)) {
        // No state, or no root: nothing is listed.
        EXPECT_EQ(count, 0);
        continue;
      }
      EXPECT_EQ(count, 3);
      // The gap stands where the dropped entry would have been.
      EXPECT_EQ(beforeGap, (nth - (rootMode ? 3 : 2)) / 3);
      if (!rootMode) {
        for (const std::string& path : found) EXPECT_NE(std::find(all.begin(), all.end(), path), all.end()) << path;
      }
    }
  }
}

TEST_F(FinderFault, AFinderWithoutStateIsAnEmptyFinder) {
  faultArm(FaultCall::HeapAlloc, 1);
  FileFinder finder;
  EXPECT_TRUE(faultTriggered());
  faultDisarm();
  EXPECT_EQ(finder.state, nullptr);
  faultArm(FaultCall::ChDir, 1);
  finder.scan("*.rmp", true, dir.path().c_str(), true);
  EXPECT_FALSE(faultTriggered()) << "a finder without state does not even change directory";
  faultDisarm();
  EXPECT_EQ(finder.entryCount(), 0);
  EXPECT_EQ(finder.entriesBeforeGap(), 0);
  EXPECT_FALSE(finder.moveFirst());
  EXPECT_FALSE(finder.moveNext());
  EXPECT_EQ(finder.currentFindData(), nullptr);
  EXPECT_EQ(finder.currentPath(), nullptr);
  EXPECT_EQ(finder.currentFileName(), nullptr);
  finder.reset();
}
