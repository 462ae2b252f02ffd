// The C runtime's directory calls and _strupr on POSIX.
#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "current_directory.h"
#include "fault.h"
#include "resolve.h"
#include "win_crt.h"
#include "winpath.h"

char* _getcwd(char* buffer, int size) {
  if (faultShouldFail(FaultCall::GetCwd)) {
    errno = ENOMEM;
    return nullptr;
  }
  if (!buffer || size <= 0) {
    errno = EINVAL;
    return nullptr;
  }
  if (!currentWindowsDirectory(buffer, static_cast<size_t>(size))) {
    errno = ERANGE;
    return nullptr;
  }
  return buffer;
}

int _chdir(const char* path) {
  if (faultShouldFail(FaultCall::ChDir)) {
    errno = EACCES;
    return -1;
  }
  // Windows keeps the path as it was given, links and all, so that "..\"
  // leads back past a link: that path is remembered, the one with the
  // names' letter case on disk is entered.
  char given[kPosixPathSize];
  char posix[kPosixPathSize];
  if (!mapWindowsPath(path, given)) return -1;
  memcpy(posix, given, strlen(given) + 1);
  matchLetterCase(posix);
  bool hasDrive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':';
  char drive = hasDrive ? path[0] : currentDriveLetter();
  if (chdir(posix) != 0) return -1;
  size_t n = strlen(given);
  if (n > 1 && given[n - 1] == '/') given[n - 1] = '\0';
  rememberCurrentDirectory(given, drive);
  return 0;
}

int _rmdir(const char* path) {
  char posix[kPosixPathSize];
  struct stat st;
  if (!resolveExistingPath(path, posix, true, &st)) return -1;
  if (S_ISLNK(st.st_mode)) {
    // Windows removes a directory link itself, never what it points to.
    struct stat target;
    if (stat(posix, &target) != 0 || !S_ISDIR(target.st_mode)) {
      errno = ENOTDIR;
      return -1;
    }
    return unlink(posix) == 0 ? 0 : -1;
  }
  if (!S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return -1;
  }
  return rmdir(posix) == 0 ? 0 : -1;
}

char* _strupr(char* text) {
  for (char* p = text; p && *p; ++p) {
    if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
  }
  return text;
}
