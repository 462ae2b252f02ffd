// The whole uninstall against the Linux layer's failure hook: for every kind
// of hookable call, the Nth call fails, for N = 1, 2, ... until a run no
// longer reaches it. At every step the run must not crash or leak, must put
// the current directory back and delete nothing that the manifests and the
// four leftovers do not list; and a second run without failures must then
// leave the tree exactly as one run without failures leaves a fresh copy.
#include <gtest/gtest.h>
#include <stdio.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "fault.h"
#include "sequence.h"
#include "test_fs.h"
#include "test_registry.h"

namespace {

// A manifest of the scenario: where it lies (under the tree's root), how it
// is stored, and its entries.
struct Manifest {
  const char* path;
  bool gzip;
  const char* lineEnd;
  std::vector<const char*> entries;
};

// A realistic installation: the base game (gzip, CR LF) lists the editor's
// folders, whose own manifest must go first; the patch (gzip) lists the
// add-on folders, whose own manifest (plain) must go first too.
const Manifest kManifests[] = {
    {"Game\\base.rmp", true, "\r\n",
     {"data\\", "data\\cars\\", "data\\tracks\\", "save\\", "save\\profiles\\", "replays\\", "tools\\",
      "tools\\editor\\", "Pellmoor.exe", "data\\cars\\gt1.car", "data\\cars\\gt2.car", "data\\tracks\\ring.trk",
      "save\\profiles\\default.prf"}},
    {"Game\\patch.rmp", true, "\n", {"addons\\", "addons\\rally\\", "PatchNotes.txt"}},
    {"Game\\addons\\rally\\rally.rmp", false, "\n",
     {"cars\\", "tracks\\", "cars\\rally1.car", "tracks\\forest.trk", "readme.txt"}},
    // The last line has no line end.
    {"Game\\tools\\editor\\editor.rmp", false, "\r\n", {"bin\\", "bin\\editor.exe", "editor.ini"}},
};

// What the manifests list, as installed.
const char* const kInstalled[] = {
    "Game\\Pellmoor.exe",           "Game\\data\\cars\\gt1.car",          "Game\\data\\cars\\gt2.car",
    "Game\\data\\tracks\\ring.trk", "Game\\save\\profiles\\default.prf",  "Game\\PatchNotes.txt",
    "Game\\addons\\rally\\cars\\rally1.car", "Game\\addons\\rally\\tracks\\forest.trk",
    "Game\\addons\\rally\\readme.txt",       "Game\\tools\\editor\\bin\\editor.exe",
    "Game\\tools\\editor\\editor.ini",
};

const char* const kShortcuts[] = {"Play Pellmoor Online with GameSpy Arcade.url", "3D Setup.lnk",
                                  "Pellmoor Dedicated Server.lnk"};

// What must stay: the player's files, a file that only looks like a
// manifest, another shortcut, and canaries beside and outside the game.
const char* const kKept[] = {
    "Game\\save\\profiles\\Alice.prf", "Game\\save\\setups\\gt1-ring.set", "Game\\replays\\ring.rpl",
    "Game\\notes.rmpx",                "Menu\\Pellmoor\\Pellmoor Manual.url", "Game2\\canary.txt",
    "Documents\\letter.txt",
};

// The tree after one run without failures, directories ending in a backslash.
const std::set<std::string> kAfter = {
    "Documents\\",       "Documents\\letter.txt", "Game\\",
    "Game\\notes.rmpx",  "Game\\replays\\",       "Game\\replays\\ring.rpl",
    "Game\\save\\",      "Game\\save\\profiles\\", "Game\\save\\profiles\\Alice.prf",
    "Game\\save\\setups\\", "Game\\save\\setups\\gt1-ring.set", "Game2\\",
    "Game2\\canary.txt", "Menu\\",                "Menu\\Pellmoor\\",
    "Menu\\Pellmoor\\Pellmoor Manual.url",
};

struct Outcome {
  int code;
  std::string output;
};

class UninstallFaultSweep : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.valid());
    ASSERT_TRUE(registry.valid());
    // Everything a run may delete: each manifest, its entries joined to its
    // directory, and the four leftovers.
    for (const Manifest& manifest : kManifests) {
      const std::string path = manifest.path;
      const std::string directory = path.substr(0, path.rfind('\\') + 1);
      mayGo.insert(path);
      for (const char* entry : manifest.entries) mayGo.insert(directory + entry);
    }
    mayGo.insert("Game\\sysinfo.txt");
    for (const char* shortcut : kShortcuts) mayGo.insert(std::string("Menu\\Pellmoor\\") + shortcut);
  }

  std::string root() const { return dir / "t\\"; }

  // Lays the scenario out afresh.
  void layOut() {
    removeTree(dir / "t");
    for (const Manifest& manifest : kManifests) {
      std::string text;
      for (size_t i = 0; i < manifest.entries.size(); ++i) {
        text += manifest.entries[i];
        if (manifest.gzip || i + 1 < manifest.entries.size()) text += manifest.lineEnd;
      }
      ASSERT_TRUE(writeFile(root() + manifest.path, manifest.gzip ? gzipBytes(text) : text));
    }
    for (const char* path : kInstalled) ASSERT_TRUE(writeFile(root() + path, path));
    for (const char* path : kKept) ASSERT_TRUE(writeFile(root() + path, "keep"));
    ASSERT_TRUE(writeFile(root() + "Game\\sysinfo.txt", "system information"));
    for (const char* shortcut : kShortcuts) ASSERT_TRUE(writeFile(root() + "Menu\\Pellmoor\\" + shortcut, ""));
  }

  // One run of the program's sequence, with the note's two lines captured.
  Outcome runOnce() {
    testing::internal::CaptureStdout();
    int code = runUninstall();
    return {code, testing::internal::GetCapturedStdout()};
  }

  ScopedTempDir dir;
  ScopedTestRegistry registry{true,
                              {"Pellmoor"},
                              {regString("Install Dir", dir / "t\\Game"), regString("Folder", dir / "t\\Menu\\Pellmoor")}};
  std::set<std::string> mayGo;
};

