// The C runtime's directory calls and _strupr on POSIX.
#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

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
  char posix[kPosixPathSize];
  if (!getcwd(posix, sizeof posix)) return nullptr;
  if (!posixToWindowsPath(posix, buffer, static_cast<size_t>(size))) {
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
  char posix[kPosixPathSize];
  if (!resolveWindowsPath(path, posix)) return -1;
  return chdir(posix) == 0 ? 0 : -1;
}

int _rmdir(const char* path) {
  char posix[kPosixPathSize];
  if (!resolveWindowsPath(path, posix)) return -1;
  size_t n = strlen(posix);
  if (n > 1 && posix[n - 1] == '/') posix[n - 1] = '\0';
  struct stat st;
  if (lstat(posix, &st) != 0) return -1;
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
