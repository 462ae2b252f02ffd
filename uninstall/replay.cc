// Manifest replay over the file finder and the line reader.
#include "replay.h"

#include <stdio.h>
#include <string.h>

#include "file_finder.h"
#include "heap.h"
#include "line_reader.h"
#include "manifest_line.h"
#include "owned_list.h"
#include "owned_string.h"
#include "platform.h"

namespace {

constexpr int kLineSize = 1024;
constexpr int kPathSize = 1024;

using DirectoryList = OwnedList<OwnedString, Links::Double>;

// The fixed buffers of one replay; the joined path is reused for every
// deletion and every removal.
struct ReplayBuffers {
  char line[kLineSize];
  char manifestDirectory[kPathSize];
  char joinedPath[kPathSize];
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

// Joins the manifest's directory and `entry` into the joined path. Returns
// false, touching nothing on disk, when the two do not fit in the buffer: a
// cut path would name another file.
bool joinEntry(ReplayBuffers& buffers, const char* entry, const ReplayHooks& hooks) {
  int length = snprintf(buffers.joinedPath, kPathSize, "%s%s", buffers.manifestDirectory, entry);
  if (length < 0 || length >= kPathSize) {
    notify(hooks, ReplayNotice::PathTooLong, buffers.manifestDirectory, entry);
    return false;
  }
  return true;
}

// Remembers a directory entry at the tail of the list. When memory runs
// short the entry is dropped and the replay goes on.
void rememberDirectory(DirectoryList& directories, const char* entry, const char* manifestPath,
                       const ReplayHooks& hooks) {
  OwnedString* text = heapNew<OwnedString>();
  if (text && text->assign(entry) == 0 && directories.appendOwned(text)) return;
  heapDelete(text);
  notify(hooks, ReplayNotice::OutOfMemory, manifestPath, entry);
}

void replayOneManifest(const char* manifestPath, ReplayBuffers& buffers, const ReplayHooks& hooks) {
  LineReader reader;
  if (!hooks.openManifest(hooks.context, reader, manifestPath)) {
    notify(hooks, ReplayNotice::ManifestUnreadable, manifestPath, nullptr);
    return;
  }
  notify(hooks, ReplayNotice::ManifestOpened, manifestPath, reader.diskPath.c_str());

  DirectoryList directories;
  while (reader.readLine(buffers.line, kLineSize)) {
    const char* entry = cutManifestLine(buffers.line);
    switch (classifyEntry(entry)) {
      case EntryKind::Empty:
        break;
      case EntryKind::Directory:
        rememberDirectory(directories, entry, manifestPath, hooks);
        break;
      case EntryKind::File:
        if (joinEntry(buffers, entry, hooks)) hooks.deleteFile(hooks.context, buffers.joinedPath);
        break;
    }
  }
  reader.close();

  // The manifest goes under the path the finder reported, not its disk name.
  hooks.deleteFile(hooks.context, manifestPath);

  for (DirectoryList::Node* node = directories.tail; node; node = node->prev) {
    if (joinEntry(buffers, node->payload->c_str(), hooks)) {
      hooks.removeDirectory(hooks.context, buffers.joinedPath);
    }
  }
  directories.clear();
}

}  // namespace

void replayManifests(const char* directory, const char* pattern) {
  replayManifests(directory, pattern, ReplayHooks());
}

void replayManifests(const char* directory, const char* pattern, const ReplayHooks& hooks) {
  const ReplayHooks effective = completed(hooks);
  ReplayBuffers buffers;
  FileFinder finder;
  finder.scan(pattern ? pattern : "*.*", true, directory, false);
  finder.moveFirst();
  while (finder.currentFindData()) {
    const char* path = finder.currentPath();
    // The finder lists no path that does not fit its 512-byte buffer, so it
    // always fits here; a null path (never expected) is passed over.
    if (path && strlen(path) < sizeof buffers.manifestDirectory) {
      strcpy(buffers.manifestDirectory, path);
      // A full path always holds a backslash; without one the entries would
      // land in whatever directory is current, so such a path is passed over.
      char* lastBackslash = strrchr(buffers.manifestDirectory, '\\');
      if (lastBackslash) {
        lastBackslash[1] = '\0';
        // The path lives in the finder's buffer until the next path call; the
        // replay of one manifest makes none, so it stays valid throughout.
        replayOneManifest(path, buffers, effective);
      }
    }
    finder.moveNext();
  }
}
