// The manifest replay against the Linux layer's failure hook: a failure that
// a later run would not meet never costs the record of what is left to do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fault.h"
#include "platform.h"
#include "replay.h"
#include "replay_recorder.h"
#include "test_fs.h"

namespace {

using Log = std::vector<std::string>;

// An add-on with its own manifest, in a folder that the base manifest lists.
class ReplayFault : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(writeFile(dir / "addon\\car.dat", "c"));
    ASSERT_TRUE(writeFile(dir / "addon\\addon.rmp", "cars\\\ncar.dat\n"));
    ASSERT_TRUE(makeDirectory(dir / "addon\\cars"));
    ASSERT_TRUE(writeFile(dir / "game.exe", "g"));
    ASSERT_TRUE(writeFile(dir / "base.rmp", "addon\\\ngame.exe\n"));
  }
  void TearDown() override { faultDisarm(); }

  Log replay() {
    ReplayRecorder recorder;
    recorder.root = dir.path();
    recorder.only = {ReplayNotice::HeldBack, ReplayNotice::OutOfMemory, ReplayNotice::ManifestUnreadable};
    replayManifests(dir.path().c_str(), "*.rmp", recorder.hooks());
    return recorder.log;
  }

  ScopedTempDir dir;
};

const Log kWhole = {
    "delete addon\\car.dat", "delete addon\\addon.rmp", "remove addon\\cars\\",
    "delete game.exe",       "delete base.rmp",         "remove addon\\",
};

}  // namespace

// The add-on's folder could not be searched: the base manifest, which would
// remove that folder, waits; the next run does it all in order.
TEST_F(ReplayFault, ManifestsAfterAGapInTheSearchWait) {
  faultArm(FaultCall::FindFirstFile, 5);  // the add-on folder's "*.rmp", after "*.*" there and in cars
  EXPECT_EQ(replay(), Log{"held back base.rmp"});
  EXPECT_TRUE(faultTriggered());
  faultDisarm();
  EXPECT_TRUE(pathExists(dir / "base.rmp"));
  EXPECT_EQ(replay(), kWhole);
  EXPECT_EQ(listTree(dir.path()), std::set<std::string>{});
}

// Memory for a directory entry runs short: that manifest is kept with its
// folders, the replay stops, and the next run finishes the job.
TEST_F(ReplayFault, MemoryShortForADirectoryEntryStopsTheReplay) {
  bool seen = false;
  for (long nth = 1; !seen; ++nth) {
    SetUp();
    faultArm(FaultCall::HeapAlloc, nth);
    const Log log = replay();
    ASSERT_TRUE(faultTriggered()) << "no allocation for a directory entry failed";
    faultDisarm();
    if (log.empty() || log[0] != "out of memory addon\\addon.rmp") continue;
    seen = true;
    EXPECT_EQ(log, (Log{"out of memory addon\\addon.rmp", "held back base.rmp"}));
    EXPECT_TRUE(pathExists(dir / "addon\\addon.rmp"));
    EXPECT_EQ(replay(), kWhole);
    EXPECT_EQ(listTree(dir.path()), std::set<std::string>{});
  }
}

// The add-on's manifest is there but does not open this time: it and the
// base manifest after it wait; a manifest that is not there is passed over.
TEST_F(ReplayFault, AManifestThatIsThereButDoesNotOpenStopsTheReplay) {
  faultArm(FaultCall::GzOpen, 1);
  EXPECT_EQ(replay(), (Log{"unreadable addon\\addon.rmp", "held back base.rmp"}));
  faultDisarm();
  EXPECT_EQ(replay(), kWhole);

  // Taken away by an earlier manifest, a manifest is simply not there.
  SetUp();
  ASSERT_TRUE(writeFile(dir / "addon\\addon.rmp", "cars\\\ncar.dat\n..\\a-late.rmp\n"));
  ASSERT_TRUE(writeFile(dir / "a-late.rmp", "game.exe\n"));
  const Log expected = {
      "delete addon\\car.dat",   "delete addon\\..\\a-late.rmp", "delete addon\\addon.rmp",
      "remove addon\\cars\\",    "unreadable a-late.rmp",       "delete game.exe",
      "delete base.rmp",         "remove addon\\",
  };
  EXPECT_EQ(replay(), expected);
}
