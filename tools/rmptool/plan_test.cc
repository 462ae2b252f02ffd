// Plans of small real trees: the actions in the uninstaller's order, nothing
// on disk changed, and exactly what the real replay then deletes.
#include "plan.h"

#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform.h"
#include "replay.h"
#include "sequence.h"
#include "test_fs.h"

namespace {

using Lines = std::vector<std::string>;

Installation installationAt(const std::string& installDir, const std::string& folder = std::string()) {
  Installation installation;
  strcpy(installation.installDir, installDir.c_str());
  strcpy(installation.startMenuFolder, folder.c_str());
  return installation;
}

// The actions as "verb path[ reason]", with `root` left off the paths.
Lines linesOf(const Plan& plan, const std::string& root) {
  Lines lines;
  for (const PlanAction& action : plan.actions) {
    std::string path = action.path;
    if (path.compare(0, root.size(), root) == 0) path = path.substr(root.size());
    std::string reason = action.reason;
    size_t at = reason.find(root);
    if (at != std::string::npos) reason.erase(at, root.size());
    lines.push_back(action.verb + " " + path + (reason.empty() ? "" : " (" + reason + ")"));
  }
  return lines;
}

// Every file and directory under `directory` (ending in a backslash) with
// its attributes, size and last write time, as the platform's search sees
// them; directories end in a backslash.
void snapshotInto(const std::string& directory, const std::string& relative, std::map<std::string, std::string>& out) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((directory + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    bool isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::string key = relative + name + (isDirectory ? "\\" : "");
    out[key] = std::to_string(found.dwFileAttributes) + " " + std::to_string(found.nFileSizeLow) + " " +
               std::to_string(found.ftLastWriteTime.dwLowDateTime) + " " +
               std::to_string(found.ftLastWriteTime.dwHighDateTime);
    if (isDirectory && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      snapshotInto(directory + name + "\\", key, out);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

std::map<std::string, std::string> snapshot(const ScopedTempDir& dir) {
  std::map<std::string, std::string> out;
  snapshotInto(dir.path(), "", out);
  return out;
}

// What the uninstaller would delete, by the real calls: the replay, then the
// leftovers. Paths relative to `root`, as the effects named them.
std::set<std::string> realRun(const Installation& installation, const std::string& root) {
  struct Recorder {
    std::set<std::string> done;
    std::string root;
    void record(const char* path) { done.insert(std::string(path).substr(root.size())); }
    static int deleteFile(void* context, const char* path) {
      int result = removeFile(path);
      if (result == 0) static_cast<Recorder*>(context)->record(path);
      return result;
    }
    static int removeDirectory(void* context, const char* path) {
      int result = _rmdir(path);
      if (result == 0) static_cast<Recorder*>(context)->record(path);
      return result;
    }
  };
  Recorder recorder;
  recorder.root = root;
  ReplayHooks hooks;
  hooks.context = &recorder;
  hooks.deleteFile = Recorder::deleteFile;
  hooks.removeDirectory = Recorder::removeDirectory;
  replayManifests(installation.installDir, "*.rmp", hooks);
  char path[kLeftoverPathSize];
  for (int i = 0; i < kLeftoverCount; ++i) {
    if (leftoverPath(installation, i, path) && removeFile(path) == 0) recorder.record(path);
  }
  return recorder.done;
}

// The paths of the plan's delete and remove actions, relative to `root`.
std::set<std::string> plannedDeletions(const Plan& plan, const std::string& root) {
  std::set<std::string> out;
  for (const PlanAction& action : plan.actions) {
    if (action.verb == "delete" || action.verb == "remove") out.insert(action.path.substr(root.size()));
  }
  return out;
}

const char* const kNoteStart = "Certain files, including player profiles, saved games, car setups and replays will be "
                               "left on your hard drive ";

}  // namespace

TEST(Plan, FollowsTheUninstallerStepByStepAndChangesNothing) {
  ScopedTempDir dir;
  const std::string game = dir / "Game\\";
  ASSERT_TRUE(writeFile(game + "base.rmp", gzipBytes("data\\\ndata\\cars\\\nsave\\\ndata\\cars\\gt1.car\r\n"
                                                     "Pellmoor.exe\nro.dat\nsave\\default.prf\nmissing.dat\n")));
  ASSERT_TRUE(writeFile(game + "addon\\addon.rmp", "cars\\\ncars\\gt3.car\n..\\data\\cars\\gt2.car\n"));
  for (const char* file : {"addon\\cars\\gt3.car", "data\\cars\\gt1.car", "data\\cars\\gt2.car", "Pellmoor.exe",
                           "ro.dat", "save\\default.prf", "save\\player1.prf", "sysinfo.txt"}) {
    ASSERT_TRUE(writeFile(game + file, "x"));
  }
  ASSERT_TRUE(setReadOnly(game + "ro.dat", true));
  ASSERT_TRUE(writeFile(dir / "Menu\\3D Setup.lnk", ""));
  const auto before = snapshot(dir);

  Plan plan;
  makePlan(installationAt(game, dir / "Menu"), plan);
  const Lines expected = {
      "open Game\\addon\\addon.rmp",
      "delete Game\\addon\\cars\\gt3.car",
      "delete Game\\addon\\..\\data\\cars\\gt2.car",
      "delete Game\\addon\\addon.rmp",
      "remove Game\\addon\\cars\\",
      "open Game\\base.rmp",
      "delete Game\\data\\cars\\gt1.car",
      "delete Game\\Pellmoor.exe",
      "skip Game\\ro.dat (read-only)",
      "delete Game\\save\\default.prf",
      "skip Game\\missing.dat (missing)",
      "delete Game\\base.rmp",
      "skip Game\\save\\ (not empty)",
      "remove Game\\data\\cars\\",
      "remove Game\\data\\",
      "delete Game\\sysinfo.txt",
      "skip Menu\\Play Pellmoor Online with GameSpy Arcade.url (missing)",
      "delete Menu\\3D Setup.lnk",
      "skip Menu\\Pellmoor Dedicated Server.lnk (missing)",
  };
  EXPECT_EQ(linesOf(plan, dir.path()), expected);
  EXPECT_TRUE(plan.runs);
  EXPECT_EQ(plan.manifests, 2);
  EXPECT_EQ(plan.note, std::string(kNoteStart) + "at " + game +
                           " .  You may delete these files at your discretion after this uninstall process has "
                           "finished.");
  EXPECT_EQ(snapshot(dir), before);
  setReadOnly(game + "ro.dat", false);
}

TEST(Plan, ManifestsThatWouldNotOpen) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "sub\\first.rmp", "..\\second.rmp\n"));
  ASSERT_TRUE(writeFile(dir / "second.rmp", "keep.dat\n"));
  ASSERT_TRUE(writeFile(dir / "keep.dat", "k"));
  // Its disk name is I+~63on\m.rmp, which does not exist.
  ASSERT_TRUE(writeFile(dir / "Icon\\m.rmp", "x.dat\n"));
  ASSERT_TRUE(writeFile(dir / "notes.rmpx", "keep.dat\n"));
  Plan plan;
  makePlan(installationAt(dir.path()), plan);
  const Lines expected = {
      "unreadable Icon\\m.rmp (opened under its disk name I+~63on\\m.rmp, which does not exist)",
      "open sub\\first.rmp",
      "delete sub\\..\\second.rmp",
      "delete sub\\first.rmp",
      "unreadable second.rmp (deleted by an earlier manifest)",
      "skip sysinfo.txt (missing)",
      "skip Play Pellmoor Online with GameSpy Arcade.url (no start-menu folder)",
      "skip 3D Setup.lnk (no start-menu folder)",
      "skip Pellmoor Dedicated Server.lnk (no start-menu folder)",
  };
  Lines lines = linesOf(plan, dir.path());
  // Under Wine the search also finds notes.rmpx by its short name.
  lines.erase(std::remove(lines.begin(), lines.end(), "skip notes.rmpx (not a manifest)"), lines.end());
  EXPECT_EQ(lines, expected);
  EXPECT_TRUE(pathExists(dir / "second.rmp"));
}