// The note: its caption and one line of text, or nothing at all with -1.
void expectNote(const Outcome& outcome) {
  if (outcome.code == -1) {
    EXPECT_EQ(outcome.output, "");
    return;
  }
  EXPECT_EQ(outcome.code, 0);
  EXPECT_EQ(outcome.output.compare(0, 15, "Note:\nCertain f"), 0) << outcome.output;
  EXPECT_EQ(std::count(outcome.output.begin(), outcome.output.end(), '\n'), 2) << outcome.output;
}

}  // namespace

TEST_F(UninstallFaultSweep, EveryFailingCallComesOutClean) {
  // One run without failures sets the mark.
  layOut();
  const std::string start = currentDirectory();
  const Outcome clean = runOnce();
  EXPECT_EQ(clean.code, 0);
  expectNote(clean);
  ASSERT_EQ(listTree(root()), kAfter);

  const struct {
    const char* name;
    FaultCall call;
  } kinds[] = {
      {"_chdir", FaultCall::ChDir},
      {"_getcwd", FaultCall::GetCwd},
      {"FindFirstFileA", FaultCall::FindFirstFile},
      {"FindNextFileA", FaultCall::FindNextFile},
      {"gzopen", FaultCall::GzOpen},
      {"RegOpenKeyA", FaultCall::RegOpenKey},
      {"RegQueryValueExA", FaultCall::RegQueryValue},
      {"HeapAlloc", FaultCall::HeapAlloc},
  };
  for (const auto& kind : kinds) {
    long nth = 1;
    for (;; ++nth) {
      SCOPED_TRACE(std::string(kind.name) + " call " + std::to_string(nth) + " fails");
      layOut();
      const std::set<std::string> before = listTree(root());
      faultArm(kind.call, nth);
      const Outcome hindered = runOnce();
      const bool reached = faultTriggered();
      faultDisarm();

      EXPECT_EQ(currentDirectory(), start);
      expectNote(hindered);
      const std::set<std::string> after = listTree(root());
      for (const std::string& path : before) {
        if (!after.count(path)) {
          EXPECT_TRUE(mayGo.count(path)) << "deleted, never listed: " << path;
        }
      }

      // A second run without failures finishes the job.
      const Outcome second = runOnce();
      EXPECT_EQ(second.code, 0);
      expectNote(second);
      EXPECT_EQ(listTree(root()), kAfter);
      EXPECT_EQ(currentDirectory(), start);

      if (!reached || HasFailure()) break;
    }
    printf("%s: the run reaches %ld calls; each failed in turn\n", kind.name, nth - 1);
    EXPECT_GT(nth, 1) << kind.name << " is never called";
    if (HasFailure()) break;
  }
}
