// Scenarios of the manifest replay on small real trees.
#include "replay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "line_reader.h"
#include "platform.h"
#include "replay_recorder.h"
#include "test_fs.h"

namespace {

std::vector<std::string> replay(const ScopedTempDir& dir, const char* pattern = "*.rmp") {
  ReplayRecorder recorder;
  recorder.root = dir.path();
  replayManifests(dir.path().c_str(), pattern, recorder.hooks());
  return recorder.log;
}

using Log = std::vector<std::string>;

}  // namespace

TEST(Replay, FilesThenManifestThenDirectoriesInnermostFirst) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "outer\\inner\\b.dat", "b"));
  ASSERT_TRUE(writeFile(dir / "outer\\a.dat", "a"));
  ASSERT_TRUE(writeFile(dir / "game.rmp", "outer\\\nouter\\inner\\\nouter\\a.dat\nouter\\inner\\b.dat\n"));
  const Log expected = {
      "opened game.rmp",
      "delete outer\\a.dat",
      "delete outer\\inner\\b.dat",
      "delete game.rmp",
      "remove outer\\inner\\",
      "remove outer\\",
  };
  EXPECT_EQ(replay(dir), expected);
  EXPECT_FALSE(pathExists(dir / "outer"));
  EXPECT_FALSE(pathExists(dir / "game.rmp"));
}

TEST(Replay, DirectoryHoldingAnUnlistedFileStaysWithItsParents) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "save\\profiles\\player.dat", "mine"));
  ASSERT_TRUE(writeFile(dir / "save\\profiles\\default.dat", "x"));
  ASSERT_TRUE(writeFile(dir / "game.rmp", "save\\\nsave\\profiles\\\nsave\\profiles\\default.dat\n"));
  const Log expected = {
      "opened game.rmp",
      "delete save\\profiles\\default.dat",
      "delete game.rmp",
      "remove save\\profiles\\ (failed)",
      "remove save\\ (failed)",
  };
  EXPECT_EQ(replay(dir), expected);
  EXPECT_EQ(readFile(dir / "save\\profiles\\player.dat"), "mine");
}

TEST(Replay, SubdirectoryManifestsGoFirstSoTheRootCanRemoveTheirDirectory) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "addon\\car.dat", "c"));
  ASSERT_TRUE(writeFile(dir / "addon\\addon.rmp", "car.dat\n"));
  ASSERT_TRUE(writeFile(dir / "base.rmp", "addon\\\n"));
  const Log expected = {
      "opened addon\\addon.rmp", "delete addon\\car.dat", "delete addon\\addon.rmp",
      "opened base.rmp",         "delete base.rmp",      "remove addon\\",
  };
  EXPECT_EQ(replay(dir), expected);
  EXPECT_FALSE(pathExists(dir / "addon"));
}

TEST(Replay, ManifestDeletedByAnEarlierOneIsNotApplied) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "sub\\first.rmp", "..\\second.rmp\n"));
  ASSERT_TRUE(writeFile(dir / "second.rmp", "keep.dat\n"));
  ASSERT_TRUE(writeFile(dir / "keep.dat", "k"));
  const Log expected = {
      "opened sub\\first.rmp", "delete sub\\..\\second.rmp", "delete sub\\first.rmp",
      "unreadable second.rmp",
  };
  EXPECT_EQ(replay(dir), expected);
  EXPECT_TRUE(pathExists(dir / "keep.dat"));
}

