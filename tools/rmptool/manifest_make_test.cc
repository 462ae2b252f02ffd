// Making manifests of real trees: the listing, its order, what is refused,
// and the round trip through check and plan.
#include "manifest_make.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "manifest_check.h"
#include "plan.h"
#include "test_fs.h"

namespace {

MakeResult make(const std::string& tree, const std::string& manifestPath = std::string(),
                const std::vector<std::string>& excludes = {}) {
  MakeOptions options;
  options.tree = tree;
  options.manifestPath = manifestPath;
  options.excludes = excludes;
  MakeResult result;
  makeManifest(options, result);
  return result;
}

void layOut(const ScopedTempDir& dir) {
  for (const char* file : {"Game\\Pellmoor.exe", "Game\\b.dat", "Game\\A.dat", "Game\\data\\cars\\gt1.car",
                           "Game\\data\\Tracks\\ring.trk", "Game\\addon\\addon.rmp", "Game\\addon\\readme.txt",
                           "Game\\old.rmp", "Game\\logs\\today.log"}) {
    ASSERT_TRUE(writeFile(dir / file, "x"));
  }
  ASSERT_TRUE(makeDirectory(dir / "Game\\empty"));
}

}  // namespace

TEST(ManifestMake, ListsFilesThenEachDirectoryBeforeWhatIsInside) {
  ScopedTempDir dir;
  layOut(dir);
  MakeResult result = make(dir / "Game");
  EXPECT_TRUE(result.trouble.empty());
  EXPECT_TRUE(result.refused.empty());
  // Names in folded order, files of a directory before its directories;
  // manifests are left out.
  EXPECT_EQ(result.text,
            "A.dat\nb.dat\nPellmoor.exe\n"
            "addon\\\naddon\\readme.txt\n"
            "data\\\ndata\\cars\\\ndata\\cars\\gt1.car\ndata\\Tracks\\\ndata\\Tracks\\ring.trk\n"
            "empty\\\n"
            "logs\\\nlogs\\today.log\n");
  EXPECT_EQ(result.files, 7);
  EXPECT_EQ(result.directories, 6);
}

TEST(ManifestMake, ExcludesAndWhereTheManifestLies) {
  ScopedTempDir dir;
  layOut(dir);
  // Relative to a manifest one level up, the tree itself is listed first;
  // the manifest's own file is left out.
  ASSERT_TRUE(writeFile(dir / "all.rmp", "old"));
  MakeResult above = make(dir / "Game\\", dir / "all.rmp", {"*.log", "data/cars", "EMPTY", "?.dat"});
  EXPECT_EQ(above.text,
            "Game\\\nGame\\Pellmoor.exe\n"
            "Game\\addon\\\nGame\\addon\\readme.txt\n"
            "Game\\data\\\nGame\\data\\Tracks\\\nGame\\data\\Tracks\\ring.trk\n"
            "Game\\logs\\\n");
  EXPECT_EQ(make(dir / "Game", dir / "Game\\data\\x.rmp").trouble,
            "the manifest must lie in the tree or in a directory above it");
  EXPECT_EQ(make(dir / "none").trouble, "no such directory");
  EXPECT_EQ(make(dir / "Game\\b.dat").trouble, "not a directory");
}

TEST(ManifestMake, RefusesNamesTheFormatCannotCarry) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "Game\\fine.dat", "x"));
  // Made as they stand, as a "\\?\" path would make them on Windows.
  ASSERT_TRUE(writeFile(dir / "Game\\dot.", "x"));
  ASSERT_TRUE(writeFile(dir / "Game\\blank \\x.dat", "x"));
  ASSERT_TRUE(writeFile(dir / "Game\\con.txt", "x"));
  ASSERT_TRUE(writeFile(dir / "Game\\caf\xe9.dat", "x"));
  ASSERT_TRUE(writeFile(dir / "Game\\" + std::string(250, 'n'), "x"));
  const bool haveLink = makeDirectoryLink(dir / "Game\\blank ", dir / "Game\\link");
  MakeResult result = make(dir / "Game");
  std::vector<std::string> expected = {
      "caf\xe9.dat: holds bytes above 0x7F, whose meaning depends on the ANSI code page",
      "con.txt: is a reserved device name, which Windows does not open as a file",
      "dot.: ends in a dot or a blank, which Windows strips, so another name would be deleted",
      std::string(250, 'n') + ": its path is ",
      "blank \\: ends in a dot or a blank, which Windows strips, so another name would be deleted",
  };
  if (haveLink) expected.push_back("link\\: is a link: the uninstaller never deletes a link or anything through one");
  ASSERT_EQ(result.refused.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(result.refused[i].compare(0, expected[i].size(), expected[i]), 0) << result.refused[i];
  }
}

// What make writes passes check without a finding, and a plan of the tree
// it describes deletes every bit of it.
TEST(ManifestMake, RoundTripThroughCheckAndPlan) {
  ScopedTempDir dir;
  layOut(dir);
  ASSERT_TRUE(writeFile(dir / "Game\\data\\cars\\.hidden", "h"));
  MakeResult result = make(dir / "Game", dir / "Game\\game.rmp");
  ASSERT_TRUE(result.refused.empty());
  ASSERT_TRUE(writeFile(dir / "Game\\game.rmp", result.text));
  // The other manifests in the tree replay themselves; this one lists the rest.
  ASSERT_TRUE(writeFile(dir / "Game\\addon\\addon.rmp", ""));
  ASSERT_TRUE(writeFile(dir / "Game\\old.rmp", ""));

  CheckOptions options;
  options.tree = true;
  CheckReport report;
  checkManifest(dir / "Game\\game.rmp", options, report);
  EXPECT_TRUE(report.findings.empty()) << report.findings[0].message;
  EXPECT_TRUE(report.trouble.empty());

  Installation installation;
  strcpy(installation.installDir, (dir / "Game\\").c_str());
  Plan plan;
  makePlan(installation, plan);
  int deletions = 0;
  for (const PlanAction& action : plan.actions) {
    if (action.verb == "delete" || action.verb == "remove") ++deletions;
    // Only the leftovers are not there.
    EXPECT_TRUE(action.verb != "skip" || action.path == dir / "Game\\sysinfo.txt" ||
                action.reason == "no start-menu folder")
        << action.verb << " " << action.path << " " << action.reason;
  }
  // Every file and directory, the three manifests, but not Game itself.
  EXPECT_EQ(deletions, result.files + result.directories + 3);
}
