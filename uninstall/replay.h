// Manifest replay: finds every install manifest under a directory and undoes
// it: the files it lists are deleted as their lines are read, then the
// manifest itself, then the directories it lists, the last listed first.
#pragma once

class LineReader;

// What the replay did or passed over on its own account. The platform's own
// refusals (missing, read-only, not empty) come back as the results of the
// effects instead.
enum class ReplayNotice {
  ManifestOpened,       // path: the manifest; detail: the disk name opened
  ManifestUnreadable,   // path: the manifest that could not be opened
  ManifestDamaged,      // path: the manifest whose reading stopped at damaged data
  NotAManifest,         // path: a file the search found whose own name does not match
  PathTooLong,          // path: the manifest's directory; detail: the entry
  NotPlainEntry,        // path: the manifest's directory; detail: the entry
  OutsideInstallation,  // path: the joined path, which leaves the installation directory
  ThroughLink,          // path: the joined path, which reaches through or to a link
  OutOfMemory,          // path: the manifest, kept; detail: the directory entry no memory was found for
  HeldBack,             // path: a manifest left for a later run (see replayManifests)
};

// The seam between the replay and the file system. The real calls are the
// default; a dry run records instead. Every member may be left null, which
// means the real call (or, for notice, nothing).
struct ReplayHooks {
  void* context = nullptr;
  // Opens the manifest at `path` in `reader`. Returns true when it opened;
  // on failure errno says why, as for LineReader::open (0 counts as ENOENT).
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
//
// Nothing outside `directory` is ever touched: an entry is applied only when
// it is a plain relative path that, joined to its manifest's directory,
// stays inside `directory` (a directory entry may name `directory` itself),
// and when no directory on the way to it, nor the target itself, is a link.
// The search does not enter directory links, and a file counts as a
// manifest only when its own name matches `pattern` (not its short name).
//
// A line that damaged compressed data cut short is not applied: it would
// name something the manifest does not list.
//
// Nothing is lost to a failure that a later run would not meet: a manifest
// is deleted only once it has been applied whole, in its place in the order.
// When the search could not read part of the tree, the manifests listed
// after that gap are left for a later run (replayed now, they could remove
// directories, and delete themselves, before the manifests within were
// replayed). When a manifest is there but cannot be opened (anything but
// missing, or a name too long to open), or memory for one of its directory
// entries runs short, the replay stops: that manifest is kept, none of its
// directories is removed, and the manifests after it are left for a later
// run.
void replayManifests(const char* directory, const char* pattern);

// The same, with the file system reached through `hooks`.
void replayManifests(const char* directory, const char* pattern, const ReplayHooks& hooks);
