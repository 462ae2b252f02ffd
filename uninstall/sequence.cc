// The uninstall sequence.
#include "sequence.h"

#include <stdio.h>
#include <string.h>

#include "platform.h"
#include "replay.h"

const char* const kNoteCaption = "Note:";

namespace {

constexpr int kLongPathSize = 2048;

const char* const kNoteWithPath =
    "Certain files, including player profiles, saved games, car setups and replays will be left on "
    "your hard drive at %s .  You may delete these files at your discretion after this uninstall "
    "process has finished.";
const char* const kNoteWithoutPath =
    "Certain files, including player profiles, saved games, car setups and replays will be left on "
    "your hard drive in the Pellmoor installation folder.  You may delete these files at your "
    "discretion after this uninstall process has finished.";

const char* const kShortcuts[] = {
    "\\Play Pellmoor Online with GameSpy Arcade.url",
    "\\3D Setup.lnk",
    "\\Pellmoor Dedicated Server.lnk",
};

}  // namespace

bool leftoverPath(const Installation& installation, int index, char* out) {
  out[0] = '\0';
  int length;
  if (index == 0) {
    length = snprintf(out, kLeftoverPathSize, "%s%s", installation.installDir, "sysinfo.txt");
  } else if (index >= 1 && index < kLeftoverCount && installation.startMenuFolder[0] != '\0') {
    length = snprintf(out, kLeftoverPathSize, "%s%s", installation.startMenuFolder, kShortcuts[index - 1]);
  } else {
    return false;
  }
  // The registry limits both strings, so a path always fits; never use a cut one.
  if (length < 0 || length >= kLeftoverPathSize) {
    out[0] = '\0';
    return false;
  }
  return true;
}

void composeNote(const char* installDir, char* out) {
  char longPath[kLongPathSize];
  DWORD length = GetLongPathNameA(installDir, longPath, kLongPathSize);
  formatNote(length != 0 && length < static_cast<DWORD>(kLongPathSize) ? longPath : nullptr, out);
}

void formatNote(const char* longPath, char* out) {
  if (longPath) {
    snprintf(out, kNoteSize, kNoteWithPath, longPath);
  } else {
    snprintf(out, kNoteSize, "%s", kNoteWithoutPath);
  }
}

int runUninstall() {
  Installation installation;
  readInstallation(installation);
  if (installation.installDir[0] == '\0') return -1;

  replayManifests(installation.installDir, "*.rmp");

  char path[kLeftoverPathSize];
  for (int i = 0; i < kLeftoverCount; ++i) {
    if (leftoverPath(installation, i, path)) removeFile(path);
  }

  char note[kNoteSize];
  composeNote(installation.installDir, note);
  MessageBoxA(nullptr, note, kNoteCaption, MB_OK);
  return 0;
}
