// Resolution of Windows-form paths for the POSIX platform calls.
#include "resolve.h"

#include <dirent.h>
#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "current_directory.h"
#include "winpath.h"

namespace {

bool equalNoCase(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The index just after the slash that ends the longest leading part of the
// absolute path `path` that is there as spelt (1 when none is), looking from
// the end: a missing file in a directory that is there costs one lstat.
size_t firstMissingComponent(char* path) {
  for (size_t cut = strlen(path); cut > 1;) {
    size_t slash = cut - 1;
    while (slash > 0 && path[slash] != '/') --slash;
    if (slash == 0) break;
    path[slash] = '\0';
    struct stat st;
    bool exists = lstat(path, &st) == 0;
    path[slash] = '/';
    if (exists) return slash + 1;
    cut = slash;
  }
  return 1;
}

// Replaces, in place, each component of the absolute path `path` that does
// not exist by a same-length name of its directory that differs only in
// letter case. Stops at the first component that has no such name. Returns
// whether it replaced any.
bool fixLetterCase(char* path) {
  // What is there as spelt needs nothing.
  size_t end = firstMissingComponent(path);
  bool replaced = false;
  while (path[end]) {
    size_t start = end;
    while (path[end] && path[end] != '/') ++end;
    size_t n = end - start;
    if (n == 0) break;
    char saved = path[end];
    path[end] = '\0';
    struct stat st;
    bool exists = lstat(path, &st) == 0;
    if (!exists) {
      // Look in the parent directory for the name under another case.
      char& slash = path[start - 1];
      bool found = false;
      slash = '\0';
      DIR* dir = opendir(start == 1 ? "/" : path);
      slash = '/';
      if (dir) {
        while (struct dirent* e = readdir(dir)) {
          if (strlen(e->d_name) == n && equalNoCase(e->d_name, path + start, n)) {
            memcpy(path + start, e->d_name, n);
            found = true;
            break;
          }
        }
        closedir(dir);
      }
      if (!found) {
        path[end] = saved;
        return replaced;
      }
      replaced = true;
    }
    path[end] = saved;
    if (saved == '/') ++end;
  }
  return replaced;
}

}  // namespace

bool mapWindowsPath(const char* windowsPath, char* out) {
  out[0] = '\0';
  if (!windowsPath) {
    errno = EINVAL;
    return false;
  }
  if (strlen(windowsPath) > kMaxAnsiPathLength) {
    errno = ENAMETOOLONG;
    return false;
  }
  // Only a path that is not rooted needs the current directory, and reading
  // that takes a look at the disk.
  char cwd[kPosixPathSize];
  cwd[0] = '\0';
  if (!isRootedWindowsPath(windowsPath) && !currentPosixDirectory(cwd, sizeof cwd)) cwd[0] = '\0';
  if (!windowsToPosixPath(windowsPath, cwd, out, kPosixPathSize)) {
    errno = ENOENT;
    return false;
  }
  return true;
}

void matchLetterCase(char* posixPath) {
  struct stat st;
  if (lstat(posixPath, &st) != 0 && errno == ENOENT) fixLetterCase(posixPath);
}

bool resolveWindowsPath(const char* windowsPath, char* out) {
  if (!mapWindowsPath(windowsPath, out)) return false;
  matchLetterCase(out);
  return true;
}

bool resolveExistingPath(const char* windowsPath, char* out, bool dropTrailingSlash, struct stat* status) {
  if (!mapWindowsPath(windowsPath, out)) return false;
  size_t n = strlen(out);
  if (dropTrailingSlash && n > 1 && out[n - 1] == '/') out[n - 1] = '\0';
  // The one look serves both: a path there as spelt needs no case fixed.
  if (lstat(out, status) == 0) return true;
  if (errno != ENOENT) return false;
  if (!fixLetterCase(out)) {
    // Not there under any letter case either.
    errno = ENOENT;
    return false;
  }
  return lstat(out, status) == 0;
}
