// The pieces of the uninstall sequence that do not need the registry.
#include "sequence.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "test_fs.h"

namespace {

Installation makeInstallation(const std::string& installDir, const std::string& folder) {
  Installation installation;
  strcpy(installation.installDir, installDir.c_str());
  strcpy(installation.startMenuFolder, folder.c_str());
  return installation;
}

std::string leftover(const Installation& installation, int index) {
  char path[kLeftoverPathSize];
  return leftoverPath(installation, index, path) ? std::string(path) : std::string("(none)");
}

}  // namespace

TEST(Sequence, LeftoverPathsInOrder) {
  Installation installation = makeInstallation("C:\\Games\\Pellmoor\\", "C:\\Menu\\Pellmoor");
  EXPECT_EQ(leftover(installation, 0), "C:\\Games\\Pellmoor\\sysinfo.txt");
  EXPECT_EQ(leftover(installation, 1), "C:\\Menu\\Pellmoor\\Play Pellmoor Online with GameSpy Arcade.url");
  EXPECT_EQ(leftover(installation, 2), "C:\\Menu\\Pellmoor\\3D Setup.lnk");
  EXPECT_EQ(leftover(installation, 3), "C:\\Menu\\Pellmoor\\Pellmoor Dedicated Server.lnk");
  EXPECT_EQ(leftover(installation, 4), "(none)");
}

TEST(Sequence, FolderEndingInBackslashGivesTwoInARow) {
  Installation installation = makeInstallation("C:\\G\\", "C:\\Menu\\");
  EXPECT_EQ(leftover(installation, 2), "C:\\Menu\\\\3D Setup.lnk");
}

TEST(Sequence, NoFolderMeansNoShortcutDeletions) {
  Installation installation = makeInstallation("C:\\G\\", "");
  EXPECT_EQ(leftover(installation, 0), "C:\\G\\sysinfo.txt");
  for (int i = 1; i < kLeftoverCount; ++i) EXPECT_EQ(leftover(installation, i), "(none)");
}

TEST(Sequence, NoteNamesTheLongFormWhenTheDirectoryExists) {
  ScopedTempDir dir;
  char note[kNoteSize];
  composeNote(dir.path().c_str(), note);
  EXPECT_EQ(std::string(note),
            "Certain files, including player profiles, saved games, car setups and replays will be left on "
            "your hard drive at " +
                dir.path() +
                " .  You may delete these files at your discretion after this uninstall process has "
                "finished.");

  composeNote((dir / "gone\\").c_str(), note);
  EXPECT_STREQ(note,
               "Certain files, including player profiles, saved games, car setups and replays will be left on "
               "your hard drive in the Pellmoor installation folder.  You may delete these files at your "
               "discretion after this uninstall process has finished.");
  EXPECT_STREQ(kNoteCaption, "Note:");
}

TEST(Sequence, FormatNoteIsWhatComposeNoteShows) {
  ScopedTempDir dir;
  char composed[kNoteSize];
  char formatted[kNoteSize];
  composeNote(dir.path().c_str(), composed);
  formatNote(dir.path().c_str(), formatted);
  EXPECT_STREQ(formatted, composed);
  composeNote((dir / "gone\\").c_str(), composed);
  formatNote(nullptr, formatted);
  EXPECT_STREQ(formatted, composed);
}
