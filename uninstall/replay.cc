// Manifest replay over the file finder and the line reader.
#include "replay.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "containment.h"
#include "file_finder.h"
#include "heap.h"
#include "line_reader.h"
#include "link_guard.h"
#include "manifest_line.h"
#include "owned_list.h"
#include "owned_string.h"
#include "platform.h"
#include "wildcard.h"

namespace {

constexpr int kLineSize = 1024;
constexpr int kPathSize = 1024;

using DirectoryList = OwnedList<OwnedString, Links::Double>;

// The fixed buffers of one replay; the joined path is reused for every
// deletion and every removal.
struct ReplayBuffers {
  char line[kLineSize];
  // A piece read without its line feed, until the next read shows whether
  // the data went on after it.
  char heldLine[kLineSize];
  char manifestDirectory[kPathSize];
  char joinedPath[kPathSize];
  // The installation directory and the joined path, normalised, for the
  // containment and link checks.
  char normalRoot[kPathSize];
  char normalTarget[kPathSize];
};

// What one replay works with: the hooks, the buffers, and the guard that
// remembers, per manifest, the directories found not to be links.
struct Replay {
  ReplayHooks hooks;
  ReplayBuffers buffers;
  LinkGuard guard;
};

bool realOpenManifest(void*, LineReader& reader, const char* path) { return reader.open(path, 1); }
int realDeleteFile(void*, const char* path) { return removeFile(path); }
int realRemoveDirectory(void*, const char* path) { return _rmdir(path); }

// The hooks with every null member replaced by the real call.
ReplayHooks completed(const ReplayHooks& hooks) {
  ReplayHooks out = hooks;
  if (!out.openManifest) out.openManifest = realOpenManifest;
  if (!out.deleteFile) out.deleteFile = realDeleteFile;
  if (!out.removeDirectory) out.removeDirectory = realRemoveDirectory;
  return out;
}

void notify(const ReplayHooks& hooks, ReplayNotice notice, const char* path, const char* detail) {
  if (hooks.notice) hooks.notice(hooks.context, notice, path, detail);
}

// Joins the manifest's directory and `entry` into the joined path and decides
// whether it may be applied. Returns false, touching nothing on disk, when
// the two do not fit in the buffer (a cut path would name another file),
// when the entry is not a plain relative path, when the joined path leaves
// the installation directory, and when it reaches through or to a link.
bool joinEntry(Replay& replay, const char* entry, bool isDirectory) {
  ReplayBuffers& b = replay.buffers;
  const ReplayHooks& hooks = replay.hooks;
  int length = snprintf(b.joinedPath, kPathSize, "%s%s", b.manifestDirectory, entry);
  if (length < 0 || length >= kPathSize) {
    notify(hooks, ReplayNotice::PathTooLong, b.manifestDirectory, entry);
    return false;
  }
  if (!isPlainRelativeEntry(entry)) {
    notify(hooks, ReplayNotice::NotPlainEntry, b.manifestDirectory, entry);
    return false;
  }
  // A directory entry may name the installation directory itself; a file
  // entry never can.
  if (!normaliseWindowsPath(b.joinedPath, b.normalTarget, kPathSize) ||
      !isInsideNormalisedRoot(b.normalRoot, b.normalTarget, isDirectory)) {
    notify(hooks, ReplayNotice::OutsideInstallation, b.joinedPath, nullptr);
    return false;
  }
  if (!replay.guard.allows(b.normalRoot, b.normalTarget)) {
    notify(hooks, ReplayNotice::ThroughLink, b.joinedPath, nullptr);
    return false;
  }
  return true;
}

// Remembers a directory entry at the tail of the list. Returns false, having
// remembered nothing, when memory runs short.
bool rememberDirectory(DirectoryList& directories, const char* entry, const char* manifestPath,
                       const ReplayHooks& hooks) {
  OwnedString* text = heapNew<OwnedString>();
  if (text && text->assign(entry) == 0 && directories.appendOwned(text)) return true;
  heapDelete(text);
  notify(hooks, ReplayNotice::OutOfMemory, manifestPath, entry);
  return false;
}

// Applies one line as read: a file entry is deleted at once, a directory
// entry remembered. Returns false when memory for a directory entry ran short.
bool applyLine(char* line, DirectoryList& directories, const char* manifestPath, Replay& replay) {
  const char* entry = cutManifestLine(line);
  switch (classifyEntry(entry)) {
    case EntryKind::Empty:
      break;
    case EntryKind::Directory:
      return rememberDirectory(directories, entry, manifestPath, replay.hooks);
    case EntryKind::File:
      if (joinEntry(replay, entry, false)) replay.hooks.deleteFile(replay.hooks.context, replay.buffers.joinedPath);
      break;
  }
  return true;
}

// Whether the manifest file itself is a link, which is never deleted.
bool isLink(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Whether a manifest that did not open is simply not there: gone (an
// earlier manifest may list it), no file under its disk name, or a name too
// long to open. Such a manifest is passed over, the same in every run.
bool manifestNotThere(int error) {
  return error == 0 || error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG;
}

// Replays one manifest. Returns false when the replay must stop, so that a
// later run finds this manifest and those after it as they were: when the
// manifest is there but could not be opened, and when memory ran short for
// one of its directory entries (the manifest is then closed and kept, with
// its directories in place).
bool replayOneManifest(const char* manifestPath, Replay& replay) {
  const ReplayHooks& hooks = replay.hooks;
  ReplayBuffers& b = replay.buffers;
  LineReader reader;
  errno = 0;
  if (!hooks.openManifest(hooks.context, reader, manifestPath)) {
    const bool notThere = manifestNotThere(errno);
    notify(hooks, ReplayNotice::ManifestUnreadable, manifestPath, nullptr);
    return notThere;
  }
  notify(hooks, ReplayNotice::ManifestOpened, manifestPath, reader.diskPath.c_str());

  DirectoryList directories;
  replay.guard.clear();
  // A piece that came without a line feed is held until the next read: cut
  // short by damaged compressed data, it would name something the manifest
  // does not list. The reader and the list are freed on every way out.
  bool held = false;
  while (reader.readLine(b.line, kLineSize)) {
    if (held) {
      held = false;
      if (!applyLine(b.heldLine, directories, manifestPath, replay)) return false;
    }
    if (!strchr(b.line, '\n')) {
      memcpy(b.heldLine, b.line, strlen(b.line) + 1);
      held = true;
    } else if (!applyLine(b.line, directories, manifestPath, replay)) {
      return false;
    }
  }
  // The data ended: a piece held is the last line when the data was whole,
  // and a line cut short when it was damaged. Reading stops at damaged data
  // as at the end; what was read before it is applied and the manifest
  // still goes.
  const bool whole = reader.close();
  if (!whole) notify(hooks, ReplayNotice::ManifestDamaged, manifestPath, nullptr);
  if (held && whole && !applyLine(b.heldLine, directories, manifestPath, replay)) return false;

  // The manifest goes under the path the finder reported, not its disk name;
  // a manifest that is a link is left alone.
  if (isLink(manifestPath)) {
    notify(hooks, ReplayNotice::ThroughLink, manifestPath, nullptr);
  } else {
    hooks.deleteFile(hooks.context, manifestPath);
  }

  for (DirectoryList::Node* node = directories.tail; node; node = node->prev) {
    if (joinEntry(replay, node->payload->c_str(), true)) hooks.removeDirectory(hooks.context, b.joinedPath);
  }
  directories.clear();
  return true;
}

}  // namespace

void replayManifests(const char* directory, const char* pattern) {
  replayManifests(directory, pattern, ReplayHooks());
}

void replayManifests(const char* directory, const char* pattern, const ReplayHooks& hooks) {
  if (!pattern) pattern = "*.*";
  if (!directory) directory = ".";
  // The replay's state is large for a stack; it lives on the heap.
  Replay* replay = heapNew<Replay>();
  if (!replay) return;
  replay->hooks = completed(hooks);
  ReplayBuffers& b = replay->buffers;
  // An installation directory that cannot be normalised admits no entry.
  if (!normaliseWindowsPath(directory, b.normalRoot, kPathSize)) b.normalRoot[0] = '\0';

  FileFinder finder;
  finder.scan(pattern, true, directory, false);
  // Only the manifests listed before the scan's first gap, if any, and
  // before the replay had to stop, are replayed now.
  const int32_t replayable = finder.entriesBeforeGap();
  bool stopped = false;
  finder.moveFirst();
  for (int32_t index = 0; const WIN32_FIND_DATAA* found = finder.currentFindData(); ++index) {
    const char* path = finder.currentPath();
    // The search also matches short (8.3) names: "*.rmp" finds "notes.rmpx".
    // Only a file whose own name matches is a manifest.
    if (path && !wildcardMatch(pattern, found->cFileName)) {
      notify(replay->hooks, ReplayNotice::NotAManifest, path, nullptr);
    } else if (path && (stopped || index >= replayable)) {
      notify(replay->hooks, ReplayNotice::HeldBack, path, nullptr);
    } else if (path && strlen(path) < sizeof b.manifestDirectory && b.normalRoot[0] != '\0') {
      // The finder lists no path that does not fit its 512-byte buffer, so
      // it always fits here. A full path always holds a backslash; without
      // one the entries would land in whatever directory is current.
      strcpy(b.manifestDirectory, path);
      char* lastBackslash = strrchr(b.manifestDirectory, '\\');
      if (lastBackslash) {
        lastBackslash[1] = '\0';
        // The path lives in the finder's buffer until the next path call;
        // the replay of one manifest makes none, so it stays valid.
        stopped = !replayOneManifest(path, *replay);
      }
    }
    finder.moveNext();
  }
  heapDelete(replay);
}
