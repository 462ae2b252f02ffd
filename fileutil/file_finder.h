// FileFinder: lists the files that match a name pattern in one directory
// and, when asked, in every directory below it, then hands the list out one
// entry at a time: its find record, its full path and its file name.
//
// A scan takes a snapshot: deleting listed files while walking the list does
// not disturb the walk. The scan walks the tree by making each directory the
// current directory in turn, and puts the current directory back before it
// returns.
//
// Memory: the finder's state, each entry, its list node and its directory
// text come from the heap. When one of them cannot be had, that entry is
// left out whole (nothing half-built is listed, nothing leaks) and the scan
// goes on. A finder whose state could not be had is an empty finder: every
// operation is safe, a scan lists nothing.
//
// Gaps: a level that cannot be read (a platform call fails other than by
// finding nothing there) and an entry left out for want of memory leave a
// gap in the list. The scan goes on, but entriesBeforeGap() tells how many
// entries came before the first gap: the ones after it may belong after
// files that were never listed.
#pragma once

#include <stdint.h>

#include "owned_list.h"
#include "owned_string.h"
#include "platform.h"

class FinderState;

// One found file.
struct FoundEntry {
  // The state whose list holds the entry; set when it is added, never read.
  FinderState* owner = nullptr;
  // The search's record for the file, copied whole.
  WIN32_FIND_DATAA findData;
  // The directory the file was found in, ending in a backslash.
  OwnedString directoryPath;
};

// The finder's working state, on the heap.
class FinderState {
 public:
  FinderState() = default;
  FinderState(const FinderState&) = delete;
  FinderState& operator=(const FinderState&) = delete;

  // Appends an entry holding a copy of `data` and of `directory` (no text
  // when `directory` is null). The first entry also becomes the cursor. A
  // null `data` adds nothing; so does memory running short, which leaves a
  // gap.
  void addEntry(const WIN32_FIND_DATAA* data, const char* directory);

  // Records a gap at the end of the list, unless there is one already.
  void markGap() {
    if (gapAt < 0) gapAt = entries.count;
  }

  // Frees every entry, its directory text and its node, from the head on,
  // and empties the list.
  void clearEntries() { entries.clear(); }

  // The found files, in the order found; every node owns its entry.
  OwnedList<FoundEntry, Links::Single> entries;
  // Where currentPath composes a path: at most 511 characters.
  char pathBuffer[512] = {};
  // The upper-cased root of the last scan in root mode; no text before one.
  OwnedString root;
  // Nonzero when paths are reported relative to `root`.
  uint8_t rootMode = 0;
  // How many scan calls are running; 0 outside a scan.
  int32_t depth = 0;
  // Set when a level of the running scan could not change back to the
  // directory it started from: from then on no level adds anything.
  uint8_t stopped = 0;
  // How many entries there were when the running or last scan met its first
  // gap; -1 when it has met none.
  int32_t gapAt = -1;
};

class FileFinder {
 public:
  // Allocates the state; when that fails the finder stays empty.
  FileFinder();
  // Frees every entry, then the root's text, then the state.
  ~FileFinder();
  FileFinder(const FileFinder&) = delete;
  FileFinder& operator=(const FileFinder&) = delete;

  // Lists the files (never directories) matching `pattern` in `directory`
  // (null is "."), absolute or relative to the current directory, and with
  // `recurse` in every directory below it, subdirectory trees before a
  // directory's own files. An outermost call replaces the list; with
  // `rootMode` paths are later reported relative to `directory`. A level
  // whose directory cannot be entered, or whose current directory cannot be
  // read (longer than 254 characters), lists nothing. A file whose path
  // would be longer than 511 characters is left out. Reports nothing; a
  // null `pattern` lists nothing. Changing back to a directory is tried a
  // second time when it fails; when that fails too, the scan stops adding.
  // Leaves the cursor on the first entry and the current directory as it
  // found it, unless it could not change back.
  void scan(const char* pattern, bool recurse, const char* directory, bool rootMode);

  // The number of entries in the list.
  int32_t entryCount() const;

  // The number of entries, from the first, that the last scan listed before
  // its first gap (see above); entryCount() when it met none.
  int32_t entriesBeforeGap() const;

  // Puts the cursor on the first entry. Returns false when the list is empty.
  bool moveFirst();

  // Moves the cursor to the next entry. Returns false once it has gone past
  // the last one, and from then on.
  bool moveNext();

  // The current entry's find record, valid until the list is emptied; null
  // when the cursor is on no entry.
  const WIN32_FIND_DATAA* currentFindData() const;

  // The current entry's full path, or in root mode the part after the
  // root's first occurrence (one backslash dropped). It lies in the state's
  // buffer until the next currentPath or currentFileName. Null when the
  // cursor is on no entry, when the path would be longer than 511
  // characters, and in root mode when the path does not hold the root.
  const char* currentPath();

  // The part of currentPath after its last backslash (all of it when there
  // is none), in the same buffer. Null when currentPath is null.
  const char* currentFileName();

  // Empties the list, forgets its gap and sets the depth to 0; root and
  // root mode stay.
  void reset();

  // The working state; null when it could not be allocated.
  FinderState* state;
};