TEST(Plan, DamagedGzipStopsTheManifestWhereTheReaderStops) {
  ScopedTempDir dir;
  std::string body = "d\\\n";
  for (int i = 0; i < 3000; ++i) body += "d\\f" + std::to_string(i) + ".dat\n";
  std::string packed = gzipBytes(body);
  ASSERT_TRUE(writeFile(dir / "m.rmp", packed.substr(0, packed.size() * 3 / 4)));
  ASSERT_TRUE(writeFile(dir / "d\\f0.dat", "0"));
  ASSERT_TRUE(writeFile(dir / "d\\f2999.dat", "last"));
  Plan plan;
  makePlan(installationAt(dir.path()), plan);
  Lines lines = linesOf(plan, dir.path());
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[1], "delete d\\f0.dat");
  EXPECT_EQ(lines[lines.size() - 7],
            "damaged m.rmp (reading stopped at damaged gzip data: nothing after it is applied)");
  EXPECT_EQ(lines[lines.size() - 6], "delete m.rmp");
  EXPECT_EQ(lines[lines.size() - 5], "skip d\\ (not empty)");
}

TEST(Plan, EntriesTheSafetyRulesRefuse) {
  ScopedTempDir dir;
  const std::string game = dir / "Game\\";
  ASSERT_TRUE(writeFile(dir / "canary.txt", "c"));
  ASSERT_TRUE(writeFile(dir / "Outside\\victim.txt", "v"));
  ASSERT_TRUE(makeDirectory(game));
  const bool haveLink = makeDirectoryLink(dir / "Outside", game + "out");
  ASSERT_TRUE(writeFile(game + "m.rmp", "..\\canary.txt\nkeep.txt:s\nout\\victim.txt\n" + std::string(1000, 'x') +
                                            "\\y\n"));
  Plan plan;
  makePlan(installationAt(game), plan);
  Lines expected = {
      "open Game\\m.rmp",
      "skip Game\\..\\canary.txt (outside the installation directory)",
      "skip Game\\keep.txt:s (not a plain relative path)",
      "skip Game\\out\\victim.txt (through a link)",
      "skip Game\\" + std::string(1000, 'x') + "\\y (path too long)",
      "delete Game\\m.rmp",
  };
  if (!haveLink) expected[3] = "skip Game\\out\\victim.txt (missing)";
  Lines lines = linesOf(plan, dir.path());
  lines.resize(expected.size());
  EXPECT_EQ(lines, expected);
}

