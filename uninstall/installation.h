// Where the game is installed, as the registry tells it.
#pragma once

// Sizes of the strings kept for the whole run.
constexpr int kInstallDirSize = 2048;
constexpr int kStartMenuFolderSize = 1024;
// Size of the buffer each registry value is queried into.
constexpr unsigned kRegistryValueSize = 128;

struct Installation {
  // The "Install Dir" value with one backslash appended when it is not empty
  // and does not end in one; empty when none was read.
  char installDir[kInstallDirSize] = {};
  // The "Folder" value, unchanged; empty when none was read.
  char startMenuFolder[kStartMenuFolderSize] = {};
};

// Reads HKEY_LOCAL_MACHINE\Software\Quendrix\Pellmoor. A key that cannot be
// opened, or a value that is missing, not REG_SZ or longer than 127
// characters, leaves its string empty. Every key opened is closed.
void readInstallation(Installation& installation);
