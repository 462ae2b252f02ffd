// File deletion and gzip file opening on POSIX, with Windows semantics.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fault.h"
#include "file_mode.h"
#include "resolve.h"
#include "win_files.h"

int removeFile(const char* path) {
  char posix[kPosixPathSize];
  struct stat st;
  if (!resolveExistingPath(path, posix, false, &st)) return -1;
  if (S_ISLNK(st.st_mode)) {
    // Windows deletes a file link itself; a directory link is not a file.
    struct stat target;
    if (stat(posix, &target) == 0 && S_ISDIR(target.st_mode)) {
      errno = EACCES;
      return -1;
    }
  } else if (S_ISDIR(st.st_mode) || isReadOnlyMode(st.st_mode)) {
    // A directory, or a file with the read-only attribute.
    errno = EACCES;
    return -1;
  }
  return unlink(posix) == 0 ? 0 : -1;
}

gzFile openGzFile(const char* path, const char* mode) {
  if (faultShouldFail(FaultCall::GzOpen)) {
    errno = ENOMEM;
    return nullptr;
  }
  char posix[kPosixPathSize];
  if (!resolveWindowsPath(path, posix)) return nullptr;
  int fd = open(posix, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    // Windows opens no directory (or device) as a file.
    close(fd);
    errno = EACCES;
    return nullptr;
  }
  gzFile file = gzdopen(fd, mode);
  if (!file) close(fd);
  return file;
}