TEST(Plan, InstallationDirectoryRemovedByAManifestGivesTheNoteWithoutPath) {
  ScopedTempDir dir;
  const std::string game = dir / "Game\\";
  ASSERT_TRUE(writeFile(game + "m.rmp", ".\\\na.dat\n"));
  ASSERT_TRUE(writeFile(game + "a.dat", "a"));
  Plan plan;
  makePlan(installationAt(game), plan);
  Lines lines = linesOf(plan, dir.path());
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[3], "remove Game\\.\\");
  EXPECT_EQ(lines[4], "skip Game\\sysinfo.txt (missing)");
  EXPECT_EQ(plan.note, std::string(kNoteStart) +
                           "in the Pellmoor installation folder.  You may delete these files at your discretion "
                           "after this uninstall process has finished.");
  EXPECT_TRUE(pathExists(game + "a.dat"));
}

TEST(Plan, NoInstallationDirectoryPlansNothing) {
  Plan plan;
  makePlan(installationAt(""), plan);
  EXPECT_FALSE(plan.runs);
  EXPECT_TRUE(plan.actions.empty());
  EXPECT_TRUE(plan.note.empty());
}

// The plan's deletions and removals are exactly what the real calls then do.
TEST(Plan, DeletesExactlyWhatTheRealRunDeletes) {
  struct Tree {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> readOnly;
  };
  const Tree trees[] = {
      {"nested directories empty out",
       {{"Game\\m.rmp", "a\\\na\\b\\\na\\b\\c\\\na\\b\\c\\f.dat\n"}, {"Game\\a\\b\\c\\f.dat", "f"}}, {}},
      {"a directory listed after one inside it stays",
       {{"Game\\m.rmp", "a\\b\\\na\\\na\\b\\f.dat\n"}, {"Game\\a\\b\\f.dat", "f"}}, {}},
      {"subdirectory manifests first",
       {{"Game\\m.rmp", "sub\\\nx.dat\n"}, {"Game\\sub\\s.rmp", "s.dat\n"}, {"Game\\sub\\s.dat", "s"},
        {"Game\\x.dat", "x"}, {"Game\\sysinfo.txt", "i"}},
       {}},
      {"a manifest listed by an earlier one",
       {{"Game\\sub\\first.rmp", "..\\second.rmp\n"}, {"Game\\second.rmp", "keep.dat\n"}, {"Game\\keep.dat", "k"}},
       {}},
      {"read-only, CR-only and repeated entries",
       {{"Game\\m.rmp", "d\\\nd\\ro.dat\nd\\rw.dat\nd\\rw.dat\na.dat\rb.dat\r"}, {"Game\\d\\ro.dat", "r"},
        {"Game\\d\\rw.dat", "w"}, {"Game\\a.dat", "a"}, {"Game\\b.dat", "b"}},
       {"Game\\d\\ro.dat"}},
      {"the installation directory itself",
       {{"Game\\m.rmp", ".\\\nsub\\\nsub\\f.dat\n"}, {"Game\\sub\\f.dat", "f"}, {"Game\\sysinfo.txt", "i"}}, {}},
      {"letter case and other spellings",
       {{"Game\\m.rmp", "DIR\\\ndir\\SUB\\\nDir/Sub/F.DAT\n.\\dir\\.\\g.dat\n"}, {"Game\\dir\\sub\\f.dat", "f"},
        {"Game\\dir\\g.dat", "g"}},
       {}},
  };
  for (const Tree& tree : trees) {
    SCOPED_TRACE(tree.name);
    ScopedTempDir dir;
    for (const auto& file : tree.files) ASSERT_TRUE(writeFile(dir / file.first, file.second));
    for (const std::string& file : tree.readOnly) ASSERT_TRUE(setReadOnly(dir / file, true));
    Installation installation = installationAt(dir / "Game\\");
    Plan plan;
    makePlan(installation, plan);
    std::set<std::string> planned = plannedDeletions(plan, dir.path());
    EXPECT_EQ(planned, realRun(installation, dir.path()));
    for (const std::string& file : tree.readOnly) setReadOnly(dir / file, false);
  }
}