TEST(Replay, LineEndsAndEmptyLines) {
  struct Row {
    const char* name;
    std::string manifest;
    Log deletes;
  };
  const Row rows[] = {
      {"lf", "a.dat\nb.dat\n", {"delete a.dat", "delete b.dat"}},
      {"crlf", "a.dat\r\nb.dat\r\n", {"delete a.dat", "delete b.dat"}},
      {"last line without lf", "a.dat\nb.dat", {"delete a.dat", "delete b.dat"}},
      {"cr only: first entry of the piece", "a.dat\rb.dat\r", {"delete a.dat"}},
      {"empty and cr-only lines", "\n\r\n\r\na.dat\n\n", {"delete a.dat"}},
      {"nul ends the entry", std::string("a.dat\0b.dat\nb.dat\n", 18), {"delete a.dat", "delete b.dat"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (bool gzip : {false, true}) {
      SCOPED_TRACE(gzip ? "gzip" : "plain");
      ScopedTempDir dir;
      ASSERT_TRUE(writeFile(dir / "a.dat", "a"));
      ASSERT_TRUE(writeFile(dir / "b.dat", "b"));
      ASSERT_TRUE(writeFile(dir / "m.rmp", gzip ? gzipBytes(row.manifest) : row.manifest));
      Log expected = {"opened m.rmp"};
      expected.insert(expected.end(), row.deletes.begin(), row.deletes.end());
      expected.push_back("delete m.rmp");
      EXPECT_EQ(replay(dir), expected);
    }
  }
}

TEST(Replay, LongLinesArriveAsSeveralEntries) {
  ScopedTempDir dir;
  // 1023 bytes and 477 more: the first piece is too long to join to any
  // directory and is passed over; the rest names a file of its own.
  std::string head(1023, 'h'), tail(477, 't');
  // A line of exactly 1023 bytes and its LF: one entry, the LF passed over.
  std::string exact(1023, 'e');
  ASSERT_TRUE(writeFile(dir / "m.rmp", head + tail + "\n" + exact + "\nshort.dat\n"));
  ASSERT_TRUE(writeFile(dir / "short.dat", "s"));
  const Log expected = {
      "opened m.rmp",
      "too long  +1023",
      "delete " + tail + " (failed)",
      "too long  +1023",
      "delete short.dat",
      "delete m.rmp",
  };
  EXPECT_EQ(replay(dir), expected);
}

TEST(Replay, ManifestsThatCannotBeOpenedArePassedOver) {
  ScopedTempDir dir;
  // Its disk name is I+~63on\m.rmp, which does not exist.
  ASSERT_TRUE(writeFile(dir / "Icon\\m.rmp", "x.dat\n"));
  ASSERT_TRUE(writeFile(dir / "Icon\\x.dat", "x"));
  const Log expected = {"unreadable Icon\\m.rmp"};
  EXPECT_EQ(replay(dir), expected);
  EXPECT_TRUE(pathExists(dir / "Icon\\m.rmp"));
  EXPECT_TRUE(pathExists(dir / "Icon\\x.dat"));
}

TEST(Replay, EmptyManifestIsDeletedAndNoManifestDoesNothing) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "keep.txt", "k"));
  EXPECT_EQ(replay(dir), Log{});
  ASSERT_TRUE(writeFile(dir / "empty.rmp", ""));
  const Log expected = {"opened empty.rmp", "delete empty.rmp"};
  EXPECT_EQ(replay(dir), expected);
  EXPECT_TRUE(pathExists(dir / "keep.txt"));
}

TEST(Replay, DamagedGzipAppliesWhatWasReadAndStillFinishes) {
  ScopedTempDir dir;
  std::string body = "d\\\n";
  for (int i = 0; i < 3000; ++i) body += "d\\f" + std::to_string(i) + ".dat\n";
  std::string packed = gzipBytes(body);
  ASSERT_TRUE(writeFile(dir / "m.rmp", packed.substr(0, packed.size() * 3 / 4)));
  ASSERT_TRUE(writeFile(dir / "d\\f0.dat", "0"));
  ASSERT_TRUE(writeFile(dir / "d\\f2999.dat", "last"));
  Log log = replay(dir);
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[1], "delete d\\f0.dat");
  EXPECT_EQ(log[log.size() - 3], "damaged m.rmp");
  EXPECT_EQ(log[log.size() - 2], "delete m.rmp");
  EXPECT_EQ(log.back(), "remove d\\ (failed)");
  EXPECT_FALSE(pathExists(dir / "d\\f0.dat"));
  EXPECT_TRUE(pathExists(dir / "d\\f2999.dat"));
}

TEST(Replay, ReadOnlyAndMissingFilesArePassedOver) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "ro.dat", "r"));
  ASSERT_TRUE(setReadOnly(dir / "ro.dat", true));
  ASSERT_TRUE(writeFile(dir / "m.rmp", "missing.dat\nro.dat\n"));
  const Log expected = {"opened m.rmp", "delete missing.dat (failed)", "delete ro.dat (failed)", "delete m.rmp"};
  EXPECT_EQ(replay(dir), expected);
  EXPECT_TRUE(pathExists(dir / "ro.dat"));
}

TEST(Replay, RealCallsByDefault) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "d\\x.dat", "x"));
  ASSERT_TRUE(writeFile(dir / "m.rmp", gzipBytes("d\\\nd\\x.dat\n")));
  replayManifests(dir.path().c_str(), "*.rmp");
  EXPECT_FALSE(pathExists(dir / "d"));
  EXPECT_FALSE(pathExists(dir / "m.rmp"));
}
