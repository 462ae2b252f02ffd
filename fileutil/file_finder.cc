// FileFinder: a two-pass walk of a directory tree through the current
// directory, and iteration over the files it found.
#include "file_finder.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "find_no_case.h"
#include "heap.h"

namespace {

// Sizes of the saved current directory (255 given to _getcwd), of a
// composed directory path and of a composed entry path.
constexpr int kSavedDirectorySize = 256;
constexpr int kDirectoryPathSize = 768;
constexpr size_t kLongestEntryPath = 511;

bool isDotName(const char* name) { return strcmp(name, ".") == 0 || strcmp(name, "..") == 0; }

// Whether a search that returned nothing found nothing there (no match, the
// end of the names, the directory gone), rather than failed to read.
bool searchFoundNothing() {
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES || error == ERROR_PATH_NOT_FOUND;
}

// Fetches the next name of `find`. Returns false at the end of the names,
// and also when the listing failed, which leaves a gap in `state`.
bool nextName(FinderState& state, HANDLE find, WIN32_FIND_DATAA* data) {
  if (FindNextFileA(find, data)) return true;
  if (!searchFoundNothing()) state.markGap();
  return false;
}

// Writes the path of the directory a level scans, ending in a backslash,
// into `out` (kDirectoryPathSize bytes): `directory` itself when absolute,
// the saved directory for ".", else the two joined by a backslash. Returns
// false when it would be longer than 767 characters.
bool composeDirectoryPath(const char* saved, const char* directory, bool absolute, char* out) {
  int length;
  if (absolute) {
    length = snprintf(out, kDirectoryPathSize, "%s", directory);
  } else if (strcmp(directory, ".") == 0) {
    length = snprintf(out, kDirectoryPathSize, "%s", saved);
  } else {
    length = snprintf(out, kDirectoryPathSize, "%s\\%s", saved, directory);
  }
  if (length < 0 || length >= kDirectoryPathSize) return false;
  if (length > 0 && out[length - 1] != '\\') {
    if (length + 1 >= kDirectoryPathSize) return false;
    out[length] = '\\';
    out[length + 1] = '\0';
  }
  return true;
}

// Root mode on a relative directory: the root is its full path as composed, upper-cased.
// Returns false when memory runs short.
bool storeFullRoot(OwnedString& root, const char* directoryPath, const char* saved, const char* directory) {
  // Joined to a drive root, the path holds a doubled backslash that the
  // levels below, built from _getcwd, do not: start at the second one.
  const size_t savedLength = strlen(saved);
  const bool doubled = strcmp(directory, ".") != 0 && savedLength > 0 && saved[savedLength - 1] == '\\';
  char text[kDirectoryPathSize];
  snprintf(text, sizeof text, "%s", doubled ? directoryPath + savedLength : directoryPath);
  size_t length = strlen(text);
  if (length > 0 && text[length - 1] == '\\') text[length - 1] = '\0';
  if (root.assign(text) != 0) return false;
  _strupr(root.text);
  return true;
}

}  // namespace

void FinderState::addEntry(const WIN32_FIND_DATAA* data, const char* directory) {
  if (!data) return;
  // Memory running short drops the entry whole: nothing half-built is listed.
  FoundEntry* entry = heapNew<FoundEntry>();
  if (!entry) {
    markGap();
    return;
  }
  entry->owner = this;
  entry->findData = *data;
  if ((directory && entry->directoryPath.assign(directory) != 0) || !entries.appendOwned(entry)) {
    heapDelete(entry);
    markGap();
  }
}

// A state that cannot be allocated leaves an empty finder; every operation checks.
FileFinder::FileFinder() : state(heapNew<FinderState>()) {}

FileFinder::~FileFinder() {
  if (!state) return;
  state->clearEntries();
  heapDelete(state);
}

