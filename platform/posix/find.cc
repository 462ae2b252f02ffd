// File search on POSIX: one directory read, filtered, sorted and held per
// search handle.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "fault.h"
#include "file_mode.h"
#include "resolve.h"
#include "wildcard.h"
#include "win_find.h"

namespace {

// The records of one search, in the order they are handed out.
struct FindSearch {
  WIN32_FIND_DATAA* records;
  size_t count;
  size_t capacity;
  size_t next;
};

bool isDotEntry(const char* name) { return strcmp(name, ".") == 0 || strcmp(name, "..") == 0; }

unsigned char upperByte(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

// The order of names: "." then "..", then an upper-case fold, then bytes.
int compareNames(const char* a, const char* b) {
  int rankA = strcmp(a, ".") == 0 ? 0 : strcmp(a, "..") == 0 ? 1 : 2;
  int rankB = strcmp(b, ".") == 0 ? 0 : strcmp(b, "..") == 0 ? 1 : 2;
  if (rankA != rankB) return rankA - rankB;
  for (size_t i = 0;; ++i) {
    unsigned char x = upperByte(a[i]), y = upperByte(b[i]);
    if (x != y) return x < y ? -1 : 1;
    if (!x) break;
  }
  return strcmp(a, b);
}

int compareRecords(const void* a, const void* b) {
  return compareNames(static_cast<const WIN32_FIND_DATAA*>(a)->cFileName,
                      static_cast<const WIN32_FIND_DATAA*>(b)->cFileName);
}

bool hasWildcard(const char* mask) { return strpbrk(mask, "*?") != nullptr; }

void setFileTime(FILETIME* out, const struct timespec& when) {
  // Seconds from 1601 to 1970.
  const int64_t kEpochDifference = 11644473600LL;
  int64_t seconds = static_cast<int64_t>(when.tv_sec) + kEpochDifference;
  uint64_t ticks = seconds < 0 ? 0
                               : static_cast<uint64_t>(seconds) * 10000000ULL +
                                     static_cast<uint64_t>(when.tv_nsec) / 100U;
  out->dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFU);
  out->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

// The attributes of `name`, whose target's status is `st`.
DWORD attributesOf(const struct stat& st, bool isLink, const char* name) {
  DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  // Wine reports a link to a directory as a reparse point but a link to a
  // file as a plain file; we mark both, so that the caller can tell a link.
  if (isLink) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  if (isReadOnlyMode(st.st_mode)) attributes |= FILE_ATTRIBUTE_READONLY;
  if (name[0] == '.' && !isDotEntry(name)) attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}

// Fills `record` for the entry `name` of the directory open as `directoryFd`.
// Returns false when the entry is to be left out: it has gone, or it is a
// link whose target is missing.
bool fillRecord(int directoryFd, const char* name, WIN32_FIND_DATAA* record) {
  struct stat entry;
  if (fstatat(directoryFd, name, &entry, AT_SYMLINK_NOFOLLOW) != 0) return false;
  bool isLink = S_ISLNK(entry.st_mode);
  struct stat st = entry;
  if (isLink && fstatat(directoryFd, name, &st, 0) != 0) return false;

  memset(record, 0, sizeof *record);
  record->dwFileAttributes = attributesOf(st, isLink, name);

  // Wine takes the creation time from the modification time too.
  setFileTime(&record->ftCreationTime, st.st_mtim);
  setFileTime(&record->ftLastAccessTime, st.st_atim);
  setFileTime(&record->ftLastWriteTime, st.st_mtim);
  uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  record->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  record->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFU);
  memcpy(record->cFileName, name, strlen(name) + 1);
  return true;
}

// Sets the last error to `error` and returns the failed search's handle.
HANDLE failSearch(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

void freeSearch(FindSearch* search) {
  if (!search) return;
  free(search->records);
  free(search);
}

// Makes room for one more record. Returns false when memory runs short.
bool reserveOne(FindSearch* search) {
  if (search->count < search->capacity) return true;
  size_t capacity = search->capacity ? search->capacity * 2 : 16;
  void* grown = realloc(search->records, capacity * sizeof(WIN32_FIND_DATAA));
  if (!grown) return false;
  search->records = static_cast<WIN32_FIND_DATAA*>(grown);
  search->capacity = capacity;
  return true;
}

// The last error for a directory that opendir could not open.
DWORD errorOfOpen(int error) {
  if (error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG) return ERROR_PATH_NOT_FOUND;
  if (error == ENOMEM) return ERROR_NOT_ENOUGH_MEMORY;
  return ERROR_ACCESS_DENIED;
}

// Reads the names of `directory` that match `mask` into `search`. Returns
// false, with the last error set, when the directory cannot be read or
// memory runs short.
bool collect(const char* directory, const char* mask, FindSearch* search) {
  DIR* dir = opendir(directory);
  if (!dir) {
    SetLastError(errorOfOpen(errno));
    return false;
  }
  // The root of a drive has no "." or "..".
  bool isRoot = strcmp(directory, "/") == 0;
  bool ok = true;
  while (struct dirent* e = readdir(dir)) {
    const char* name = e->d_name;
    if (isRoot && isDotEntry(name)) continue;
    if (strlen(name) >= MAX_PATH || !wildcardMatch(mask, name)) continue;
    if (!reserveOne(search)) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      ok = false;
      break;
    }
    if (fillRecord(dirfd(dir), name, &search->records[search->count])) ++search->count;
  }
  closedir(dir);
  return ok;
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
  // A failure as a directory that cannot be listed reports it.
  if (faultShouldFail(FaultCall::FindFirstFile)) return failSearch(ERROR_ACCESS_DENIED);
  if (!pattern || !data) return failSearch(ERROR_INVALID_PARAMETER);
  char path[kPosixPathSize];
  if (!mapWindowsPath(pattern, path)) return failSearch(ERROR_PATH_NOT_FOUND);
  // The mapped path is absolute: the mask follows its last slash.
  char* slash = strrchr(path, '/');
  if (!slash || slash[1] == '\0') return failSearch(ERROR_FILE_NOT_FOUND);
  // A plain name takes the letter case it has on disk, as any path does. A
  // wildcard mask matches without regard to case and names nothing on disk
  // itself: only its directory needs looking up.
  const bool wildcard = hasWildcard(slash + 1);
  if (!wildcard) matchLetterCase(path);
  char mask[kPosixPathSize];
  strcpy(mask, slash + 1);
  if (slash == path) {
    slash[1] = '\0';
  } else {
    *slash = '\0';
  }
  if (wildcard) matchLetterCase(path);

  FindSearch* search = static_cast<FindSearch*>(calloc(1, sizeof(FindSearch)));
  if (!search) return failSearch(ERROR_NOT_ENOUGH_MEMORY);
  if (!collect(path, mask, search)) {
    freeSearch(search);
    return INVALID_HANDLE_VALUE;
  }
  if (search->count == 0) {
    freeSearch(search);
    return failSearch(ERROR_FILE_NOT_FOUND);
  }
  qsort(search->records, search->count, sizeof(WIN32_FIND_DATAA), compareRecords);
  if (!hasWildcard(mask) && search->count > 1) {
    // A plain name names one file, the one spelt so when there is one.
    size_t keep = 0;
    for (size_t i = 0; i < search->count; ++i) {
      if (strcmp(search->records[i].cFileName, mask) == 0) keep = i;
    }
    search->records[0] = search->records[keep];
    search->count = 1;
  }
  *data = search->records[0];
  search->next = 1;
  return search;
}

BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data) {
  // A failure in the middle of a listing, as when memory runs short.
  if (faultShouldFail(FaultCall::FindNextFile)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  if (!find || find == INVALID_HANDLE_VALUE || !data) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  FindSearch* search = static_cast<FindSearch*>(find);
  if (search->next >= search->count) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *data = search->records[search->next++];
  return TRUE;
}

BOOL FindClose(HANDLE find) {
  if (!find || find == INVALID_HANDLE_VALUE) return FALSE;
  freeSearch(static_cast<FindSearch*>(find));
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR path) {
  char posix[kPosixPathSize];
  struct stat entry;
  if (!resolveExistingPath(path, posix, true, &entry)) return INVALID_FILE_ATTRIBUTES;
  bool isLink = S_ISLNK(entry.st_mode);
  struct stat st = entry;
  // A link whose target is missing is still a link: it keeps the reparse bit.
  if (isLink && stat(posix, &st) != 0) st = entry;
  const char* slash = strrchr(posix, '/');
  return attributesOf(st, isLink, slash ? slash + 1 : posix);
}
