// Manifest replay: finds every install manifest under a directory and undoes
// it: the files it lists are deleted as their lines are read, then the
// manifest itself, then the directories it lists, the last listed first.
#pragma once

class LineReader;

// Why the replay passed over something on its own account. The platform's
// own refusals (missing, read-only, not empty) come back as the results of
// the effects instead.
enum class ReplayNotice {
  ManifestOpened,      // path: the manifest; detail: the disk name opened
  ManifestUnreadable,  // path: the manifest that could not be opened
  PathTooLong,         // path: the manifest's directory; detail: the entry
  OutOfMemory,         // path: the manifest; detail: the directory entry dropped
};

// The seam between the replay and the file system. The real calls are the
// default; a dry run records instead. Every member may be left null, which
// means the real call (or, for notice, nothing).
struct ReplayHooks {
  void* context = nullptr;
  // Opens the manifest at `path` in `reader`. Returns true when it opened.
  bool (*openManifest)(void* context, LineReader& reader, const char* path) = nullptr;
  // Deletes one file. Returns 0 when it was deleted, -1 otherwise.
  int (*deleteFile)(void* context, const char* path) = nullptr;
  // Removes one empty directory. Returns 0 when it was removed, -1 otherwise.
  int (*removeDirectory)(void* context, const char* path) = nullptr;
  // Told of what the replay did or passed over on its own account.
  void (*notice)(void* context, ReplayNotice notice, const char* path, const char* detail) = nullptr;
};

// Replays every manifest whose name matches `pattern` ("*.*" when null)
// anywhere under `directory`, subdirectories before the directories above
// them. Reports nothing; whatever cannot be done is passed over.
void replayManifests(const char* directory, const char* pattern);

// The same, with the file system reached through `hooks`.
void replayManifests(const char* directory, const char* pattern, const ReplayHooks& hooks);