void FileFinder::scan(const char* pattern, bool recurse, const char* directory, bool rootMode) {
  if (!state || !pattern) return;
  if (!directory) directory = ".";
  const bool absolute = strncmp(directory, "\\\\", 2) == 0 || strchr(directory, ':') != nullptr;
  const bool outermost = state->depth == 0;
  if (outermost) {
    reset();
    state->rootMode = rootMode ? 1 : 0;
    state->stopped = 0;
    if (rootMode && absolute) {
      // A root that cannot be stored would cut paths wrongly: list nothing.
      if (state->root.assign(directory) != 0) return;
      _strupr(state->root.text);
    }
  }

  ++state->depth;
  char saved[kSavedDirectorySize];
  errno = 0;
  if (_getcwd(saved, kSavedDirectorySize - 1)) {
    char directoryPath[kDirectoryPathSize];
    // A directory path over 767 characters leaves this level's own files out: no cut path.
    const bool pathFits = composeDirectoryPath(saved, directory, absolute, directoryPath);
    const bool rootReady = !(outermost && rootMode && !absolute) ||
                           (pathFits && storeFullRoot(state->root, directoryPath, saved, directory));
    errno = 0;
    if (rootReady && _chdir(directory) != -1) {
      WIN32_FIND_DATAA data;
      if (recurse) {
        HANDLE find = FindFirstFileA("*.*", &data);
        if (find != INVALID_HANDLE_VALUE) {
          do {
            // A directory link (a reparse point) is never entered: it may lead
            // anywhere, even back up the tree.
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !isDotName(data.cFileName)) {
              scan(pattern, recurse, data.cFileName, false);
            }
          } while (!state->stopped && nextName(*state, find, &data));
          FindClose(find);
        } else if (!searchFoundNothing()) {
          state->markGap();
        }
      }
      if (!state->stopped && pathFits) {
        HANDLE find = FindFirstFileA(pattern, &data);
        if (find != INVALID_HANDLE_VALUE) {
          const size_t directoryLength = strlen(directoryPath);
          do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            // A file whose path would exceed 511 characters is never listed: no cut path.
            if (directoryLength + strnlen(data.cFileName, sizeof data.cFileName) > kLongestEntryPath) continue;
            state->addEntry(&data, directoryPath);
          } while (nextName(*state, find, &data));
          FindClose(find);
        } else if (!searchFoundNothing()) {
          state->markGap();
        }
      }
      // A failure to change back is tried again: the caller's current
      // directory matters more than the scan. Failing twice stops the scan:
      // no level adds anything more.
      if (_chdir(saved) == -1 && _chdir(saved) == -1) {
        state->stopped = 1;
        state->markGap();
      }
    } else if (rootReady && errno != ENOENT && errno != ENOTDIR && errno != EINVAL) {
      // A directory that has gone, or is no directory (EINVAL under Wine),
      // holds nothing; one that could not be entered for another reason
      // leaves a gap.
      state->markGap();
    }
  } else if (errno != ERANGE && errno != 0) {
    // A current directory too long to save is the tree's own depth, the same
    // in every run (Wine's C runtime sets no errno when it is longer than 259
    // characters); any other failure leaves a gap.
    state->markGap();
  }
  --state->depth;
  if (state->depth == 0) state->entries.cursor = state->entries.head;
}

int32_t FileFinder::entryCount() const { return state ? state->entries.count : 0; }

int32_t FileFinder::entriesBeforeGap() const {
  if (!state) return 0;
  return state->gapAt < 0 ? state->entries.count : state->gapAt;
}

bool FileFinder::moveFirst() {
  if (!state) return false;
  state->entries.cursor = state->entries.head;
  return state->entries.cursor != nullptr;
}

bool FileFinder::moveNext() {
  if (!state || !state->entries.cursor) return false;
  state->entries.cursor = state->entries.cursor->next;
  return state->entries.cursor != nullptr;
}

const WIN32_FIND_DATAA* FileFinder::currentFindData() const {
  if (!state || !state->entries.cursor || !state->entries.cursor->payload) return nullptr;
  return &state->entries.cursor->payload->findData;
}

const char* FileFinder::currentPath() {
  if (!state || !state->entries.cursor || !state->entries.cursor->payload) return nullptr;
  const FoundEntry& entry = *state->entries.cursor->payload;
  const int nameLength = static_cast<int>(strnlen(entry.findData.cFileName, sizeof entry.findData.cFileName));
  const int length = snprintf(state->pathBuffer, sizeof state->pathBuffer, "%s%.*s", entry.directoryPath.c_str(),
                              nameLength, entry.findData.cFileName);
  // An entry added from outside whose path does not fit: no cut path.
  if (length < 0 || length >= static_cast<int>(sizeof state->pathBuffer)) {
    state->pathBuffer[0] = '\0';
    return nullptr;
  }
  if (!state->rootMode) return state->pathBuffer;
  const char* root = state->root.c_str();
  const char* found = findNoCase(state->pathBuffer, root);
  if (!found) return nullptr;
  const char* rest = found + strlen(root);
  if (*rest == '\\') ++rest;
  return rest;
}

const char* FileFinder::currentFileName() {
  const char* path = currentPath();
  if (!path) return nullptr;
  const char* slash = strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

void FileFinder::reset() {
  if (!state) return;
  state->clearEntries();
  state->gapAt = -1;
  state->depth = 0;
}
